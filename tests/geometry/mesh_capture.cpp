#include "tests/geometry/mesh_capture.h"

#include "platform/gl.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace {

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

Matrix4 placement(double angleDegrees, const Vec3& axis, const Vec3& offset)
{
    return multiply(translation(offset.x, offset.y, offset.z), rotation(angleDegrees, axis.x, axis.y, axis.z));
}

Matrix4 faceOnBelow()
{
    return placement(-90.0, {1.0, 0.0, 0.0}, {0.0, 0.0, 0.0});
}

Matrix4 oblique()
{
    return placement(37.0, {0.3, -0.8, 0.52}, {1.5, -2.25, 0.75});
}

std::vector<FeedbackTriangle> captureMesh(const Matrix4& m, const std::function<void()>& draw,
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
                         const std::vector<Quad>& quads, const Matrix4& m)
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
