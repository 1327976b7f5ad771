// Where mouse look measures each motion from and sends the pointer, event by event.
#include "camera/pointer_track.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Steps: S mouse look begun, E the pointer came in, L it left, with the pointer at `at`; M a motion
// to `at`, expected to turn by `turn` pixels and to send the pointer to `warp` (NO: neither).
using Update = void (*)(PointerTrack&, bool, Pixel, WindowSize);
constexpr Update S = startPointerTrack, E = enterPointerTrack, L = leavePointerTrack, M = nullptr;
constexpr Pixel NO = {-9999, -9999};
constexpr Pixel HOME = {640, 360};
constexpr WindowSize WIDE = {1280, 720};
struct Step { Update event; Pixel at; Pixel turn = NO; Pixel warp = NO; };

const struct { const char* name; WindowSize window; std::vector<Step> steps; } CASES[] = {
    {"absolute device, then a mouse", WIDE, {{S, {300, 200}}, {M, {330, 200}, {30, 0}, HOME}, {M, HOME},
        {M, {360, 200}, {30, 0}}, {M, HOME}, {M, {630, 355}, {270, 155}}, {L, {-1, 170}}, {E, {0, 200}},
        {M, {30, 200}, {30, 0}, HOME}, {M, HOME}, {M, {670, 360}, {30, 0}, HOME}, {M, HOME, {0, 0}}}},
    {"echo lost or late", WIDE, {{S, {300, 200}}, {M, {330, 200}, {30, 0}, HOME}, {M, {360, 200}, {30, 0}},
        {S, {300, 200}}, {M, {330, 200}, {30, 0}, HOME}, {M, {670, 360}, {30, 0}, HOME}, {S, {300, 200}},
        {M, {330, 200}, {30, 0}, HOME}, {M, {340, 205}, {10, 5}}, {M, HOME}, {M, {650, 360}, {10, 0}, HOME}}},
    {"small window", {680, 400}, {{S, {300, 200}}, {M, {330, 200}, {30, 0}, {619, 60}}, {M, {619, 60}},
        {M, {649, 60}, {30, 0}, {340, 200}}}},
    {"menu grab, re-entry", WIDE, {{S, {300, 200}}, {L, {300, 200}}, {E, {320, 210}},
        {M, {310, 205}, {10, 5}, HOME}, {M, HOME}, {L, {-5, 300}}, {M, {1270, 300}, NO, HOME}}},
    {"chosen again, menu closed outside", WIDE, {{S, {300, 150}}, {M, {305, 150}, {5, 0}, HOME}, {M, HOME},
        {S, {300, 150}}, {M, {301, 150}, {1, 0}, HOME}, {M, HOME}, {M, {302, 150}, {1, 0}},
        {S, {1300, 150}}, {E, {1270, 150}}, {M, {1260, 150}, {-10, 0}, HOME}}},
    {"absolute device walking home, echo lost", WIDE, {{S, {300, 200}}, {M, {330, 215}, {30, 15}, HOME},
        {M, {360, 230}, {30, 15}}, {M, {390, 245}, {30, 15}}, {M, {420, 260}, {30, 15}}, {M, {450, 275}, {30, 15}},
        {M, {480, 290}, {30, 15}}, {M, {510, 305}, {30, 15}}, {M, {540, 320}, {30, 15}}, {M, {570, 335}, {30, 15}},
        {M, {600, 350}, {30, 15}}, {M, {630, 365}, {30, 15}}, {M, {660, 380}, {30, 15}}, {M, {690, 395}, {30, 15}}}},
    {"warps hold, entry warp reported again late", WIDE, {{S, {600, 340}}, {M, {605, 340}, {5, 0}, {1219, 659}},
        {M, {1219, 659}}, {M, {1224, 659}, {5, 0}, HOME}, {M, {1219, 659}}, {M, {645, 360}, {5, 0}, HOME}}},
};

} // namespace

TEST(PointerTrackTest, EachMotionMeasuresFromWhereThePointerReallyWas)
{
    const auto xy = [](Pixel pixel) { return std::pair(pixel.x, pixel.y); };
    for (const auto& c : CASES) {
        PointerTrack track;
        for (const Step& step : c.steps) {
            SCOPED_TRACE(testing::Message() << c.name << ", at " << step.at.x << ", " << step.at.y);
            if (step.event != M)
                step.event(track, true, step.at, c.window);
            const Pixel home = pointerHome(HOME, c.window);
            const MotionPlan plan = step.event == M ? trackMotion(track, step.at, home, c.window) : MotionPlan{};
            const Pixel from = plan.from.value_or(NO);
            const Pixel turn = {step.at.x - from.x, step.at.y - from.y};
            EXPECT_EQ(xy(plan.from ? turn : NO), xy(step.turn));
            EXPECT_EQ(xy(plan.warpTo.value_or(NO)), xy(step.warp));
        }
    }
}
