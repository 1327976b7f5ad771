#include "tests/support/program_session.h"

#include "tests/support/png.h"
#include "tests/support/scene_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>

// What each desktop runs on the private server, with its stock settings
// whatever the user running the tests has configured, and no session manager
// to talk to. A compositor says which display its Xwayland serves after the
// mark (weston in its log; mutter through the command it runs).
struct DesktopCommand {
    Desktop desktop;
    const char* name;
    std::vector<std::string> command;
    std::vector<std::string> environment;
    const char* displayMark; // compositors only
};

namespace {

constexpr char WINDOW_TITLE[] = "Quorvale 1";
// The toolkit's pop-up menu is a window of its own with this title.
constexpr char MENU_TITLE[] = "freeglut menu";
constexpr unsigned LEFT_BUTTON = 1;
constexpr unsigned RIGHT_BUTTON = 3;
constexpr int SCREEN_WIDTH = 1600;
constexpr int SCREEN_HEIGHT = 1000;
// Wine's screen holds a window at 200 % (2560x1440) and its frame: Windows
// keeps windows within the screen.
constexpr int WINE_SCREEN_WIDTH = 2880;
constexpr int WINE_SCREEN_HEIGHT = 1800;
constexpr int MENU_DISMISS_OFFSET = 20; // pixels up and left of the menu's corner
// Share of a closed menu's place still showing its grey: not drawn over yet.
constexpr double MENU_GREY_SHARE = 0.4;
constexpr int MENU_EDGE = 3;       // pixels of bevel at each side of the menu
// Share of the first frame that must show the green ground.
constexpr double FIRST_FRAME_GROUND_SHARE = 0.2;
// A quick key auto-repeat, as some desktops have, so that keys held in the
// tests repeat many times over.
const std::vector<std::string> SERVER_OPTIONS = {"-ardelay", "100", "-arinterval", "20"};
// With no window manager the toolkit leaves a window it was given no place
// for at (-1, -1), partly off the screen, where it cannot be read back; the
// toolkit's own -geometry option (the program hands every argument to the
// toolkit) puts it in the corner instead, as a window manager would.
const std::vector<std::string> PROGRAM_ARGUMENTS = {"-geometry", "+0+0"};

// The compositor's socket, in the private runtime folder of the session.
constexpr char WAYLAND_SOCKET[] = "quorvale-test";
// The compositor's output, pixels: room for the window and its frame.
constexpr int OUTPUT_WIDTH = 1400;
constexpr int OUTPUT_HEIGHT = 900;
const std::vector<std::string> OPENBOX_COMMAND = {"openbox", "--sm-disable", "--config-file",
                                                  "/etc/xdg/openbox/rc.xml"};
const DesktopCommand DESKTOP_COMMANDS[] = {
    {Desktop::Openbox, "Openbox", OPENBOX_COMMAND, {}, nullptr},
    {Desktop::Icewm, "Icewm", {"icewm"}, {"ICEWM_PRIVCFG=/nonexistent"}, nullptr},
    {Desktop::Weston, "Weston",
     {"weston", "--no-config", "--backend=x11-backend.so", "--xwayland", "--idle-time=0",
      std::string("--socket=") + WAYLAND_SOCKET, "--width=" + std::to_string(OUTPUT_WIDTH),
      "--height=" + std::to_string(OUTPUT_HEIGHT)},
     {},
     "listening on display :"},
    {Desktop::Mutter, "Mutter",
     {"dbus-run-session", "--", "mutter", "--wayland", "--nested",
      std::string("--wayland-display=") + WAYLAND_SOCKET, "--", "sh", "-c",
      "echo \"xwayland-display $DISPLAY\"; exec sleep 100000"},
     {"MUTTER_DEBUG_DUMMY_MODE_SPECS=" + std::to_string(OUTPUT_WIDTH) + "x" + std::to_string(OUTPUT_HEIGHT),
      "GSETTINGS_BACKEND=memory"},
     "xwayland-display :"},
    // Wine 10 hides a window (a closed menu) only once a window manager has
    // confirmed it: Wine's desktop runs under one, as on any desktop.
    {Desktop::Wine, "Wine", OPENBOX_COMMAND, {}, nullptr},
};
// Finding where the compositor shows the window: the pointer moved between
// two points of its output this far apart (pixels).
constexpr int ALIGN_STEP = 7;
constexpr int ALIGN_TRIES = 20;
constexpr int ALIGN_WAIT_MS = 2000;
// timeout(1)'s exit status for a command it stopped.
constexpr int TIMED_OUT_STATUS = 124;

// Sessions still open. Should the test process end through exit() (the X
// library does so on a protocol error), their program and X server are
// stopped too instead of being left behind holding the test's output.
std::vector<ProgramSession*>& openSessions()
{
    static std::vector<ProgramSession*> sessions;
    return sessions;
}

void stopOpenSessions()
{
    for (ProgramSession* session : openSessions())
        session->stopAtExit();
}

std::string testName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info == nullptr)
        return "session";
    // Parameterised tests have slashes in their names: no folders for them.
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '-');
    return name;
}

} // namespace

std::string desktopName(Desktop desktop)
{
    for (const DesktopCommand& entry : DESKTOP_COMMANDS)
        if (entry.desktop == desktop)
            return entry.name;
    return "Bare";
}

ProgramSession::ProgramSession(Focus focus) : ProgramSession([focus] {
    Options options;
    options.focus = focus;
    return options;
}()) {}

ProgramSession::ProgramSession(const Options& options)
{
    static const bool stopAtExitRegistered = std::atexit(stopOpenSessions) == 0;
    (void)stopAtExitRegistered;
    openSessions().push_back(this);
    const bool wine = options.desktop == Desktop::Wine;
    windowsMenus_ = wine;
    server_ = std::make_unique<XvfbServer>(wine ? WINE_SCREEN_WIDTH : SCREEN_WIDTH,
                                           wine ? WINE_SCREEN_HEIGHT : SCREEN_HEIGHT, SERVER_OPTIONS);
    if (!server_->running()) {
        problem_ = "no private X server: " + server_->problem();
        return;
    }
    driver_ = std::make_unique<XDriver>(server_->display());
    if (!driver_->connected()) {
        problem_ = "cannot connect to the private X server";
        return;
    }
    programDisplay_ = server_->display();
    if (!startDesktop(options))
        return;
    std::vector<std::string> command = options.command.empty() ? std::vector<std::string>{programPath()} : options.command;
    if (!options.traceFile.empty()) {
        const std::string apitrace = findOnPath("apitrace");
        if (apitrace.empty()) {
            problem_ = "apitrace is not installed";
            return;
        }
        command = {apitrace, "trace", "-o", options.traceFile, programPath()};
    }
    command.insert(command.end(), PROGRAM_ARGUMENTS.begin(), PROGRAM_ARGUMENTS.end());
    command.insert(command.end(), options.arguments.begin(), options.arguments.end());
    programEnvironment_.insert(programEnvironment_.end(), options.environment.begin(),
                               options.environment.end());
    process_ = std::make_unique<ProgramProcess>(command, programDisplay_, programEnvironment_);
    if (!process_->started()) {
        problem_ = "cannot connect or start the program";
        return;
    }
    // A program that ended shows no window later: no waiting out the bound.
    WindowId found = 0;
    pollUntil([&] {
        found = driver_->findWindow(WINDOW_TITLE, 0);
        return found != 0 || !process_->running();
    }, options.startWaitMs);
    if (found == 0) {
        // What was left standing tells a program that hung from one that ended
        // and from a window manager that went away.
        const bool running = process_->running();
        problem_ = std::string("no window on ") + programDisplay_ + "; the program " +
                   (running ? "still runs" : "ended with status " + std::to_string(process_->exitStatus())) +
                   (desktop_ != nullptr && runtimeDirectory_.empty()
                        ? (driver_->windowManagerRunning() ? "; the window manager runs" : "; no window manager")
                        : "") +
                   "; stderr: " + process_->standardError();
        return;
    }
    window_ = found;
    if (!runtimeDirectory_.empty() && !alignInputWithCompositor()) {
        problem_ = "the compositor never showed the pointer over the window";
        window_ = 0;
        return;
    }
    // A compositor gives the keyboard to the window it shows.
    if (options.focus == Focus::OnWindow && runtimeDirectory_.empty())
        driver_->focus(found);
    const bool drawn = waitForScreen(
        [](const Capture& shot) {
            const double pixels = static_cast<double>(shot.width) * shot.height;
            return static_cast<double>(countPixels(shot, wholeCapture(shot), isGroundGreen)) >
                   FIRST_FRAME_GROUND_SHARE * pixels;
        },
        options.startWaitMs);
    if (!drawn) {
        problem_ = std::string("the first frame never showed; the program ") +
                   (process_->running() ? "still runs after " + std::to_string(options.startWaitMs / 1000) + " s"
                                        : "ended with status " + std::to_string(process_->exitStatus())) +
                   "; stderr: " + process_->standardError();
        window_ = 0;
    }
}

ProgramSession::~ProgramSession()
{
    auto& sessions = openSessions();
    sessions.erase(std::remove(sessions.begin(), sessions.end(), this), sessions.end());
    if (driver_ == nullptr)
        return;
    while (!held_.empty())
        release(held_.back());
    if (buttonHeld_)
        driver_->buttonUp(RIGHT_BUTTON);
    driver_->sync();
    if (wineStarted_) {
        stopWine();
        process_.reset();
    }
    if (runtimeDirectory_.empty())
        return;
    process_.reset();
    driver_.reset();
    desktop_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(runtimeDirectory_, ignored);
}

bool ProgramSession::startDesktop(const Options& options)
{
    const DesktopCommand* entry = nullptr;
    for (const DesktopCommand& candidate : DESKTOP_COMMANDS)
        if (candidate.desktop == options.desktop)
            entry = &candidate;
    if (entry == nullptr)
        return true;
    if (entry->displayMark != nullptr)
        return startCompositor(*entry);
    desktop_ = std::make_unique<ProgramProcess>(entry->command, server_->display(), entry->environment);
    // The program starts once the window manager has named its check window on
    // the root and answers from its event loop: having named it, it may still
    // be starting up; answering, it may not have named it (nor taken its keys).
    if (pollUntil([&] { return (driver_->windowManagerRunning() && driver_->windowManagerAnswers()) ||
                               desktop_->waitForExit(0); },
                  WAIT_MS) &&
        !desktop_->exited())
        return options.desktop != Desktop::Wine || startWine(options);
    problem_ = "the window manager did not start: " + desktop_->standardError();
    return false;
}

// A fresh persistent server for the prefix (Wine's server keeps its desktop's
// key state across programs: a key held as one program ended would be held
// for the next), the desktop's DPI, and Wine's helper processes started by
// wineboot. Each step is bounded; its output goes nowhere, as the helpers live
// on with the server and would hold any pipe they inherit open.
bool ProgramSession::startWine(const Options& options)
{
    if (std::getenv("WINEPREFIX") == nullptr) {
        problem_ = "WINEPREFIX is not set: no Wine prefix to run";
        return false;
    }
    wineStarted_ = true;
    stopWine();
    const std::string bound = std::to_string((options.startWaitMs + 999) / 1000);
    const std::string steps[] = {
        "wineserver -p",
        "wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /f /d " +
            std::to_string(options.logPixels),
        "wineboot",
    };
    for (const std::string& step : steps) {
        const int status = runCommand("DISPLAY=" + server_->display() + " timeout " + bound + " " + step +
                                      " </dev/null >/dev/null 2>&1").status;
        if (status != 0) {
            problem_ = "Wine did not start: `" + step + "` " +
                       (status == TIMED_OUT_STATUS ? "still ran after " + bound + " s"
                                                   : "ended with status " + std::to_string(status));
            return false;
        }
    }
    return true;
}

void ProgramSession::stopWine()
{
    const std::string bound = std::to_string(WAIT_MS / 1000);
    runCommand("timeout " + bound + " wineserver -k </dev/null >/dev/null 2>&1");
    runCommand("timeout " + bound + " wineserver -w </dev/null >/dev/null 2>&1");
}

bool ProgramSession::startCompositor(const DesktopCommand& entry)
{
    char directory[] = "/tmp/quorvale-wayland-XXXXXX";
    if (mkdtemp(directory) == nullptr)
        return false;
    runtimeDirectory_ = directory;
    std::vector<std::string> environment = entry.environment;
    environment.push_back("XDG_RUNTIME_DIR=" + runtimeDirectory_);
    desktop_ = std::make_unique<ProgramProcess>(entry.command, server_->display(), environment);
    std::string output;
    std::size_t mark = std::string::npos;
    pollUntil(
        [&] {
            output += desktop_->standardOutput() + desktop_->standardError();
            mark = output.find(entry.displayMark);
            return (mark != std::string::npos && output.find('\n', mark) != std::string::npos) ||
                   desktop_->waitForExit(0);
        },
        WAIT_MS);
    if (mark == std::string::npos) {
        problem_ = "the compositor did not start: " + output;
        return false;
    }
    const std::size_t number = mark + std::strlen(entry.displayMark);
    programDisplay_ = ":" + output.substr(number, output.find_first_not_of("0123456789", number) - number);
    // Mutter's Xwayland asks clients for the key it leaves in the runtime folder.
    for (const auto& file : std::filesystem::directory_iterator(runtimeDirectory_)) {
        if (file.path().filename().string().rfind(".mutter-Xwaylandauth", 0) == 0) {
            setenv("XAUTHORITY", file.path().c_str(), 1);
            programEnvironment_.push_back("XAUTHORITY=" + file.path().string());
        }
    }
    driver_ = std::make_unique<XDriver>(programDisplay_);
    if (driver_->connected() && driver_->sendInputTo(server_->display()))
        return true;
    problem_ = "cannot connect to the compositor's Xwayland " + programDisplay_;
    return false;
}

std::vector<std::string> ProgramSession::waylandEnvironment() const
{
    return {"XDG_RUNTIME_DIR=" + runtimeDirectory_, std::string("WAYLAND_DISPLAY=") + WAYLAND_SOCKET};
}

// Xwayland's root pixels are not the private server's: the offset between
// them comes from where the pointer shows in the window. Coming in from off
// the compositor's output places its pointer where it comes in; weston then
// moves it by each motion's offset. Two readings that differ by exactly the
// motion between them are fresh.
bool ProgramSession::alignInputWithCompositor()
{
    driver_->movePointer(SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1);
    int lastX = -1;
    int lastY = -1;
    for (int attempt = 0; attempt < ALIGN_TRIES; ++attempt) {
        const int shift = attempt % 2 == 1 ? ALIGN_STEP : 0;
        const int outerX = OUTPUT_WIDTH / 2 + shift;
        const int outerY = OUTPUT_HEIGHT / 2 + shift;
        driver_->movePointer(outerX, outerY);
        driver_->sync();
        int x = lastX;
        int y = lastY;
        pollUntil([&] { return driver_->pointerIn(window_, x, y) && (x != lastX || y != lastY); },
                  ALIGN_WAIT_MS);
        const int expected = attempt % 2 == 1 ? ALIGN_STEP : -ALIGN_STEP;
        if (attempt > 0 && x - lastX == expected && y - lastY == expected) {
            const WindowGeometry place = driver_->geometry(window_);
            driver_->offsetInput(outerX - place.x - x, outerY - place.y - y);
            return true;
        }
        lastX = x;
        lastY = y;
    }
    return false;
}

void ProgramSession::stopAtExit()
{
    if (wineStarted_)
        stopWine();
    process_.reset();
    desktop_.reset();
    server_.reset();
}

bool ProgramSession::running()
{
    return process_ != nullptr && !process_->waitForExit(0);
}

void ProgramSession::press(const std::string& keysym)
{
    ASSERT_TRUE(driver_->keyDown(keysym)) << keysym;
    held_.push_back(keysym);
}

void ProgramSession::release(const std::string& keysym)
{
    driver_->keyUp(keysym);
    const auto at = std::find(held_.begin(), held_.end(), keysym);
    if (at != held_.end())
        held_.erase(at);
}

Capture ProgramSession::capture()
{
    return driver_->capture(window_);
}

bool ProgramSession::waitUntilShown(int width, int height)
{
    return waitUntil([&] {
        const WindowGeometry place = driver_->geometry(window_);
        return driver_->isViewable(window_) && place.width == width && place.height == height;
    });
}

bool ProgramSession::waitForPointerHidden(bool hidden)
{
    return waitUntil([&] { return driver_->cursorHidden() == hidden; });
}

void ProgramSession::keep(const Capture& shot, const std::string& step)
{
    const std::string path = artifactDirectory() + "/" + testName() + "-" + step + ".png";
    EXPECT_TRUE(writePng(path, shot.width, shot.height, shot.rgb)) << path;
}

bool ProgramSession::waitForScreen(const std::function<bool(const Capture&)>& condition,
                                   int timeoutMs, Capture* last)
{
    bool met = false;
    pollUntil([&] {
        Capture shot = capture();
        met = shot.width > 0 && condition(shot);
        if (last != nullptr)
            *last = shot;
        return met || !running();
    }, timeoutMs);
    return met;
}

bool ProgramSession::waitForStillScreen(
    const std::function<long(const Capture&, const Capture&)>& changes, int gapMs, int timeoutMs,
    Capture* last)
{
    // Two captures gapMs apart that agree: the first check has none before it.
    std::optional<Capture> before;
    bool still = false;
    pollUntil([&] {
        Capture after = capture();
        still = before && after.width > 0 && changes(*before, after) == 0;
        if (before && last != nullptr)
            *last = after;
        before = std::move(after);
        return still || !running();
    }, timeoutMs, gapMs);
    return still;
}

WindowId ProgramSession::menuWindow(int timeoutMs)
{
    return driver_->findWindow(MENU_TITLE, timeoutMs);
}

bool ProgramSession::openMenu(int x, int y)
{
    driver_->movePointerIn(window_, x, y);
    driver_->sync();
    // Through a compositor the motion reaches the program's Xwayland later
    // than it reaches the compositor: a press made before then lands where
    // the pointer was on the program's server, maybe off the window.
    return waitForPointerAt(x, y) && pressRightButton();
}

bool ProgramSession::waitForPointerAt(int x, int y)
{
    int atX = -1;
    int atY = -1;
    if (waitUntil([&] { return driver_->pointerIn(window_, atX, atY) && atX == x && atY == y; }))
        return true;
    problem_ = "the pointer never reached window pixel " + std::to_string(x) + ", " +
               std::to_string(y) + " on the program's server (it is at " + std::to_string(atX) +
               ", " + std::to_string(atY) + ")";
    return false;
}

bool ProgramSession::pressRightButton()
{
    driver_->buttonDown(RIGHT_BUTTON);
    buttonHeld_ = true;
    return shownMenu() != 0;
}

WindowId ProgramSession::shownMenu()
{
    const WindowId menu = menuWindow(WAIT_MS);
    if (menu == 0)
        problem_ = "the menu did not open";
    return menu;
}

bool ProgramSession::waitForMenuClosed(WindowId menu)
{
    return waitUntil([&] { return !driver_->isViewable(menu); });
}

bool ProgramSession::choose(MenuChoice entry, int x, int y)
{
    return openMenu(x, y) && chooseFromOpenMenu(entry);
}

bool ProgramSession::chooseHere(MenuChoice entry)
{
    return pressRightButton() && chooseFromOpenMenu(entry);
}

bool ProgramSession::pointAt(MenuChoice entry)
{
    const WindowId menu = shownMenu();
    return menu != 0 && waitForHighlight(menu, driver_->geometry(menu), entry);
}

bool ProgramSession::chooseFromOpenMenu(MenuChoice entry)
{
    const WindowId menu = shownMenu();
    if (menu == 0)
        return false;
    const WindowGeometry place = driver_->geometry(menu);
    // Let go only once the menu shows the entry highlighted, as a person does:
    // then the toolkit has seen the pointer over it, however late it runs.
    const bool highlighted = waitForHighlight(menu, place, entry);
    driver_->buttonUp(RIGHT_BUTTON);
    buttonHeld_ = false;
    driver_->sync();
    if (!highlighted)
        return false;
    if (entry == MenuChoice::Exit)
        return true;
    if (!waitForMenuClosed(menu)) {
        problem_ = "the menu stayed open after the choice";
        return false;
    }
    if (!waitForMenuPainted(place)) {
        problem_ = "no frame was drawn over the closed menu";
        return false;
    }
    return true;
}

bool ProgramSession::waitForHighlight(WindowId menu, const WindowGeometry& place, MenuChoice entry)
{
    // Found from the window the toolkit really opened, not from fonts.
    const ScreenPoint centre = menuEntryCentre(place, static_cast<int>(entry));
    const int x = static_cast<int>(centre.x);
    const int y = static_cast<int>(centre.y);
    // Right of every label, where only the entry's background shows, lit;
    // another entry's grey there says the menu is drawn. The toolkit
    // highlights on motion: move by a pixel each time it has not yet.
    const int probeX = place.width - MENU_EDGE - 1;
    const int otherY =
        static_cast<int>(menuEntryCentre(place, entry == MenuChoice::LockCamera ? 2 : 1).y) - place.y;
    const PixelClass lit = windowsMenus_ ? PixelClass(isWindowsMenuHighlight) : PixelClass(isMenuHighlight);
    int nudge = 0;
    if (waitUntil([&] {
            driver_->movePointer(x - (nudge++ % 2), y);
            driver_->sync();
            const Capture image = driver_->capture(menu);
            return image.width == place.width && image.height == place.height &&
                   pixelIs(image, probeX, y - place.y, lit) && pixelIs(image, probeX, otherY, isMenuGrey);
        }))
        return true;
    problem_ = "the menu never highlighted the entry under the pointer";
    return false;
}

bool ProgramSession::waitForMenuPainted(const WindowGeometry& place)
{
    // Until the program draws its next frame, the closed menu's pixels stay
    // where it was; drawn, a menu is mostly one light grey, which the scene
    // never shows over such an area.
    const WindowGeometry ours = driver_->geometry(window_);
    const PixelRect where = {place.x - ours.x, place.y - ours.y, place.width, place.height};
    return waitUntil([&] {
        const Capture shot = capture();
        const double pixels = static_cast<double>(where.width) * where.height;
        return static_cast<double>(countPixels(shot, where, isMenuGrey)) < MENU_GREY_SHARE * pixels;
    });
}

bool ProgramSession::waitUntil(const std::function<bool()>& condition)
{
    bool met = false;
    pollUntil([&] {
        met = condition();
        return met || !running();
    }, WAIT_MS);
    return met;
}

bool ProgramSession::dismissMenu()
{
    const WindowId menu = menuWindow(WAIT_MS);
    if (menu == 0)
        return false;
    const WindowGeometry place = driver_->geometry(menu);
    driver_->movePointer(place.x - MENU_DISMISS_OFFSET, place.y - MENU_DISMISS_OFFSET);
    driver_->sync();
    if (buttonHeld_) {
        driver_->buttonUp(RIGHT_BUTTON);
        buttonHeld_ = false;
    }
    driver_->buttonDown(LEFT_BUTTON);
    driver_->buttonUp(LEFT_BUTTON);
    driver_->sync();
    return waitForMenuClosed(menu) && waitForMenuPainted(place);
}

bool ProgramSession::quitWithEscape(std::string& report)
{
    press("Escape");
    const bool ended = process_->waitForExit(WAIT_MS);
    release("Escape");
    report = "exit status " + std::to_string(process_->exitStatus()) + ", signal " +
             std::to_string(process_->termSignal()) + ", stderr: " + process_->standardError();
    return ended && process_->exitStatus() == 0 && process_->termSignal() == 0;
}
