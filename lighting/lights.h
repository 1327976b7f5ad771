// The light rig: a white point light above the origin and four coloured
// spotlights above the corners of the ground, fixed in the world.
#pragma once

struct Scene;

constexpr int LIGHT_COUNT = 5;

// One light's parameters; slot i belongs to GL_LIGHT0 + i.
struct LightSlot {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float position[4];      // world units, w = 1 (positional)
    float spotDirection[3]; // world axes, not necessarily unit length
    float spotCutoff;       // half-angle of the cone, degrees
    float spotExponent;
    float constantAttenuation;
    float linearAttenuation;
    float quadraticAttenuation;
};

// Copy one light's parameters into slot index of theScene; an index outside
// 0..4 changes nothing. Issues no GL call.
void setLightSlot(int index, const float ambient[4], const float diffuse[4],
                  const float specular[4], const float position[4], const float spotDirection[3],
                  float spotCutoff, float spotExponent, float constantAttenuation,
                  float linearAttenuation, float quadraticAttenuation);

// Store the five lights into theScene and apply them to GL_LIGHT0..4. Called once
// under the identity model-view matrix, so until the first frame the positions
// are relative to the eye.
void initLights();

// Re-issue every light position and spot direction under the current view, so
// the lights stay put in the world while the camera moves. Changes no matrix.
void refreshLightPositions(const Scene& scene);
