#include "camera/pointer_track.h"

#include <algorithm>

namespace {

// The device's first motion after the entry warp is told apart as made from
// the warp's target or from where the pointer was only if it is shorter than
// half the distance between the two: the target lies at least this far from
// the pointer where the window allows (pixels).
constexpr int PROBE_DISTANCE = 120;
// The pointer's home and a probe target keep this far from the window's
// edges, so that the motion after a warp stays in the window (pixels).
constexpr int EDGE_MARGIN = PROBE_DISTANCE / 2;

bool operator==(Pixel a, Pixel b)
{
    return a.x == b.x && a.y == b.y;
}

Pixel minus(Pixel a, Pixel b)
{
    return {a.x - b.x, a.y - b.y};
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
void restart(PointerTrack& track, std::optional<Pixel> at, WindowSize window)
{
    const bool placed = at && inside(*at, window);
    track.phase = placed ? PointerPhase::Placed : PointerPhase::Away;
    track.last = at.value_or(Pixel{});
    track.target.reset();
}

// A motion to `at` turning by its displacement from `from`, which it then
// replaces as the last position.
MotionPlan measureFrom(PointerTrack& track, Pixel from, Pixel at)
{
    track.last = at;
    return {minus(at, from), std::nullopt};
}

// A motion to `at` while warps hold, measured from `from`; the pointer is sent
// home if it left.
MotionPlan measureAndSendHome(PointerTrack& track, Pixel from, Pixel at, Pixel home)
{
    MotionPlan plan = measureFrom(track, from, at);
    if (!(at == home))
        plan.warpTo = home;
    return plan;
}

// The first motion since an entry, turning by the displacement from `from` if
// anywhere: the entry warp sent, unless the pointer is already where it would
// go (a window too small to send it elsewhere), when the track waits for the
// next motion.
MotionPlan sendEntryWarp(PointerTrack& track, std::optional<Pixel> from, Pixel at, Pixel home,
                         WindowSize window)
{
    MotionPlan plan;
    if (from)
        plan.turn = minus(at, *from);
    track.last = at;
    const Pixel target = probeTarget(at, home, window);
    if (target == at) {
        track.phase = PointerPhase::Cramped;
        return plan;
    }
    track.phase = PointerPhase::Probing;
    track.target = target;
    plan.warpTo = target;
    return plan;
}

// The device's first motion after the entry warp was carried out: made from
// the warp's target if the warp held, else from where the pointer was before
// it; whichever lies nearer decides for good, until the next entry.
MotionPlan settleProbe(PointerTrack& track, Pixel at, Pixel home)
{
    const Pixel target = *track.target;
    track.target.reset();
    if (squaredDistance(at, target) <= squaredDistance(at, track.last)) {
        track.phase = PointerPhase::Home;
        return measureAndSendHome(track, target, at, home);
    }
    track.phase = PointerPhase::Relative;
    return measureFrom(track, track.last, at);
}

// A motion while the entry warp is under way. Made before the warp was
// carried out, it measures from the motion before. Made after: the warp's
// own report at its target turns nothing; any other motion is the device's
// first since the warp (its report came to nothing, or another warp took it
// up) and settles the probe.
MotionPlan probeMotion(PointerTrack& track, const PointerMotion& motion, Pixel home)
{
    if (!motion.warpedTo)
        return measureFrom(track, track.last, motion.at);
    if (motion.at == *track.target) {
        track.phase = PointerPhase::Echoed;
        return {};
    }
    return settleProbe(track, motion.at, home);
}

} // namespace

Pixel pointerHome(Pixel preferred, WindowSize window)
{
    if (wellInside(preferred.x, window.width) && wellInside(preferred.y, window.height))
        return preferred;
    return {window.width / 2, window.height / 2};
}

void startPointerTrack(PointerTrack& track, std::optional<Pixel> at, WindowSize window)
{
    restart(track, at, window);
}

void enterPointerTrack(PointerTrack& track, std::optional<Pixel> at, WindowSize window)
{
    if (track.phase != PointerPhase::Placed)
        restart(track, at, window);
}

void leavePointerTrack(PointerTrack& track, std::optional<Pixel> at, WindowSize window)
{
    if (!at || !inside(*at, window))
        track.phase = PointerPhase::Away;
}

MotionPlan trackMotion(PointerTrack& track, const PointerMotion& motion, Pixel home, WindowSize window)
{
    const Pixel at = motion.at;
    if (motion.moved) {
        // The device's own motion, which no warp takes part in: the track
        // neither learns nor forgets anything by it. While warps hold, the
        // pointer is still kept at home.
        const bool sendHome = track.phase == PointerPhase::Home && !(at == home);
        return {motion.moved, sendHome ? std::optional<Pixel>(home) : std::nullopt};
    }
    switch (track.phase) {
    case PointerPhase::Away: return sendEntryWarp(track, std::nullopt, at, home, window);
    case PointerPhase::Placed:
    case PointerPhase::Cramped: return sendEntryWarp(track, track.last, at, home, window);
    case PointerPhase::Probing: return probeMotion(track, motion, home);
    case PointerPhase::Echoed: return settleProbe(track, at, home);
    case PointerPhase::Home: return measureAndSendHome(track, motion.warpedTo.value_or(track.last), at, home);
    case PointerPhase::Relative: break;
    }
    return measureFrom(track, track.last, at);
}
