// The chase view locked from the real menu while the tank drives: the view
// follows, so the tank stays at one place on the screen while the ground grid
// runs past; unlocking gives back exactly the free view.
#include "tests/scenarios/screen_checks.h"
#include "tests/support/tank_tracker.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double START_HEADING = 180.0;  // degrees: the tank faces +x
constexpr double CLEAR_OF_TORUS_X = 2.6; // the chase eye then stands outside the ring
constexpr int IGNORE_MARGIN = 6;
constexpr int DRIVING_CAPTURES = 4;
constexpr int LINE_REACH = 2; // pixels either side of a projected grid line
constexpr int STILL_GAP_MS = 300;
constexpr double GRID_HEIGHT = 0.01;     // the grid lines lie just above the ground
constexpr double FREE_VIEW_EDGE = 350.0; // pixels: left of the torus and the route

// Ground lines z = -2, -1, 1 and 2 run along the drive; sampled this far ahead.
const double LINE_OFFSETS[] = {-2.0, -1.0, 1.0, 2.0};
const double LINE_AHEAD[] = {2.0, 3.0, 4.0};
// A patch of ground ahead, between the lines z = 0 and z = 1, crossed only
// by the lines x = k that run across the drive.
const Vec3 PATCH_NEAR = {1.6, 0.0, 0.25};
const Vec3 PATCH_FAR = {2.6, 0.0, 0.75};

// The lines along the drive lie where the view from behind the tank puts them.
bool linesAlongTheDriveInPlace(const Capture& shot, std::string& why)
{
    const PerspectiveView view = tankFrameChaseView(shot);
    for (const double z : LINE_OFFSETS) {
        for (const double ahead : LINE_AHEAD) {
            ScreenPoint pixel;
            if (!view.project({ahead, GRID_HEIGHT, z}, pixel) ||
                !lineNear(shot, pixel, LINE_REACH, Search::AlongRow)) {
                why = "no grid line z " + std::to_string(z) + " at " + std::to_string(pixel.x) +
                      ", " + std::to_string(pixel.y);
                return false;
            }
        }
    }
    return true;
}

PixelRect groundPatch(const Capture& shot)
{
    const PerspectiveView view = tankFrameChaseView(shot);
    ScreenPoint nearCorner;
    ScreenPoint farCorner;
    view.project(PATCH_NEAR, nearCorner);
    view.project(PATCH_FAR, farCorner);
    const int left = static_cast<int>(std::min(nearCorner.x, farCorner.x));
    const int top = static_cast<int>(std::min(nearCorner.y, farCorner.y));
    return {left, top, static_cast<int>(std::max(nearCorner.x, farCorner.x)) - left,
            static_cast<int>(std::max(nearCorner.y, farCorner.y)) - top};
}

class ChaseScenarioTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session_.ready()) << session_.startupProblem(); }

    void expectChaseView(const Capture& shot, const std::string& when)
    {
        std::string why;
        EXPECT_TRUE(chaseViewShowsTank(shot, why)) << when << ": " << why;
        EXPECT_TRUE(linesAlongTheDriveInPlace(shot, why)) << when << ": " << why;
    }

    ProgramSession session_;
};

} // namespace

TEST_F(ChaseScenarioTest, LockedViewFollowsTheTankWhileItDrives)
{
    const Capture start = session_.capture();
    const PerspectiveView free = startView(start.width, start.height);
    const TankTracker tracker(start, free,
                              tankScreenRect(free, {0, 0, 0}, START_HEADING, IGNORE_MARGIN));

    // Drive out of the torus ring and keep W held while the view is locked.
    session_.press("w");
    TankSighting sighting;
    ASSERT_TRUE(session_.waitForScreen(
        [&](const Capture& shot) {
            sighting = tracker.sight(shot);
            return sighting.seen && sighting.ground.x >= CLEAR_OF_TORUS_X;
        },
        WAIT_MS));
    ASSERT_TRUE(session_.choose(MenuChoice::LockCamera));
    std::string why;
    Capture shot;
    ASSERT_TRUE(session_.waitForScreen([&](const Capture& c) { return chaseViewShowsTank(c, why); },
                                       WAIT_MS, &shot))
        << "no chase view after locking: " << why;

    int changedPatches = 0;
    for (int i = 0; i < DRIVING_CAPTURES; ++i) {
        const Capture next = session_.capture();
        expectChaseView(next, "driving, capture " + std::to_string(i));
        if (differingPixels(shot, next, groundPatch(next)) > 0)
            ++changedPatches;
        shot = next;
    }
    session_.keep(shot, "driving");
    EXPECT_GT(changedPatches, 0) << "the ground did not move under the locked view";

    session_.release("w");
    ASSERT_TRUE(session_.waitForStillScreen(
        [](const Capture& a, const Capture& b) { return differingPixels(a, b, groundPatch(b)); },
        STILL_GAP_MS, WAIT_MS, &shot))
        << "the ground kept moving after W was let go";
    expectChaseView(shot, "stopped");
    session_.keep(shot, "stopped");

    // Unlocked, the free view is back exactly as it was, the tank further on.
    ASSERT_TRUE(session_.choose(MenuChoice::LockCamera));
    ASSERT_TRUE(session_.waitForScreen(
        [&](const Capture& c) {
            sighting = tracker.sight(c);
            return sighting.seen;
        },
        WAIT_MS, &shot));
    session_.keep(shot, "unlocked");
    EXPECT_GT(sighting.ground.x, CLEAR_OF_TORUS_X);
    EXPECT_EQ(differingPixels(start, shot, {0, 0, static_cast<int>(FREE_VIEW_EDGE), shot.height}),
              0)
        << "the free view did not come back as it was";
}
