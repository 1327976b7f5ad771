// A shorter run of the real menu, in other orders than the scenarios: vertex
// before wireframe, repeats, the camera mode and the chase view toggled
// across each other. Each choice is checked on the screen and, for the
// camera mode, on the pointer. And Escape pressed to close the open menu,
// which must not end the program.
#include "tests/scenarios/screen_checks.h"
#include "tests/scenarios/tank_tracker.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct RenderStep {
    MenuChoice entry;
    Rendering shows;
    const char* name;
};

// From the start: vertex gives points; wireframe (its flag off) lines;
// vertex (its flag on) filled; wireframe (on) filled; wireframe (off) lines;
// wireframe (on) filled: both flags off again, as at the start.
const RenderStep RENDER_STEPS[] = {
    {MenuChoice::Vertex, Rendering::Points, "vertex"},
    {MenuChoice::Wireframe, Rendering::Lines, "wireframe"},
    {MenuChoice::Vertex, Rendering::Filled, "vertex-again"},
    {MenuChoice::Wireframe, Rendering::Filled, "wireframe-again"},
    {MenuChoice::Wireframe, Rendering::Lines, "wireframe-third"},
    {MenuChoice::Wireframe, Rendering::Filled, "wireframe-fourth"},
};

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
    for (const RenderStep& step : RENDER_STEPS) {
        ASSERT_TRUE(session.choose(step.entry)) << step.name;
        EXPECT_TRUE(waitForRendering(session, step.shows, shot))
            << step.name << ": expected " << renderingName(step.shows) << ", the ground shows "
            << renderingName(renderingOfGround(shot));
        session.keep(shot, step.name);
    }

    // Mouse camera on, the chase view locked, the mouse camera off, unlocked.
    ASSERT_TRUE(session.chooseHere(MenuChoice::MouseCamera));
    EXPECT_TRUE(session.waitForPointerHidden(true)) << "mouse camera on: pointer shown";
    ASSERT_TRUE(session.chooseHere(MenuChoice::LockCamera));
    EXPECT_TRUE(session.waitForScreen([&](const Capture& c) { return chaseViewShowsTank(c, why); },
                                      SCREEN_WAIT_MS, &shot))
        << "locked: " << why;
    session.keep(shot, "locked-mouse-camera");
    EXPECT_TRUE(session.driver().cursorHidden()) << "locking showed the pointer";
    ASSERT_TRUE(session.chooseHere(MenuChoice::MouseCamera));
    EXPECT_TRUE(session.waitForPointerHidden(false)) << "mouse camera off: pointer hidden";
    EXPECT_TRUE(chaseViewShowsTank(session.capture(), why)) << "the chase view went: " << why;
    ASSERT_TRUE(session.chooseHere(MenuChoice::LockCamera));
    // No pointer motion reached the free camera: its start view is back.
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return startViewGridInPlace(c, why); }, SCREEN_WAIT_MS, &shot))
        << "unlocked: " << why;
    EXPECT_EQ(renderingOfGround(shot), Rendering::Filled);
    session.keep(shot, "unlocked");
    std::string report;
    EXPECT_TRUE(session.quitWithEscape(report)) << report;
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
