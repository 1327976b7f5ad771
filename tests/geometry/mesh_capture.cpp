#include "tests/geometry/mesh_capture.h"

#include "platform/gl.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace {

constexpr double PI = 3.14159265358979323846;
// Feedback coordinates are single-precision window values around 100: a few
// 1e-6 of rounding, well inside this.
constexpr double POSITION_TOLERANCE = 5e-5;

} // namespace

Vec3 toVec3(const Point3& p) { return {p.x, p.y, p.z}; }

Point3 toPoint3(const Vec3& v)
{
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

std::string describe(const Vec3& v)
{
    std::ostringstream out;
    out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
    return out.str();
}

Matrix placement(double angleDegrees, const Vec3& axis, const Vec3& offset)
{
    const Vec3 u = (1.0 / length(axis)) * axis;
    const double a = angleDegrees * PI / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double t = 1.0 - c;
    // Rodrigues' rotation, stored column by column.
    return {t * u.x * u.x + c,       t * u.x * u.y + s * u.z, t * u.x * u.z - s * u.y, 0.0,
            t * u.x * u.y - s * u.z, t * u.y * u.y + c,       t * u.y * u.z + s * u.x, 0.0,
            t * u.x * u.z + s * u.y, t * u.y * u.z - s * u.x, t * u.z * u.z + c,       0.0,
            offset.x,                offset.y,                offset.z,                1.0};
}

Vec3 transform(const Matrix& m, const Vec3& p)
{
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

Matrix lookAt(const Vec3& eye, const Vec3& centre, const Vec3& up)
{
    const Vec3 forward = centre - eye;
    const Vec3 f = (1.0 / length(forward)) * forward;
    const Vec3 side = cross(f, up);
    const Vec3 s = (1.0 / length(side)) * side;
    const Vec3 u = cross(s, f);
    return {s.x, u.x, -f.x, 0, s.y, u.y, -f.y, 0, s.z, u.z, -f.z, 0,
            -dot(s, eye), -dot(u, eye), dot(f, eye), 1};
}

Matrix faceOnBelow()
{
    return placement(-90.0, {1.0, 0.0, 0.0}, {0.0, 0.0, 0.0});
}

Matrix oblique()
{
    return placement(37.0, {0.3, -0.8, 0.52}, {1.5, -2.25, 0.75});
}

std::vector<FeedbackTriangle> captureMesh(const Matrix& m, const std::function<void()>& draw,
                                          bool keepOnlyFrontFaces)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixd(m.data());
    std::vector<FeedbackTriangle> triangles = capturePolygons(
        [&draw] {
            glEnableClientState(GL_VERTEX_ARRAY);
            draw();
            glDisableClientState(GL_VERTEX_ARRAY);
        },
        !keepOnlyFrontFaces);
    glPopMatrix();
    return triangles;
}

void expectQuadTriangles(const std::vector<FeedbackTriangle>& triangles,
                         const std::vector<Quad>& quads, const Matrix& m)
{
    ASSERT_EQ(triangles.size(), 2 * quads.size());
    for (std::size_t k = 0; k < quads.size(); ++k) {
        const Quad& q = quads[k];
        const std::array<std::array<Vec3, 3>, 2> expected = {
            {{q[0], q[1], q[3]}, {q[1], q[2], q[3]}}};
        for (std::size_t t = 0; t < 2; ++t) {
            const FeedbackTriangle& got = triangles[2 * k + t];
            ASSERT_EQ(got.size(), 3u) << "quad " << k << " triangle " << t;
            for (std::size_t v = 0; v < 3; ++v) {
                const Vec3 want = transform(m, expected[t][v]);
                const Vec3 have = {got[v].x, got[v].y, got[v].z};
                EXPECT_LT(length(have - want), POSITION_TOLERANCE)
                    << "quad " << k << " triangle " << t << " vertex " << v << ": expected "
                    << describe(want) << ", got " << describe(have);
            }
        }
    }
}

double screenArea(const FeedbackTriangle& triangle)
{
    const FeedbackVertex& a = triangle[0];
    const FeedbackVertex& b = triangle[1];
    const FeedbackVertex& c = triangle[2];
    return 0.5 * ((static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - a.y) -
                  (static_cast<double>(c.x) - a.x) * (static_cast<double>(b.y) - a.y));
}
