// The real menu's camera mode and chase view toggled across each other, each
// choice checked on the screen and on the pointer. Then the menu as used under a window manager,
// with the window away from the screen's corner: press, drag and release on
// an entry; a right click, then a left click on an entry; a click on the
// desktop to close it. And Escape pressed to close the open menu, which must
// not end the program.
#include "tests/scenarios/screen_checks.h"
#include "tests/support/tank_tracker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr unsigned LEFT_BUTTON = 1;
constexpr unsigned RIGHT_BUTTON = 3;
// Where the window manager is asked to put the window (root pixels): well
// away from the corner, where the menu's screen position and the pointer's
// position in the window differ by much more than an entry's height.
const std::vector<std::string> AWAY_FROM_THE_CORNER = {"-geometry", "+300+200"};
constexpr int LEAST_OFFSET = 100; // root pixels the window's corner keeps from the screen's
constexpr int MENU_OPEN_X = 200;  // window pixels: room for the menu below and right
constexpr int MENU_OPEN_Y = 200;
// A spot of the bare desktop, up and left of the window (root pixels).
constexpr int DESKTOP_X = 50;
constexpr int DESKTOP_Y = 50;
// A drawn menu is mostly its light grey; undrawn it shows black.
constexpr double MENU_GREY_SHARE = 0.6;

ProgramSession::Options underWindowManager()
{
    ProgramSession::Options options;
    options.desktop = Desktop::Openbox;
    options.arguments = AWAY_FROM_THE_CORNER;
    return options;
}

// Two motions onto a root pixel, so the toolkit sees the pointer move there.
void moveOnto(XDriver& driver, const ScreenPoint& point)
{
    const int x = static_cast<int>(point.x);
    const int y = static_cast<int>(point.y);
    driver.movePointer(x - 1, y);
    driver.movePointer(x, y);
    driver.sync();
}

void click(XDriver& driver, unsigned button)
{
    driver.buttonDown(button);
    driver.buttonUp(button);
    driver.sync();
}

// A right click (press and release on the spot) at window pixel (x, y):
// the menu it opens stays open; 0 if none opened.
WindowId openMenuWithAClick(ProgramSession& session, int x, int y)
{
    session.driver().movePointerIn(session.window(), x, y);
    session.driver().sync();
    click(session.driver(), RIGHT_BUTTON);
    return session.menuWindow(WAIT_MS);
}

double menuGreyShare(const Capture& menu)
{
    return static_cast<double>(countPixels(menu, wholeCapture(menu), isMenuGrey)) /
           (static_cast<double>(menu.width) * menu.height);
}

// Window pixel where the menu opens, away from the torus.
constexpr int MENU_X = 300;
constexpr int MENU_Y = 500;

// Frames go on being drawn, twice over: ticks ran after every event sent
// before, so the program has seen those and is still running.
bool stillRunningAfterTicks(ProgramSession& session)
{
    const Capture shot = session.capture();
    const PerspectiveView view = startView(shot.width, shot.height);
    return framesStillDrawn(session, view) && framesStillDrawn(session, view) && session.running();
}

} // namespace

TEST(MenuRobustnessTest, RealMenuInOtherOrders)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    // The tank out of the torus ring, so the chase view sees past it.
    const TankTracker tracker = startViewTracker(session.capture());
    ASSERT_TRUE(driveOutOfTheRing(session, tracker));
    session.release("w");
    std::string why;
    ASSERT_TRUE(tankStaysAtRest(session, tracker, why)) << why;

    Capture shot;
    // Mouse camera on, the chase view locked, the mouse camera off, unlocked.
    ASSERT_TRUE(session.chooseHere(MenuChoice::MouseCamera));
    EXPECT_TRUE(session.waitForPointerHidden(true)) << "mouse camera on: pointer shown";
    ASSERT_TRUE(session.chooseHere(MenuChoice::LockCamera));
    EXPECT_TRUE(session.waitForScreen([&](const Capture& c) { return chaseViewShowsTank(c, why); },
                                      WAIT_MS, &shot))
        << "locked: " << why;
    session.keep(shot, "locked-mouse-camera");
    EXPECT_TRUE(session.driver().cursorHidden()) << "locking showed the pointer";
    ASSERT_TRUE(session.chooseHere(MenuChoice::MouseCamera));
    EXPECT_TRUE(session.waitForPointerHidden(false)) << "mouse camera off: pointer hidden";
    EXPECT_TRUE(chaseViewShowsTank(session.capture(), why)) << "the chase view went: " << why;
    ASSERT_TRUE(session.chooseHere(MenuChoice::LockCamera));
    // No pointer motion reached the free camera: its start view is back.
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return startViewGridInPlace(c, why); }, WAIT_MS, &shot))
        << "unlocked: " << why;
    EXPECT_EQ(renderingOfGround(shot), Rendering::Filled);
    session.keep(shot, "unlocked");
    std::string report;
    EXPECT_TRUE(session.quitWithEscape(report)) << report;
}

TEST(MenuRobustnessTest, ClickThenClickAndPressDragReleaseUnderAWindowManager)
{
    ProgramSession session(underWindowManager());
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    XDriver& driver = session.driver();
    const WindowGeometry window = driver.geometry(session.window());
    ASSERT_GE(window.x, LEAST_OFFSET) << "the window sits at the screen's left edge";
    ASSERT_GE(window.y, LEAST_OFFSET) << "the window sits at the screen's top edge";

    // A right click opens the menu, drawn at once though the pointer stays
    // still (its first opening, when its window is sized for it); a left
    // click on an entry chooses that entry.
    const WindowId menu = openMenuWithAClick(session, MENU_OPEN_X, MENU_OPEN_Y);
    ASSERT_NE(menu, 0u) << "no menu after a right click";
    Capture opened;
    EXPECT_TRUE(pollUntil([&] {
        opened = driver.capture(menu);
        return opened.width > 0 && menuGreyShare(opened) >= MENU_GREY_SHARE;
    }, WAIT_MS)) << "the menu stays undrawn: grey share "
        << (opened.width > 0 ? menuGreyShare(opened) : 0.0);
    session.keep(opened, "menu-on-opening");
    ASSERT_TRUE(session.pointAt(MenuChoice::LockCamera)) << session.startupProblem();
    click(driver, LEFT_BUTTON);
    EXPECT_TRUE(pollUntil([&] { return !driver.isViewable(menu); }, WAIT_MS))
        << "the menu stays open";
    std::string why;
    Capture shot;
    EXPECT_TRUE(session.waitForScreen([&](const Capture& c) { return chaseViewShowsTank(c, why); },
                                      WAIT_MS, &shot))
        << "right click, left click on Lock/Free Camera: " << why;
    session.keep(shot, "clicked-lock");

    // Press, drag to the entry, let go there: exactly that entry is chosen.
    ASSERT_TRUE(session.choose(MenuChoice::LockCamera, MENU_OPEN_X, MENU_OPEN_Y));
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return startViewGridInPlace(c, why); }, WAIT_MS, &shot))
        << "press-drag-release on Lock/Free Camera: " << why;
    session.keep(shot, "dragged-to-lock");
    ASSERT_TRUE(session.choose(MenuChoice::Wireframe, MENU_OPEN_X, MENU_OPEN_Y));
    EXPECT_TRUE(waitForRendering(session, Rendering::Lines, shot))
        << "press-drag-release on Enable/Disable Wireframe: the ground shows "
        << renderingName(renderingOfGround(shot));
    session.keep(shot, "dragged-to-wireframe");
    EXPECT_FALSE(driver.cursorHidden()) << "the mouse camera was chosen on the way";
    std::string report;
    EXPECT_TRUE(session.quitWithEscape(report)) << report;
}

TEST(MenuRobustnessTest, ClicksOffTheMenuCloseItUnderAWindowManager)
{
    ProgramSession session(underWindowManager());
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    XDriver& driver = session.driver();
    const WindowGeometry window = driver.geometry(session.window());
    ASSERT_GT(window.x, DESKTOP_X + LEAST_OFFSET / 2) << "no desktop left of the window";
    ASSERT_GT(window.y, DESKTOP_Y + LEAST_OFFSET / 2) << "no desktop above the window";

    // Pressed, dragged off the menu and let go in the window, the menu stays
    // open; then a click on the desktop, outside the program's windows.
    ASSERT_TRUE(session.openMenu(MENU_OPEN_X, MENU_OPEN_Y)) << "no menu on a right press";
    WindowId menu = session.menuWindow(WAIT_MS);
    driver.movePointerIn(session.window(), MENU_OPEN_X / 2, MENU_OPEN_Y / 2);
    driver.sync();
    driver.buttonUp(RIGHT_BUTTON);
    // The pointer back over an entry lights it up once the program has
    // handled the release, before the desktop is clicked.
    ASSERT_TRUE(session.pointAt(MenuChoice::Vertex)) << session.startupProblem();
    driver.movePointer(DESKTOP_X, DESKTOP_Y);
    driver.sync();
    click(driver, LEFT_BUTTON);
    EXPECT_TRUE(pollUntil([&] { return !driver.isViewable(menu); }, WAIT_MS))
        << "a click on the desktop left the menu open";

    // A click in the window where the wireframe entry would lie if the
    // window's place on the screen were ignored: off the menu, so it closes
    // the menu and chooses nothing.
    menu = openMenuWithAClick(session, MENU_OPEN_X, MENU_OPEN_Y);
    ASSERT_NE(menu, 0u) << "no menu after a second right click";
    WindowGeometry misplaced = driver.geometry(menu);
    misplaced.x += window.x;
    misplaced.y += window.y;
    ASSERT_LT(misplaced.x + misplaced.width, window.x + window.width);
    ASSERT_LT(misplaced.y + misplaced.height, window.y + window.height);
    moveOnto(driver, menuEntryCentre(misplaced, static_cast<int>(MenuChoice::Wireframe)));
    click(driver, LEFT_BUTTON);
    EXPECT_TRUE(pollUntil([&] { return !driver.isViewable(menu); }, WAIT_MS))
        << "a click in the window off the menu left the menu open";

    // Neither click chose anything, and the menu opens and chooses as before:
    // wireframe from the filled start.
    ASSERT_TRUE(session.choose(MenuChoice::Wireframe, MENU_OPEN_X, MENU_OPEN_Y));
    Capture shot;
    EXPECT_TRUE(waitForRendering(session, Rendering::Lines, shot))
        << "the ground shows " << renderingName(renderingOfGround(shot));
    session.keep(shot, "wireframe-after-clicks-off-the-menu");
}

TEST(MenuRobustnessTest, EscapePressedWhileTheMenuIsOpenDoesNotEndTheProgram)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    ASSERT_TRUE(session.openMenu(MENU_X, MENU_Y));
    session.press("Escape");
    session.driver().sync();
    EXPECT_TRUE(stillRunningAfterTicks(session))
        << "Escape with the menu open ended the program: " << session.process().standardError();
    // Still held after the menu has gone: the press was the menu's.
    ASSERT_TRUE(session.dismissMenu());
    EXPECT_TRUE(stillRunningAfterTicks(session)) << "Escape held past the menu ended the program";
    session.release("Escape");
    session.driver().sync();
    ASSERT_TRUE(stillRunningAfterTicks(session));
    // Anywhere else Escape ends the program, as ever.
    std::string report;
    EXPECT_TRUE(session.quitWithEscape(report)) << report;
}
