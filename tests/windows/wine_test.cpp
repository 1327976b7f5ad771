// The Windows build of the program under Wine, worked with real X input on
// the X server this process is given: the window, the banner, the picture,
// the tank under a held key, key state across a change of focus, the pointer
// in mouse camera mode, and both ways out (Escape and the menu's Exit); the
// exe's resources; the installer installing, and its uninstaller removing, it.
//
//   quorvale_wine_test path/to/quorvale.exe path/to/setup.exe path/to/monitor_dpi.exe
//
// Needs DISPLAY and WINEPREFIX set and a persistent Wine server running (as
// scripts/test-windows.sh arranges). Prints one line per check and a closing
// "N passed, N failed"; exits non-zero when any check failed.
#include "platform/window_icon.h"
#include "tests/support/program.h"
#include "tests/support/scene_view.h"
#include "tests/support/xdriver.h"
#include "tests/windows/wine_screen.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr char TITLE[] = "Quorvale 1";
constexpr char MENU_TITLE[] = "freeglut menu";
constexpr char BANNER[] = "C++ and OpenGL Quorvale 1\r\n"
                          "Ferrowold version 0.55\r\n"
                          "Tamsrel aka Quennick\r\n"
                          "------\r\n";
constexpr int WIDTH = 1280;   // pixels
constexpr int HEIGHT = 720;   // pixels
constexpr int BASE_DPI = 96;      // dots per inch at 100 %, where the window is WIDTH x HEIGHT
constexpr int SCALED_DPI = 192;   // dots per inch at 200 %
constexpr int MENU_ENTRIES = 5;
constexpr int MOUSE_CAMERA_ENTRY = 2;
constexpr int EXIT_ENTRY = 5;
constexpr unsigned LEFT_BUTTON = 1;
constexpr unsigned RIGHT_BUTTON = 3;
constexpr unsigned REPEAT_DELAY_MS = 100;
constexpr unsigned REPEAT_INTERVAL_MS = 20;
constexpr unsigned long ARGB_MASK = 0xFFFFFFFFul;

constexpr char UNINSTALL_KEY[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvale";
// Bounded waits; Wine on a slow, shared machine takes its time to start.
constexpr int WINE_START_WAIT_MS = 90000; // Wine makes its prefix on first start
constexpr int MOTION_GAP_MS = 50; // lets Wine see one motion before the next input
// Wine's helper processes start within seconds; bounded all the same.
constexpr int WINE_COMMAND_TIMEOUT_S = 120;
// A tank that has not moved over this long is standing: 50 ticks and more.
constexpr int STILL_SPAN_MS = 1000;
// Captures this far apart show whether the tank is moving.
constexpr int STILL_GAP_MS = 300;
// Changed pixels away from the torus: more means the tank moves, at most the
// smaller figure means it stands (the tank covers thousands).
constexpr long MOVING_PIXELS = 150;
constexpr long STANDING_PIXELS = 20;

// The torus: most of it inside the middle of the window.
constexpr int MIDDLE_LEFT = 440;
constexpr int MIDDLE_RIGHT = 840;
constexpr int MIDDLE_TOP = 100;
constexpr int MIDDLE_BOTTOM = 460;
constexpr double MIDDLE_BLUE_SHARE = 0.15;
constexpr int CENTRE_TOLERANCE = 64;  // pixels between the torus's middle and the window's

// Where clicks land that give the window the keyboard back: ground, clear of
// the tank, the torus and the menu.
constexpr int CLICK_X = 150;
constexpr int CLICK_Y = 650;
// Where the menu is opened: sky, left of the torus.
constexpr int MENU_AT_X = 200;
constexpr int MENU_AT_Y = 120;

using Clock = std::chrono::steady_clock;

// The X display this driver was given, for the program it starts.
std::string displayName()
{
    const char* name = std::getenv("DISPLAY");
    return name != nullptr ? name : "";
}

// Stop the Wine server and every Wine process, then start a fresh persistent
// server with Wine's helper processes, the desktop at `dpi` (LogPixels). Their
// output goes to /dev/null: they keep any pipe they inherit open for ever.
// Wine's server keeps the key state of its desktop, so a program that ended on
// a key press would leave that key held for the next one. True on success.
bool restartWine(int dpi = BASE_DPI)
{
    const auto quietly = [](const std::string& command) {
        return runCommand("timeout " + std::to_string(WINE_COMMAND_TIMEOUT_S) + " " + command +
                          " </dev/null >/dev/null 2>&1")
                   .status == 0;
    };
    quietly("wineserver -k");
    quietly("wineserver -w");
    return quietly("wineserver -p") &&
           quietly("wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /f /d " +
                   std::to_string(dpi)) &&
           quietly("wineboot");
}

struct Tally {
    int passed = 0;
    int failed = 0;

    bool check(bool ok, const std::string& what, const std::string& detail = "")
    {
        std::printf("%s: %s%s%s\n", ok ? "PASS" : "FAIL", what.c_str(),
                    detail.empty() ? "" : " -- ", detail.c_str());
        std::fflush(stdout);
        (ok ? passed : failed) += 1;
        return ok;
    }

    // A step the checks after it need: reported and counted only when it fails.
    bool require(bool ok, const std::string& what, const std::string& detail = "")
    {
        return ok || check(ok, what, detail);
    }
};

// The text with its line ends spelt out, for a one-line report.
std::string visibleLineEnds(const std::string& text)
{
    std::string shown;
    for (const char c : text) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else
            shown += c;
    }
    return shown;
}

// One run of the program: its window found and driven.
class Session {
public:
    Session(XDriver& driver, const std::string& exe)
        : driver_(driver), program_({"wine", exe}, displayName(), {})
    {
    }

    ProgramProcess& program() { return program_; }
    XDriver& driver() { return driver_; }
    WindowId window() const { return window_; }

    // Wait for the window and its first frame (the torus showing).
    bool start()
    {
        window_ = driver_.findWindow(TITLE, WINE_START_WAIT_MS);
        if (window_ == 0)
            return false;
        return pollUntil([&] {
            const Capture shot = driver_.capture(window_);
            return countPixels(shot, wholeCapture(shot), isTorusBlue) > 0;
        });
    }

    // Pixels changed away from the torus between two captures STILL_GAP_MS apart.
    long motion()
    {
        const Capture before = driver_.capture(window_);
        pauseFor(STILL_GAP_MS);
        return changesAwayFromTorus(before, driver_.capture(window_));
    }

    // Wait until nothing but the torus moves.
    bool waitUntilStanding()
    {
        return pollUntil([&] {
            const long changed = motion();
            return changed >= 0 && changed <= STANDING_PIXELS;
        }, WAIT_MS);
    }

    // True if, once nothing but the torus moves, that holds for STILL_SPAN_MS.
    bool staysStanding(std::string& detail)
    {
        const bool stood = waitUntilStanding();
        const Capture from = driver_.capture(window_);
        pauseFor(STILL_SPAN_MS);
        const long changed = changesAwayFromTorus(from, driver_.capture(window_));
        detail = stood ? std::to_string(changed) + " pixels changed away from the torus over " +
                             std::to_string(STILL_SPAN_MS) + " ms"
                       : "the scene never stood still";
        return stood && changed >= 0 && changed <= STANDING_PIXELS;
    }

    // Wait until the scene moves away from the torus (the tank drives).
    bool waitUntilMoving()
    {
        return pollUntil([&] { return motion() > MOVING_PIXELS; }, WAIT_MS);
    }

    // Our window gets the keyboard back as a user gives it: focus and a click.
    void takeKeyboard()
    {
        driver_.focus(window_);
        driver_.movePointerIn(window_, CLICK_X, CLICK_Y);
        driver_.buttonDown(LEFT_BUTTON);
        driver_.buttonUp(LEFT_BUTTON);
        driver_.sync();
    }

private:
    XDriver& driver_;
    ProgramProcess program_;
    WindowId window_ = 0;
};

void checkStartup(Session& session, Tally& tally)
{
    XDriver& driver = session.driver();
    const WindowGeometry place = driver.geometry(session.window());
    tally.check(place.width == WIDTH && place.height == HEIGHT, "window \"Quorvale 1\" is 1280x720",
                std::to_string(place.width) + "x" + std::to_string(place.height));

    session.program().waitForOutput("------\r\n", WAIT_MS);
    const std::string& output = session.program().standardOutput();
    tally.check(output == BANNER, "the banner on standard output (CRLF lines)",
                output == BANNER ? "" : "got \"" + visibleLineEnds(output) + "\"");

    const Capture shot = driver.capture(session.window());
    long middle = 0;
    long outside = 0;
    double sum = 0.0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            if (!isTorusBlue(shot.red(x, y), shot.green(x, y), shot.blue(x, y)))
                continue;
            sum += x;
            const bool inMiddle = x >= MIDDLE_LEFT && x < MIDDLE_RIGHT && y >= MIDDLE_TOP && y < MIDDLE_BOTTOM;
            (inMiddle ? middle : outside) += 1;
        }
    const double middleArea = static_cast<double>(MIDDLE_RIGHT - MIDDLE_LEFT) * (MIDDLE_BOTTOM - MIDDLE_TOP);
    const double centre = middle + outside > 0 ? sum / static_cast<double>(middle + outside) : -1.0;
    tally.check(static_cast<double>(middle) >= MIDDLE_BLUE_SHARE * middleArea && outside < middle / 10 &&
                    std::fabs(centre - WIDTH / 2.0) < CENTRE_TOLERANCE,
                "the blue torus in the middle of the window",
                std::to_string(middle) + " blue pixels in the middle, " + std::to_string(outside) +
                    " elsewhere, centred at column " + std::to_string(centre));
}

// The desktop shows the program's own icon for its window: the one of 32
// pixels (Wine's large one at 96 DPI, the small one at 192) pixel for pixel as
// the picture the X11 build carries.
void checkIcon(Session& session, Tally& tally)
{
    const WindowIcon& ours = windowIcons[WINDOW_ICON_COUNT - 1];
    const std::vector<unsigned long> shown = windowIconPixels(session.window(), ours.width);
    long differing = 0;
    for (std::size_t index = 0; index < shown.size(); ++index)
        if ((shown[index] & ARGB_MASK) != ours.argb[index])
            ++differing;
    tally.check(!shown.empty() && differing == 0, "the window carries the program's icon",
                shown.empty() ? "no icon of " + std::to_string(ours.width) + " pixels"
                              : std::to_string(differing) + " pixels differ");
}

// What a command printed, with stderr dropped and the line ends trimmed.
std::string outputOf(const std::string& command)
{
    std::string text = runCommand("(timeout " + std::to_string(WINE_COMMAND_TIMEOUT_S) + " " + command +
                                  ") 2>/dev/null").output;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// At 200 % (LogPixels 192) the window opens at the scale Wine gives its
// monitor, as the probe reads it: a client area of 2560x1440 with a large
// icon of 64 pixels at 192 DPI. Wine 10 may keep its monitor at 96 DPI while
// the system takes 192: the window opens at 192 and is scaled to the
// monitor's 1280x720. The client area is read from Windows: Wine then draws
// borders at 192 DPI inside the X window, which is larger.
void checkScaledWindow(Session& session, int monitorDpi, const std::string& probe, Tally& tally)
{
    const int iconWidth = windowIcons[WINDOW_ICON_COUNT - 1].width * monitorDpi / BASE_DPI;
    const std::string expected = std::to_string(monitorDpi) + " " + std::to_string(WIDTH * monitorDpi / BASE_DPI) +
                                 "x" + std::to_string(HEIGHT * monitorDpi / BASE_DPI);
    const std::string seen = outputOf("wine " + shellQuoted(probe) + " " + shellQuoted(TITLE));
    const bool iconThere = !windowIconPixels(session.window(), iconWidth).empty();
    tally.check(seen == expected && iconThere,
                "at LogPixels 192 the window's client area and its large icon follow the monitor's " +
                    std::to_string(monitorDpi) + " DPI",
                "DPI and client area " + seen + ", large icon of " + std::to_string(iconWidth) + " pixels " +
                    (iconThere ? "there" : "missing"));
    checkIcon(session, tally);
}

// A check that the text holds every one of the parts; the text is the detail when it does not.
void checkHolds(Tally& tally, const std::string& text, const std::vector<std::string>& parts,
                const std::string& what)
{
    bool all = true;
    for (const std::string& part : parts)
        all = all && text.find(part) != std::string::npos;
    tally.check(all, what, all ? "" : text);
}

// The icon group's sizes, the version's strings and the DPI manifest, read
// with icoutils from the file as Explorer reads it; the imports, read with objdump.
void checkResources(const std::string& exe, Tally& tally)
{
    const std::string file = shellQuoted(exe);
    // icotool reads the 256-pixel PNG from a file, not a pipe.
    checkHolds(tally, outputOf("sh -c " + shellQuoted("ico=$(mktemp) && wrestool -x -t14 " + file +
                                               " >$ico && icotool -l $ico; rm -f $ico")),
               {"--width=16 ", "--width=20 ", "--width=24 ", "--width=28 ", "--width=32 ", "--width=40 ",
                "--width=48 ", "--width=56 ", "--width=64 ", "--width=256 "},
               "the exe's icon has its own picture at each small and large size of 100 to 200 %, and 256 pixels");
    // user32's per-DPI calls (GetDpiForWindow...) came with Windows 10 version
    // 1607: an exe that imports one does not load on the older ones its manifest names.
    const std::string dpiImports = outputOf("objdump -p " + file + " | grep -i 'dpi'");
    tally.check(outputOf("objdump -p " + file).find("USER32.dll") != std::string::npos && dpiImports.empty(),
                "the exe imports no per-DPI call, so it loads on Windows before 10 version 1607", dpiImports);
    checkHolds(tally, outputOf("wrestool -x --raw -t16 " + file + " | strings -el"),
               {"ProductName\nQuorvale\n", "FileVersion\n" QUORVALE_VERSION "\n",
                "ProductVersion\n" QUORVALE_VERSION "\n"},
               "the exe's version names Quorvale " QUORVALE_VERSION);
    checkHolds(tally, outputOf("wrestool -x --raw -t24 " + file),
               {">PerMonitorV2", ">true/pm<", "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
               "the exe's manifest: per-monitor DPI aware (v2), made for Vista to Windows 11");
}

void checkDriving(Session& session, Tally& tally)
{
    XDriver& driver = session.driver();
    session.takeKeyboard();
    const bool stoodFirst = session.waitUntilStanding();
    driver.keyDown("w");
    const bool drove = session.waitUntilMoving();
    driver.keyUp("w");
    driver.sync();
    std::string detail;
    const bool stopped = session.staysStanding(detail);
    tally.check(stoodFirst && drove && stopped, "held W drives the tank; let go, it stops",
                std::string(stoodFirst ? "" : "the scene never stood still at first; ") +
                    (drove ? "" : "W did not drive; ") + detail);

    // Pressed and let go while the program handles nothing, as when a tick
    // takes long: a step, and no more.
    const Capture beforeTap = driver.capture(session.window());
    driver.burst([&] {
        driver.keyDown("w");
        driver.keyUp("w");
    });
    const bool tapDrove = pollUntil([&] {
        return session.waitUntilStanding() &&
               changesAwayFromTorus(beforeTap, driver.capture(session.window())) > MOVING_PIXELS;
    }, WAIT_MS);
    const bool tapStopped = session.staysStanding(detail);
    tally.check(tapDrove && tapStopped, "W tapped between two ticks drives the tank a step; then it stands",
                std::string(tapDrove ? "" : "the tap did not drive; ") + detail);
}

// A key let go in another window must not keep acting; a key pressed in
// another window must not act when the keyboard comes back; keys work again
// afterwards. The tank turns on the spot under A, so a stuck key keeps it
// turning in view for as long as one cares to look.
void checkFocusChange(Session& session, Tally& tally)
{
    XDriver& driver = session.driver();
    const WindowId other = driver.createWindow(1300, 760, 200, 200);

    session.takeKeyboard();
    session.waitUntilStanding();
    driver.keyDown("a");
    const bool turned = session.waitUntilMoving();
    driver.focus(other);
    driver.keyUp("a");
    driver.sync();
    std::string awayDetail;
    const bool stoppedAway = session.staysStanding(awayDetail);
    session.takeKeyboard();
    std::string backDetail;
    const bool stoppedBack = session.staysStanding(backDetail);
    tally.check(turned && stoppedAway && stoppedBack,
                "A let go in another window: the tank stops turning and stays still when the keyboard comes back",
                std::string(turned ? "" : "A did not turn the tank; ") + "away: " + awayDetail +
                    "; back: " + backDetail);

    driver.focus(other);
    driver.keyDown("a");
    driver.sync();
    session.takeKeyboard();
    std::string heldDetail;
    const bool ignored = session.staysStanding(heldDetail);
    driver.keyUp("a");
    driver.sync();
    tally.check(ignored, "A pressed in another window and held on does not turn the tank", heldDetail);

    session.waitUntilStanding();
    driver.keyDown("a");
    const bool turnsAgain = session.waitUntilMoving();
    driver.keyUp("a");
    driver.sync();
    session.waitUntilStanding();
    tally.check(turnsAgain, "after the focus changes, a fresh press of A turns the tank again");
    driver.destroyWindow(other);
}

void checkEscape(Session& session, Tally& tally)
{
    XDriver& driver = session.driver();
    session.takeKeyboard();
    driver.keyDown("Escape");
    const bool ended = session.program().waitForExit(WAIT_MS);
    driver.keyUp("Escape");
    driver.sync();
    tally.check(ended && session.program().exitStatus() == 0, "Escape ends the program with status 0",
                "exit status " + std::to_string(session.program().exitStatus()));
}

// Open the menu with a right click where the pointer is, then click one of
// its entries; false if no menu opened or it did not close.
bool chooseFromMenu(Session& session, int entry)
{
    XDriver& driver = session.driver();
    driver.buttonDown(RIGHT_BUTTON);
    driver.buttonUp(RIGHT_BUTTON);
    driver.sync();
    const WindowId menu = driver.findWindow(MENU_TITLE, WAIT_MS);
    if (menu == 0)
        return false;
    // The entries share the menu's height equally apart from a thin border.
    const WindowGeometry place = driver.geometry(menu);
    const int x = place.x + place.width / 2;
    const int y = place.y + (2 * entry - 1) * place.height / (2 * MENU_ENTRIES);
    // Two motions, so the toolkit sees the pointer move over the entry.
    driver.movePointer(x - 1, y);
    driver.movePointer(x, y);
    driver.sync();
    pauseFor(MOTION_GAP_MS);
    driver.buttonDown(LEFT_BUTTON);
    driver.buttonUp(LEFT_BUTTON);
    driver.sync();
    // Closed, it cannot be taken for the next menu opened; the Exit entry may
    // end the program (and take the menu with it) at once.
    return pollUntil([&] { return !driver.isViewable(menu) || !session.program().running(); },
                     WAIT_MS);
}

// The mouse camera hides the pointer over the window, the keyboard camera
// shows it again (ShowCursor's count back where it was). Wine changes the
// pointer's look when the pointer next moves, as a user's hand does.
void checkPointer(Session& session, Tally& tally)
{
    XDriver& driver = session.driver();
    session.takeKeyboard();
    driver.movePointerIn(session.window(), MENU_AT_X, MENU_AT_Y);
    int nudge = 0;
    const auto pointerHidden = [&] {
        driver.movePointerIn(session.window(), MENU_AT_X + nudge % 2, MENU_AT_Y);
        driver.sync();
        ++nudge;
        pauseFor(MOTION_GAP_MS);
        return driver.cursorHidden();
    };
    const bool firstChosen = chooseFromMenu(session, MOUSE_CAMERA_ENTRY);
    const bool hidden = firstChosen && pollUntil(pointerHidden, WAIT_MS);
    driver.movePointerIn(session.window(), MENU_AT_X, MENU_AT_Y);
    const bool secondChosen = chooseFromMenu(session, MOUSE_CAMERA_ENTRY);
    const bool shown = secondChosen && pollUntil([&] { return !pointerHidden(); }, WAIT_MS);
    tally.check(hidden && shown, "the mouse camera hides the pointer, the keyboard camera shows it",
                std::string(firstChosen ? "" : "menu failed; ") + (hidden ? "hidden" : "not hidden") +
                    ", then " + (secondChosen ? "" : "menu failed; ") + (shown ? "shown" : "not shown"));
}

// Escape pressed to dismiss the open menu, and held past its closing, is the
// menu's: the program runs on. Under Wine the window's picture stands still
// while the menu is open, so the sign that ticks ran after the press is W,
// pressed after it: the tank drives once a click off the menu has closed it.
void checkEscapeInMenu(Session& session, Tally& tally)
{
    XDriver& driver = session.driver();
    session.takeKeyboard();
    session.waitUntilStanding();
    driver.movePointerIn(session.window(), MENU_AT_X, MENU_AT_Y);
    driver.buttonDown(RIGHT_BUTTON);
    driver.buttonUp(RIGHT_BUTTON);
    driver.sync();
    const WindowId menu = driver.findWindow(MENU_TITLE, WAIT_MS);
    driver.keyDown("Escape");
    driver.keyDown("w");
    driver.movePointerIn(session.window(), CLICK_X, CLICK_Y);
    driver.buttonDown(LEFT_BUTTON);
    driver.buttonUp(LEFT_BUTTON);
    driver.sync();
    const bool closed = menu != 0 && pollUntil([&] { return !driver.isViewable(menu); }, WAIT_MS);
    const bool drove = session.program().running() && session.waitUntilMoving();
    driver.keyUp("w");
    driver.keyUp("Escape");
    driver.sync();
    const bool stood = session.program().running() && session.waitUntilStanding();
    tally.check(closed && drove && stood && session.program().running(),
                "Escape held while the menu is open does not end the program",
                std::string(closed ? "menu closed" : "no menu, or it stayed open") +
                    (drove ? "; W drove the tank" : "; W did not drive") +
                    (session.program().running() ? "; running" : "; the program ended"));
}

void checkMenuExit(Session& session, Tally& tally)
{
    XDriver& driver = session.driver();
    session.takeKeyboard();
    driver.movePointerIn(session.window(), MENU_AT_X, MENU_AT_Y);
    const bool opened = chooseFromMenu(session, EXIT_ENTRY);
    const bool ended = opened && session.program().waitForExit(WAIT_MS);
    tally.check(ended && session.program().exitStatus() == 0,
                "the menu's Exit ends the program with status 0",
                opened ? "exit status " + std::to_string(session.program().exitStatus())
                       : "the menu did not open and close");
}

// The Unix path of a Windows one, %VARIABLES% expanded, in Wine's prefix.
std::string unixPath(const std::string& windowsPath)
{
    return outputOf("winepath -u " + shellQuoted(outputOf("wine cmd /c echo " + shellQuoted(windowsPath))));
}

// A silent install for this user alone, the installed program started from its
// folder, and a silent uninstall that leaves none of it behind.
void checkInstaller(XDriver& driver, const std::string& setup, Tally& tally)
{
    const std::string folder = unixPath("%LOCALAPPDATA%") + "/Programs/Quorvale";
    const std::string shortcut = unixPath("%APPDATA%") + "/Microsoft/Windows/Start Menu/Programs/Quorvale.lnk";
    const bool installed = outputOf("wine " + shellQuoted(setup) + " /S; echo $?") == "0" &&
                           std::filesystem::exists(folder + "/quorvale.exe") && std::filesystem::exists(shortcut);
    tally.check(installed, "setup.exe /S installs into the user's programs, with a Start-menu shortcut",
                folder + "; " + shortcut);
    checkHolds(tally, outputOf("wine reg query " + shellQuoted(UNINSTALL_KEY)),
               {"DisplayName", "DisplayVersion    REG_SZ    " QUORVALE_VERSION, "Publisher", "DisplayIcon",
                "uninstall.exe"},
               "setup.exe registers the uninstaller, its version, publisher and icon in the Uninstall key");
    {
        Session session(driver, folder + "/quorvale.exe");
        const bool started = session.start() && session.program().waitForOutput("------\r\n", WAIT_MS);
        tally.check(started && session.program().standardOutput() == BANNER,
                    "the installed program starts and prints its banner", session.program().standardError());
        checkEscape(session, tally);
    }
    // The uninstaller runs on from a copy of itself in the temporary folder.
    runCommand("wine " + shellQuoted(folder + "/uninstall.exe") + " /S");
    const bool removed = pollUntil([&] {
        return !std::filesystem::exists(folder) && !std::filesystem::exists(shortcut) &&
               runCommand("wine reg query " + shellQuoted(UNINSTALL_KEY)).status != 0;
    }, WINE_START_WAIT_MS);
    tally.check(removed, "uninstall.exe /S removes the files, the shortcut and the Uninstall key");
}

// Keys held on the server repeat quickly, as on a desktop whose keyboard
// repeats: a key held in another window then repeats into ours once the
// keyboard comes back.
bool repeatKeysQuickly()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    XAutoRepeatOn(display);
    const bool set = XkbSetAutoRepeatRate(display, XkbUseCoreKbd, REPEAT_DELAY_MS, REPEAT_INTERVAL_MS) != 0;
    XCloseDisplay(display);
    return set;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s path/to/quorvale.exe path/to/setup.exe path/to/monitor_dpi.exe\n",
                     argv[0]);
        return 2;
    }
    const std::string exe = argv[1];
    Tally tally;
    checkResources(exe, tally);
    XDriver driver;
    if (tally.require(driver.connected() && repeatKeysQuickly(), "the X server answers")) {
        {
            Session session(driver, exe);
            if (tally.require(session.start(), "the program starts and draws under Wine",
                            session.program().standardError())) {
                checkStartup(session, tally);
                checkIcon(session, tally);
                checkDriving(session, tally);
                checkFocusChange(session, tally);
                checkEscape(session, tally);
            }
        }
        // Wine's server may keep Escape as held after the program ended on
        // it (the release went to no window): a fresh one for the next program.
        if (tally.require(restartWine(), "Wine restarts")) {
            Session session(driver, exe);
            if (tally.require(session.start(), "the program starts again", session.program().standardError())) {
                checkPointer(session, tally);
                checkEscapeInMenu(session, tally);
                checkMenuExit(session, tally);
            }
        }
        const std::string monitorDpi = restartWine(SCALED_DPI) ? outputOf("wine " + shellQuoted(argv[3])) : "";
        if (tally.require(monitorDpi == "96" || monitorDpi == "192", "Wine restarts at 192 DPI",
                          "the monitor's DPI: \"" + monitorDpi + "\"")) {
            Session session(driver, exe);
            if (tally.require(session.start(), "the program starts at 192 DPI",
                              session.program().standardError()))
                checkScaledWindow(session, std::stoi(monitorDpi), argv[3], tally);
        }
        if (tally.require(restartWine(), "Wine restarts"))
            checkInstaller(driver, argv[2], tally);
    }
    std::printf("%d passed, %d failed\n", tally.passed, tally.failed);
    return tally.failed == 0 ? 0 : 1;
}
