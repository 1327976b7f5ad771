// The real program run as a user meets it: the quorvale binary (or another
// build of it, under an emulator or Wine) on a private X server of its own,
// its window found, driven with real X input (keys, the right-button menu,
// pointer motion) and watched through screen captures.
#pragma once

#include "tests/support/xdriver.h"
#include "tests/support/program.h"
#include "tests/support/xvfb.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The program's menu entries, top to bottom.
enum class MenuChoice : int {
    LockCamera = 1,
    MouseCamera = 2,
    Wireframe = 3,
    Vertex = 4,
    Exit = 5,
};

// What runs on the private X server besides the program: nothing, a window
// manager, a Wayland compositor in a window there, with the program on its
// Xwayland (read back there, worked with input on the private server), or
// Wine's desktop under openbox for a Windows build: a fresh Wine server for
// the prefix named in WINEPREFIX, so one such session at a time per prefix.
enum class Desktop { Bare, Openbox, Icewm, Weston, Mutter, Wine };
// The compositors that Wayland sessions run, and a desktop's name for test names.
constexpr Desktop WAYLAND_DESKTOPS[] = {Desktop::Weston, Desktop::Mutter};
std::string desktopName(Desktop desktop);
// What a desktop runs (internal to the session).
struct DesktopCommand;

class ProgramSession {
public:
    // Keyboard focus on start: a window manager would give the new window the
    // focus; a bare X server lets it follow the pointer instead.
    enum class Focus { OnWindow, FollowsPointer };

    struct Options {
        Focus focus = Focus::OnWindow;
        std::vector<std::string> arguments;   // extra program arguments, after the harness's own
        std::vector<std::string> environment; // extra NAME=value entries for the program
        Desktop desktop = Desktop::Bare;      // started on the private server before the program
        std::string traceFile;                // non-empty: run the program under `apitrace trace -o traceFile`
        std::vector<std::string> command;     // e.g. an emulator, or wine, and a foreign build; empty: this build's program
        int startWaitMs = WAIT_MS;            // bound on the window and its first frame showing
        int logPixels = 96;                   // Desktop::Wine: the desktop's dots per inch
    };

    explicit ProgramSession(Focus focus = Focus::OnWindow);
    explicit ProgramSession(const Options& options);
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // True once the window is up and has drawn its first frame.
    bool ready() const { return window_ != 0; }
    // What went wrong in start-up or the last choice from the menu, for failure messages.
    const std::string& startupProblem() const { return problem_; }

    XDriver& driver() { return *driver_; }
    WindowId window() const { return window_; }
    ProgramProcess& process() { return *process_; }
    const std::string& display() const { return server_->display(); }
    // What a native Wayland client needs to reach the session's compositor.
    std::vector<std::string> waylandEnvironment() const;
    bool running();

    // Keys by keysym name; every key still down is let go when the session ends.
    void press(const std::string& keysym);
    void release(const std::string& keysym);

    // Only a window on the screen can be read back.
    Capture capture();
    // Wait until the window is on the screen (again) at the given size.
    bool waitUntilShown(int width, int height);
    // Wait until the program's server has the pointer at window pixel (x, y);
    // false, with the reason, if it never does.
    bool waitForPointerAt(int x, int y);
    // Wait until the pointer over the window is hidden (or shown).
    bool waitForPointerHidden(bool hidden);
    // Keep a capture as a PNG in the artifact directory, named after the
    // running test and the given step.
    void keep(const Capture& capture, const std::string& step);

    // Capture until the condition holds, up to timeoutMs; the last capture is
    // left in last (if given). False on time-out or if the program ended.
    bool waitForScreen(const std::function<bool(const Capture&)>& condition, int timeoutMs,
                       Capture* last = nullptr);
    // Capture until two captures taken at least gapMs apart show the same
    // pixels inside the area (changes outside it, such as the spinning torus,
    // do not count).
    bool waitForStillScreen(const std::function<long(const Capture&, const Capture&)>& changes,
                            int gapMs, int timeoutMs, Capture* last = nullptr);

    // Open the menu with a right-button press at window pixel (x, y), move to
    // an entry and let go over it; waits until the menu is closed again.
    bool choose(MenuChoice entry, int x = 200, int y = 200);
    // The same from where the pointer is, without moving it (even a motion
    // to the same place reaches the program as pointer motion).
    bool chooseHere(MenuChoice entry);
    // Move the pointer onto an entry of the open menu until the menu shows it
    // highlighted; false (with the reason) if it never does.
    bool pointAt(MenuChoice entry);
    // Open the menu at window pixel (x, y) and keep the button held.
    bool openMenu(int x, int y);
    // The menu's window while it is open; 0 if it is not showing.
    WindowId menuWindow(int timeoutMs);
    // Close an open menu without choosing: let go of the right button off
    // every entry, then click the left button off the menu.
    bool dismissMenu();

    // Hold Escape until the program ends; true if it ended with status 0.
    bool quitWithEscape(std::string& report);

    // Stop the program and the X server at once (the test process is ending).
    void stopAtExit();

private:
    bool waitForMenuClosed(WindowId menu);
    // Wait until a frame has been drawn over the place of a closed menu.
    bool waitForMenuPainted(const WindowGeometry& place);
    bool waitUntil(const std::function<bool()>& condition);
    bool chooseFromOpenMenu(MenuChoice entry);
    // Move the pointer onto an entry of the open menu until the menu shows it
    // highlighted; false, with the reason, if it never does.
    bool waitForHighlight(WindowId menu, const WindowGeometry& place, MenuChoice entry);
    bool pressRightButton();
    // The open menu's window; 0, with the reason, if none opened.
    WindowId shownMenu();

    bool startDesktop(const Options& options);
    bool startCompositor(const DesktopCommand& entry);
    bool startWine(const Options& options);
    // End every process of the prefix's Wine server, and the server.
    void stopWine();
    bool alignInputWithCompositor();

    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<ProgramProcess> desktop_;
    std::string runtimeDirectory_;    // the compositor's XDG_RUNTIME_DIR
    bool wineStarted_ = false;
    bool windowsMenus_ = false;       // the menu lit as Windows lights it (Wine)
    std::string programDisplay_;      // the private server, or the compositor's Xwayland
    std::vector<std::string> programEnvironment_;
    std::unique_ptr<XDriver> driver_;
    std::unique_ptr<ProgramProcess> process_;
    WindowId window_ = 0;
    std::vector<std::string> held_;
    bool buttonHeld_ = false;
    std::string problem_;
};

// Milliseconds to wait for things the program should do at once; generous
// because the machine is slow and shared.
