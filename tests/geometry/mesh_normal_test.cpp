// Flat face normals: direction from the corners' turning sense, unit length,
// and no NaN from corners that span no plane.
#include "tests/geometry/mesh_capture.h"
#include "platform/gl.h"
#include "tests/support/program_test.h"

#include <cmath>

namespace {

constexpr double NORMAL_TOLERANCE = 1e-6;

void expectNormal(const Point3& a, const Point3& b, const Point3& c, const Vec3& expected)
{
    const Vec3 n = toVec3(faceNormal(a, b, c));
    EXPECT_LT(length(n - expected), NORMAL_TOLERANCE)
        << "expected " << describe(expected) << ", got " << describe(n);
}

bool finite(const Vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

TEST(FaceNormalTest, PointsToTheSideFromWhichTheCornersRunCounterClockwise)
{
    expectNormal({-1, 0, -1}, {1, 0, -1}, {1, 0, 1}, {0, -1, 0});
    expectNormal({1, 0, 1}, {1, 0, -1}, {-1, 0, -1}, {0, 1, 0});
    expectNormal({0, 0, 0}, {2, 0, 0}, {2, 3, 0}, {0, 0, 1});
}

TEST(FaceNormalTest, IsOfUnitLengthWhateverTheEdgeLengths)
{
    expectNormal({0, 0, 0}, {2000, 0, 0}, {2000, 0.001f, 0}, {0, 0, 1});
    expectNormal({0, 0, 0}, {0.001f, 0, 0}, {0.001f, 0, -250}, {0, 1, 0});
    // (3, 0, 0) then (0, 4, 12): the cross product (0, -36, 12) has length 12 * sqrt(10).
    const double root10 = std::sqrt(10.0);
    expectNormal({1, 2, 3}, {4, 2, 3}, {4, 6, 15}, {0, -3 / root10, 1 / root10});
}

TEST(FaceNormalTest, CornersThatSpanNoPlaneGiveNoNaN)
{
    const Point3 collinear[3] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
    const Point3 firstTwoShared[3] = {{1, 2, 3}, {1, 2, 3}, {4, 5, 7}};
    const Point3 allShared[3] = {{0.5f, -1, 2}, {0.5f, -1, 2}, {0.5f, -1, 2}};
    for (const auto* corners : {collinear, firstTwoShared, allShared}) {
        const Vec3 n = toVec3(faceNormal(corners[0], corners[1], corners[2]));
        EXPECT_TRUE(finite(n)) << describe(n);
        EXPECT_EQ(length(n), 0.0) << "no plane, so no direction: " << describe(n);
    }
}

class DegenerateFaceTest : public ProgramTest {};

TEST_F(DegenerateFaceTest, DrawingAFaceWithoutAPlaneLeavesAFiniteNormal)
{
    const Point3 corners[4] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}};
    const Face face = {0, 1, 2, 3};
    captureMesh(oblique(), [&] { drawFace(corners, face); });
    GLfloat normal[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_TRUE(finite({normal[0], normal[1], normal[2]}))
        << normal[0] << " " << normal[1] << " " << normal[2];
}

} // namespace
