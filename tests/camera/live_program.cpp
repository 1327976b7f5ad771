#include "tests/camera/live_program.h"

#include <algorithm>
#include <cmath>

namespace camera_e2e {

namespace {

// The toolkit's pop-up menu is an override-redirect window of its own with this name.
constexpr char MENU_TITLE[] = "freeglut menu";
constexpr unsigned RIGHT_BUTTON = 3;

// Menu pixels: labels are drawn dark on a light grey, the entry under the
// pointer on a lighter, nearly white band.
constexpr int INK_MAX = 80;        // every channel at most this: label ink
constexpr int MENU_EDGE = 3;       // pixels of bevel skipped at each side
constexpr int ROW_GAP_MERGE = 2;   // ink rows this close belong to one label
// How far inside and outside its top-left corner the pointer goes to make the
// menu draw.
constexpr int WAKE_OFFSET = 8;

constexpr double FIELD_OF_VIEW_DEGREES = 60.0;

bool isInk(const Capture& image, int x, int y)
{
    return image.red(x, y) <= INK_MAX && image.green(x, y) <= INK_MAX &&
           image.blue(x, y) <= INK_MAX;
}

// A label as the band of rows holding its ink, in menu pixels.
struct Band {
    int top;
    int bottom;
    int left;
    int right;
};

std::vector<Band> inkBands(const Capture& image)
{
    std::vector<Band> bands;
    for (int y = MENU_EDGE; y < image.height - MENU_EDGE; ++y) {
        int left = -1;
        int right = -1;
        for (int x = MENU_EDGE; x < image.width - MENU_EDGE; ++x) {
            if (isInk(image, x, y)) {
                left = left < 0 ? x : left;
                right = x;
            }
        }
        if (left < 0)
            continue;
        if (!bands.empty() && y - bands.back().bottom <= ROW_GAP_MERGE) {
            Band& band = bands.back();
            band.bottom = y;
            band.left = std::min(band.left, left);
            band.right = std::max(band.right, right);
        } else {
            bands.push_back({y, y, left, right});
        }
    }
    return bands;
}

} // namespace

LiveProgram::~LiveProgram()
{
    if (buttonHeld_) {
        driver().buttonUp(RIGHT_BUTTON);
        driver().sync();
    }
}

bool LiveProgram::waitForFrame(const std::function<bool(const Capture&)>& condition,
                               Capture* last)
{
    return waitForScreen(
        [&](const Capture& image) { return image.width == WINDOW_WIDTH && condition(image); },
        WAIT_MS, last);
}

WindowId LiveProgram::waitForMenu(bool shown)
{
    WindowId menu = 0;
    const bool met = pollUntil([&] {
        menu = driver().findWindow(MENU_TITLE, 0);
        return (menu != 0) == shown;
    }, WAIT_MS);
    return !met ? 0 : shown ? menu : window();
}

MenuLayout LiveProgram::openMenu()
{
    MenuLayout layout;
    driver().sync();
    driver().buttonDown(RIGHT_BUTTON);
    buttonHeld_ = true;
    const WindowId menu = waitForMenu(true);
    if (menu == 0)
        return layout;
    layout.place = driver().geometry(menu);
    // The menu opens with its corner at the pointer and draws itself again
    // whenever the entry under the pointer changes: move just inside and just
    // outside its corner in turn until it shows, a poll's interval after each move.
    int wake = 0;
    std::vector<Band> bands;
    pollUntil([&] {
        if (wake > 0) {
            layout.image = driver().capture(menu);
            bands = inkBands(layout.image);
            if (bands.size() == MENU_ROWS)
                return true;
        }
        const int offset = wake++ % 2 == 0 ? WAKE_OFFSET : -WAKE_OFFSET;
        driver().movePointer(layout.place.x + offset, layout.place.y + offset);
        return false;
    }, WAIT_MS);
    for (const Band& band : bands)
        layout.rows.push_back({layout.place.x + layout.place.width / 2,
                               layout.place.y + (band.top + band.bottom) / 2,
                               band.right - band.left + 1});
    return layout;
}

bool LiveProgram::waitForHighlight(const MenuLayout& layout, std::size_t index)
{
    const WindowId menu = driver().findWindow(MENU_TITLE, 0);
    return menu != 0 && ProgramSession::waitForHighlight(menu, layout.place, layout.rows[index].centreX,
                                                         layout.rows[index].centreY);
}

bool LiveProgram::pickRow(std::size_t index, MenuLayout* layout, bool waitForClose)
{
    MenuLayout opened = openMenu();
    bool ok = index < opened.rows.size();
    if (ok) {
        ok = waitForHighlight(opened, index);
    }
    driver().buttonUp(RIGHT_BUTTON);
    buttonHeld_ = false;
    if (layout != nullptr)
        *layout = opened;
    return ok && (!waitForClose || waitForMenu(false) != 0);
}

bool LiveProgram::waitForPointerAt(int x, int y)
{
    return pollUntil([&] {
        int px = -1;
        int py = -1;
        return driver().pointerIn(window(), px, py) && px == x && py == y;
    }, WAIT_MS);
}

bool projectToPixel(const Vec3& world, const Vec3& eye, const Vec3& centre, int& pixelX,
                    int& pixelY)
{
    const PerspectiveView view(eye, centre, {0.0, 1.0, 0.0}, FIELD_OF_VIEW_DEGREES, WINDOW_WIDTH,
                               WINDOW_HEIGHT);
    ScreenPoint pixel;
    if (!view.project(world, pixel))
        return false;
    pixelX = static_cast<int>(std::floor(pixel.x));
    pixelY = static_cast<int>(std::floor(pixel.y));
    return true;
}

bool isTorusBlue(const Capture& image, int x, int y)
{
    constexpr int minimum = 60;
    const int blue = image.blue(x, y);
    return blue >= minimum && blue > 2 * image.red(x, y) && blue > 2 * image.green(x, y);
}

bool isLit(const Capture& image, int x, int y)
{
    constexpr int minimum = 24;
    return image.red(x, y) >= minimum || image.green(x, y) >= minimum ||
           image.blue(x, y) >= minimum;
}

int countPixels(const Capture& image, const std::function<bool(int, int)>& test)
{
    int count = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            count += test(x, y) ? 1 : 0;
    return count;
}

bool torusTop(const Capture& image, int& x, int& y)
{
    // The torus is faceted: at some turns its highest facet has a slanted top
    // edge, and the first blue row alone is one end of that edge. The widest
    // extent over a band of rows below it stays centred on the torus's axis.
    constexpr int TOP_BAND_ROWS = 8;
    int first = -1;
    int last = -1;
    int topRow = -1;
    for (int row = 0; row < image.height; ++row) {
        for (int column = 0; column < image.width; ++column) {
            if (isTorusBlue(image, column, row)) {
                first = first < 0 || column < first ? column : first;
                last = std::max(last, column);
            }
        }
        if (first >= 0 && topRow < 0)
            topRow = row;
        if (topRow >= 0 && row - topRow + 1 >= TOP_BAND_ROWS)
            break;
    }
    if (topRow < 0)
        return false;
    x = (first + last) / 2;
    y = topRow;
    return true;
}

} // namespace camera_e2e
