#include "lighting/lights.h"

#include "app/scene.h"
#include "platform/gl.h"

namespace {

// The rig: light 0 the white point light above the origin; lights 1..4 the
// blue, yellow, red and cyan spots 4 units above the ground's corners, aimed
// down and in at (+-9, 0, +-9). Light 0's spot and attenuation values are
// stored but never applied, so it keeps GL's defaults (no cone, no falloff).
constexpr LightSlot rig[LIGHT_COUNT] = {
    {{0, 0, 0, 1}, {0.6f, 0.6f, 0.6f, 1}, {0, 0, 0, 1}, {0, 6, 0, 1}, {0, 0, 0}, 0, 0, 0, 0, 0},
    {{0, 0, 0, 1}, {0, 0, 1, 1}, {0, 0, 1, 1}, {-10, 4, 10, 1}, {0.25f, -1, -0.25f}, 50, 1, 1, 0, 0},
    {{0, 0, 0, 1}, {1, 1, 0, 1}, {1, 1, 0, 1}, {-10, 4, -10, 1}, {0.25f, -1, 0.25f}, 50, 1, 1, 0, 0},
    {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 0, 0, 1}, {10, 4, -10, 1}, {-0.25f, -1, 0.25f}, 50, 1, 1, 0, 0},
    {{0, 0, 0, 1}, {0, 1, 1, 1}, {0, 1, 1, 1}, {10, 4, 10, 1}, {-0.25f, -1, -0.25f}, 50, 1, 1, 0, 0},
};

GLenum lightName(int index)
{
    return static_cast<GLenum>(GL_LIGHT0 + index);
}

void copy(float* to, const float* from, int count)
{
    for (int i = 0; i < count; ++i)
        to[i] = from[i];
}

void applyColoursAndPosition(GLenum light, const LightSlot& slot)
{
    glLightfv(light, GL_AMBIENT, slot.ambient);
    glLightfv(light, GL_DIFFUSE, slot.diffuse);
    glLightfv(light, GL_SPECULAR, slot.specular);
    glLightfv(light, GL_POSITION, slot.position);
}

void applyCone(GLenum light, const LightSlot& slot)
{
    glLightf(light, GL_SPOT_CUTOFF, slot.spotCutoff);
    glLightfv(light, GL_SPOT_DIRECTION, slot.spotDirection);
    glLightf(light, GL_SPOT_EXPONENT, slot.spotExponent);
    glLightf(light, GL_CONSTANT_ATTENUATION, slot.constantAttenuation);
    glLightf(light, GL_LINEAR_ATTENUATION, slot.linearAttenuation);
    glLightf(light, GL_QUADRATIC_ATTENUATION, slot.quadraticAttenuation);
}

} // namespace

void setLightSlot(int index, const float ambient[4], const float diffuse[4],
                  const float specular[4], const float position[4], const float spotDirection[3],
                  float spotCutoff, float spotExponent, float constantAttenuation,
                  float linearAttenuation, float quadraticAttenuation)
{
    if (index < 0 || index >= LIGHT_COUNT)
        return;
    LightSlot& slot = theScene->lights[index];
    copy(slot.ambient, ambient, 4);
    copy(slot.diffuse, diffuse, 4);
    copy(slot.specular, specular, 4);
    copy(slot.position, position, 4);
    copy(slot.spotDirection, spotDirection, 3);
    slot.spotCutoff = spotCutoff;
    slot.spotExponent = spotExponent;
    slot.constantAttenuation = constantAttenuation;
    slot.linearAttenuation = linearAttenuation;
    slot.quadraticAttenuation = quadraticAttenuation;
}

void initLights()
{
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        const LightSlot& light = rig[i];
        setLightSlot(i, light.ambient, light.diffuse, light.specular, light.position,
                     light.spotDirection, light.spotCutoff, light.spotExponent,
                     light.constantAttenuation, light.linearAttenuation,
                     light.quadraticAttenuation);
    }
    applyColoursAndPosition(GL_LIGHT0, theScene->lights[0]);
    for (int i = 1; i < LIGHT_COUNT; ++i) {
        applyColoursAndPosition(lightName(i), theScene->lights[i]);
        applyCone(lightName(i), theScene->lights[i]);
    }
}

void refreshLightPositions(const Scene& scene)
{
    // GL transforms positions and spot directions by the model-view matrix at
    // the time they are given: issued under the bare view, they stay in the world.
    glLightfv(GL_LIGHT0, GL_POSITION, scene.lights[0].position);
    for (int i = 1; i < LIGHT_COUNT; ++i) {
        glLightfv(lightName(i), GL_POSITION, scene.lights[i].position);
        glLightfv(lightName(i), GL_SPOT_DIRECTION, scene.lights[i].spotDirection);
    }
}
