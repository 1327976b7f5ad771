#include "tests/tank/tank_capture.h"

#include "platform/gl.h"

#include <gtest/gtest.h>

namespace {

// Same feedback frame as capturePolygons: scene units one to one in a cube.
constexpr double HALF_EXTENT = 100.0;

// Lights free for the test: the program uses 0..4.
constexpr GLenum AXIS_LIGHTS[3] = {GL_LIGHT5, GL_LIGHT6, GL_LIGHT7};

void disableAllLights()
{
    for (GLenum light = GL_LIGHT0; light < GL_LIGHT0 + 8; ++light)
        glDisable(light);
}

// Light the drawing so that a vertex's red, green and blue are the positive
// parts of its normal's x, y and z times sign: three white-diffuse directional
// lights along sign * the axes, one per colour channel, on a material that
// reflects only diffuse light.
void lightAlongAxes(float sign)
{
    const GLfloat black[4] = {0, 0, 0, 1};
    const GLfloat white[4] = {1, 1, 1, 1};
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    for (int axis = 0; axis < 3; ++axis) {
        GLfloat colour[4] = {0, 0, 0, 1};
        GLfloat direction[4] = {0, 0, 0, 0};
        colour[axis] = 1;
        direction[axis] = sign;
        const GLenum light = AXIS_LIGHTS[axis];
        glLightfv(light, GL_AMBIENT, black);
        glLightfv(light, GL_DIFFUSE, colour);
        glLightfv(light, GL_SPECULAR, black);
        glLightfv(light, GL_POSITION, direction);
        glEnable(light);
    }
}

} // namespace

std::vector<VertexColours> captureTankColours(const Tank& tank, const std::function<void()>& light)
{
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    disableAllLights();
    const GLfloat black[4] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    light();
    const Feedback feedback = captureFeedback([&tank] { drawTank(tank); }, HALF_EXTENT, true, true);
    glPopMatrix();
    glPopAttrib();

    EXPECT_TRUE(feedback.lines.empty()) << "drawTank fed back lines";
    std::vector<VertexColours> colours;
    for (const auto& polygon : feedback.polygons) {
        if (polygon.size() != 3) {
            ADD_FAILURE() << "drawTank fed back something other than a triangle";
            break;
        }
        VertexColours triangle;
        for (std::size_t v = 0; v < 3; ++v) {
            const auto& c = polygon[v].colour;
            triangle[v] = {c[0], c[1], c[2]};
        }
        colours.push_back(triangle);
    }
    return colours;
}

std::vector<FeedbackTriangle> captureTank(const Tank& tank)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const bool keepBackFaces = true;
    std::vector<FeedbackTriangle> triangles = capturePolygons([&tank] { drawTank(tank); },
                                                              keepBackFaces);
    glPopMatrix();
    return triangles;
}

std::vector<FeedbackTriangle> faceTriangles(const std::vector<FeedbackTriangle>& tank,
                                            TankPart part, std::size_t first, std::size_t last)
{
    const std::size_t begin = part * TRIANGLES_PER_PART + first * TRIANGLES_PER_FACE;
    const std::size_t end = part * TRIANGLES_PER_PART + (last + 1) * TRIANGLES_PER_FACE;
    if (end > tank.size())
        return {};
    return {tank.begin() + static_cast<long>(begin), tank.begin() + static_cast<long>(end)};
}

Vec3 meanVertex(const std::vector<FeedbackTriangle>& triangles)
{
    Vec3 sum = {0, 0, 0};
    std::size_t count = 0;
    for (const FeedbackTriangle& t : triangles)
        for (const FeedbackVertex& v : t) {
            sum = sum + Vec3{v.x, v.y, v.z};
            ++count;
        }
    return count == 0 ? sum : (1.0 / static_cast<double>(count)) * sum;
}

Vec3 muzzleCentre(const std::vector<FeedbackTriangle>& tank)
{
    return meanVertex(faceTriangles(tank, BARREL, 11, 13));
}

Vec3 breechCentre(const std::vector<FeedbackTriangle>& tank)
{
    return meanVertex(faceTriangles(tank, BARREL, 8, 10));
}

Vec3 windingNormal(const FeedbackTriangle& t)
{
    const Vec3 a = {t[0].x, t[0].y, t[0].z};
    const Vec3 b = {t[1].x, t[1].y, t[1].z};
    const Vec3 c = {t[2].x, t[2].y, t[2].z};
    return cross(b - a, c - b);
}

std::vector<VertexNormals> captureTankNormals(const Tank& tank)
{
    const auto positive = captureTankColours(tank, [] { lightAlongAxes(1.0f); });
    const auto negative = captureTankColours(tank, [] { lightAlongAxes(-1.0f); });
    std::vector<VertexNormals> normals;
    for (std::size_t t = 0; t < positive.size() && t < negative.size(); ++t) {
        VertexNormals n;
        for (std::size_t v = 0; v < 3; ++v)
            n[v] = positive[t][v] - negative[t][v];
        normals.push_back(n);
    }
    return normals;
}
