// The five lights as GL really holds them: colours, cones and attenuation from
// start-up, positions and spot directions under the identity and under a view.
#include "app/scene.h"
#include "lighting/lights.h"
#include "platform/gl.h"
#include "tests/lighting/lighting_model.h"
#include "tests/support/program_test.h"

#include <array>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr float GL_TOLERANCE = 1e-5f;       // values GL stores as given
constexpr double TRANSFORM_TOLERANCE = 1e-4; // values GL transformed in single precision
constexpr double PI = 3.14159265358979323846;

GLenum lightName(int index)
{
    return static_cast<GLenum>(GL_LIGHT0 + index);
}

std::array<float, 4> lightVector(int index, GLenum parameter)
{
    std::array<float, 4> value = {-7, -7, -7, -7};
    glGetLightfv(lightName(index), parameter, value.data());
    return value;
}

float lightScalar(int index, GLenum parameter)
{
    float value = -7;
    glGetLightfv(lightName(index), parameter, &value);
    return value;
}

template <typename T, std::size_t N>
void expectNear(const std::array<float, 4>& actual, const std::array<T, N>& expected,
                double tolerance, const std::string& what)
{
    for (std::size_t i = 0; i < N; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << what << " component " << i;
}

// Colours, cone and attenuation of light index, as GL holds them.
void expectColoursAndCone(int index)
{
    const RigLight expected = expectedGlLight(index);
    const std::string light = "light " + std::to_string(index);
    expectNear(lightVector(index, GL_AMBIENT), expected.ambient, GL_TOLERANCE, light + " ambient");
    expectNear(lightVector(index, GL_DIFFUSE), expected.diffuse, GL_TOLERANCE, light + " diffuse");
    expectNear(lightVector(index, GL_SPECULAR), expected.specular, GL_TOLERANCE, light + " specular");
    EXPECT_NEAR(lightScalar(index, GL_SPOT_CUTOFF), expected.spotCutoff, GL_TOLERANCE) << light;
    EXPECT_NEAR(lightScalar(index, GL_SPOT_EXPONENT), expected.spotExponent, GL_TOLERANCE) << light;
    EXPECT_NEAR(lightScalar(index, GL_CONSTANT_ATTENUATION), expected.attenuation[0], GL_TOLERANCE) << light;
    EXPECT_NEAR(lightScalar(index, GL_LINEAR_ATTENUATION), expected.attenuation[1], GL_TOLERANCE) << light;
    EXPECT_NEAR(lightScalar(index, GL_QUADRATIC_ATTENUATION), expected.attenuation[2], GL_TOLERANCE) << light;
}

// Give every light parameter that start-up sets a value it never has, so a
// parameter left unset shows. Light 0's cone and attenuation are left alone:
// nothing in the program may set them.
void scrambleLights()
{
    const float junk[4] = {0.77f, 0.66f, 0.55f, 0.44f};
    for (int i = 0; i < RIG_LIGHTS; ++i) {
        const GLenum light = lightName(i);
        glLightfv(light, GL_AMBIENT, junk);
        glLightfv(light, GL_DIFFUSE, junk);
        glLightfv(light, GL_SPECULAR, junk);
        glLightfv(light, GL_POSITION, junk);
        if (i == 0)
            continue;
        glLightfv(light, GL_SPOT_DIRECTION, junk);
        glLightf(light, GL_SPOT_CUTOFF, 33);
        glLightf(light, GL_SPOT_EXPONENT, 9);
        glLightf(light, GL_CONSTANT_ATTENUATION, 3);
        glLightf(light, GL_LINEAR_ATTENUATION, 2);
        glLightf(light, GL_QUADRATIC_ATTENUATION, 1);
    }
}

// A camera-like view: a turn of 37 degrees about the axis (1, 2, 3), then a
// shift, column-major as GL takes it. Its upper 3x3 is the turn.
std::array<double, 16> someView()
{
    const Vec3 axis = normalised({1, 2, 3});
    const double angle = 37.0 * PI / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double t = 1.0 - c;
    const double x = axis.x;
    const double y = axis.y;
    const double z = axis.z;
    const double rows[3][3] = {{t * x * x + c, t * x * y - s * z, t * x * z + s * y},
                               {t * x * y + s * z, t * y * y + c, t * y * z - s * x},
                               {t * x * z - s * y, t * y * z + s * x, t * z * z + c}};
    const double shift[3] = {-2.0, 3.0, -7.0};
    std::array<double, 16> m = {};
    for (int r = 0; r < 3; ++r) {
        for (int col = 0; col < 3; ++col)
            m[static_cast<std::size_t>(col * 4 + r)] = rows[r][col];
        m[static_cast<std::size_t>(12 + r)] = shift[r];
    }
    m[15] = 1.0;
    return m;
}

// m (column-major) applied to (x, y, z, w).
std::array<double, 4> apply(const std::array<double, 16>& m, const std::array<double, 4>& v)
{
    std::array<double, 4> out = {};
    for (std::size_t r = 0; r < 4; ++r)
        for (std::size_t c = 0; c < 4; ++c)
            out[r] += m[c * 4 + r] * v[c];
    return out;
}

std::array<double, 16> matrixOf(GLenum which)
{
    std::array<double, 16> m = {};
    glGetDoublev(which, m.data());
    return m;
}

} // namespace

class LightRigTest : public ProgramTest {};

TEST_F(LightRigTest, StartUpLeavesTheRigsColoursConesAndAttenuationInGl)
{
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    for (int i = 0; i < RIG_LIGHTS; ++i) {
        EXPECT_TRUE(glIsEnabled(lightName(i))) << "light " << i;
        expectColoursAndCone(i);
    }
    GLfloat ambient[4] = {};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(ambient[c], GLOBAL_AMBIENT, GL_TOLERANCE);
}

TEST_F(LightRigTest, InitLightsSetsEveryParameterAndStoresEverySlot)
{
    scrambleLights();
    std::memset(static_cast<void*>(theScene->lights), 0x5a, sizeof theScene->lights);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    initLights();

    for (int i = 0; i < RIG_LIGHTS; ++i) {
        expectColoursAndCone(i);
        const RigLight gl = expectedGlLight(i);
        // Under the identity the eye-relative position and direction are the world values.
        expectNear(lightVector(i, GL_POSITION), gl.position, GL_TOLERANCE, "position");
        expectNear(lightVector(i, GL_SPOT_DIRECTION), gl.spotDirection, GL_TOLERANCE, "spot direction");

        const RigLight& slot = expectedSlots()[static_cast<std::size_t>(i)];
        const LightSlot& held = theScene->lights[i];
        for (std::size_t c = 0; c < 4; ++c) {
            EXPECT_EQ(held.ambient[c], slot.ambient[c]) << "slot " << i;
            EXPECT_EQ(held.diffuse[c], slot.diffuse[c]) << "slot " << i;
            EXPECT_EQ(held.specular[c], slot.specular[c]) << "slot " << i;
            EXPECT_EQ(held.position[c], slot.position[c]) << "slot " << i;
        }
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_EQ(held.spotDirection[c], slot.spotDirection[c]) << "slot " << i;
        EXPECT_EQ(held.spotCutoff, slot.spotCutoff) << "slot " << i;
        EXPECT_EQ(held.spotExponent, slot.spotExponent) << "slot " << i;
        EXPECT_EQ(held.constantAttenuation, slot.attenuation[0]) << "slot " << i;
        EXPECT_EQ(held.linearAttenuation, slot.attenuation[1]) << "slot " << i;
        EXPECT_EQ(held.quadraticAttenuation, slot.attenuation[2]) << "slot " << i;
    }
}

TEST_F(LightRigTest, RefreshUnderAViewPutsTheLightsAtTheirWorldPlaces)
{
    const std::array<double, 16> view = someView();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 50);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(view.data());
    const std::array<double, 16> projectionBefore = matrixOf(GL_PROJECTION_MATRIX);
    const std::array<double, 16> viewBefore = matrixOf(GL_MODELVIEW_MATRIX);
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);

    refreshLightPositions(*theScene);

    for (int i = 0; i < RIG_LIGHTS; ++i) {
        const RigLight world = expectedGlLight(i);
        const auto& p = world.position;
        const std::array<double, 4> eye = apply(view, {p[0], p[1], p[2], p[3]});
        expectNear(lightVector(i, GL_POSITION), eye, TRANSFORM_TOLERANCE, "light " + std::to_string(i) + " position");
        if (i == 0)
            continue;
        // Directions turn with the view's upper 3x3 only: w = 0 drops the shift.
        const auto& d = world.spotDirection;
        const std::array<double, 4> turned = apply(view, {d[0], d[1], d[2], 0.0});
        expectNear(lightVector(i, GL_SPOT_DIRECTION), std::array<double, 3>{turned[0], turned[1], turned[2]},
                   TRANSFORM_TOLERANCE, "light " + std::to_string(i) + " spot direction");
    }
    // Light 0 has no cone of its own: GL's defaults stay.
    expectNear(lightVector(0, GL_SPOT_DIRECTION), std::array<float, 3>{0, 0, -1}, GL_TOLERANCE, "light 0 direction");
    EXPECT_EQ(lightScalar(0, GL_SPOT_CUTOFF), 180.0f);
    EXPECT_EQ(lightScalar(0, GL_SPOT_EXPONENT), 0.0f);
    EXPECT_EQ(lightScalar(0, GL_CONSTANT_ATTENUATION), 1.0f);
    EXPECT_EQ(lightScalar(0, GL_LINEAR_ATTENUATION), 0.0f);
    EXPECT_EQ(lightScalar(0, GL_QUADRATIC_ATTENUATION), 0.0f);

    // No matrix changed.
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_EQ(matrixOf(GL_MODELVIEW_MATRIX), viewBefore);
    EXPECT_EQ(matrixOf(GL_PROJECTION_MATRIX), projectionBefore);
}

TEST_F(LightRigTest, SetLightSlotCopiesOneSlotAndIgnoresIndicesOutsideTheRig)
{
    const float ambient[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    const float diffuse[4] = {0.5f, 0.6f, 0.7f, 0.8f};
    const float specular[4] = {0.9f, 0.8f, 0.7f, 0.6f};
    const float position[4] = {1, 2, 3, 1};
    const float direction[3] = {4, 5, 6};
    LightSlot before[LIGHT_COUNT];
    std::memcpy(before, theScene->lights, sizeof before);
    const std::array<float, 4> glDiffuseBefore = lightVector(3, GL_DIFFUSE);

    for (int outside : {5, -1, LIGHT_COUNT + 100}) {
        setLightSlot(outside, ambient, diffuse, specular, position, direction, 11, 12, 13, 14, 15);
        EXPECT_EQ(std::memcmp(before, theScene->lights, sizeof before), 0) << "index " << outside;
    }

    setLightSlot(3, ambient, diffuse, specular, position, direction, 11, 12, 13, 14, 15);
    const LightSlot& slot = theScene->lights[3];
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(slot.ambient[c], ambient[c]);
        EXPECT_EQ(slot.diffuse[c], diffuse[c]);
        EXPECT_EQ(slot.specular[c], specular[c]);
        EXPECT_EQ(slot.position[c], position[c]);
    }
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(slot.spotDirection[c], direction[c]);
    EXPECT_EQ(slot.spotCutoff, 11.0f);
    EXPECT_EQ(slot.spotExponent, 12.0f);
    EXPECT_EQ(slot.constantAttenuation, 13.0f);
    EXPECT_EQ(slot.linearAttenuation, 14.0f);
    EXPECT_EQ(slot.quadraticAttenuation, 15.0f);
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        if (i == 3)
            continue;
        EXPECT_EQ(std::memcmp(&before[i], &theScene->lights[i], sizeof(LightSlot)), 0) << "slot " << i;
    }
    // Storing a slot gives GL nothing.
    EXPECT_EQ(lightVector(3, GL_DIFFUSE), glDiffuseBefore);
    std::memcpy(theScene->lights, before, sizeof before);
}
