#include "tests/scenarios/screen_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Ground points in front of the start view, clear of the grid lines (which
// lie on whole units) and below the torus on the screen. The ground is cut
// into cells of 0.5 by 0.5: their corners, the middles of their edges and
// their middles.
const Vec3 CELL_CORNERS[] = {{0.5, 0, 2.5}, {-0.5, 0, 2.5}, {1.5, 0, 2.5}, {-1.5, 0, 2.5}};
const Vec3 EDGE_MIDDLES[] = {{0.5, 0, 2.75}, {-0.5, 0, 2.25}, {0.75, 0, 2.5}, {-1.25, 0, 2.5}};
const Vec3 CELL_MIDDLES[] = {{0.25, 0, 2.75}, {-0.25, 0, 2.75}, {1.25, 0, 2.25}, {-1.25, 0, 2.25}};
constexpr int MOST = 3;          // of the four points of a kind
constexpr int SAMPLE_RADIUS = 1; // pixels: a one-pixel line or point may land beside the projection

constexpr double TORUS_REACH = 1.75; // ring radius 1.25 plus tube radius 0.5
constexpr int TORUS_MARGIN = 4;      // pixels
constexpr int FRAME_GAP_MS = 100;
constexpr double GRID_HEIGHT = 0.01;
constexpr int LINE_REACH = 2; // pixels
// Grid lines in front of the start view, below the torus on the screen and
// inside it down to a square window: lines x = k sampled at two depths, lines
// z = k at two places across.
const double GRID_X_LINES[] = {-1.0, 1.0};
const double GRID_X_LINES_AT_Z[] = {2.25, 2.75};
const double GRID_Z_LINES[] = {2.0, 3.0};
const double GRID_Z_LINES_AT_X[] = {-0.5, 0.5};

constexpr double TANK_HEADING = 180.0; // degrees: facing +x
constexpr double TURRET_ANGLE = 0.0;
constexpr double TANK_SHARE = 0.8;    // of the pixels around a point on the tank
constexpr int TANK_SAMPLE_RADIUS = 2; // pixels
// Points on the tank facing the chase eye, in the hull's frame: the middle of
// the turret's rear plate and of its top; and a ground point beside the turret.
const Vec3 TURRET_REAR = {0.245, 0.245, 0.0};
const Vec3 TURRET_TOP = {-0.05, 0.30, 0.0};
const Vec3 BESIDE_TURRET = {-1.0, 0.0, 0.6};

template <std::size_t N>
int greenCount(const Capture& shot, const PerspectiveView& view, const Vec3 (&points)[N])
{
    int count = 0;
    for (const Vec3& point : points) {
        ScreenPoint pixel;
        if (view.project(point, pixel) &&
            shareAround(shot, pixel, SAMPLE_RADIUS, isGroundGreen) > 0.0)
            ++count;
    }
    return count;
}

} // namespace

std::string renderingName(Rendering rendering)
{
    switch (rendering) {
    case Rendering::Filled: return "filled";
    case Rendering::Lines: return "lines";
    case Rendering::Points: return "points";
    case Rendering::Unclear: break;
    }
    return "unclear";
}

Rendering renderingOfGround(const Capture& shot)
{
    const PerspectiveView view = startView(shot.width, shot.height);
    const int corners = greenCount(shot, view, CELL_CORNERS);
    const int edges = greenCount(shot, view, EDGE_MIDDLES);
    const int middles = greenCount(shot, view, CELL_MIDDLES);
    constexpr int ALL = 4;
    if (middles == ALL && edges == ALL && corners >= MOST)
        return Rendering::Filled;
    if (middles == 0 && edges >= MOST)
        return Rendering::Lines;
    if (middles == 0 && edges == 0 && corners >= MOST)
        return Rendering::Points;
    return Rendering::Unclear;
}

PixelRect torusScreenRect(const PerspectiveView& view, int margin)
{
    std::vector<Vec3> corners;
    for (const double x : {-TORUS_REACH, TORUS_REACH})
        for (const double y : {-TORUS_REACH, TORUS_REACH})
            for (const double z : {-TORUS_REACH, TORUS_REACH})
                corners.push_back({x, y, z});
    return screenRect(view, corners, margin);
}

long changesOutside(const Capture& a, const Capture& b, const PixelRect& excluded)
{
    const PixelRect whole = wholeCapture(a);
    const int excludedRight = excluded.x + excluded.width;
    const int excludedBottom = excluded.y + excluded.height;
    // The capture around the rectangle: above, below, left and right of it.
    const PixelRect parts[] = {
        {0, 0, whole.width, std::max(excluded.y, 0)},
        {0, excludedBottom, whole.width, whole.height - excludedBottom},
        {0, excluded.y, std::max(excluded.x, 0), excluded.height},
        {excludedRight, excluded.y, whole.width - excludedRight, excluded.height},
    };
    long changes = 0;
    for (const PixelRect& part : parts)
        if (part.width > 0 && part.height > 0)
            changes += differingPixels(a, b, part);
    return changes;
}

bool framesStillDrawn(ProgramSession& session, const PerspectiveView& view)
{
    const Capture before = session.capture();
    const PixelRect torus = torusScreenRect(view, TORUS_MARGIN);
    bool drawn = false;
    pollUntil([&] {
        drawn = differingPixels(before, session.capture(), torus) > 0;
        return drawn || !session.running();
    }, WAIT_MS, FRAME_GAP_MS);
    return drawn;
}

bool waitForRendering(ProgramSession& session, Rendering wanted, Capture& shot)
{
    return session.waitForScreen(
        [wanted](const Capture& c) { return renderingOfGround(c) == wanted; }, WAIT_MS,
        &shot);
}

bool lineNear(const Capture& shot, const ScreenPoint& pixel, int reach, Search search)
{
    const int x = static_cast<int>(std::floor(pixel.x));
    const int y = static_cast<int>(std::floor(pixel.y));
    for (int offset = -reach; offset <= reach; ++offset) {
        const bool bright = search == Search::AlongRow ? pixelIs(shot, x + offset, y, isLineBright)
                                                       : pixelIs(shot, x, y + offset, isLineBright);
        if (bright)
            return true;
    }
    return false;
}

bool startViewGridInPlace(const Capture& shot, std::string& why)
{
    const PerspectiveView view = startView(shot.width, shot.height);
    for (const double x : GRID_X_LINES) {
        for (const double z : GRID_X_LINES_AT_Z) {
            ScreenPoint pixel;
            if (!view.project({x, GRID_HEIGHT, z}, pixel) ||
                !lineNear(shot, pixel, LINE_REACH, Search::AlongRow)) {
                why = "no grid line x = " + std::to_string(x) + " at z " + std::to_string(z);
                return false;
            }
        }
    }
    for (const double z : GRID_Z_LINES) {
        for (const double x : GRID_Z_LINES_AT_X) {
            ScreenPoint pixel;
            if (!view.project({x, GRID_HEIGHT, z}, pixel) ||
                !lineNear(shot, pixel, LINE_REACH, Search::AlongColumn)) {
                why = "no grid line z = " + std::to_string(z) + " at x " + std::to_string(x);
                return false;
            }
        }
    }
    return true;
}

PerspectiveView tankFrameChaseView(const Capture& shot)
{
    return chaseView({0, 0, 0}, TANK_HEADING, TURRET_ANGLE, shot.width, shot.height);
}

bool chaseViewShowsTank(const Capture& shot, std::string& why)
{
    const PerspectiveView view = tankFrameChaseView(shot);
    for (const Vec3& point : {TURRET_REAR, TURRET_TOP}) {
        ScreenPoint pixel;
        if (!view.project(hullToWorld(point, {0, 0, 0}, TANK_HEADING), pixel) ||
            shareAround(shot, pixel, TANK_SAMPLE_RADIUS, isTankGrey) < TANK_SHARE) {
            why = "no tank at " + std::to_string(pixel.x) + ", " + std::to_string(pixel.y);
            return false;
        }
    }
    ScreenPoint beside;
    if (!view.project(hullToWorld(BESIDE_TURRET, {0, 0, 0}, TANK_HEADING), beside) ||
        shareAround(shot, beside, TANK_SAMPLE_RADIUS, isGroundGreen) < TANK_SHARE) {
        why = "no ground beside the tank";
        return false;
    }
    return true;
}

bool tankStaysAtRest(ProgramSession& session, const TankTracker& tracker, std::string& why)
{
    TankSighting rest;
    if (!waitForTankAtRest(session, tracker, rest)) {
        why = "the tank never stopped";
        return false;
    }
    const Capture shot = session.capture();
    if (!framesStillDrawn(session, startView(shot.width, shot.height))) {
        why = "no more frames are drawn";
        return false;
    }
    const TankSighting later = tracker.sight(session.capture());
    if (!later.seen || std::hypot(later.centre.x - rest.centre.x, later.centre.y - rest.centre.y) >
                           TANK_REST_AGREEMENT) {
        why = "the tank moved on after it had stopped";
        return false;
    }
    return true;
}

void expectFullyWorking(ProgramSession& session, const TankTracker& tracker)
{
    ASSERT_TRUE(session.running()) << "the program died: " << session.process().standardError();
    std::string why;
    Capture shot;
    EXPECT_TRUE(session.waitForScreen(
        [&](const Capture& c) { return startViewGridInPlace(c, why); }, WAIT_MS, &shot))
        << why;
    session.keep(shot, "afterwards");
    EXPECT_TRUE(keysStillDriveTheTank(session, tracker, why)) << why;
    std::string report;
    EXPECT_TRUE(session.quitWithEscape(report)) << report;
}
