// The cut of a quad into smaller quads and triangles, as GL receives it.
#include "tests/geometry/mesh_capture.h"
#include "platform/gl.h"
#include "tests/support/program_test.h"

#include <algorithm>

namespace {

// The unit square in y = 0, counter-clockwise seen from below.
const Quad square = {{{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}};
// A face that is no parallelogram: its diagonals do not halve each other.
const Quad trapezoid = {{{0, 0, 0}, {4, 0, 0}, {3, 0, 2}, {1, 0, 2}}};

// A parallelogram in general position: p2 = p1 + (p3 - p0).
const Vec3 skewOrigin = {0.5, -1.0, 2.0};
const Vec3 skewSideA = {2.0, 0.5, -1.0};
const Vec3 skewSideB = {-0.5, 1.5, 0.25};
const Quad skewed = {{skewOrigin, skewOrigin + skewSideA, skewOrigin + skewSideA + skewSideB,
                      skewOrigin + skewSideB}};

constexpr int LATTICE_STEPS = 4; // a depth-2 face is 4 x 4 cells

// The sixteen quads of a depth-2 face in the order they are drawn, as lattice
// steps (i along p0->p1, j along p0->p3): the four cells of the p0 quarter,
// then those of the p1, p2 and p3 quarters, each quad starting at the corner
// it shares with its parent and keeping the parent's winding.
constexpr int depthTwoLattice[16][4][2] = {
    {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {{2, 0}, {2, 1}, {1, 1}, {1, 0}},
    {{2, 2}, {1, 2}, {1, 1}, {2, 1}}, {{0, 2}, {0, 1}, {1, 1}, {1, 2}},
    {{4, 0}, {4, 1}, {3, 1}, {3, 0}}, {{4, 2}, {3, 2}, {3, 1}, {4, 1}},
    {{2, 2}, {2, 1}, {3, 1}, {3, 2}}, {{2, 0}, {3, 0}, {3, 1}, {2, 1}},
    {{4, 4}, {3, 4}, {3, 3}, {4, 3}}, {{2, 4}, {2, 3}, {3, 3}, {3, 4}},
    {{2, 2}, {3, 2}, {3, 3}, {2, 3}}, {{4, 2}, {4, 3}, {3, 3}, {3, 2}},
    {{0, 4}, {0, 3}, {1, 3}, {1, 4}}, {{0, 2}, {1, 2}, {1, 3}, {0, 3}},
    {{2, 2}, {2, 3}, {1, 3}, {1, 2}}, {{2, 4}, {1, 4}, {1, 3}, {2, 3}},
};

Vec3 latticePoint(const Quad& face, int i, int j)
{
    const double step = 1.0 / LATTICE_STEPS;
    return face[0] + (i * step) * (face[1] - face[0]) + (j * step) * (face[3] - face[0]);
}

std::vector<Quad> depthTwoQuads(const Quad& parallelogram)
{
    std::vector<Quad> quads;
    for (const auto& cell : depthTwoLattice) {
        Quad q;
        for (int c = 0; c < 4; ++c)
            q[static_cast<std::size_t>(c)] = latticePoint(parallelogram, cell[c][0], cell[c][1]);
        quads.push_back(q);
    }
    return quads;
}

void subdivide(const Quad& q, int depth)
{
    subdivideQuad(toPoint3(q[0]), toPoint3(q[1]), toPoint3(q[2]), toPoint3(q[3]), depth);
}

std::vector<FeedbackTriangle> subdivided(const Quad& q, int depth, const Matrix4& m)
{
    return captureMesh(m, [&q, depth] { subdivide(q, depth); });
}

// Vertices that differ by more than rounding, however often each is repeated.
std::size_t distinctVertices(const std::vector<FeedbackTriangle>& triangles)
{
    constexpr double SAME_POINT = 1e-4;
    std::vector<Vec3> seen;
    for (const FeedbackTriangle& t : triangles)
        for (const FeedbackVertex& v : t) {
            const Vec3 p = {v.x, v.y, v.z};
            const auto near = [&p](const Vec3& q) { return length(p - q) < SAME_POINT; };
            if (std::none_of(seen.begin(), seen.end(), near))
                seen.push_back(p);
        }
    return seen.size();
}

Vec3 triangleNormal(const FeedbackTriangle& t)
{
    const Vec3 a = {t[0].x, t[0].y, t[0].z};
    const Vec3 b = {t[1].x, t[1].y, t[1].z};
    const Vec3 c = {t[2].x, t[2].y, t[2].z};
    return cross(b - a, c - b);
}

class MeshTessellationTest : public ProgramTest {};

TEST_F(MeshTessellationTest, QuadIsTwoTrianglesSplitAlongP1P3)
{
    for (const Matrix4& m : {faceOnBelow(), oblique()}) {
        for (const Quad& q : {square, trapezoid}) {
            const auto triangles = captureMesh(m, [&q] {
                drawQuad(toPoint3(q[0]), toPoint3(q[1]), toPoint3(q[2]), toPoint3(q[3]));
            });
            expectQuadTriangles(triangles, {q}, m);
        }
    }
    const auto faceOn = captureMesh(faceOnBelow(), [] { subdivide(square, 0); });
    ASSERT_EQ(faceOn.size(), 2u);
    EXPECT_GT(screenArea(faceOn[0]), 0.0) << "the quad's winding is lost";
    EXPECT_GT(screenArea(faceOn[1]), 0.0) << "the quad's winding is lost";
}

TEST_F(MeshTessellationTest, DepthZeroOrBelowDrawsTheQuadItself)
{
    // A vertex pointer left by the caller is not drawn from.
    const Point3 decoy[4] = {{5, 5, 5}, {6, 5, 5}, {6, 6, 5}, {5, 6, 5}};
    glVertexPointer(3, GL_FLOAT, 0, decoy);
    for (int depth : {0, -1, -7}) {
        SCOPED_TRACE(depth);
        expectQuadTriangles(subdivided(square, depth, oblique()), {square}, oblique());
        expectQuadTriangles(subdivided(trapezoid, depth, faceOnBelow()), {trapezoid},
                            faceOnBelow());
    }
}

TEST_F(MeshTessellationTest, DepthOneOnTheSquareStartsEachQuarterAtItsCorner)
{
    const std::vector<Quad> quarters = {
        {{{0, 0, 0}, {0.5, 0, 0}, {0.5, 0, 0.5}, {0, 0, 0.5}}},
        {{{1, 0, 0}, {1, 0, 0.5}, {0.5, 0, 0.5}, {0.5, 0, 0}}},
        {{{1, 0, 1}, {0.5, 0, 1}, {0.5, 0, 0.5}, {1, 0, 0.5}}},
        {{{0, 0, 1}, {0, 0, 0.5}, {0.5, 0, 0.5}, {0.5, 0, 1}}},
    };
    const auto triangles = subdivided(square, 1, faceOnBelow());
    expectQuadTriangles(triangles, quarters, faceOnBelow());
    for (const FeedbackTriangle& t : triangles)
        EXPECT_GT(screenArea(t), 0.0) << "a quarter lost the face's winding";
}

TEST_F(MeshTessellationTest, DepthOneOnANonParallelogramCentresOnTheP0P2Diagonal)
{
    // Centre (1.5, 0, 1): the middle of p0-p2, not the mean (2, 0, 1) of the corners.
    const std::vector<Quad> quarters = {
        {{{0, 0, 0}, {2, 0, 0}, {1.5, 0, 1}, {0.5, 0, 1}}},
        {{{4, 0, 0}, {3.5, 0, 1}, {1.5, 0, 1}, {2, 0, 0}}},
        {{{3, 0, 2}, {2, 0, 2}, {1.5, 0, 1}, {3.5, 0, 1}}},
        {{{1, 0, 2}, {0.5, 0, 1}, {1.5, 0, 1}, {2, 0, 2}}},
    };
    for (const Matrix4& m : {faceOnBelow(), oblique()})
        expectQuadTriangles(subdivided(trapezoid, 1, m), quarters, m);
}

TEST_F(MeshTessellationTest, DepthTwoTilesAParallelogramOnItsFiveByFiveLattice)
{
    constexpr std::size_t LATTICE_POINTS = 25;
    for (const Quad& face : {square, skewed}) {
        const Matrix4 m = oblique();
        const auto triangles = subdivided(face, 2, m);
        ASSERT_EQ(triangles.size(), 32u);
        expectQuadTriangles(triangles, depthTwoQuads(face), m);
        EXPECT_EQ(distinctVertices(triangles), LATTICE_POINTS);
        // Every triangle is wound as the face, and together they cover it once.
        const Vec3 faceNormal = cross(transform(m, face[1]) - transform(m, face[0]),
                                      transform(m, face[2]) - transform(m, face[1]));
        double area = 0.0;
        for (const FeedbackTriangle& t : triangles) {
            EXPECT_GT(dot(triangleNormal(t), faceNormal), 0.0) << "a triangle is wound backwards";
            area += length(triangleNormal(t)) / 2;
        }
        EXPECT_NEAR(area, length(faceNormal), 1e-4);
    }
}

TEST_F(MeshTessellationTest, CullingKeepsAFaceSeenFromItsFrontAndDropsItFromBehind)
{
    const Quad reversed = {square[0], square[3], square[2], square[1]};
    const bool frontOnly = true;
    EXPECT_EQ(captureMesh(faceOnBelow(), [] { subdivide(square, 2); }, frontOnly).size(), 32u);
    EXPECT_EQ(captureMesh(faceOnBelow(), [&reversed] { subdivide(reversed, 2); }, frontOnly).size(),
              0u);
}

TEST_F(MeshTessellationTest, SubdivisionLeavesTheCurrentNormalAlone)
{
    glNormal3f(0.6f, 0.0f, 0.8f);
    captureMesh(oblique(), [] { subdivide(skewed, 2); });
    GLfloat normal[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(normal[0], 0.6f);
    EXPECT_FLOAT_EQ(normal[1], 0.0f);
    EXPECT_FLOAT_EQ(normal[2], 0.8f);
}

TEST_F(MeshTessellationTest, DrawFaceIssuesTheNormalOfItsFirstCornersThenCutsTheFaceInOrder)
{
    // The face's corners sit in the corner table out of order, among others.
    const Vec3 p0 = {1, 1, 1};
    const Vec3 sideA = {2, 0, 0};
    const Vec3 sideB = {0, 3, 4};
    const Quad face = {p0, p0 + sideA, p0 + sideA + sideB, p0 + sideB};
    const Point3 corners[6] = {{9, 9, 9}, toPoint3(face[2]), {-5, 2, 7},
                               toPoint3(face[0]), toPoint3(face[3]), toPoint3(face[1])};
    const Face order = {3, 5, 1, 4};
    glNormal3f(1.0f, 0.0f, 0.0f);
    const auto triangles = captureMesh(oblique(), [&] { drawFace(corners, order); });
    expectQuadTriangles(triangles, depthTwoQuads(face), oblique());
    // Counter-clockwise seen from the side sideA x sideB points to: (0, -8, 6) / 10.
    GLfloat normal[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_NEAR(normal[0], 0.0, 1e-6);
    EXPECT_NEAR(normal[1], -0.8, 1e-6);
    EXPECT_NEAR(normal[2], 0.6, 1e-6);
}

} // namespace
