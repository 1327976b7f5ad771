#include "camera/pointer_track.h"

namespace {

// The first warp after the pointer came in tells whether warps hold: the
// next motion lies near its target if it did, near the last position if not.
// It tells that apart only if the two lie well apart (the motion shorter than
// half the distance between them), so a pointer that came in near home is
// sent twice this far beside home instead (pixels).
constexpr int PROBE_DISTANCE = 160;

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

int clamped(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

// Where the entry warp sends the pointer while warps are untested: home, or
// twice PROBE_DISTANCE beside it, away from a pointer that is near home.
Pixel probeTarget(Pixel at, Pixel home, int width)
{
    if (squaredDistance(at, home) >= static_cast<long long>(PROBE_DISTANCE) * PROBE_DISTANCE)
        return home;
    const int beside = at.x <= home.x ? home.x + 2 * PROBE_DISTANCE : home.x - 2 * PROBE_DISTANCE;
    return {clamped(beside, 0, width - 1), home.y};
}

void startWarp(PointerTrack& track, MotionPlan& plan, Pixel target)
{
    plan.warp = true;
    plan.to = target;
    track.settling = true;
    track.echoSeen = false;
    track.target = target;
}

// The first motion since the pointer came in measures from where it came in.
MotionPlan planFirstMotion(PointerTrack& track, Pixel at, Pixel home, int width)
{
    MotionPlan plan;
    plan.turns = track.known;
    plan.from = track.last;
    track.entered = false;
    track.known = true;
    track.last = at;
    if (track.warpsHold == WarpsHold::No)
        return plan;
    const Pixel target = track.warpsHold == WarpsHold::Unknown ? probeTarget(at, home, width) : home;
    if (!(target == at))
        startWarp(track, plan, target);
    return plan;
}

// Until the entry warp shows its effect, motions measure from the last
// position: they were made before it, or the warp never took effect.
MotionPlan planSettling(PointerTrack& track, Pixel at, Pixel home)
{
    MotionPlan plan;
    if (at == track.target && !track.echoSeen) {
        track.echoSeen = true;  // the warp's own motion, none of the user's
        return plan;
    }
    plan.turns = true;
    // Once the warp's own motion has come, where warps always hold, the
    // pointer is at the target; otherwise the nearer place tells.
    const bool nearTarget = squaredDistance(at, track.target) <= squaredDistance(at, track.last);
    if (nearTarget || (track.echoSeen && track.warpsHold == WarpsHold::Yes)) {
        plan.from = track.target;
        track.settling = false;
        if (track.warpsHold == WarpsHold::Unknown)
            track.warpsHold = WarpsHold::Yes;
    } else {
        plan.from = track.last;
        if (track.echoSeen) {
            track.settling = false;
            track.warpsHold = WarpsHold::No;
        }
    }
    track.last = at;
    if (!track.settling && track.warpsHold != WarpsHold::No && !(at == home)) {
        plan.warp = true;
        plan.to = home;
    }
    return plan;
}

} // namespace

void enterPointerTrack(PointerTrack& track, bool known, Pixel at, bool warpsHold)
{
    if (warpsHold)
        track.warpsHold = WarpsHold::Yes;
    track.entered = true;
    track.known = known;
    track.last = at;
    track.settling = false;
}

MotionPlan planMotion(PointerTrack& track, Pixel at, Pixel home, int width)
{
    if (track.entered)
        return planFirstMotion(track, at, home, width);
    if (track.settling)
        return planSettling(track, at, home);
    MotionPlan plan;
    plan.turns = true;
    if (track.warpsHold == WarpsHold::No) {
        // Warps never take effect here: each motion measures from the last.
        plan.turns = track.known;
        plan.from = track.last;
    } else {
        plan.from = home;
        plan.warp = !(at == home);
        plan.to = home;
    }
    track.known = true;
    track.last = at;
    return plan;
}
