// Driving the tank as a user does, watched through the start view: out of the
// torus ring along +x, a straight, a quarter turn to the left, another
// straight, and the whole way back in reverse to where the route began.
// Positions come from the screen alone; nothing is predicted from time.
#include "tests/support/tank_tracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double TANK_STEP = 0.035;          // scene units per tick
constexpr double TURN_PER_TICK = PI / 180.0; // one degree per tick, radians
// W with A held drives a circle of this radius (0.035 per degree): 2.005.
constexpr double ARC_RADIUS = TANK_STEP / TURN_PER_TICK;
constexpr double ROUTE_START_X = 2.6; // clear of the torus ring (outer radius 1.75)
constexpr double CLEAR_OF_TORUS_X = 2.2;
constexpr double FIRST_STRAIGHT = 0.6;
constexpr double SECOND_STRAIGHT = 1.0;
constexpr double START_HEADING = 180.0; // degrees: facing +x

// Tolerances, scene units: the position is estimated from the centre of the
// tank's pixels, which shifts a little as the tank turns.
constexpr double OFF_LINE = 0.1;      // sideways from a straight
constexpr double OFF_ARC = 0.2;       // from the circle of the quarter turn
constexpr double BACK_AT_POINT = 0.2; // how close the reverse comes to each waypoint
// Sideways from the first straight on the way back: reversing round the
// circle uses each heading one tick late, which shifts the way back by about
// 0.05, and where the reverse turn stops turns it by a few degrees.
constexpr double OFF_LINE_RETURNING = 0.15;
// How close the way back passes the start, shifted by where the tank stopped
// on the second straight: off by where the reverse turn stopped as well; less
// than half the tank's length.
constexpr double BACK_AT_START = 0.3;
constexpr double LINE_DIRECTION_COS = 0.985; // within 10 degrees of the expected way
constexpr int IGNORE_MARGIN = 6;             // pixels around the tank's start place
constexpr double SAME_ROW = 6.0;             // pixels
constexpr double VISIBLE_MOVE = 20.0;        // pixels

// Largest distance of a path from the line through two points, on the ground.
double largestOffset(const std::vector<TankSighting>& path, const Vec3& from, const Vec3& to)
{
    const Vec3 along = normalised({to.x - from.x, 0.0, to.z - from.z});
    double largest = 0.0;
    for (const TankSighting& sighting : path) {
        const Vec3 d = {sighting.ground.x - from.x, 0.0, sighting.ground.z - from.z};
        largest = std::max(largest, std::fabs(d.x * along.z - d.z * along.x));
    }
    return largest;
}

// Cosine of the angle between the way from one point to another and a direction.
double headingAgreement(const Vec3& from, const Vec3& to, const Vec3& direction)
{
    const Vec3 moved = {to.x - from.x, 0.0, to.z - from.z};
    return dot(normalised(moved), normalised(direction));
}

// The way the tank faces at a point of the quarter circle round a centre:
// along the circle, turning left (counter-clockwise seen from above).
Vec3 circleTangent(const Vec3& centre, const Vec3& point)
{
    return {point.z - centre.z, 0.0, centre.x - point.x};
}

double largestOffArc(const std::vector<TankSighting>& path, const Vec3& centre)
{
    double largest = 0.0;
    for (const TankSighting& sighting : path)
        largest =
            std::max(largest, std::fabs(groundDistance(sighting.ground, centre) - ARC_RADIUS));
    return largest;
}

void expectStage(const DriveStage& stage, const char* what)
{
    EXPECT_TRUE(stage.finished) << what << ": the tank never got there; last seen at x "
                                << (stage.path.empty() ? 0.0 : stage.path.back().ground.x) << " z "
                                << (stage.path.empty() ? 0.0 : stage.path.back().ground.z);
    EXPECT_TRUE(stage.stopped) << what << ": the tank did not stop when the keys were let go";
}

// The route as the tank drove it: where it started (p0), ended the first
// straight (p1), the quarter turn (p2) and the second straight (p3).
struct Route {
    Vec3 p0;
    Vec3 p1;
    Vec3 p2;
    Vec3 p3;
    Vec3 arcCentre;
    double endRow = 0.0; // pixels: where the turn ended on the screen
};

class DriveScenarioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session_.ready()) << session_.startupProblem();
        const Capture start = session_.capture();
        session_.keep(start, "0-start");
        const PerspectiveView view = startView(start.width, start.height);
        tracker_ = std::make_unique<TankTracker>(
            start, view, tankScreenRect(view, {0, 0, 0}, START_HEADING, IGNORE_MARGIN));
        driver_ = std::make_unique<TankDriver>(session_, *tracker_);
    }

    // Out of the ring: straight along +x, the depth and so the row unchanged.
    void driveOutOfTheRing()
    {
        const DriveStage approach = driver_->drive({"w"}, untilXAtLeast(ROUTE_START_X));
        expectStage(approach, "out of the ring");
        ASSERT_TRUE(approach.finished && approach.stopped);
        for (const TankSighting& s : approach.path) {
            if (s.ground.x > CLEAR_OF_TORUS_X) {
                EXPECT_NEAR(s.ground.z, 0.0, OFF_LINE)
                    << "W drove off the x axis at x " << s.ground.x;
            }
        }
        route_.p0 = approach.rest.ground;
        startPixel_ = approach.rest.centre;
        session_.keep(session_.capture(), "1-route-start");
    }

    void driveTheFirstStraight()
    {
        const DriveStage first = driver_->drive({"w"}, untilXAtLeast(route_.p0.x + FIRST_STRAIGHT));
        expectStage(first, "first straight");
        ASSERT_TRUE(first.finished && first.stopped);
        route_.p1 = first.rest.ground;
        EXPECT_GT(first.rest.centre.x, startPixel_.x + VISIBLE_MOVE) << "not to the right";
        EXPECT_NEAR(first.rest.centre.y, startPixel_.y, SAME_ROW) << "left its row";
        EXPECT_GT(headingAgreement(route_.p0, route_.p1, {1, 0, 0}), LINE_DIRECTION_COS);
        EXPECT_LT(largestOffset(first.path, route_.p0, route_.p1), OFF_LINE);
    }

    // W and A together: a quarter circle to the left, towards -z, whose
    // centre lies one radius to the tank's left.
    void driveTheQuarterTurn()
    {
        route_.arcCentre = {route_.p1.x, 0.0, route_.p1.z - ARC_RADIUS};
        const DriveStage arc = driver_->drive({"w", "a"}, untilZAtMost(route_.arcCentre.z));
        expectStage(arc, "quarter turn");
        ASSERT_TRUE(arc.finished && arc.stopped);
        route_.p2 = arc.rest.ground;
        route_.endRow = arc.rest.centre.y;
        EXPECT_LT(largestOffArc(arc.path, route_.arcCentre), OFF_ARC)
            << "not the circle of 1 degree per 0.035";
        EXPECT_NEAR(groundDistance(route_.p2, route_.arcCentre), ARC_RADIUS, OFF_ARC);
        session_.keep(session_.capture(), "2-after-turn");
    }

    void driveTheSecondStraight()
    {
        const DriveStage second =
            driver_->drive({"w"}, untilZAtMost(route_.p2.z - SECOND_STRAIGHT));
        expectStage(second, "second straight");
        ASSERT_TRUE(second.finished && second.stopped);
        route_.p3 = second.rest.ground;
        EXPECT_LT(second.rest.centre.y, route_.endRow - VISIBLE_MOVE / 2)
            << "not away up the screen";
        // The heading goes with the place on the circle: W then drives on
        // along the circle's tangent where the turn ended.
        EXPECT_GT(
            headingAgreement(route_.p2, route_.p3, circleTangent(route_.arcCentre, route_.p2)),
            LINE_DIRECTION_COS);
        EXPECT_LT(largestOffset(second.path, route_.p2, route_.p3), OFF_LINE);
        session_.keep(session_.capture(), "3-far-end");
    }

    // Back the same way: S along the second straight, S with D round the
    // same circle, S along the first straight. Where the tank stops on the
    // straight (a little early or late) moves the rest of the way back by as
    // much, so the circle and the first straight are expected shifted by it.
    void driveBack()
    {
        const Route& r = route_;
        const DriveStage backSecond = driver_->drive({"s"}, arrivalAt(r.p2, r.p2 - r.p3));
        expectStage(backSecond, "back along the second straight");
        EXPECT_LT(closestApproach(backSecond, r.p2), BACK_AT_POINT) << "S did not retrace it";
        EXPECT_LT(largestOffset(backSecond.path, r.p2, r.p3), OFF_LINE);
        const Vec3 shift = {backSecond.rest.ground.x - r.p2.x, 0.0,
                            backSecond.rest.ground.z - r.p2.z};

        const DriveStage backArc = driver_->drive({"s", "d"}, arrivalAt(r.p1 + shift, r.p0 - r.p1));
        expectStage(backArc, "back round the turn");
        EXPECT_LT(largestOffArc(backArc.path, r.arcCentre + shift), OFF_ARC)
            << "S with D did not retrace the quarter circle";
        EXPECT_LT(closestApproach(backArc, r.p1 + shift), BACK_AT_POINT);
        session_.keep(session_.capture(), "4-back-round-the-turn");

        const DriveStage backFirst = driver_->drive({"s"}, arrivalAt(r.p0 + shift, r.p0 - r.p1));
        expectStage(backFirst, "back along the first straight");
        EXPECT_LT(largestOffset(backFirst.path, r.p0 + shift, r.p1 + shift), OFF_LINE_RETURNING)
            << "the heading did not come back";
        const Vec3 start = r.p0 + shift;
        EXPECT_LT(closestApproach(backFirst, start), BACK_AT_START)
            << "did not come back past x " << start.x << " z " << start.z << "; stopped at x "
            << backFirst.rest.ground.x << " z " << backFirst.rest.ground.z;
        session_.keep(session_.capture(), "5-back-at-start");
    }

    ProgramSession session_;
    std::unique_ptr<TankTracker> tracker_;
    std::unique_ptr<TankDriver> driver_;
    Route route_;
    ScreenPoint startPixel_;
};

} // namespace

TEST_F(DriveScenarioTest, DrivesARouteWithAQuarterTurnAndBackToWhereItBegan)
{
    ASSERT_NO_FATAL_FAILURE(driveOutOfTheRing());
    ASSERT_NO_FATAL_FAILURE(driveTheFirstStraight());
    ASSERT_NO_FATAL_FAILURE(driveTheQuarterTurn());
    ASSERT_NO_FATAL_FAILURE(driveTheSecondStraight());
    driveBack();
}
