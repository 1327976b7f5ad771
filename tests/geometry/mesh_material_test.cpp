// A material made current: what GL holds for front faces afterwards, and that
// back faces keep theirs.
#include "geometry/mesh.h"
#include "platform/gl.h"
#include "tests/support/program_test.h"

#include <array>

namespace {

using Rgba = std::array<GLfloat, 4>;

Rgba material(GLenum face, GLenum what)
{
    Rgba value = {-1, -1, -1, -1};
    glGetMaterialfv(face, what, value.data());
    return value;
}

void expectRgb(const Rgba& got, float r, float g, float b)
{
    EXPECT_FLOAT_EQ(got[0], r);
    EXPECT_FLOAT_EQ(got[1], g);
    EXPECT_FLOAT_EQ(got[2], b);
}

class MaterialTest : public ProgramTest {};

TEST_F(MaterialTest, FrontFacesTakeEveryFieldAndBackFacesNone)
{
    const Rgba backAmbient = material(GL_BACK, GL_AMBIENT);
    const Rgba backDiffuse = material(GL_BACK, GL_DIFFUSE);
    const Rgba backSpecular = material(GL_BACK, GL_SPECULAR);
    const Rgba backEmission = material(GL_BACK, GL_EMISSION);
    const Rgba backShininess = material(GL_BACK, GL_SHININESS);

    const Material m = {
        {0.125f, 0.5f, 0.75f}, {0.25f, 0.375f, 0.625f}, 17.0f, {0.0625f, 0.1875f, 0.3125f}};
    applyMaterial(m);

    // Colour material turns the colour into the front ambient and diffuse.
    GLfloat colour[4] = {0, 0, 0, 0};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    expectRgb({colour[0], colour[1], colour[2], colour[3]}, 0.125f, 0.5f, 0.75f);
    expectRgb(material(GL_FRONT, GL_AMBIENT), 0.125f, 0.5f, 0.75f);
    expectRgb(material(GL_FRONT, GL_DIFFUSE), 0.125f, 0.5f, 0.75f);
    expectRgb(material(GL_FRONT, GL_SPECULAR), 0.25f, 0.375f, 0.625f);
    expectRgb(material(GL_FRONT, GL_EMISSION), 0.0625f, 0.1875f, 0.3125f);
    EXPECT_FLOAT_EQ(material(GL_FRONT, GL_SHININESS)[0], 17.0f);

    EXPECT_EQ(material(GL_BACK, GL_AMBIENT), backAmbient);
    EXPECT_EQ(material(GL_BACK, GL_DIFFUSE), backDiffuse);
    EXPECT_EQ(material(GL_BACK, GL_SPECULAR), backSpecular);
    EXPECT_EQ(material(GL_BACK, GL_EMISSION), backEmission);
    EXPECT_EQ(material(GL_BACK, GL_SHININESS)[0], backShininess[0]);
}

} // namespace
