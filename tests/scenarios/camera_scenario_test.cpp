// The free camera as a user works it: flown under the ground in keyboard
// mode, where the ground is seen from below and so not at all; and the mouse
// camera switched on and off from the real menu, the pointer hidden and
// shown, pointer motion turning the view only while the mode is on.
#include "tests/scenarios/screen_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr double PITCH_LIMIT = 1.570796325 - 0.035; // radians, tested before a tilt
constexpr float TILT_STEP = 0.04f;                  // radians per tick
const Vec3 START_EYE = {0.0, 2.0, 5.0};
constexpr double GRID_HEIGHT = 0.01;
constexpr int LINE_REACH = 2; // pixels
constexpr int STILL_GAP_MS = 300;
constexpr double GROUND_FILLS = 0.8;  // share of the screen (the spotlights tint its sides)
constexpr long GROUND_GONE = 100;     // pixels: the near plane has cut the ground away
constexpr long SOMETHING_SHOWS = 500; // pixels not background
constexpr int CENTRE_GAP = 10;        // pixels either side of the middle column
constexpr int SYMMETRY = 4;           // pixels
constexpr int STRAIGHT_UP = 6;        // pixels: x lines as far apart at the top as at the bottom
constexpr double DEEP_ENOUGH_SPACING = 420.0; // pixels from x = 0 to x = 1: 1.48 below the grid
constexpr long BOX_BASES_SEEN = 1000;         // pixels
constexpr double Z_LINE_ROW_SHARE = 0.3;      // a row this bright is a line running across

// The pitch that holding Home (+1) or End (-1) ends at: a step of 0.04 is
// made while the pitch is inside the limit, so it ends just past it.
double saturatedPitch(int direction)
{
    float pitch = 0.0f;
    while (direction < 0 ? pitch > -PITCH_LIMIT : pitch < PITCH_LIMIT)
        pitch = direction < 0 ? pitch - TILT_STEP : pitch + TILT_STEP;
    return pitch;
}

long countOf(const Capture& shot, const PixelClass& pixelClass)
{
    return countPixels(shot, wholeCapture(shot), pixelClass);
}

long notBackground(const Capture& shot)
{
    return countOf(shot, [](int r, int g, int b) { return !isBackground(r, g, b); });
}

// Looking straight down from the start eye: the grid lines x = -1, 0, 1
// (up the screen) and z = 4, 5, 6 (across it) where the test puts them.
bool gridBelowWhereExpected(const Capture& shot, std::string& why)
{
    const PerspectiveView view =
        freeView(START_EYE, 0.0, saturatedPitch(-1), shot.width, shot.height);
    for (const double z : {4.0, 5.0, 6.0}) {
        for (const double x : {-0.5, 0.5, 1.5}) {
            ScreenPoint pixel;
            if (!view.project({x, GRID_HEIGHT, z}, pixel) ||
                !lineNear(shot, pixel, LINE_REACH, Search::AlongColumn)) {
                why = "no line z = " + std::to_string(z) + " at x " + std::to_string(x);
                return false;
            }
        }
    }
    for (const double x : {-1.0, 0.0, 1.0}) {
        for (const double z : {4.5, 5.5}) {
            ScreenPoint pixel;
            if (!view.project({x, GRID_HEIGHT, z}, pixel) ||
                !lineNear(shot, pixel, LINE_REACH, Search::AlongRow)) {
                why = "no line x = " + std::to_string(x) + " at z " + std::to_string(z);
                return false;
            }
        }
    }
    return true;
}

// In one row, the columns of the nearest lines left and right of the middle
// (x = -1 and x = 1 when looking up at the grid with yaw 0); false if the row
// runs along a line itself or the two are not mirror images.
bool xLinesInRow(const Capture& shot, int row, double& halfSpacing)
{
    const auto bright = [&](int x) { return pixelIs(shot, x, row, isLineBright); };
    long brightPixels = 0;
    for (int x = 0; x < shot.width; ++x)
        brightPixels += bright(x) ? 1 : 0;
    if (static_cast<double>(brightPixels) > Z_LINE_ROW_SHARE * shot.width)
        return false;
    const int middle = shot.width / 2;
    int right = middle + CENTRE_GAP;
    while (right < shot.width && !bright(right))
        ++right;
    int left = middle - CENTRE_GAP;
    while (left >= 0 && !bright(left))
        --left;
    if (right >= shot.width || left < 0)
        return false;
    halfSpacing = (right - left) / 2.0;
    return std::abs((right - middle) - (middle - left)) <= SYMMETRY;
}

// Looking straight up at the grid from well below it: the lines x = -1 and
// x = 1 run straight up the screen, mirror images about the middle, close
// enough together to be deep down.
bool gridAboveFromDeepBelow(const Capture& shot)
{
    for (const int topRow : {shot.height / 10, shot.height / 10 + 7, shot.height / 10 + 13}) {
        for (const int bottomRow : {shot.height * 9 / 10, shot.height * 9 / 10 - 7}) {
            double top = 0.0;
            double bottom = 0.0;
            if (xLinesInRow(shot, topRow, top) && xLinesInRow(shot, bottomRow, bottom))
                return std::fabs(top - bottom) <= STRAIGHT_UP && top <= DEEP_ENOUGH_SPACING;
        }
    }
    return false;
}

} // namespace

TEST(CameraScenarioTest, GroundVanishesWhenSeenFromBelow)
{
    ProgramSession session;
    ASSERT_TRUE(session.ready()) << session.startupProblem();
    const auto whole = [](const Capture& a, const Capture& b) {
        return differingPixels(a, b, wholeCapture(a));
    };

    // End until the pitch stops at its limit: straight down at the ground.
    session.press("End");
    std::string why;
    Capture shot;
    ASSERT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return gridBelowWhereExpected(c, why); }, WAIT_MS, &shot))
        << "never looked straight down: " << why;
    ASSERT_TRUE(session.waitForStillScreen(whole, STILL_GAP_MS, WAIT_MS, &shot));
    session.release("End");
    EXPECT_TRUE(gridBelowWhereExpected(shot, why)) << why;
    EXPECT_GE(static_cast<double>(countOf(shot, isGroundGreen)),
              GROUND_FILLS * static_cast<double>(shot.width * shot.height));
    session.keep(shot, "1-straight-down");

    // Up flies down along the line of sight until the near plane reaches the ground.
    session.press("Up");
    ASSERT_TRUE(session.waitForScreen(
        [](const Capture& c) { return countOf(c, isGroundGreen) < GROUND_GONE; }, WAIT_MS));
    session.release("Up");

    // Home tilts the view through level (the far scene shows) and on up,
    // until the pitch stops at its limit and the screen with it.
    session.press("Home");
    ASSERT_TRUE(
        session.waitForScreen([](const Capture& c) { return notBackground(c) > SOMETHING_SHOWS; },
                              WAIT_MS, &shot));
    session.keep(shot, "2-tilting-up");
    ASSERT_TRUE(session.waitForStillScreen(whole, STILL_GAP_MS, WAIT_MS, &shot));
    session.keep(shot, "3-straight-up");

    // Down (Home still held, so the pitch reaches its limit) flies back along
    // the upward line of sight, that is down, deep under the grid.
    session.press("Down");
    const bool deep = session.waitForScreen(gridAboveFromDeepBelow, WAIT_MS, &shot);
    session.release("Down");
    session.release("Home");
    ASSERT_TRUE(deep) << "the grid never showed overhead";
    ASSERT_TRUE(session.waitForStillScreen(whole, STILL_GAP_MS, WAIT_MS, &shot));
    session.keep(shot, "4-from-below");
    EXPECT_TRUE(gridAboveFromDeepBelow(shot)) << "the grid is not overhead";
    // The boxes' bases face down: seen, so the eye is below the ground.
    EXPECT_GT(countOf(shot, isBoxRed), BOX_BASES_SEEN) << "the box bases do not show";
    // The grid's lines cross the whole screen, so the ground they lie on
    // fills the view: seen from below, every cell is a back face.
    EXPECT_EQ(countOf(shot, isGroundGreen), 0) << "ground seen from below";
}
