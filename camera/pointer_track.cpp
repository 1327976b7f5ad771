#include "camera/pointer_track.h"

#include <algorithm>

namespace {

// The motion after the entry warp is told apart as made from the warp's target
// or from the last position only if it is shorter than half the distance
// between the two: the target lies at least this far from the pointer where
// the window allows (pixels).
constexpr int PROBE_DISTANCE = 120;
// The pointer's home and a probe target keep this far from the window's
// edges, so that the motion after a warp stays in the window (pixels).
constexpr int EDGE_MARGIN = PROBE_DISTANCE / 2;

bool operator==(Pixel a, Pixel b)
{
    return a.x == b.x && a.y == b.y;
}

long long squaredDistance(Pixel a, Pixel b)
{
    const long long dx = a.x - b.x;
    const long long dy = a.y - b.y;
    return dx * dx + dy * dy;
}

bool inside(Pixel at, WindowSize window)
{
    return at.x >= 0 && at.x < window.width && at.y >= 0 && at.y < window.height;
}

// The margin kept from both edges of a window `size` pixels across (pixels):
// EDGE_MARGIN, or less where the window leaves no room for it.
int edgeMargin(int size)
{
    return std::min(EDGE_MARGIN, (size - 1) / 2);
}

// Whether `value` lies at least the edge margin inside [0, size).
bool wellInside(int value, int size)
{
    return value >= edgeMargin(size) && value <= size - 1 - edgeMargin(size);
}

// Of the low and high ends of [margin, size - 1 - margin], the one farther
// from `value`; the middle where the size leaves no room for the margins.
int fartherEnd(int value, int size)
{
    const int low = edgeMargin(size);
    const int high = std::max(low, size - 1 - low);
    return value - low >= high - value ? low : high;
}

// Where the entry warp sends the pointer: home when that lies at least
// PROBE_DISTANCE from the pointer, else the corner farthest from the pointer
// of the window drawn in by EDGE_MARGIN.
Pixel probeTarget(Pixel at, Pixel home, WindowSize window)
{
    if (squaredDistance(at, home) >= static_cast<long long>(PROBE_DISTANCE) * PROBE_DISTANCE)
        return home;
    return {fartherEnd(at.x, window.width), fartherEnd(at.y, window.height)};
}

// Forget everything: the next motion measures from `at` if the pointer is
// known to be there in the window, else turns nothing.
void restart(PointerTrack& track, bool known, Pixel at, WindowSize window)
{
    const bool placed = known && inside(at, window);
    track.phase = placed ? PointerPhase::Entered : PointerPhase::Away;
    track.last = at;
}

// A motion to `at` in the Home phase: measured from home, the pointer sent back.
MotionPlan planFromHome(PointerTrack& track, Pixel at, Pixel home)
{
    track.phase = PointerPhase::Home;
    MotionPlan plan;
    plan.turns = true;
    plan.from = home;
    plan.warp = !(at == home);
    plan.to = home;
    return plan;
}

// A motion to `at` measured from the last one.
MotionPlan planFromLast(PointerTrack& track, Pixel at)
{
    MotionPlan plan;
    plan.turns = true;
    plan.from = track.last;
    track.last = at;
    return plan;
}

// The first motion since an entry: send the entry warp, unless the pointer is
// already where it would go (a window too small to send it elsewhere), when
// the next motion measures from this one and tries again.
MotionPlan planEntryWarp(PointerTrack& track, bool turns, Pixel at, Pixel home, WindowSize window)
{
    MotionPlan plan;
    plan.turns = turns;
    plan.from = track.last;
    track.last = at;
    track.target = probeTarget(at, home, window);
    if (track.target == at) {
        track.phase = PointerPhase::Entered;
        return plan;
    }
    track.phase = PointerPhase::Probing;
    plan.warp = true;
    plan.to = track.target;
    return plan;
}

// A motion while the entry warp is unsettled. At the target itself it is the
// warp's own motion, none of the user's. Nearer the target, the warp held
// (its own motion came in, or was lost). Nearer the last position, it was
// made before the warp took effect (while Probing) or the warp did not hold.
MotionPlan planAfterEntryWarp(PointerTrack& track, Pixel at, Pixel home)
{
    if (at == track.target) {
        track.phase = PointerPhase::Echoed;
        return {};
    }
    if (squaredDistance(at, track.target) <= squaredDistance(at, track.last)) {
        MotionPlan plan = planFromHome(track, at, home);
        plan.from = track.target;
        return plan;
    }
    if (track.phase == PointerPhase::Echoed)
        track.phase = PointerPhase::Relative;
    return planFromLast(track, at);
}

} // namespace

Pixel pointerHome(Pixel preferred, WindowSize window)
{
    if (wellInside(preferred.x, window.width) && wellInside(preferred.y, window.height))
        return preferred;
    return {window.width / 2, window.height / 2};
}

void startPointerTrack(PointerTrack& track, bool known, Pixel at, WindowSize window)
{
    restart(track, known, at, window);
}

void enterPointerTrack(PointerTrack& track, bool known, Pixel at, WindowSize window)
{
    if (track.phase != PointerPhase::Entered)
        restart(track, known, at, window);
}

void leavePointerTrack(PointerTrack& track, bool known, Pixel at, WindowSize window)
{
    if (!known || !inside(at, window))
        track.phase = PointerPhase::Away;
}

MotionPlan planMotion(PointerTrack& track, Pixel at, Pixel home, WindowSize window)
{
    switch (track.phase) {
    case PointerPhase::Home: return planFromHome(track, at, home);
    case PointerPhase::Away: return planEntryWarp(track, false, at, home, window);
    case PointerPhase::Entered: return planEntryWarp(track, true, at, home, window);
    case PointerPhase::Probing:
    case PointerPhase::Echoed: return planAfterEntryWarp(track, at, home);
    case PointerPhase::Relative: break;
    }
    // A motion right at the entry warp's target is that warp's own, come late
    // (Wine can report one warp twice): left out, so that the next motion
    // still measures from the last one.
    if (at == track.target)
        return {};
    return planFromLast(track, at);
}
