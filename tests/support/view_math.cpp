#include "tests/support/view_math.h"

#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;

} // namespace

Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(double k, const Vec3& a) { return {k * a.x, k * a.y, k * a.z}; }
double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double length(const Vec3& a) { return std::sqrt(dot(a, a)); }
Vec3 normalised(const Vec3& a) { return (1.0 / length(a)) * a; }

Matrix4 identity()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r = {};
    for (std::size_t column = 0; column < 4; ++column)
        for (std::size_t row = 0; row < 4; ++row)
            for (std::size_t k = 0; k < 4; ++k)
                r[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
    return r;
}

Matrix4 translation(double x, double y, double z)
{
    Matrix4 m = identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

Matrix4 rotation(double degrees, double x, double y, double z)
{
    const Vec3 u = normalised({x, y, z});
    const double c = std::cos(degrees * PI / 180.0);
    const double s = std::sin(degrees * PI / 180.0);
    const double t = 1 - c;
    // Rodrigues' rotation, stored column by column.
    return {t * u.x * u.x + c,       t * u.x * u.y + s * u.z, t * u.x * u.z - s * u.y, 0,
            t * u.x * u.y - s * u.z, t * u.y * u.y + c,       t * u.y * u.z + s * u.x, 0,
            t * u.x * u.z + s * u.y, t * u.y * u.z - s * u.x, t * u.z * u.z + c,       0,
            0,                       0,                       0,                       1};
}

Matrix4 perspective(double fovYDegrees, double aspect, double zNear, double zFar)
{
    const double f = 1.0 / std::tan(fovYDegrees * PI / 360.0);
    Matrix4 m = {};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
    return m;
}

Matrix4 lookAt(const Vec3& eye, const Vec3& centre, const Vec3& up)
{
    const Vec3 f = normalised(centre - eye);
    const Vec3 s = normalised(cross(f, up));
    const Vec3 u = cross(s, f);
    return {s.x, u.x, -f.x, 0, s.y, u.y, -f.y, 0, s.z, u.z, -f.z, 0,
            -dot(s, eye), -dot(u, eye), dot(f, eye), 1};
}

Vec3 transform(const Matrix4& m, const Vec3& p)
{
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

bool projectToWindow(const Matrix4& projection, const Matrix4& view, const Vec3& world, int width,
                     int height, double& x, double& yFromBottom)
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
