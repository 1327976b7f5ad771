#include "tests/support/tank_tracker.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>

namespace {

// Height above the ground at which the centre of the tank's visible pixels
// lies in the start view (hull 0.18 high with the turret on top, seen a
// little from above), scene units.
constexpr double SEEN_CENTRE_HEIGHT = 0.13;
constexpr int CHANGE_TOLERANCE = 10;  // per channel, 0..255
constexpr long MIN_TANK_PIXELS = 150; // the tank at the far end of a route is bigger
constexpr int CELL = 32;              // pixels; coarse grid to find the tank's patch
constexpr int PATCH_REACH = 110;      // pixels around the densest cell that belong to the tank
constexpr int REST_GAP_MS = 200;

constexpr double START_HEADING = 180.0; // degrees: facing +x
constexpr int START_PLACE_MARGIN = 6;   // pixels
constexpr double OUT_OF_RING_X = 2.4;   // beyond the torus (outer radius 1.75)
constexpr double DRIVEN_ON = 0.2;       // scene units a short press must cover

// The tank's bounding box in the hull frame: hull, turret and barrel.
constexpr double TANK_HALF_LENGTH = 0.47;
constexpr double TANK_HALF_WIDTH = 0.19;
constexpr double TANK_HEIGHT = 0.31;

bool inside(const PixelRect& rect, int x, int y)
{
    return x >= rect.x && y >= rect.y && x < rect.x + rect.width && y < rect.y + rect.height;
}

bool blueAt(const Capture& shot, int x, int y)
{
    return isTorusBlue(shot.red(x, y), shot.green(x, y), shot.blue(x, y));
}

} // namespace

TankTracker::TankTracker(Capture background, const PerspectiveView& view, const PixelRect& ignore)
    : background_(std::move(background)), view_(view), ignore_(ignore)
{
}

bool TankTracker::changed(const Capture& now, int x, int y) const
{
    if (x < 0 || y < 0 || x >= now.width || y >= now.height || inside(ignore_, x, y))
        return false;
    if (blueAt(now, x, y) || blueAt(background_, x, y))
        return false;
    return std::abs(now.red(x, y) - background_.red(x, y)) > CHANGE_TOLERANCE ||
           std::abs(now.green(x, y) - background_.green(x, y)) > CHANGE_TOLERANCE ||
           std::abs(now.blue(x, y) - background_.blue(x, y)) > CHANGE_TOLERANCE;
}

TankSighting TankTracker::sight(const Capture& now) const
{
    TankSighting sighting;
    if (now.width != background_.width || now.height != background_.height)
        return sighting;
    // Changed pixels whose four neighbours changed too: a solid patch, not a
    // line or a lone pixel.
    const int columns = (now.width + CELL - 1) / CELL;
    const int rows = (now.height + CELL - 1) / CELL;
    std::vector<long> cells(static_cast<std::size_t>(columns * rows), 0);
    std::vector<std::pair<int, int>> solid;
    for (int y = 0; y < now.height; ++y) {
        for (int x = 0; x < now.width; ++x) {
            if (changed(now, x, y) && changed(now, x - 1, y) && changed(now, x + 1, y) &&
                changed(now, x, y - 1) && changed(now, x, y + 1)) {
                solid.emplace_back(x, y);
                ++cells[static_cast<std::size_t>((y / CELL) * columns + x / CELL)];
            }
        }
    }
    const auto densest = std::max_element(cells.begin(), cells.end());
    const int cell = static_cast<int>(densest - cells.begin());
    const int cellX = (cell % columns) * CELL + CELL / 2;
    const int cellY = (cell / columns) * CELL + CELL / 2;
    double sumX = 0.0;
    double sumY = 0.0;
    for (const auto& [x, y] : solid) {
        if (std::abs(x - cellX) > PATCH_REACH || std::abs(y - cellY) > PATCH_REACH)
            continue;
        ++sighting.pixels;
        sumX += x;
        sumY += y;
    }
    if (sighting.pixels < MIN_TANK_PIXELS)
        return sighting;
    sighting.centre = {sumX / static_cast<double>(sighting.pixels),
                       sumY / static_cast<double>(sighting.pixels)};
    sighting.seen = view_.unprojectToPlane(sighting.centre, SEEN_CENTRE_HEIGHT, sighting.ground);
    return sighting;
}

PixelRect tankScreenRect(const PerspectiveView& view, const Vec3& position, double headingDegrees,
                         int margin)
{
    std::vector<Vec3> corners;
    for (const double x : {-TANK_HALF_LENGTH, TANK_HALF_LENGTH})
        for (const double y : {0.0, TANK_HEIGHT})
            for (const double z : {-TANK_HALF_WIDTH, TANK_HALF_WIDTH})
                corners.push_back(hullToWorld({x, y, z}, position, headingDegrees));
    return screenRect(view, corners, margin);
}

bool waitForTankAtRest(ProgramSession& session, const TankTracker& tracker, TankSighting& rest)
{
    // Two sightings REST_GAP_MS apart that agree: the first check has none before it.
    std::optional<TankSighting> before;
    bool still = false;
    pollUntil([&] {
        const TankSighting after = tracker.sight(session.capture());
        still = before && before->seen && after.seen &&
                std::hypot(after.centre.x - before->centre.x, after.centre.y - before->centre.y) <
                    TANK_REST_AGREEMENT;
        if (still)
            rest = after;
        before = after;
        return still || !session.running();
    }, WAIT_MS, REST_GAP_MS);
    return still;
}

DriveStage TankDriver::drive(const std::vector<std::string>& keys, const DistanceToGo& toGo)
{
    DriveStage stage;
    for (const std::string& key : keys)
        session_.press(key);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
    double toGoWhenLetGo = 0.0;
    while (std::chrono::steady_clock::now() < deadline && session_.running()) {
        const TankSighting sighting = tracker_.sight(session_.capture());
        if (!sighting.seen)
            continue;
        stage.path.push_back(sighting);
        toGoWhenLetGo = toGo(sighting);
        if (toGoWhenLetGo <= runOn_) {
            stage.finished = true;
            break;
        }
    }
    for (const std::string& key : keys)
        session_.release(key);
    stage.stopped = waitForTankAtRest(session_, tracker_, stage.rest);
    if (stage.finished && stage.stopped) {
        // The mean over the stages so far, the first guess counting as one.
        const double ranOn = std::max(0.0, toGoWhenLetGo - toGo(stage.rest));
        ++stages_;
        runOn_ += (ranOn - runOn_) / (stages_ + 1);
    }
    return stage;
}

DistanceToGo untilXAtLeast(double x)
{
    return [x](const TankSighting& sighting) { return x - sighting.ground.x; };
}

DistanceToGo untilZAtMost(double z)
{
    return [z](const TankSighting& sighting) { return sighting.ground.z - z; };
}

double groundDistance(const Vec3& a, const Vec3& b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

DistanceToGo arrivalAt(const Vec3& target, const Vec3& arriving)
{
    const Vec3 way = normalised({arriving.x, 0.0, arriving.z});
    return [target, way](const TankSighting& sighting) {
        const Vec3 left = target - sighting.ground;
        return left.x * way.x + left.z * way.z;
    };
}

double closestApproach(const DriveStage& stage, const Vec3& target)
{
    std::vector<Vec3> way;
    for (const TankSighting& sighting : stage.path)
        way.push_back({sighting.ground.x, 0.0, sighting.ground.z});
    way.push_back({stage.rest.ground.x, 0.0, stage.rest.ground.z});
    const Vec3 point = {target.x, 0.0, target.z};
    double closest = length(point - way.front());
    for (std::size_t i = 1; i < way.size(); ++i) {
        const Vec3 segment = way[i] - way[i - 1];
        const double span = dot(segment, segment);
        const double t =
            span > 0.0 ? std::clamp(dot(point - way[i - 1], segment) / span, 0.0, 1.0) : 0.0;
        closest = std::min(closest, length(point - (way[i - 1] + t * segment)));
    }
    return closest;
}

TankTracker startViewTracker(const Capture& start)
{
    const PerspectiveView view = startView(start.width, start.height);
    return TankTracker(start, view,
                       tankScreenRect(view, {0, 0, 0}, START_HEADING, START_PLACE_MARGIN));
}

bool driveOutOfTheRing(ProgramSession& session, const TankTracker& tracker, int timeoutMs)
{
    session.press("w");
    return session.waitForScreen(
        [&](const Capture& shot) {
            const TankSighting sighting = tracker.sight(shot);
            return sighting.seen && sighting.ground.x >= OUT_OF_RING_X;
        },
        timeoutMs);
}

bool keysStillDriveTheTank(ProgramSession& session, const TankTracker& tracker, std::string& why)
{
    // Unseen, the tank still stands where it started, in the ring.
    const TankSighting before = tracker.sight(session.capture());
    const double goal = before.seen ? before.ground.x + DRIVEN_ON : OUT_OF_RING_X;
    TankDriver driver(session, tracker);
    const DriveStage stage = driver.drive({"w"}, untilXAtLeast(goal));
    if (!stage.finished) {
        why = stage.path.empty() ? "the tank is nowhere in the start view (driven out of it?)"
                                 : "W no longer drives the tank";
        return false;
    }
    if (!stage.stopped) {
        why = "the tank did not stop after W was let go";
        return false;
    }
    return true;
}
