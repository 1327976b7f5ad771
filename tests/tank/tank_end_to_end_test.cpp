// The real program on its own X server, driven with real key presses: the
// tank drives and turns on screen.
#include "tests/support/program.h"
#include "tests/support/program_session.h"
#include "tests/support/scene_view.h"
#include "tests/support/tank_tracker.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int MIN_TORUS_PIXELS = 5000; // the torus covers tens of thousands
constexpr double ROW_TOLERANCE = 0.15; // scene units off the x axis for a straight drive
constexpr double TURNED_AWAY_Z = -0.5; // scene units: a left turn from +x heads to -z

class TankEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session_.ready()) << session_.startupProblem();
        tracker_.emplace(startViewTracker(session_.capture()));
    }

    void TearDown() override
    {
        EXPECT_TRUE(session_.running()) << "the program ended while being driven";
    }

    // Capture frames until the tank is seen somewhere the condition accepts;
    // false after the wait.
    bool waitForTank(const std::function<bool(const TankSighting&)>& condition)
    {
        return session_.waitForScreen(
            [&](const Capture& frame) {
                last_ = frame;
                const TankSighting now = tracker_->sight(frame);
                if (now.seen)
                    sighting_ = now;
                return now.seen && condition(now);
            },
            WAIT_MS);
    }

    // Let the keys go and wait for the tank to stand.
    TankSighting releaseAndRest(const std::vector<std::string>& keys)
    {
        for (const std::string& key : keys)
            session_.release(key);
        TankSighting rest;
        EXPECT_TRUE(waitForTankAtRest(session_, *tracker_, rest)) << "the tank did not stop";
        return rest;
    }

    std::string lastPlace() const
    {
        if (!sighting_.seen)
            return "the tank was never seen off its start";
        return "the tank was last seen at x " + std::to_string(sighting_.ground.x) + ", z " +
               std::to_string(sighting_.ground.z);
    }

    ProgramSession session_;
    std::optional<TankTracker> tracker_;
    Capture last_;
    TankSighting sighting_;
};

TEST_F(TankEndToEndTest, HoldingWDrivesTheTankAlongPlusX)
{
    session_.press("w");
    // Hold W until the tank is two units along +x (clear of the torus ring).
    const bool arrived = waitForTank([](const TankSighting& tank) { return tank.ground.x >= 2.0; });
    const TankSighting rest = releaseAndRest({"w"});
    ASSERT_TRUE(arrived) << "the tank did not drive along +x; " << lastPlace();
    EXPECT_NEAR(rest.ground.z, 0.0, ROW_TOLERANCE) << "the tank left the x axis";
    EXPECT_GE(rest.ground.x, 2.0);
    EXPECT_GE(countPixels(last_, wholeCapture(last_), isTorusBlue), MIN_TORUS_PIXELS);
    session_.keep(last_, "driven-along-x");
}

// Out of the ring, A held with W turns the tank to its left as it drives:
// from +x towards -z, away from the camera; D would bring it nearer.
TEST_F(TankEndToEndTest, HoldingATurnsTheTankToItsLeft)
{
    session_.press("w");
    ASSERT_TRUE(waitForTank([](const TankSighting& tank) { return tank.ground.x >= 2.4; }))
        << "W did not drive the tank out of the ring; " << lastPlace();
    session_.press("a");
    const bool turned =
        waitForTank([](const TankSighting& tank) { return tank.ground.z <= TURNED_AWAY_Z; });
    const TankSighting rest = releaseAndRest({"w", "a"});
    ASSERT_TRUE(turned) << "the tank did not turn to its left; " << lastPlace();
    EXPECT_LT(rest.ground.z, TURNED_AWAY_Z);
    EXPECT_GE(countPixels(last_, wholeCapture(last_), isTorusBlue), MIN_TORUS_PIXELS);
    session_.keep(last_, "turned-left");
}

// The layout changes while the program runs. Under Russian and Greek, which
// give no Latin letters, the key at W's place drives; under AZERTY the key
// labelled W drives and the one at W's place, labelled Z, does not: held with
// S it leaves S to drive the tank back.
TEST_F(TankEndToEndTest, LetterKeysDriveUnderRussianGreekAndAzertyLayouts)
{
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
        const bool passed = waitForTank([&step](const TankSighting& tank) {
            return step.forward ? tank.ground.x >= step.x : tank.ground.x <= step.x;
        });
        releaseAndRest(step.keys);
        ASSERT_TRUE(passed) << lastPlace();
    }
}

} // namespace
