// drawTank as GL receives it: every vertex's normal, the winding, where the
// parts stand for each state of the tank, and the state left behind.
#include "app/scene.h"
#include "platform/gl.h"
#include "tests/support/program_test.h"
#include "tests/tank/tank_capture.h"

#include <cmath>

namespace {

// Normals of each part's faces in its own frame, rounded to four places;
// faces 9 and 10 are lit with face 8's normal and 12 and 13 with face 11's.
constexpr double expectedNormals[TANK_PARTS][12][3] = {
    {// hull
     {0, -1, 0}, {-0.6247, -0.7809, 0}, {-1, 0, 0}, {-0.3714, 0.9285, 0}, {0, 1, 0}, {1, 0, 0},
     {0.8480, -0.5300, 0}, {0.8480, -0.5300, 0}, {0, 0, 1}, {}, {}, {0, 0, -1}},
    {// turret
     {0, -1, 0}, {0.1961, -0.9806, 0}, {1, 0, 0}, {0.1483, 0.9889, 0}, {0, 1, 0},
     {-0.5547, 0.8321, 0}, {-1, 0, 0}, {-0.3162, -0.9487, 0}, {0, 0, 1}, {}, {}, {0, 0, -1}},
    {// barrel
     {0, 0.3939, -0.9191}, {0, 0.9191, -0.3939}, {0, 0.9191, 0.3939}, {0, 0.3939, 0.9191},
     {0, -0.3939, 0.9191}, {0, -0.9191, 0.3939}, {0, -0.9191, -0.3939}, {0, -0.3939, -0.9191},
     {1, 0, 0}, {}, {}, {-1, 0, 0}},
};
constexpr double ROUNDED_TOLERANCE = 1e-4;    // the table's four places
constexpr double PLACEMENT_TOLERANCE = 1e-4;  // scene units; figures given to four places
constexpr double SAME_VERTEX_TOLERANCE = 1e-5; // scene units, feedback rounding

Vec3 expectedNormal(std::size_t part, std::size_t face)
{
    const std::size_t row = face == 9 || face == 10 ? 8 : face == 12 || face == 13 ? 11 : face;
    const double* n = expectedNormals[part][row];
    return {n[0], n[1], n[2]};
}

void expectNear(const Vec3& got, const Vec3& want, double tolerance)
{
    EXPECT_LT(length(got - want), tolerance)
        << "expected " << describe(want) << ", got " << describe(got);
}

void expectSameTriangles(const std::vector<FeedbackTriangle>& got,
                         const std::vector<FeedbackTriangle>& want, const Vec3& offset)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t t = 0; t < got.size(); ++t)
        for (std::size_t v = 0; v < 3; ++v) {
            const Vec3 a = {got[t][v].x, got[t][v].y, got[t][v].z};
            const Vec3 b = {want[t][v].x, want[t][v].y, want[t][v].z};
            ASSERT_LT(length(a - (b + offset)), SAME_VERTEX_TOLERANCE)
                << "triangle " << t << " vertex " << v;
        }
}

class TankDrawTest : public ProgramTest {
protected:
    Tank tank() const { return *theScene->tank; }
};

TEST_F(TankDrawTest, EveryVertexIsLitWithItsFaceNormal)
{
    // Heading 0 and nothing else turned: every part's frame has the scene's axes.
    Tank aligned = tank();
    aligned.heading = 0.0f;
    const std::vector<VertexNormals> normals = captureTankNormals(aligned);
    ASSERT_EQ(normals.size(), TANK_TRIANGLES);
    for (std::size_t t = 0; t < normals.size(); ++t) {
        const std::size_t part = t / TRIANGLES_PER_PART;
        const std::size_t face = t % TRIANGLES_PER_PART / TRIANGLES_PER_FACE;
        for (const Vec3& n : normals[t])
            ASSERT_LT(length(n - expectedNormal(part, face)), ROUNDED_TOLERANCE)
                << "part " << part << " face " << face << ": expected "
                << describe(expectedNormal(part, face)) << ", got " << describe(n);
    }
}

TEST_F(TankDrawTest, EveryTriangleIsWoundOutOfItsPart)
{
    const auto triangles = captureTank(tank());
    ASSERT_EQ(triangles.size(), TANK_TRIANGLES);
    for (std::size_t part = HULL; part <= BARREL; ++part) {
        const auto partTriangles = faceTriangles(triangles, TankPart(part), 0, FACES_PER_PART - 1);
        const Vec3 inside = meanVertex(partTriangles);
        for (std::size_t t = 0; t < partTriangles.size(); ++t)
            ASSERT_GT(dot(windingNormal(partTriangles[t]), meanVertex({partTriangles[t]}) - inside),
                      0.0)
                << "part " << part << " face " << t / TRIANGLES_PER_FACE << " is wound inwards";
    }
}

TEST_F(TankDrawTest, NewTankStandsAtTheOriginFacingPlusX)
{
    const auto triangles = captureTank(tank());
    ASSERT_EQ(triangles.size(), TANK_TRIANGLES);
    expectNear(muzzleCentre(triangles), {0.465, 0.26, 0}, PLACEMENT_TOLERANCE);
    expectNear(breechCentre(triangles), {0.16, 0.26, 0}, PLACEMENT_TOLERANCE);
    // The hull rests on y = 0 across the x axis, its front plate at x = 0.375 facing +x.
    const auto hull = faceTriangles(triangles, HULL, 0, FACES_PER_PART - 1);
    double lowest = 1.0;
    for (const FeedbackTriangle& t : hull)
        for (const FeedbackVertex& v : t)
            lowest = std::min(lowest, static_cast<double>(v.y));
    EXPECT_NEAR(lowest, 0.0, PLACEMENT_TOLERANCE);
    EXPECT_NEAR(meanVertex(hull).z, 0.0, PLACEMENT_TOLERANCE);
    for (const FeedbackTriangle& t : faceTriangles(triangles, HULL, 2, 2)) {
        for (const FeedbackVertex& v : t)
            EXPECT_NEAR(v.x, 0.375, PLACEMENT_TOLERANCE);
        const Vec3 n = windingNormal(t);
        EXPECT_GT(n.x, 0.0);
        EXPECT_NEAR(n.y, 0.0, 1e-6);
        EXPECT_NEAR(n.z, 0.0, 1e-6);
    }
}

TEST_F(TankDrawTest, ElevationPivotsTheBarrelAboutItsBreech)
{
    Tank raised = tank();
    raised.barrelElevation = 35.0f;
    const auto up = captureTank(raised);
    expectNear(muzzleCentre(up), {0.4098, 0.4349, 0}, PLACEMENT_TOLERANCE);
    expectNear(breechCentre(up), {0.16, 0.26, 0}, PLACEMENT_TOLERANCE);

    Tank lowered = tank();
    lowered.barrelElevation = -15.0f;
    const auto down = captureTank(lowered);
    expectNear(muzzleCentre(down), {0.4546, 0.1811, 0}, PLACEMENT_TOLERANCE);
    expectNear(breechCentre(down), {0.16, 0.26, 0}, PLACEMENT_TOLERANCE);
}

TEST_F(TankDrawTest, TurretTurnsTheBarrelButNotTheHull)
{
    Tank turned = tank();
    turned.turretAngle = 90.0f;
    const auto before = captureTank(tank());
    const auto after = captureTank(turned);
    ASSERT_EQ(after.size(), TANK_TRIANGLES);
    expectNear(muzzleCentre(after), {0, 0.26, -0.465}, PLACEMENT_TOLERANCE);
    expectSameTriangles(faceTriangles(after, HULL, 0, FACES_PER_PART - 1),
                        faceTriangles(before, HULL, 0, FACES_PER_PART - 1), {0, 0, 0});
}

TEST_F(TankDrawTest, HeadingTurnsTheWholeTank)
{
    Tank west = tank();
    west.heading = 0.0f;
    expectNear(muzzleCentre(captureTank(west)), {-0.465, 0.26, 0}, PLACEMENT_TOLERANCE);
    Tank south = tank();
    south.heading = 90.0f;
    expectNear(muzzleCentre(captureTank(south)), {0, 0.26, 0.465}, PLACEMENT_TOLERANCE);
}

TEST_F(TankDrawTest, PositionMovesEveryPartWithoutTurningIt)
{
    Tank moved = tank();
    moved.position = {2.0f, 0.0f, -3.0f};
    const auto at = captureTank(moved);
    ASSERT_EQ(at.size(), TANK_TRIANGLES);
    expectSameTriangles(at, captureTank(tank()), {2, 0, -3});
}

void expectRgb(GLenum what, const Vec3& want)
{
    GLfloat value[4] = {-1, -1, -1, -1};
    glGetMaterialfv(GL_FRONT, what, value);
    expectNear({value[0], value[1], value[2]}, want, 1e-6);
}

TEST_F(TankDrawTest, LeavesTheMatrixTheArrayAndTheBarrelsLookBehind)
{
    // Something else current before: a view, another material and normal.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(1.0, 3.0, 4.0, 0.5, 0.0, -1.0, 0.0, 1.0, 0.0);
    const GLfloat other[4] = {0.7f, 0.6f, 0.5f, 1.0f};
    glColor3f(0.9f, 0.1f, 0.5f);
    glMaterialfv(GL_FRONT, GL_SPECULAR, other);
    glMaterialfv(GL_FRONT, GL_EMISSION, other);
    glMaterialf(GL_FRONT, GL_SHININESS, 40.0f);
    glNormal3f(0.0f, 1.0f, 0.0f);
    GLdouble before[16];
    GLdouble after[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, before);

    drawTank(tank());

    glGetDoublev(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], before[i]) << "model-view element " << i;
    EXPECT_EQ(glIsEnabled(GL_VERTEX_ARRAY), GL_FALSE);
    expectRgb(GL_AMBIENT, {0.2, 0.2, 0.2});
    expectRgb(GL_DIFFUSE, {0.2, 0.2, 0.2});
    expectRgb(GL_SPECULAR, {0, 0, 0});
    expectRgb(GL_EMISSION, {0, 0, 0});
    GLfloat shininess = -1;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 5.0f);
    GLfloat normal[3] = {0, 0, 0};
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    expectNear({normal[0], normal[1], normal[2]}, {-1, 0, 0}, 1e-6);
    GLfloat colour[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    expectNear({colour[0], colour[1], colour[2]}, {0.2, 0.2, 0.2}, 1e-6);
}

} // namespace
