// The tank's keyboard controls and the chase view behind it.
#include "tank/tank.h"

#include "platform/platform.h"

#include <cmath>

namespace {

constexpr double PI_APPROX = 3.14159265;  // the program's pi for degrees -> radians
constexpr float TURN_STEP = 1.0f;         // hull, degrees per tick
constexpr float TURRET_STEP = 2.0f;       // degrees per tick
constexpr float ELEVATION_STEP = 0.5f;    // degrees per tick
constexpr float ELEVATION_MAX = 35.0f;    // degrees
constexpr float ELEVATION_MIN = -15.0f;   // degrees

constexpr double CHASE_AHEAD = 1.5;       // scene units ahead of the tank, looked at
constexpr double CHASE_BEHIND = 0.6;      // scene units behind the tank, the eye
constexpr float CHASE_TARGET_HEIGHT = 0.25f;
constexpr float CHASE_EYE_HEIGHT = 0.45f;

bool held(int virtualKey)
{
    return (getKeyState(virtualKey) & KEY_HELD) != 0;
}

// Degrees to radians, taken to single precision.
float radians(float degrees)
{
    return static_cast<float>(degrees * PI_APPROX / 180.0);
}

// The tank's keys in the order they are tested, each on the state the ones
// before it left.
void driveForward(Tank& tank, float sign)
{
    const float r = radians(tank.heading);
    const float c = static_cast<float>(std::cos(r));
    const float s = static_cast<float>(std::sin(r));
    tank.position.x = tank.position.x - sign * c * tank.step;
    tank.position.z = tank.position.z + sign * s * tank.step;
}

void turnHull(Tank& tank, float sign) { tank.heading += sign * TURN_STEP; }
void turnTurret(Tank& tank, float sign) { tank.turretAngle += sign * TURRET_STEP; }

void raiseBarrel(Tank& tank, float sign)
{
    if (sign > 0 ? tank.barrelElevation < ELEVATION_MAX : tank.barrelElevation > ELEVATION_MIN)
        tank.barrelElevation += sign * ELEVATION_STEP;
}

struct TankControl {
    int key;
    void (*apply)(Tank&, float);
    float sign;
};
constexpr TankControl tankControls[] = {
    {'W', driveForward, 1.0f}, {'S', driveForward, -1.0f},
    {'A', turnHull, 1.0f},     {'D', turnHull, -1.0f},
    {'Q', turnTurret, 1.0f},   {'E', turnTurret, -1.0f},
    {'R', raiseBarrel, 1.0f},  {'F', raiseBarrel, -1.0f},
};

} // namespace

void driveTank(Tank& tank)
{
    for (const TankControl& control : tankControls)
        if (held(control.key))
            control.apply(tank, control.sign);
}

float chaseCoordinate(const Tank& tank, int index)
{
    const float a = radians(tank.heading - 180.0f + tank.turretAngle);
    const double c = static_cast<float>(std::cos(a));
    const double s = static_cast<float>(std::sin(a));
    switch (index) {
    case 0: return static_cast<float>(tank.position.x + CHASE_AHEAD * c);
    case 1: return CHASE_TARGET_HEIGHT;
    case 2: return static_cast<float>(tank.position.z - CHASE_AHEAD * s);
    case 3: return static_cast<float>(tank.position.x - CHASE_BEHIND * c);
    case 4: return CHASE_EYE_HEIGHT;
    case 5: return static_cast<float>(tank.position.z + CHASE_BEHIND * s);
    default: return 0.0f;
    }
}
