// Drives windows on an X display with real input events (XTest) and reads back
// what they show. Used by the end-to-end tests and the benchmark to work the
// real program as a user would; the program itself never links it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A window's place on the root window and its size, pixels.
struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Pixels read back from a window, row by row from the top, RGB bytes.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    // Red, green and blue of pixel (x, y), y counted from the top.
    std::uint8_t red(int x, int y) const { return rgb[index(x, y)]; }
    std::uint8_t green(int x, int y) const { return rgb[index(x, y) + 1]; }
    std::uint8_t blue(int x, int y) const { return rgb[index(x, y) + 2]; }
    // Write as a binary PPM (P6); false if the file cannot be written.
    bool savePpm(const std::string& path) const;

private:
    std::size_t index(int x, int y) const { return (static_cast<std::size_t>(y) * width + x) * 3; }
};

using WindowId = unsigned long;

class XDriver {
public:
    // Connect to the named display ("" for $DISPLAY).
    explicit XDriver(const std::string& displayName = "");
    ~XDriver();
    XDriver(const XDriver&) = delete;
    XDriver& operator=(const XDriver&) = delete;

    bool connected() const { return display_ != nullptr; }

    // The first viewable top-level window with this exact title, waiting up to
    // timeoutMs; 0 if none appears.
    WindowId findWindow(const std::string& title, int timeoutMs);

    WindowGeometry geometry(WindowId window);
    bool isViewable(WindowId window);
    // True if a top-level window of this class (WM_CLASS) is on the screen.
    bool classShown(const std::string& windowClass);

    // Press or release a key by its keysym name ("w", "W", "Shift_R", "Escape",
    // "Up", "Home"...); false if the name is unknown or has no key.
    bool keyDown(const std::string& keysymName);
    bool keyUp(const std::string& keysymName);

    // Send the input (keys, buttons, pointer motion) to another X server
    // instead: the one a Wayland compositor's window is on, whose Xwayland
    // this driver reads. Root pixel (x, y) here is (x + dx, y + dy) there.
    bool sendInputTo(const std::string& displayName);
    void offsetInput(int dx, int dy);

    // Move the pointer to root-window pixels, or to pixels inside a window.
    void movePointer(int rootX, int rootY);
    // Move the pointer by an offset from wherever it is, as a mouse does.
    void movePointerBy(int dx, int dy);
    // Make input (motions, keys) while every other client's requests wait:
    // all of it reaches them as made before anything they send meanwhile (a
    // warp of the pointer among them), as a fast mouse's reports come in
    // between two frames.
    void burst(const std::function<void()>& makeInput);
    void movePointerIn(WindowId window, int x, int y);
    // The pointer's position inside a window, pixels.
    bool pointerIn(WindowId window, int& x, int& y);

    void buttonDown(unsigned button);
    void buttonUp(unsigned button);

    // Give the keyboard focus to a window, or to nobody (None).
    void focus(WindowId window);
    void focusNone();
    // The window that has the keyboard focus (None, or PointerRoot when the
    // focus follows the pointer).
    WindowId focusedWindow();
    // A plain top-level window of our own (for taking the focus away); mapped.
    WindowId createWindow(int x, int y, int width, int height);
    void destroyWindow(WindowId window);

    // Minimize, restore and resize a top-level window.
    void iconify(WindowId window);
    void restore(WindowId window);
    void resize(WindowId window, int width, int height);
    // Ask the window manager to close a window, as its close button does.
    void closeWindow(WindowId window);
    // True once a window manager runs on the display and manages the screen.
    bool windowManagerRunning();
    // True once the window manager has answered a request from its event loop
    // (_NET_REQUEST_FRAME_EXTENTS for a window of the driver's own); while it
    // has not, asks again. Polled, as windows mapped before then may wait.
    bool windowManagerAnswers();

    // True if the cursor shown at the pointer's position now is fully transparent.
    bool cursorHidden();

    // The window's pixels as they are on the screen now.
    Capture capture(WindowId window);

    // Wait until the server has handled every request sent so far.
    void sync();

private:
    struct _XDisplay* display_ = nullptr;
    struct _XDisplay* input_ = nullptr; // where input goes: display_, or another server
    int inputDx_ = 0;
    int inputDy_ = 0;
    WindowId probe_ = 0; // never mapped: its frame extents are what the window manager is asked
};
