// In-process fixture for the camera and menu tests, and what they work out
// expected values with.
#pragma once

#include "camera/camera.h"
#include "tests/support/program_test.h"

#include <cmath>
#include <string>

using CameraTest = ProgramTest;

// A point in single precision, as the camera stores it.
struct Vec3f {
    float x;
    float y;
    float z;
};

// Start-up placement of the free camera.
constexpr Vec3f START_EYE = {0.0f, 2.0f, 5.0f};
constexpr Vec3f START_CENTRE = {0.0f, 0.0f, 0.0f};
// Per-tick amounts of the controls.
constexpr float NORMAL_STEP = 0.04f;
constexpr float FAST_STEP = 0.14f;
constexpr float TURN = 0.04f;          // radians per tick
constexpr float TILT = 0.04f;          // radians per tick
constexpr double PITCH_LIMIT = 1.570796325 - 0.035; // radians
constexpr double QUARTER_TURN = 1.570796325;        // radians
// Single-precision camera coordinates of order 1..10 agree to a few ulps.
constexpr float COORD_TOLERANCE = 4e-6f;

inline Vec3f toVec(const Point3& p)
{
    return {p.x, p.y, p.z};
}

inline Vec3f plus(const Vec3f& a, const Vec3f& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

inline Vec3f minus(const Vec3f& a, const Vec3f& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

inline Vec3f scaled(float factor, const Vec3f& v)
{
    return {factor * v.x, factor * v.y, factor * v.z};
}

// Line of sight of a yaw and a pitch: (sin y cos p, sin p, -cos y cos p).
inline Vec3f lineOfSight(float yaw, float pitch)
{
    const double y = yaw;
    const double p = pitch;
    return {static_cast<float>(std::sin(y) * std::cos(p)), static_cast<float>(std::sin(p)),
            static_cast<float>(-std::cos(y) * std::cos(p))};
}

inline void expectPointNear(const Point3& actual, const Vec3f& expected, const std::string& what,
                            float tolerance = COORD_TOLERANCE)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << "x of " << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << "y of " << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << "z of " << what;
}

// Fields no control ever changes: the up vector and the mouse-look reference.
inline void expectFixedFieldsUnchanged(const Camera& camera)
{
    EXPECT_EQ(camera.up.x, 0.0f);
    EXPECT_EQ(camera.up.y, 1.0f);
    EXPECT_EQ(camera.up.z, 0.0f);
    EXPECT_EQ(camera.lastMouseX, 640.0f);
    EXPECT_EQ(camera.lastMouseY, 360.0f);
}
