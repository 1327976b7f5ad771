// The real program on its own X server, driven with real key presses: the
// tank drives and turns on screen.
#include "tests/support/program.h"
#include "tests/support/program_session.h"
#include "tests/support/scene_view.h"
#include "tests/tank/tank_screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int MIN_TANK_PIXELS = 300;    // the tank at the origin covers about 3000
constexpr int MIN_TORUS_PIXELS = 5000;  // the torus covers tens of thousands
constexpr double PLACE_TOLERANCE = 25;  // pixels between the tank's patch and its projection
const Vec3 TANK_MIDDLE = {0, 0.15, 0};  // half the tank's height above its position

// Window pixel of a scene point under the start-up free camera.
ScreenPoint startViewPixel(const Vec3& scenePoint, const Capture& frame)
{
    ScreenPoint pixel;
    startView(frame.width, frame.height).project(scenePoint, pixel);
    return pixel;
}

class TankEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session_.ready()) << session_.startupProblem(); }

    void TearDown() override
    {
        EXPECT_TRUE(session_.running()) << "the program ended while being driven";
    }

    // Capture frames until one satisfies the condition; false after the wait.
    bool waitForFrame(const std::function<bool(const Capture&, const TankBlob&)>& condition)
    {
        return session_.waitForScreen(
            [&](const Capture& frame) {
                last_ = frame;
                lastTank_ = findTank(frame);
                return lastTank_.pixels >= MIN_TANK_PIXELS && condition(frame, lastTank_);
            },
            WAIT_MS);
    }

    // The first frame that shows the tank where the start-up camera puts it.
    void waitForTankAtTheOrigin()
    {
        const bool shown = waitForFrame([](const Capture& frame, const TankBlob& tank) {
            const ScreenPoint home = startViewPixel(TANK_MIDDLE, frame);
            return std::abs(tank.x - home.x) < PLACE_TOLERANCE &&
                   std::abs(tank.y - home.y) < PLACE_TOLERANCE;
        });
        ASSERT_TRUE(shown) << "no tank near the origin; largest grey patch " << lastTank_.pixels
                           << " pixels at " << lastTank_.x << ", " << lastTank_.y;
        start_ = lastTank_;
    }

    ProgramSession session_;
    Capture last_;
    TankBlob lastTank_;
    TankBlob start_;
};

TEST_F(TankEndToEndTest, HoldingWDrivesTheTankAlongPlusX)
{
    ASSERT_NO_FATAL_FAILURE(waitForTankAtTheOrigin());
    session_.press("w");
    // Hold W until the tank is two units along +x (clear of the torus ring).
    const bool arrived = waitForFrame([](const Capture& frame, const TankBlob& tank) {
        return tank.x >= startViewPixel({2, 0.15, 0}, frame).x;
    });
    session_.release("w");
    ASSERT_TRUE(arrived) << "the tank did not drive right; its patch is at " << lastTank_.x << ", "
                         << lastTank_.y;
    // Points along the x axis all lie at one depth, so the tank stays on its row.
    ASSERT_TRUE(waitForFrame([](const Capture&, const TankBlob&) { return true; }));
    EXPECT_NEAR(lastTank_.y, start_.y, PLACE_TOLERANCE);
    EXPECT_GT(lastTank_.x, start_.x);
    EXPECT_GE(countPixels(last_, wholeCapture(last_), isTorusBlue), MIN_TORUS_PIXELS);
    session_.keep(last_, "driven-along-x");
}

TEST_F(TankEndToEndTest, HoldingATurnsTheTankToItsLeft)
{
    ASSERT_NO_FATAL_FAILURE(waitForTankAtTheOrigin());
    session_.press("a");
    // Seen from the camera at +z the tank first shows its side; turned a
    // quarter it shows its 0.36-wide rear instead of its whole length.
    const int sideWidth = start_.width();
    const bool turned = waitForFrame([sideWidth](const Capture&, const TankBlob& tank) {
        return tank.width() <= sideWidth * 3 / 5;
    });
    session_.release("a");
    ASSERT_TRUE(turned) << "the tank's patch stayed " << lastTank_.width() << " pixels wide";
    // Turned to its left from +x, it now drives away from the camera (-z):
    // up the screen, where driving right would keep its row.
    session_.press("w");
    const bool away = waitForFrame([this](const Capture&, const TankBlob& tank) {
        return tank.y <= start_.y - PLACE_TOLERANCE;
    });
    session_.release("w");
    EXPECT_TRUE(away) << "the tank did not drive away; its patch is at " << lastTank_.x << ", "
                      << lastTank_.y;
    EXPECT_GE(countPixels(last_, wholeCapture(last_), isTorusBlue), MIN_TORUS_PIXELS);
    session_.keep(last_, "turned-left");
}

// The layout changes while the program runs. Under Russian and Greek, which
// give no Latin letters, the key at W's place drives; under AZERTY the key
// labelled W drives and the one at W's place, labelled Z, does not: held with
// S it leaves S to drive the tank back.
TEST_F(TankEndToEndTest, LetterKeysDriveUnderRussianGreekAndAzertyLayouts)
{
    ASSERT_NO_FATAL_FAILURE(waitForTankAtTheOrigin());
    struct Step {
        const char* layout;
        std::vector<std::string> keys; // held together
        float x;                       // scene units along x the tank must pass
        bool forward;
    };
    const Step steps[] = {{"ru", {"Cyrillic_tse"}, 2, true},
                          {"gr", {"Greek_finalsmallsigma"}, 3, true},
                          {"fr", {"z", "s"}, 2, false},
                          {"fr", {"w"}, 3, true}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.layout + (" " + step.keys.front()));
        const std::string setLayout = "setxkbmap -display " + session_.display() + " " + step.layout;
        ASSERT_EQ(runCommand(setLayout).status, 0);
        session_.driver().sync(); // the driver hears of the new keymap
        for (const std::string& key : step.keys)
            session_.press(key);
        const bool passed = waitForFrame([&step](const Capture& frame, const TankBlob& tank) {
            const double pixel = startViewPixel({step.x, 0.15, 0}, frame).x;
            return step.forward ? tank.x >= pixel : tank.x <= pixel;
        });
        for (const std::string& key : step.keys)
            session_.release(key);
        ASSERT_TRUE(passed) << "the tank's patch stayed at " << lastTank_.x << ", " << lastTank_.y;
    }
}

} // namespace
