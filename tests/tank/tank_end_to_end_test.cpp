// The real program on its own X server, driven with real key presses under
// keyboard layouts changed while it runs. (The tank's route, turns and
// reverse are the drive scenario's.)
#include "tests/support/program.h"
#include "tests/support/program_session.h"
#include "tests/support/tank_tracker.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

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
                const TankSighting now = tracker_->sight(frame);
                if (now.seen)
                    sighting_ = now;
                return now.seen && condition(now);
            },
            WAIT_MS);
    }

    // Let the keys go and wait for the tank to stand.
    void releaseAndRest(const std::vector<std::string>& keys)
    {
        for (const std::string& key : keys)
            session_.release(key);
        TankSighting rest;
        EXPECT_TRUE(waitForTankAtRest(session_, *tracker_, rest)) << "the tank did not stop";
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
    TankSighting sighting_;
};

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
