// The real program run as a user runs it, on a private X server: what it
// prints, the window it opens, what the window shows, and how it ends.
#include "tests/support/view_math.h"
#include "tests/support/program_session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char TITLE[] = "Quorvale 1";
constexpr char BANNER[] = "C++ and OpenGL Quorvale 1\n"
                          "Ferrowold version 0.55\n"
                          "Tamsrel aka Quennick\n"
                          "------\n";
constexpr int WIDTH = 1280;   // pixels
constexpr int HEIGHT = 720;   // pixels
// Bounded waits on a slow, shared machine.

// The start-up free view: eye (0, 2, 5) looking at the origin, y up, 60
// degrees high, 0.1 to 100 units, over the whole window.
const Matrix4 START_VIEW = lookAt({0.0, 2.0, 5.0}, {0.0, 0.0, 0.0}, {0.0, 1.0, 0.0});
const Matrix4 START_PROJECTION =
    perspective(60.0, static_cast<double>(static_cast<float>(WIDTH) / HEIGHT), 0.1, 100.0);

// The top of the torus's ring, 1.25 up the spin axis, sits on the axis at
// every angle, inside a tube of radius 0.5. A point 0.32 from it is inside the
// solid whatever the angle; it is 0.2 off the axis so that the y axis line,
// drawn down the middle column, is not in the way.
constexpr Vec3 TORUS_PROBE = {0.2, 1.5, 0.0};
// A point far beyond the back of the ground and above the eye: the line of
// sight to it rises from the eye and passes left of the torus, right of the
// back left box and clear of the axes, meeting nothing.
constexpr Vec3 SKY_PROBE = {-10.0, 5.0, -60.0};
// The torus is blue lit by white and coloured lights: blue must lead the
// other two channels clearly.
constexpr int BLUE_LEAD = 40;
constexpr int BLUE_MIN = 60;
// Black background, allowing for nothing but rounding.
constexpr int SKY_MAX = 2;

struct PixelPlace {
    int x;  // from the left
    int y;  // from the top
};

// Where a world point lands in the window under the start-up view.
PixelPlace projectToWindow(const Vec3& world)
{
    double x = -1.0;
    double yFromBottom = -1.0;
    if (!projectToWindow(START_PROJECTION, START_VIEW, world, WIDTH, HEIGHT, x, yFromBottom))
        return {-1, -1};
    return {static_cast<int>(std::floor(x)),
            HEIGHT - 1 - static_cast<int>(std::floor(yFromBottom))};
}

bool torusShowsAt(const Capture& capture, PixelPlace place)
{
    const int red = capture.red(place.x, place.y);
    const int green = capture.green(place.x, place.y);
    const int blue = capture.blue(place.x, place.y);
    return blue >= BLUE_MIN && blue >= red + BLUE_LEAD && blue >= green + BLUE_LEAD;
}

std::string describe(const Capture& capture, PixelPlace place)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%d, %d) is rgb %d %d %d", place.x, place.y,
                  capture.red(place.x, place.y), capture.green(place.x, place.y),
                  capture.blue(place.x, place.y));
    return text;
}

// A display number with no server behind it: well above those that Xvfb picks
// for itself (the lowest free ones), with neither socket nor lock file.
constexpr int FIRST_UNUSED_DISPLAY = 907;
constexpr int LAST_UNUSED_DISPLAY = 999;

std::string deadDisplay()
{
    for (int number = FIRST_UNUSED_DISPLAY; number < LAST_UNUSED_DISPLAY; ++number) {
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        if (std::FILE* file = std::fopen(socket.c_str(), "r")) {
            std::fclose(file);
            continue;
        }
        if (std::FILE* file = std::fopen(lock.c_str(), "r")) {
            std::fclose(file);
            continue;
        }
        return ":" + std::to_string(number);
    }
    return ":" + std::to_string(LAST_UNUSED_DISPLAY);
}

} // namespace

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ready()) << session.startupProblem(); }

    // Wait until the window has shown `count` different pictures in a row;
    // false if it does not, or if the program ends.
    bool waitForNewFrames(int count)
    {
        Capture last = session.capture();
        int seen = 0;
        return session.waitForScreen(
            [&](const Capture& next) {
                if (next.rgb != last.rgb) {
                    ++seen;
                    last = next;
                }
                return seen >= count;
            },
            WAIT_MS);
    }

    ProgramSession session;
};

TEST_F(EndToEndTest, OpensItsWindowAndShowsTheTorusOnBlack)
{
    const WindowGeometry place = session.driver().geometry(session.window());
    EXPECT_EQ(place.width, WIDTH);
    EXPECT_EQ(place.height, HEIGHT);

    const PixelPlace torus = projectToWindow(TORUS_PROBE);
    const PixelPlace sky = projectToWindow(SKY_PROBE);
    // Both probes lie in the upper half of the window.
    ASSERT_TRUE(torus.x > 0 && torus.x < WIDTH && torus.y > 0 && torus.y < HEIGHT / 2);
    ASSERT_TRUE(sky.x > 0 && sky.x < WIDTH && sky.y > 0 && sky.y < HEIGHT / 2);

    Capture capture;
    session.waitForScreen([&](const Capture& shot) { return torusShowsAt(shot, torus); },
                          WAIT_MS, &capture);
    ASSERT_EQ(capture.width, WIDTH);
    ASSERT_EQ(capture.height, HEIGHT);
    session.keep(capture, "start-view");
    EXPECT_TRUE(torusShowsAt(capture, torus)) << "torus probe " << describe(capture, torus);
    EXPECT_LE(capture.red(sky.x, sky.y), SKY_MAX) << describe(capture, sky);
    EXPECT_LE(capture.green(sky.x, sky.y), SKY_MAX) << describe(capture, sky);
    EXPECT_LE(capture.blue(sky.x, sky.y), SKY_MAX) << describe(capture, sky);

    // The banner came out while the window went up, and nothing else.
    EXPECT_EQ(session.process().standardOutput(), BANNER);
}

// Keys other than Escape, Ctrl+[ among them, leave the program running;
// held Escape then ends it with status 0.
TEST_F(EndToEndTest, OnlyEscapeEndsTheProgramWithStatusZero)
{
    // Let the program take in the focus change before any key goes down.
    ASSERT_TRUE(waitForNewFrames(2)) << "the window does not change";
    for (const char* keysym : {"q", "Return", "BackSpace"}) {
        session.press(keysym);
        session.release(keysym);
    }
    // Ctrl+[ gives the same character as Escape.
    session.press("Control_L");
    session.press("bracketleft");
    session.driver().sync();
    // Frames keep coming after the keys went in (the turning torus changes
    // the picture), so ticks have run with them held.
    ASSERT_TRUE(waitForNewFrames(3)) << "the window stopped changing";
    EXPECT_FALSE(session.process().waitForExit(0)) << "the program ended without Escape";
    session.release("bracketleft");
    session.release("Control_L");
    std::string report;
    EXPECT_TRUE(session.quitWithEscape(report)) << report;
    EXPECT_EQ(session.process().termSignal(), 0);
    EXPECT_EQ(session.process().exitStatus(), 0);
    // All it ever wrote to standard output is the banner.
    EXPECT_EQ(session.process().standardOutput(), BANNER);
}

TEST(NoDisplayTest, TheToolkitReportsItAndTheProgramFails)
{
    for (const std::string& display : {std::string(), deadDisplay()}) {
        SCOPED_TRACE("DISPLAY=" + display);
        ProgramProcess lonely(display);
        ASSERT_TRUE(lonely.started());
        ASSERT_TRUE(lonely.waitForExit(WAIT_MS)) << "hangs with no display";
        EXPECT_EQ(lonely.termSignal(), 0) << "crashed";
        EXPECT_NE(lonely.exitStatus(), 0);
        EXPECT_NE(lonely.exitStatus(), -1);
        const std::string& errors = lonely.standardError();
        EXPECT_NE(errors.find("freeglut"), std::string::npos) << errors;
        EXPECT_NE(errors.find("display"), std::string::npos) << errors;
        // No window, so no banner.
        EXPECT_EQ(lonely.standardOutput(), "");
    }
}
