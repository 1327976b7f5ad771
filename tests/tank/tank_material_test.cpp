// The hull's, turret's and barrel's materials as GL lights them.
#include "app/scene.h"
#include "platform/gl.h"
#include "tests/support/program_test.h"
#include "tests/tank/tank_capture.h"

#include <cmath>

namespace {

constexpr double COLOUR_TOLERANCE = 1e-5;
constexpr double PI = 3.14159265358979323846;

// Every vertex of the part's faces first..last has the colour (grey, grey, grey).
void expectGrey(const std::vector<VertexColours>& colours, TankPart part, std::size_t first,
                std::size_t last, double grey)
{
    const std::size_t begin = part * TRIANGLES_PER_PART + first * TRIANGLES_PER_FACE;
    const std::size_t end = part * TRIANGLES_PER_PART + (last + 1) * TRIANGLES_PER_FACE;
    ASSERT_LE(end, colours.size());
    for (std::size_t t = begin; t < end; ++t)
        for (const Vec3& c : colours[t])
            ASSERT_LT(length(c - Vec3{grey, grey, grey}), COLOUR_TOLERANCE)
                << "part " << part << " face " << t % TRIANGLES_PER_PART / TRIANGLES_PER_FACE
                << ": expected " << grey << ", got " << describe(c);
}

class TankMaterialTest : public ProgramTest {
protected:
    // Heading 0: the parts' frames have the scene's axes, the +z ends face the viewer.
    Tank aligned() const
    {
        Tank t = *theScene->tank;
        t.heading = 0.0f;
        return t;
    }
};

TEST_F(TankMaterialTest, EachPartReflectsAmbientLightInItsOwnColourAndEmitsNothing)
{
    // Only a white global ambient: a vertex shows emission + its ambient reflectance.
    const auto colours = captureTankColours(aligned(), [] {
        const GLfloat white[4] = {1, 1, 1, 1};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, white);
    });
    ASSERT_EQ(colours.size(), TANK_TRIANGLES);
    expectGrey(colours, HULL, 0, FACES_PER_PART - 1, 0.25);
    expectGrey(colours, TURRET, 0, FACES_PER_PART - 1, 0.3);
    expectGrey(colours, BARREL, 0, FACES_PER_PART - 1, 0.2);
}

TEST_F(TankMaterialTest, OnlyTheTurretShinesWithItsDullHighlight)
{
    // A white specular-only light 60 degrees off the view axis: on the +z
    // ends the half-way vector is 30 degrees off the normal, so a material
    // reflects specular * cos(30 degrees)^shininess there.
    const double angle = 60.0 * PI / 180.0;
    const auto colours = captureTankColours(aligned(), [angle] {
        const GLfloat black[4] = {0, 0, 0, 1};
        const GLfloat white[4] = {1, 1, 1, 1};
        const GLfloat direction[4] = {static_cast<GLfloat>(std::sin(angle)), 0,
                                      static_cast<GLfloat>(std::cos(angle)), 0};
        glLightfv(GL_LIGHT5, GL_AMBIENT, black);
        glLightfv(GL_LIGHT5, GL_DIFFUSE, black);
        glLightfv(GL_LIGHT5, GL_SPECULAR, white);
        glLightfv(GL_LIGHT5, GL_POSITION, direction);
        glEnable(GL_LIGHT5);
    });
    ASSERT_EQ(colours.size(), TANK_TRIANGLES);
    const double turretSpecular = 0.05;
    const double turretShininess = 1.0;
    expectGrey(colours, HULL, 8, 10, 0.0);
    const double highlight = turretSpecular * std::pow(std::cos(angle / 2), turretShininess);
    expectGrey(colours, TURRET, 8, 10, highlight);
    expectGrey(colours, BARREL, 0, FACES_PER_PART - 1, 0.0);
}

} // namespace
