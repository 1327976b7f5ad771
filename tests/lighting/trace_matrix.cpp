#include "tests/lighting/trace_matrix.h"

#include "tests/lighting/lighting_model.h"

#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;

} // namespace

Matrix identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix r = {};
    for (std::size_t c = 0; c < 4; ++c)
        for (std::size_t row = 0; row < 4; ++row)
            for (std::size_t k = 0; k < 4; ++k)
                r[c * 4 + row] += a[k * 4 + row] * b[c * 4 + k];
    return r;
}

Matrix translation(double x, double y, double z)
{
    Matrix m = identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

Matrix rotation(double degrees, double x, double y, double z)
{
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;
    const double c = std::cos(degrees * PI / 180.0);
    const double s = std::sin(degrees * PI / 180.0);
    const double t = 1 - c;
    return {t * x * x + c,     t * x * y + s * z, t * x * z - s * y, 0,
            t * x * y - s * z, t * y * y + c,     t * y * z + s * x, 0,
            t * x * z + s * y, t * y * z - s * x, t * z * z + c,     0,
            0,                 0,                 0,                 1};
}

Matrix perspective(double fovY, double aspect, double zNear, double zFar)
{
    const double f = 1.0 / std::tan(fovY * PI / 360.0);
    Matrix m = {};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
    return m;
}

Matrix lookAt(const std::array<double, 3>& eye, const std::array<double, 3>& centre)
{
    const Vec3 forward = normalised({centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]});
    const Vec3 up = {0, 1, 0};
    const Vec3 side = normalised({forward.y * up.z - forward.z * up.y, forward.z * up.x - forward.x * up.z,
                                  forward.x * up.y - forward.y * up.x});
    const Vec3 u = {side.y * forward.z - side.z * forward.y, side.z * forward.x - side.x * forward.z,
                    side.x * forward.y - side.y * forward.x};
    const Matrix turn = {side.x, u.x, -forward.x, 0, side.y, u.y, -forward.y, 0,
                         side.z, u.z, -forward.z, 0, 0,      0,   0,          1};
    return multiply(turn, translation(-eye[0], -eye[1], -eye[2]));
}

std::vector<double> transform(const Matrix& m, double x, double y, double z)
{
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}
