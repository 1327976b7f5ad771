// A box as GL receives it: where its faces stand, which way they look under
// a yaw, what culling keeps, and what state drawing leaves behind.
#include "geometry/box.h"
#include "platform/gl.h"
#include "tests/geometry/scenery_capture.h"
#include "tests/support/program_test.h"

#include <array>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace {

constexpr double TOLERANCE = 1e-3;  // scene units and colour, after feedback in single precision
constexpr int FACES = 6;
constexpr std::size_t TRIANGLES_PER_FACE = 32; // 16 quads of two triangles
constexpr std::size_t LATTICE_POINTS = 25;     // 5 x 5 per face

// The six faces in drawing order, as the box's own frame has them: outward
// direction and which coordinate is constant on the face.
const Vec3 ownNormals[FACES] = {{0, -1, 0}, {-1, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, -1}, {0, 1, 0}};

const char* const faceNames[FACES] = {"base", "x = -1", "x = +1", "z = +1", "z = -1", "top"};

std::unique_ptr<Box> box(float x, float z, float yaw)
{
    return std::unique_ptr<Box>(makeBox(x, z, yaw));
}

Capture3d capture(const Box& b, const ViewTurn& view, bool keepBackFaces, bool withColour = false)
{
    return captureInWorld(view, [&] { drawBox(b); }, keepBackFaces, withColour);
}

void expectDirection(const Vec3& actual, const Vec3& expected, const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, TOLERANCE) << what;
    EXPECT_NEAR(actual.y, expected.y, TOLERANCE) << what;
    EXPECT_NEAR(actual.z, expected.z, TOLERANCE) << what;
}

double area(const CapturedPolygon& p)
{
    // Half the length of the Newell vector is the area of a planar polygon.
    double nx = 0;
    double ny = 0;
    double nz = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Vec3& a = p[i].at;
        const Vec3& b = p[(i + 1) % p.size()].at;
        nx += (a.y - b.y) * (a.z + b.z);
        ny += (a.z - b.z) * (a.x + b.x);
        nz += (a.x - b.x) * (a.y + b.y);
    }
    return 0.5 * std::sqrt(nx * nx + ny * ny + nz * nz);
}

// The face's triangles: all on one plane a unit from the box's centre line
// (or at height 0 or 5), wound towards outward, on a 5 x 5 lattice, and
// together covering the face's area once.
void expectFace(const Capture3d& drawn, int face, const Vec3& position, double yaw)
{
    const std::string name = std::string("face ") + faceNames[face];
    const Vec3 outward = turnAboutVertical(ownNormals[face], yaw);
    const double faceArea = ownNormals[face].y != 0 ? 4.0 : 10.0;
    std::set<std::pair<long, std::pair<long, long>>> lattice;
    double covered = 0;
    for (std::size_t t = 0; t < TRIANGLES_PER_FACE; ++t) {
        const CapturedPolygon& triangle = drawn.polygons[static_cast<std::size_t>(face) * TRIANGLES_PER_FACE + t];
        ASSERT_EQ(triangle.size(), 3u) << name;
        expectDirection(windingNormal(triangle), outward, name + " winding");
        covered += area(triangle);
        for (const CapturedVertex& v : triangle) {
            // Distance along the outward direction from the box's vertical axis.
            const double out = outward.x * (v.at.x - position.x) + outward.y * (v.at.y - 2.5) +
                               outward.z * (v.at.z - position.z);
            EXPECT_NEAR(out, outward.y != 0 ? 2.5 : 1.0, TOLERANCE) << name;
            lattice.insert({std::lround(v.at.x * 1000), {std::lround(v.at.y * 1000), std::lround(v.at.z * 1000)}});
        }
    }
    EXPECT_NEAR(covered, faceArea, TOLERANCE) << name;
    EXPECT_EQ(lattice.size(), LATTICE_POINTS) << name;
}

} // namespace

class BoxTest : public ProgramTest {};

TEST_F(BoxTest, BoxAtMinusSixSixFillsItsBlockWithSixTessellatedFaces)
{
    const auto b = box(-6, 6, 0);
    const Capture3d drawn = capture(*b, tiltedView(35, 20), true);
    ASSERT_EQ(drawn.polygons.size(), FACES * TRIANGLES_PER_FACE);
    Vec3 low = {1e9, 1e9, 1e9};
    Vec3 high = {-1e9, -1e9, -1e9};
    for (const CapturedPolygon& p : drawn.polygons) {
        for (const CapturedVertex& v : p) {
            low = {std::min(low.x, v.at.x), std::min(low.y, v.at.y), std::min(low.z, v.at.z)};
            high = {std::max(high.x, v.at.x), std::max(high.y, v.at.y), std::max(high.z, v.at.z)};
        }
    }
    expectDirection(low, {-7, 0, 5}, "lowest corner");
    expectDirection(high, {-5, 5, 7}, "highest corner");
    for (int face = 0; face < FACES; ++face)
        expectFace(drawn, face, {-6, 0, 6}, 0);
}

TEST_F(BoxTest, YawTurnsTheFacesCounterClockwiseSeenFromAbove)
{
    const auto b = box(-6, 6, 90);
    const Capture3d drawn = capture(*b, tiltedView(35, 20), true);
    ASSERT_EQ(drawn.polygons.size(), FACES * TRIANGLES_PER_FACE);
    for (int face = 0; face < FACES; ++face)
        expectFace(drawn, face, {-6, 0, 6}, 90);
    // Spelled out: the face listed for x = +1 now looks towards -z, the face
    // for z = +1 towards +x; the outline is still x -7..-5, z 5..7.
    expectDirection(windingNormal(drawn.polygons[2 * TRIANGLES_PER_FACE]), {0, 0, -1}, "face x = +1");
    expectDirection(windingNormal(drawn.polygons[3 * TRIANGLES_PER_FACE]), {1, 0, 0}, "face z = +1");
    EXPECT_NEAR(drawn.polygons[2 * TRIANGLES_PER_FACE][0].at.z, 5.0, TOLERANCE);
    EXPECT_NEAR(drawn.polygons[3 * TRIANGLES_PER_FACE][0].at.x, -5.0, TOLERANCE);
}

TEST_F(BoxTest, IssuedNormalsTurnWithTheYaw)
{
    // Light the box with one white light from far off towards -z and nothing
    // else: a face's lit red is its colour's 0.25 times the cosine between
    // its normal (as issued, turned by the model-view) and -z. So with yaw 90
    // face x = +1 is fully lit, the rest not at all.
    const auto b = box(-6, 6, 90);
    const ViewTurn view = tiltedView(35, 20);
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
    const float none[4] = {0, 0, 0, 1};
    const float white[4] = {1, 1, 1, 1};
    const float towardsMinusZ[4] = {0, 0, -1, 0};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    for (int i = 0; i < 5; ++i)
        glDisable(static_cast<GLenum>(GL_LIGHT0 + i));
    glEnable(GL_LIGHT5);
    glLightfv(GL_LIGHT5, GL_AMBIENT, none);
    glLightfv(GL_LIGHT5, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT5, GL_SPECULAR, none);
    const Capture3d drawn = captureInWorld(view, [&] {
        // Given under the view, the light's direction is in world terms.
        glLightfv(GL_LIGHT5, GL_POSITION, towardsMinusZ);
        drawBox(*b);
    }, true, true);
    glPopAttrib();

    ASSERT_EQ(drawn.polygons.size(), FACES * TRIANGLES_PER_FACE);
    for (int face = 0; face < FACES; ++face) {
        const Vec3 outward = turnAboutVertical(ownNormals[face], 90);
        const double red = 0.25 * std::max(0.0, -outward.z);
        for (std::size_t t = 0; t < TRIANGLES_PER_FACE; ++t) {
            const CapturedPolygon& triangle = drawn.polygons[static_cast<std::size_t>(face) * TRIANGLES_PER_FACE + t];
            for (const CapturedVertex& v : triangle)
                EXPECT_NEAR(v.colour[0], red, TOLERANCE) << "face " << faceNames[face];
        }
    }
}

TEST_F(BoxTest, BaseIsCulledFromAboveAndDrawnWithCullingOff)
{
    const auto b = box(-6, 6, 0);
    const ViewTurn fromAbove = tiltedView(40, 30);
    // Which faces look towards the eye: the eye's +z axis in world terms.
    const Vec3 towardsEye = {fromAbove.m[2][0], fromAbove.m[2][1], fromAbove.m[2][2]};
    std::size_t facing = 0;
    for (const Vec3& n : ownNormals)
        facing += (n.x * towardsEye.x + n.y * towardsEye.y + n.z * towardsEye.z > 0) ? 1 : 0;

    auto baseTriangles = [](const Capture3d& drawn) {
        std::size_t count = 0;
        for (const CapturedPolygon& p : drawn.polygons) {
            bool onBase = true;
            for (const CapturedVertex& v : p)
                onBase = onBase && std::fabs(v.at.y) < TOLERANCE;
            count += onBase ? 1 : 0;
        }
        return count;
    };
    const Capture3d culled = capture(*b, fromAbove, false);
    EXPECT_EQ(culled.polygons.size(), facing * TRIANGLES_PER_FACE);
    EXPECT_EQ(baseTriangles(culled), 0u);
    const Capture3d all = capture(*b, fromAbove, true);
    EXPECT_EQ(all.polygons.size(), FACES * TRIANGLES_PER_FACE);
    EXPECT_EQ(baseTriangles(all), TRIANGLES_PER_FACE);
}

TEST_F(BoxTest, DrawBoxLeavesMatrixAndClientStateAsFoundAndItsMaterialCurrent)
{
    const auto b = box(6, -6, 180);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glRotatef(33, 0.3f, 1, 0.2f);
    std::array<float, 16> before = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, before.data());
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    // A different material first, so what drawBox leaves can be told apart.
    const float other[4] = {0.5f, 0.6f, 0.7f, 1};
    glMaterialfv(GL_FRONT, GL_EMISSION, other);
    glMaterialfv(GL_FRONT, GL_SPECULAR, other);
    glMaterialf(GL_FRONT, GL_SHININESS, 60);
    glMaterialfv(GL_BACK, GL_SPECULAR, other);
    glDisableClientState(GL_VERTEX_ARRAY);

    drawBox(*b);

    std::array<float, 16> after = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    EXPECT_EQ(after, before);
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));

    auto material = [](GLenum face, GLenum which) {
        std::array<float, 4> v = {-1, -1, -1, -1};
        glGetMaterialfv(face, which, v.data());
        return v;
    };
    const std::array<float, 3> boxColour = {0.25f, 0.1f, 0.1f};
    const std::array<float, 4> ambient = material(GL_FRONT, GL_AMBIENT);
    const std::array<float, 4> diffuse = material(GL_FRONT, GL_DIFFUSE);
    const std::array<float, 4> specular = material(GL_FRONT, GL_SPECULAR);
    const std::array<float, 4> emission = material(GL_FRONT, GL_EMISSION);
    for (std::size_t c = 0; c < 3; ++c) {
        EXPECT_NEAR(ambient[c], boxColour[c], TOLERANCE);
        EXPECT_NEAR(diffuse[c], boxColour[c], TOLERANCE);
        EXPECT_NEAR(specular[c], 0.1, TOLERANCE);
        EXPECT_NEAR(emission[c], 0.0, TOLERANCE);
        EXPECT_NEAR(material(GL_BACK, GL_SPECULAR)[c], other[c], TOLERANCE) << "back material is never set";
    }
    float shininess = -1;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_NEAR(shininess, 1.0, TOLERANCE);
    // The last face drawn is the top: its normal stays current.
    float normal[3] = {};
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    expectDirection({normal[0], normal[1], normal[2]}, {0, 1, 0}, "current normal");
}
