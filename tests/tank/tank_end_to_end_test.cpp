// The real program on its own X server, driven with real key presses: the
// tank drives and turns on screen.
#include "platform/xdriver.h"
#include "tests/support/png.h"
#include "tests/support/program.h"
#include "tests/support/xvfb.h"
#include "tests/tank/tank_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int WINDOW_WAIT_MS = 30000;
constexpr int CONDITION_WAIT_MS = 30000;
constexpr int POLL_INTERVAL_MS = 20;
constexpr int MIN_TANK_PIXELS = 300;    // the tank at the origin covers about 3000
constexpr int MIN_TORUS_PIXELS = 5000;  // the torus covers tens of thousands
constexpr double PLACE_TOLERANCE = 25;  // pixels between the tank's patch and its projection
const Vec3 TANK_MIDDLE = {0, 0.15, 0};  // half the tank's height above its position
const std::vector<std::string> TOOLKIT_PLACEMENT = {"-geometry", "+0+0"};

// Keys held through XTest, let go however the test ends.
class HeldKeys {
public:
    explicit HeldKeys(XDriver& driver) : driver_(driver) {}
    ~HeldKeys()
    {
        for (const std::string& key : keys_)
            driver_.keyUp(key);
        driver_.sync();
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;
    void press(const std::string& key)
    {
        if (driver_.keyDown(key))
            keys_.push_back(key);
        else
            ADD_FAILURE() << "no key for " << key;
    }
    void release(const std::string& key)
    {
        driver_.keyUp(key);
        driver_.sync();
        keys_.erase(std::remove(keys_.begin(), keys_.end(), key), keys_.end());
    }

private:
    XDriver& driver_;
    std::vector<std::string> keys_;
};

class TankEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server_.running());
        // With no window manager the toolkit would leave the window at (-1, -1),
        // partly off the screen, where the server refuses to read it back; the
        // toolkit's own -geometry option puts it at the screen's corner.
        program_ = std::make_unique<ProgramProcess>(server_.display(), TOOLKIT_PLACEMENT);
        ASSERT_TRUE(program_->started());
        driver_ = std::make_unique<XDriver>(server_.display());
        ASSERT_TRUE(driver_->connected());
        window_ = driver_->findWindow("Quorvale 1", WINDOW_WAIT_MS);
        ASSERT_NE(window_, 0u);
        driver_->focus(window_);
    }

    void TearDown() override
    {
        if (program_ != nullptr) {
            EXPECT_FALSE(program_->waitForExit(0)) << "the program ended while being driven";
        }
        // Ends the program (killed if still running) before its server goes.
        program_.reset();
    }

    // Capture frames until one satisfies the condition; false after the wait.
    bool waitForFrame(const std::function<bool(const Capture&, const TankBlob&)>& condition)
    {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(CONDITION_WAIT_MS);
        do {
            last_ = driver_->capture(window_);
            lastTank_ = findTank(last_);
            if (lastTank_.pixels >= MIN_TANK_PIXELS && condition(last_, lastTank_))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(POLL_INTERVAL_MS));
        } while (std::chrono::steady_clock::now() < deadline);
        return false;
    }

    // The first frame that shows the tank where the start-up camera puts it.
    void waitForTankAtTheOrigin()
    {
        const bool shown = waitForFrame([](const Capture& frame, const TankBlob& tank) {
            const Pixel home = startViewPixel(TANK_MIDDLE, frame);
            return std::abs(tank.x - home.x) < PLACE_TOLERANCE &&
                   std::abs(tank.y - home.y) < PLACE_TOLERANCE;
        });
        ASSERT_TRUE(shown) << "no tank near the origin; largest grey patch " << lastTank_.pixels
                           << " pixels at " << lastTank_.x << ", " << lastTank_.y;
        start_ = lastTank_;
    }

    void keepScreenshot(const std::string& name)
    {
        const std::string path = artifactDirectory() + "/" + name;
        EXPECT_TRUE(writePng(path, last_.width, last_.height, last_.rgb)) << path;
    }

    XvfbServer server_;
    std::unique_ptr<ProgramProcess> program_;
    std::unique_ptr<XDriver> driver_;
    WindowId window_ = 0;
    Capture last_;
    TankBlob lastTank_;
    TankBlob start_;
};

TEST_F(TankEndToEndTest, HoldingWDrivesTheTankAlongPlusX)
{
    ASSERT_NO_FATAL_FAILURE(waitForTankAtTheOrigin());
    HeldKeys keys(*driver_);
    keys.press("w");
    // Hold W until the tank is two units along +x (clear of the torus ring).
    const bool arrived = waitForFrame([](const Capture& frame, const TankBlob& tank) {
        return tank.x >= startViewPixel({2, 0.15, 0}, frame).x;
    });
    keys.release("w");
    ASSERT_TRUE(arrived) << "the tank did not drive right; its patch is at " << lastTank_.x << ", "
                         << lastTank_.y;
    // Points along the x axis all lie at one depth, so the tank stays on its row.
    ASSERT_TRUE(waitForFrame([](const Capture&, const TankBlob&) { return true; }));
    EXPECT_NEAR(lastTank_.y, start_.y, PLACE_TOLERANCE);
    EXPECT_GT(lastTank_.x, start_.x);
    EXPECT_GE(torusPixels(last_), MIN_TORUS_PIXELS);
    keepScreenshot("tank_driven_along_x.png");
}

TEST_F(TankEndToEndTest, HoldingATurnsTheTankToItsLeft)
{
    ASSERT_NO_FATAL_FAILURE(waitForTankAtTheOrigin());
    HeldKeys keys(*driver_);
    keys.press("a");
    // Seen from the camera at +z the tank first shows its side; turned a
    // quarter it shows its 0.36-wide rear instead of its whole length.
    const int sideWidth = start_.width();
    const bool turned = waitForFrame([sideWidth](const Capture&, const TankBlob& tank) {
        return tank.width() <= sideWidth * 3 / 5;
    });
    keys.release("a");
    ASSERT_TRUE(turned) << "the tank's patch stayed " << lastTank_.width() << " pixels wide";
    // Turned to its left from +x, it now drives away from the camera (-z):
    // up the screen, where driving right would keep its row.
    keys.press("w");
    const bool away = waitForFrame([this](const Capture&, const TankBlob& tank) {
        return tank.y <= start_.y - PLACE_TOLERANCE;
    });
    keys.release("w");
    EXPECT_TRUE(away) << "the tank did not drive away; its patch is at " << lastTank_.x << ", "
                      << lastTank_.y;
    EXPECT_GE(torusPixels(last_), MIN_TORUS_PIXELS);
    keepScreenshot("tank_turned_left.png");
}

} // namespace
