// Projection and viewing matrices worked out independently of GLU, for
// checking what GL holds after the program set up a view. Column-major, as
// glGet returns them.
#pragma once

#include <array>
#include <cmath>

using Matrix4 = std::array<double, 16>;

struct Vector3 {
    double x;
    double y;
    double z;
};

inline Vector3 minus(const Vector3& a, const Vector3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

inline Vector3 cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vector3 normalised(const Vector3& v)
{
    const double length = std::sqrt(dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

// Symmetric perspective frustum: vertical field of view in degrees.
inline Matrix4 perspectiveMatrix(double fovYDegrees, double aspect, double zNear, double zFar)
{
    const double pi = std::acos(-1.0);
    const double f = 1.0 / std::tan(fovYDegrees * pi / 360.0);
    Matrix4 m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1.0;
    m[14] = 2.0 * zFar * zNear / (zNear - zFar);
    return m;
}

// The eye at `eye` looking at `centre`, `up` tilted into the view's vertical.
inline Matrix4 lookAtMatrix(const Vector3& eye, const Vector3& centre, const Vector3& up)
{
    const Vector3 forward = normalised(minus(centre, eye));
    const Vector3 side = normalised(cross(forward, up));
    const Vector3 trueUp = cross(side, forward);
    Matrix4 m{};
    // Rows side, trueUp, -forward; then the eye moved to the origin.
    const Vector3 rows[3] = {side, trueUp, {-forward.x, -forward.y, -forward.z}};
    for (int row = 0; row < 3; ++row) {
        m[0 * 4 + row] = rows[row].x;
        m[1 * 4 + row] = rows[row].y;
        m[2 * 4 + row] = rows[row].z;
        m[3 * 4 + row] = -dot(rows[row], eye);
    }
    m[15] = 1.0;
    return m;
}

// Rotation by `degrees` about +y, right-handed.
inline Matrix4 rotationAboutY(double degrees)
{
    const double radians = degrees * std::acos(-1.0) / 180.0;
    Matrix4 m{};
    m[0] = std::cos(radians);
    m[2] = -std::sin(radians);
    m[5] = 1.0;
    m[8] = std::sin(radians);
    m[10] = std::cos(radians);
    m[15] = 1.0;
    return m;
}

inline Matrix4 multiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 m{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                m[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
    return m;
}

// Window position (x from the left, y from the bottom, pixels) that a world
// point lands on under the given projection and view in a window of the given
// size; false if the point is not in front of the eye.
inline bool projectToPixel(const Matrix4& projection, const Matrix4& view, const Vector3& world,
                           int width, int height, double& x, double& yFromBottom)
{
    const Matrix4 m = multiply(projection, view);
    double clip[4];
    for (int row = 0; row < 4; ++row)
        clip[row] = m[row] * world.x + m[4 + row] * world.y + m[8 + row] * world.z + m[12 + row];
    if (clip[3] <= 0.0)
        return false;
    x = (clip[0] / clip[3] + 1.0) * 0.5 * width;
    yFromBottom = (clip[1] / clip[3] + 1.0) * 0.5 * height;
    return true;
}
