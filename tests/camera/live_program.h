// The real program on a private X server, worked as a user would: its window,
// its right-button menu found and read from the screen, and frames read back.
#pragma once

#include "tests/support/program_session.h"
#include "tests/support/scene_view.h"

#include <functional>
#include <string>
#include <vector>

namespace camera_e2e {

// Bounded wait for anything the program or the server has to do, milliseconds.

// Window size at start-up and the pixel mouse look sends the pointer back to.
constexpr int WINDOW_WIDTH = 1280;
constexpr int WINDOW_HEIGHT = 720;
constexpr int POINTER_HOME_X = 640;
constexpr int POINTER_HOME_Y = 360;

// Menu rows, top to bottom, by the entry each one must hold.
enum MenuRowIndex : std::size_t {
    ROW_LOCK = 0,
    ROW_MOUSE = 1,
    ROW_WIREFRAME = 2,
    ROW_VERTEX = 3,
    ROW_EXIT = 4,
    MENU_ROWS = 5,
};

// One entry of the open menu as found on the screen, in root-window pixels.
struct MenuRow {
    int centreX;
    int centreY;
    int inkWidth; // from the first to the last dark pixel of its label
};

struct MenuLayout {
    WindowGeometry place;      // the menu window on the root window
    std::vector<MenuRow> rows; // top to bottom
    Capture image;             // the menu as drawn
};

// The program session with the menu read from the screen: its rows found by
// their ink, an entry picked once the menu shows it highlighted.
class LiveProgram : public ProgramSession {
public:
    // The server's own key auto-repeat: keys held here for a moment do not repeat.
    LiveProgram() : ProgramSession(Options{Focus::FollowsPointer, {}, {}, Desktop::Bare, {}, {}}, {}) {}
    ~LiveProgram();

    ProgramProcess& program() { return process(); }

    // Wait until a capture of the window at its start size satisfies the
    // condition; the last capture taken is left in *last.
    bool waitForFrame(const std::function<bool(const Capture&)>& condition,
                      Capture* last = nullptr);

    // Press the right button where the pointer is, wait for the menu and read
    // its rows. The button stays down; no rows if the menu did not show.
    MenuLayout openMenu();
    // Open the menu where the pointer is and let go of the button over the
    // row with this index; false if the menu did not open, highlight the row
    // or (if waited for) close again.
    bool pickRow(std::size_t index, MenuLayout* layout = nullptr, bool waitForClose = true);

    bool waitForPointerAt(int x, int y);
    bool waitForCursorHidden(bool hidden) { return waitForPointerHidden(hidden); }

    void keyDown(const std::string& keysym) { press(keysym); }
    void keyUp(const std::string& keysym) { release(keysym); }

    // Keep a screenshot for a person to look at.
    void save(const Capture& image, const std::string& name) { keep(image, name); }

private:
    WindowId waitForMenu(bool shown);
    bool waitForHighlight(const MenuLayout& layout, std::size_t index);

    bool buttonHeld_ = false;
};

// The pixel a world point lands on for a camera at eye looking at centre
// with the start-up projection, floored; false if behind the eye.
bool projectToPixel(const Vec3& world, const Vec3& eye, const Vec3& centre, int& pixelX,
                    int& pixelY);

// Colour classes of the scene as lit.
bool isTorusBlue(const Capture& image, int x, int y);
bool isLit(const Capture& image, int x, int y); // anything but the black background
int countPixels(const Capture& image, const std::function<bool(int, int)>& test);

// Topmost row holding torus blue, and the middle of its blue run; false if none.
bool torusTop(const Capture& image, int& x, int& y);

} // namespace camera_e2e
