// The right-button menu of the real program, opened and picked with the real
// pointer on a private X server, its effects read back from the screen.
#include "platform/gl.h"
#include "tests/camera/live_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace camera_e2e;

namespace {

constexpr const char* LABELS[MENU_ROWS] = {
    "Lock/Free Camera", "Mouse/Keyboard Camera", "Enable/Disable Wireframe",
    "Enable/Disable Vertex", "Exit Application",
};
// A label's ink is its advance width less the side bearings of its first and
// last glyphs, a pixel or two each.
constexpr int INK_WIDTH_TOLERANCE = 4; // pixels
constexpr int MENU_OPEN_X = 100;       // window pixels: room for the menu below and right
constexpr int MENU_OPEN_Y = 100;

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

// The chase view behind the unmoved tank looks from (-0.6, 0.45, 0) at
// (1.5, 0.25, 0). Points inside the turret and hull land, seen from there, on
// the tank itself: nothing lies between them and the eye (the torus keeps at
// least 0.75 from the origin, farther than any of these points and the eye).
constexpr Vec3 CHASE_EYE = {-0.6, 0.45, 0.0};
constexpr Vec3 CHASE_CENTRE = {1.5, 0.25, 0.0};
constexpr Vec3 TANK_INSIDE[] = {{0.0, 0.24, 0.0}, {0.1, 0.28, 0.0}, {0.0, 0.09, 0.0}};

// The tank's dark grey: hardly any tint, neither black nor bright.
bool isTankGrey(const Capture& image, int x, int y)
{
    const int r = image.red(x, y);
    const int g = image.green(x, y);
    const int b = image.blue(x, y);
    const int high = std::max({r, g, b});
    const int low = std::min({r, g, b});
    return high - low <= 16 && high >= 20 && high <= 160;
}

// The lit ground: green well above red and blue.
bool isGroundGreen(const Capture& image, int x, int y)
{
    const int g = image.green(x, y);
    return g >= 30 && g > image.red(x, y) + 10 && g > image.blue(x, y) + 10;
}

struct Pixel {
    int x;
    int y;
};

std::vector<Pixel> chaseProbes()
{
    std::vector<Pixel> probes;
    for (const Vec3& point : TANK_INSIDE) {
        Pixel pixel{};
        if (projectToPixel(point, CHASE_EYE, CHASE_CENTRE, pixel.x, pixel.y))
            probes.push_back(pixel);
    }
    return probes;
}

bool allProbes(const Capture& image, const std::vector<Pixel>& probes,
               bool (*test)(const Capture&, int, int))
{
    return std::all_of(probes.begin(), probes.end(),
                       [&](const Pixel& p) { return test(image, p.x, p.y); });
}

int countWhere(const Capture& image, bool (*test)(const Capture&, int, int))
{
    return countPixels(image, [&](int x, int y) { return test(image, x, y); });
}

} // namespace

TEST(MenuEndToEnd, LabelsReadInOrderAndLockSwitchesToTheChaseViewAndBack)
{
    LiveProgram session;
    ASSERT_TRUE(session.ready());
    const std::vector<Pixel> probes = chaseProbes();
    ASSERT_EQ(probes.size(), 3u);
    Capture freeView;
    ASSERT_TRUE(session.waitForFrame(
        [&](const Capture& image) { return allProbes(image, probes, isGroundGreen); }, &freeView))
        << "the start view shows the ground where the chase view shows the tank";
    session.save(freeView, "free-view");

    session.driver().movePointerIn(session.window(), MENU_OPEN_X, MENU_OPEN_Y);
    MenuLayout menu;
    ASSERT_TRUE(session.pickRow(ROW_LOCK, &menu));
    session.save(menu.image, "menu");
    ASSERT_EQ(menu.rows.size(), static_cast<std::size_t>(MENU_ROWS));
    const std::vector<int> advances = labelAdvances(session.display());
    for (std::size_t row = 0; row < MENU_ROWS; ++row) {
        EXPECT_NEAR(menu.rows[row].inkWidth, advances[row], INK_WIDTH_TOLERANCE)
            << "row " << row << " should read \"" << LABELS[row] << "\"";
        if (row > 0) {
            EXPECT_GT(menu.rows[row].centreY, menu.rows[row - 1].centreY);
        }
    }

    Capture chaseView;
    EXPECT_TRUE(session.waitForFrame(
        [&](const Capture& image) { return allProbes(image, probes, isTankGrey); }, &chaseView))
        << "the tank's turret and hull fill the bottom middle of the chase view";
    session.save(chaseView, "chase-view");

    // Lock again: the free view, which no key or pointer has moved, is back.
    ASSERT_TRUE(session.pickRow(ROW_LOCK));
    Capture freeAgain;
    EXPECT_TRUE(session.waitForFrame(
        [&](const Capture& image) { return allProbes(image, probes, isGroundGreen); }, &freeAgain));
    session.save(freeAgain, "free-view-again");
}

TEST(MenuEndToEnd, WireframeAndVertexModesShowOnScreen)
{
    LiveProgram session;
    ASSERT_TRUE(session.ready());
    session.driver().movePointerIn(session.window(), MENU_OPEN_X, MENU_OPEN_Y);
    const Capture filled = session.capture();
    const int filledGround = countWhere(filled, isGroundGreen);
    const int filledTorus = countWhere(filled, isTorusBlue);
    const int filledLit = countWhere(filled, isLit);
    ASSERT_GT(filledGround, WINDOW_WIDTH * WINDOW_HEIGHT / 4) << "the ground fills the lower half";
    ASSERT_GT(filledTorus, 0);
    session.save(filled, "filled");

    // Lines: the ground and the torus lose most of their filled pixels to
    // black gaps between the edges of their small triangles and quads.
    ASSERT_TRUE(session.pickRow(ROW_WIREFRAME));
    Capture lines;
    EXPECT_TRUE(session.waitForFrame(
        [&](const Capture& image) {
            return countWhere(image, isGroundGreen) < filledGround / 4 &&
                   countWhere(image, isTorusBlue) < filledTorus / 2;
        },
        &lines));
    session.save(lines, "wireframe");
    const int linesLit = countWhere(lines, isLit);
    EXPECT_LT(linesLit, filledLit / 2);

    // Points (both toggles now on): fewer lit pixels still.
    ASSERT_TRUE(session.pickRow(ROW_VERTEX));
    Capture points;
    EXPECT_TRUE(session.waitForFrame(
        [&](const Capture& image) { return countWhere(image, isLit) < linesLit / 2; }, &points));
    session.save(points, "points");
    EXPECT_LT(countWhere(points, isTorusBlue), filledTorus / 10);

    // Vertex again with both toggles on: filled polygons, not points.
    ASSERT_TRUE(session.pickRow(ROW_VERTEX));
    Capture filledAgain;
    EXPECT_TRUE(session.waitForFrame(
        [&](const Capture& image) {
            return countWhere(image, isGroundGreen) > filledGround * 9 / 10;
        },
        &filledAgain));
    session.save(filledAgain, "filled-again");
}

TEST(MenuEndToEnd, ExitEntryEndsTheProgramWithStatusZero)
{
    LiveProgram session;
    ASSERT_TRUE(session.ready());
    session.driver().movePointerIn(session.window(), MENU_OPEN_X, MENU_OPEN_Y);
    ASSERT_FALSE(session.program().waitForExit(0));
    // The menu goes with the program, so only the exit itself is awaited.
    ASSERT_TRUE(session.pickRow(ROW_EXIT, nullptr, false));
    ASSERT_TRUE(session.program().waitForExit(WAIT_MS));
    EXPECT_EQ(session.program().exitStatus(), 0);
    EXPECT_EQ(session.program().termSignal(), 0);
}
