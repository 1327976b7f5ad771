// The right-button menu of the real program, opened with the real pointer on
// a private X server: its labels read from the screen in order, and its Exit
// entry. (What each entry does on the screen: tests/scenarios.)
#include "platform/gl.h"
#include "tests/support/program_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char* LABELS[] = {
    "Lock/Free Camera", "Mouse/Keyboard Camera", "Enable/Disable Wireframe",
    "Enable/Disable Vertex", "Exit Application",
};
constexpr std::size_t MENU_ROWS = std::size(LABELS);
// A label's ink is its advance width less the side bearings of its first and
// last glyphs, a pixel or two each.
constexpr int INK_WIDTH_TOLERANCE = 4; // pixels
constexpr int MENU_OPEN_X = 100;       // window pixels: room for the menu below and right
constexpr int MENU_OPEN_Y = 100;

// Menu pixels: labels are drawn dark on a light grey.
constexpr int INK_MAX = 80;      // every channel at most this: label ink
constexpr int MENU_EDGE = 3;     // pixels of bevel skipped at each side
constexpr int ROW_GAP_MERGE = 2; // ink rows this close belong to one label
// How far inside and outside its top-left corner the pointer goes to make the
// menu draw.
constexpr int WAKE_OFFSET = 8;

// Widths of the labels in the toolkit's menu font (its 18-pixel Helvetica),
// measured by the toolkit itself in this process; it lets go of the display
// again before the server goes.
std::vector<int> labelAdvances(const std::string& display)
{
    setenv("DISPLAY", display.c_str(), 1);
    static char name[] = "camera-e2e";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    glutInit(&argc, argv);
    std::vector<int> widths;
    for (const char* label : LABELS)
        widths.push_back(
            glutBitmapLength(GLUT_BITMAP_HELVETICA_18, reinterpret_cast<const unsigned char*>(label)));
    glutExit();
    return widths;
}

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

// The labels of the open menu, top to bottom. The menu draws itself again
// whenever the entry under the pointer changes: move just inside and just
// outside its corner in turn until it shows, a poll's interval after each move.
std::vector<Band> readOpenMenu(ProgramSession& session, Capture& image)
{
    const WindowId menu = session.menuWindow(WAIT_MS);
    std::vector<Band> bands;
    if (menu == 0)
        return bands;
    const WindowGeometry place = session.driver().geometry(menu);
    int wake = 0;
    pollUntil([&] {
        if (wake > 0) {
            image = session.driver().capture(menu);
            bands = inkBands(image);
            if (bands.size() == MENU_ROWS)
                return true;
        }
        const int offset = wake++ % 2 == 0 ? WAKE_OFFSET : -WAKE_OFFSET;
        session.driver().movePointer(place.x + offset, place.y + offset);
        return false;
    });
    return bands;
}

} // namespace

TEST(MenuEndToEnd, LabelsReadInOrder)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    ASSERT_TRUE(session.openMenu(MENU_OPEN_X, MENU_OPEN_Y)) << "the menu did not open";
    Capture image;
    const std::vector<Band> bands = readOpenMenu(session, image);
    session.keep(image, "menu");
    ASSERT_EQ(bands.size(), MENU_ROWS);
    const std::vector<int> advances = labelAdvances(session.display());
    for (std::size_t row = 0; row < MENU_ROWS; ++row)
        EXPECT_NEAR(bands[row].right - bands[row].left + 1, advances[row], INK_WIDTH_TOLERANCE)
            << "row " << row << " should read \"" << LABELS[row] << "\"";
    EXPECT_TRUE(session.dismissMenu());
}

TEST(MenuEndToEnd, ExitEntryEndsTheProgramWithStatusZero)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    ASSERT_FALSE(session.process().waitForExit(0));
    ASSERT_TRUE(session.choose(MenuChoice::Exit, MENU_OPEN_X, MENU_OPEN_Y)) << session.startupProblem();
    ASSERT_TRUE(session.process().waitForExit(WAIT_MS));
    EXPECT_EQ(session.process().exitStatus(), 0);
    EXPECT_EQ(session.process().termSignal(), 0);
}
