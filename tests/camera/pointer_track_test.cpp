// Where mouse look measures each motion from and sends the pointer, event by
// event, in the order the window system made them.
#include "camera/pointer_track.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr Pixel NO = {-9999, -9999};
constexpr Pixel HOME = {640, 360};
constexpr WindowSize WIDE = {1280, 720};

// One step: mouse look begun (S), the pointer come in (E) or gone out (L) at
// `at`; or a motion to `at`: made after every warp sent so far was carried
// out (M), made before the last one was (Q), or with the device's own
// displacement `moved` (D). A motion is expected to turn by `turn` and to
// send the pointer to `warp` (NO: neither).
enum class Kind { S, E, L, M, Q, D };
struct Step {
    Kind kind;
    Pixel at;
    Pixel turn = NO;
    Pixel warp = NO;
    Pixel moved = NO;
};
constexpr Kind S = Kind::S, E = Kind::E, L = Kind::L, M = Kind::M, Q = Kind::Q;
Step D(Pixel at, Pixel moved, Pixel turn, Pixel warp = NO) { return {Kind::D, at, turn, warp, moved}; }

const struct { const char* name; WindowSize window; std::vector<Step> steps; } CASES[] = {
    {"a burst of one-pixel motions made before the warp home took effect", WIDE,
     {{S, {300, 200}}, {M, {330, 200}, {30, 0}, HOME}, {M, HOME}, {M, {641, 360}, {1, 0}, HOME},
      {Q, {642, 360}, {1, 0}, HOME}, {Q, {643, 360}, {1, 0}, HOME}, {Q, {644, 360}, {1, 0}, HOME},
      {Q, {645, 360}, {1, 0}, HOME}, {Q, {646, 360}, {1, 0}, HOME}, {Q, {647, 360}, {1, 0}, HOME},
      {Q, {648, 360}, {1, 0}, HOME}, {Q, {649, 360}, {1, 0}, HOME}, {Q, {650, 360}, {1, 0}, HOME},
      {M, HOME, {0, 0}}, {M, {641, 361}, {1, 1}, HOME}}},
    {"many motions ahead of the entry warp's own", WIDE,
     {{S, {600, 340}}, {M, {601, 340}, {1, 0}, {1219, 659}}, {Q, {602, 340}, {1, 0}}, {Q, {603, 340}, {1, 0}},
      {Q, {604, 340}, {1, 0}}, {Q, {605, 340}, {1, 0}}, {Q, {606, 340}, {1, 0}}, {Q, {607, 340}, {1, 0}},
      {Q, {608, 340}, {1, 0}}, {Q, {609, 340}, {1, 0}}, {Q, {610, 340}, {1, 0}}, {Q, {611, 340}, {1, 0}},
      {Q, {612, 340}, {1, 0}}, {Q, {613, 340}, {1, 0}}, {M, {1219, 659}}, {M, {1220, 659}, {1, 0}, HOME},
      {M, {641, 360}, {1, 0}, HOME}}},
    {"absolute device jumping towards the target while the entry warp is under way", WIDE,
     {{S, {300, 200}}, {M, {310, 205}, {10, 5}, HOME}, {Q, {920, 510}, {610, 305}}, {M, HOME},
      {M, {925, 512}, {5, 2}}, {M, {930, 514}, {5, 2}}}},
    {"the page under Pointer Lock: the device's own motion from the first", WIDE,
     {{E, HOME}, D({440, 260}, {-200, -100}, {-200, -100}), D({445, 260}, {5, 0}, {5, 0})}},
    {"absolute device, then a mouse", WIDE,
     {{S, {300, 200}}, {M, {330, 200}, {30, 0}, HOME}, {M, HOME}, {M, {360, 200}, {30, 0}},
      {M, {630, 355}, {270, 155}}, {L, {-1, 170}}, {E, {0, 200}}, {M, {30, 200}, {30, 0}, HOME}, {M, HOME},
      {M, {670, 360}, {30, 0}, HOME}, {M, HOME, {0, 0}}}},
    {"small window", {680, 400},
     {{S, {300, 200}}, {M, {330, 200}, {30, 0}, {619, 60}}, {M, {619, 60}}, {M, {649, 60}, {30, 0}, {340, 200}}}},
    {"menu grab, re-entry", WIDE,
     {{S, {300, 200}}, {L, {300, 200}}, {E, {320, 210}}, {M, {310, 205}, {10, 5}, HOME}, {M, HOME},
      {L, {-5, 300}}, {M, {1270, 300}, NO, HOME}}},
    {"chosen again, menu closed outside", WIDE,
     {{S, {300, 150}}, {M, {305, 150}, {5, 0}, HOME}, {M, HOME}, {S, {300, 150}}, {M, {301, 150}, {1, 0}, HOME},
      {M, HOME}, {M, {302, 150}, {1, 0}}, {S, {1300, 150}}, {E, {1270, 150}}, {M, {1260, 150}, {-10, 0}, HOME}}},
    {"a motion of none reported while warps hold", WIDE,
     {{S, {300, 200}}, {M, {330, 200}, {30, 0}, HOME}, {M, HOME}, {M, {645, 360}, {5, 0}, HOME},
      D({330, 200}, {0, 0}, {0, 0}, HOME), {M, {642, 360}, {2, 0}, HOME}}},
};

} // namespace

TEST(PointerTrackTest, EachMotionMeasuresFromWhereThePointerReallyWas)
{
    const auto xy = [](Pixel pixel) { return std::pair(pixel.x, pixel.y); };
    for (const auto& c : CASES) {
        PointerTrack track;
        std::optional<Pixel> warpSent; // the newest warp the track asked for, not yet carried out
        const Pixel home = pointerHome(HOME, c.window);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(testing::Message() << c.name << ", at " << step.at.x << ", " << step.at.y);
            if (step.kind == S || step.kind == E || step.kind == L) {
                const auto update = step.kind == S ? startPointerTrack
                                                   : step.kind == E ? enterPointerTrack : leavePointerTrack;
                update(track, step.at, c.window);
                continue;
            }
            PointerMotion motion{step.at, std::nullopt, std::nullopt};
            if (step.kind == Kind::D)
                motion.moved = step.moved;
            else if (step.kind == M)
                motion.warpedTo = std::exchange(warpSent, std::nullopt);
            const MotionPlan plan = trackMotion(track, motion, home, c.window);
            if (plan.warpTo)
                warpSent = plan.warpTo;
            EXPECT_EQ(xy(plan.turn.value_or(NO)), xy(step.turn));
            EXPECT_EQ(xy(plan.warpTo.value_or(NO)), xy(step.warp));
        }
    }
}
