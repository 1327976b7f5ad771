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
// Before its own motion comes, a motion nearer the entry warp's target than
// the last one tells that the warp held only if it lies at least this far from
// the last one (pixels): a pointer that moves by itself comes near the target
// in shorter steps, and would be taken for one sent there.
constexpr int PROBE_JUMP = PROBE_DISTANCE / 2;
// Motions made before the entry warp took effect may still come in ahead of
// its own (a mouse reporting many times a frame); after this many without it,
// the warp is taken not to hold (motions).
constexpr int PROBE_MOTIONS = 6;

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
// known to be there in the window, else turns nothing. The last entry warp's
// target is kept, so that its own motion, come late, is still known.
void restart(PointerTrack& track, bool known, Pixel at, WindowSize window)
{
    const bool placed = known && inside(at, window);
    track.phase = placed ? PointerPhase::Placed : PointerPhase::Away;
    track.last = at;
}

// Whether a motion to `at` is the last entry warp's own, come after the probe
// that waited for it (Wine can report one warp twice): one that would measure
// a jump from wherever the track measures now. At home in the Home phase it
// is no jump, and measures as any other motion there.
bool lateWarpMotion(const PointerTrack& track, Pixel at, Pixel home)
{
    if (!track.target || !(at == *track.target))
        return false;
    switch (track.phase) {
    case PointerPhase::Probing:
    case PointerPhase::Echoed: return false;
    case PointerPhase::Home: return !(at == home);
    case PointerPhase::Away:
    case PointerPhase::Placed:
    case PointerPhase::Cramped:
    case PointerPhase::Relative: break;
    }
    return true;
}

// A motion to `at` measured from home, the pointer sent back there if it left.
MotionPlan measureFromHome(Pixel at, Pixel home)
{
    MotionPlan plan;
    plan.from = home;
    if (!(at == home))
        plan.warpTo = home;
    return plan;
}

// A motion to `at` measured from the last one, which it then becomes.
MotionPlan measureFromLast(PointerTrack& track, Pixel at)
{
    MotionPlan plan;
    plan.from = track.last;
    track.last = at;
    return plan;
}

// The first motion since an entry, measured from `from` if anywhere: the entry
// warp sent, unless the pointer is already where it would go (a window too
// small to send it elsewhere), when the track waits for the next motion.
MotionPlan sendEntryWarp(PointerTrack& track, std::optional<Pixel> from, Pixel at, Pixel home,
                         WindowSize window)
{
    MotionPlan plan;
    plan.from = from;
    track.last = at;
    const Pixel target = probeTarget(at, home, window);
    if (target == at) {
        track.phase = PointerPhase::Cramped;
        return plan;
    }
    track.phase = PointerPhase::Probing;
    track.target = target;
    track.probeMotions = 0;
    plan.warpTo = target;
    return plan;
}

// The probe decides that the warp held: the motion to `at` measured from the
// target, the pointer sent home.
MotionPlan settleHome(PointerTrack& track, Pixel at, Pixel home)
{
    track.phase = PointerPhase::Home;
    MotionPlan plan = measureFromHome(at, home);
    plan.from = *track.target;
    return plan;
}

// A motion while the entry warp is unsettled. At the target itself it is the
// warp's own motion, none of the user's. Nearer the target, the warp held (its
// own motion came in, or was lost and the motion jumped PROBE_JUMP or more).
// Otherwise it was made before the warp took effect (while Probing) or the
// warp did not hold.
// The probe ends whatever comes: Probing after PROBE_MOTIONS motions, Echoed
// with the motion after it, or, while only the warp's own motion comes again,
// once PROBE_MOTIONS have passed (the pointer stays at the target).
MotionPlan settleProbe(PointerTrack& track, Pixel at, Pixel home)
{
    const Pixel target = *track.target;
    const bool echoed = track.phase == PointerPhase::Echoed;
    ++track.probeMotions;
    if (at == target && !(echoed && track.probeMotions > PROBE_MOTIONS)) {
        track.phase = PointerPhase::Echoed;
        return {};
    }
    const long long fromLast = squaredDistance(at, track.last);
    const bool jumped = fromLast >= static_cast<long long>(PROBE_JUMP) * PROBE_JUMP;
    if (squaredDistance(at, target) <= fromLast && (echoed || jumped))
        return settleHome(track, at, home);
    if (echoed || track.probeMotions >= PROBE_MOTIONS)
        track.phase = PointerPhase::Relative;
    return measureFromLast(track, at);
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
    if (track.phase != PointerPhase::Placed)
        restart(track, known, at, window);
}

void leavePointerTrack(PointerTrack& track, bool known, Pixel at, WindowSize window)
{
    if (!known || !inside(at, window))
        track.phase = PointerPhase::Away;
}

MotionPlan trackMotion(PointerTrack& track, Pixel at, Pixel home, WindowSize window)
{
    if (lateWarpMotion(track, at, home))
        return {};
    switch (track.phase) {
    case PointerPhase::Away: return sendEntryWarp(track, std::nullopt, at, home, window);
    case PointerPhase::Placed:
    case PointerPhase::Cramped: return sendEntryWarp(track, track.last, at, home, window);
    case PointerPhase::Probing:
    case PointerPhase::Echoed: return settleProbe(track, at, home);
    case PointerPhase::Home: return measureFromHome(at, home);
    case PointerPhase::Relative: break;
    }
    return measureFromLast(track, at);
}
