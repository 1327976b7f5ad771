// Finds the tank on the screen of the running program and where it stands on
// the ground, under a view the test knows. The tank is what differs from a
// capture taken while it stood elsewhere: the rest of the scene holds still
// (the spinning torus is left out by its colour), so this works whatever
// coloured spotlight falls on the tank.
#pragma once

#include "tests/support/program_session.h"
#include "tests/support/scene_view.h"

#include <functional>
#include <string>
#include <vector>

// Pixels between the centres of two sightings of a tank at rest, at most.
constexpr double TANK_REST_AGREEMENT = 0.75;

struct TankSighting {
    bool seen = false;
    long pixels = 0;
    ScreenPoint centre;
    Vec3 ground; // the tank's position on the ground, estimated from the centre
};

class TankTracker {
public:
    // background: the scene with the tank away from where it will be looked
    // for; ignore: a rectangle where the tank stood in it.
    TankTracker(Capture background, const PerspectiveView& view, const PixelRect& ignore);

    TankSighting sight(const Capture& now) const;

private:
    bool changed(const Capture& now, int x, int y) const;

    Capture background_;
    PerspectiveView view_;
    PixelRect ignore_;
};

// The screen rectangle the tank covers at a position and heading under a view,
// with a margin in pixels.
PixelRect tankScreenRect(const PerspectiveView& view, const Vec3& position, double headingDegrees,
                         int margin);

// One stretch of driving: the keys held together until the tank is (about
// to be) where it should go, then let go together, and the tank seen at rest
// afterwards.
struct DriveStage {
    bool finished = false; // the goal was reached in time
    std::vector<TankSighting> path;
    TankSighting rest;    // where the tank stopped
    bool stopped = false; // it did come to rest
};

// How far, in scene units, the tank still has to go on a sighting; zero or
// less once it is there.
using DistanceToGo = std::function<double(const TankSighting&)>;

// Drives the tank stage by stage. The keys are let go a little before the
// goal, by as much as the tank went on after being let go in the stages so
// far (the sighting is a frame old and the program sees the keys go up only
// on its next tick), so each stage ends close to its goal however fast the
// machine is.
class TankDriver {
public:
    TankDriver(ProgramSession& session, const TankTracker& tracker)
        : session_(session), tracker_(tracker)
    {
    }

    DriveStage drive(const std::vector<std::string>& keys, const DistanceToGo& toGo);

private:
    // Scene units the tank goes on after the keys are let go, before it is
    // measured: about two ticks.
    static constexpr double FIRST_RUN_ON = 0.07;

    ProgramSession& session_;
    const TankTracker& tracker_;
    double runOn_ = FIRST_RUN_ON;
    int stages_ = 0;
};

// The distance to go until a coordinate reaches a value, growing or falling.
DistanceToGo untilXAtLeast(double x);
DistanceToGo untilZAtMost(double z);

// Wait for two sightings some time apart that agree: the tank stands still.
bool waitForTankAtRest(ProgramSession& session, const TankTracker& tracker, TankSighting& rest);

// The tracker for the start view, with the tank at its start place as the
// background's tank.
TankTracker startViewTracker(const Capture& start);

// Hold W until the tank is out of the torus ring along +x (still held after).
bool driveOutOfTheRing(ProgramSession& session, const TankTracker& tracker, int timeoutMs = WAIT_MS);

// A short press of W still drives the tank on, and it stops again after.
bool keysStillDriveTheTank(ProgramSession& session, const TankTracker& tracker, std::string& why);

// The distance to go back to a point that the tank reaches moving the
// arriving way, measured along that way whatever the sideways offset.
DistanceToGo arrivalAt(const Vec3& target, const Vec3& arriving);

// How close the way the tank drove in a stage (from sighting to sighting, on
// to where it stopped) passes a point, on the ground.
double closestApproach(const DriveStage& stage, const Vec3& target);

// Distance on the ground (x and z only).
double groundDistance(const Vec3& a, const Vec3& b);
