// The lighting state of OpenGL 1.1's fixed function as the layer keeps it: the
// lights (positions and spot directions already in eye space), the front
// material, the light model's ambient term and what is switched on.
#pragma once

#include "webgl/matrix.h"

namespace quorvale::webgl {

// GL guarantees eight lights, GL_LIGHT0 to GL_LIGHT7.
constexpr int LIGHT_COUNT = 8;

struct Light {
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};   // GL_LIGHT0 starts white (lightingDefaults)
    float specular[4] = {0, 0, 0, 1};  // GL_LIGHT0 starts white (lightingDefaults)
    Vector4 eyePosition = {0, 0, 1, 0};     // taken through the model-view at glLightfv time
    float eyeSpotDirection[3] = {0, 0, -1};  // likewise, through its upper 3x3
    float spotExponent = 0;
    float spotCutoffDegrees = 180;  // 180: no cone
    float attenuation[3] = {1, 0, 0};  // constant, linear, quadratic
    bool on = false;
};

struct Material {
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    float specular[4] = {0, 0, 0, 1};
    float emission[4] = {0, 0, 0, 1};
    float shininess = 0;  // specular exponent, 0 to 128
};

struct Lighting {
    Light lights[LIGHT_COUNT];
    Material front;  // two-sided lighting is off, so every face is lit with it
    float sceneAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
    bool lightingOn = false;
    // GL_COLOR_MATERIAL with glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE):
    // the current colour stands for the front ambient and diffuse reflectance.
    bool colourMaterialOn = false;
    bool colourMaterialFrontAmbientAndDiffuse = false;
};

// GL's initial lighting state.
Lighting lightingDefaults();

// glLightfv / glLightf: positions and spot directions are carried to eye space by
// modelView now, as GL does. False (and nothing changed) for a light, name or
// value GL rejects.
bool setLight(Lighting& lighting, unsigned light, unsigned name, const float* values,
              const Matrix4& modelView);

// glMaterialfv / glMaterialf on GL_FRONT or GL_FRONT_AND_BACK (the back material
// is never used: faces are lit on their front side only). False if ignored.
bool setMaterial(Lighting& lighting, unsigned face, unsigned name, const float* values);

// glLightModelfv(GL_LIGHT_MODEL_AMBIENT, …). False for any other name.
bool setLightModel(Lighting& lighting, unsigned name, const float* values);

// glColorMaterial. False for anything but GL_FRONT with GL_AMBIENT_AND_DIFFUSE,
// the one pairing the program uses; GL's default pairing
// (GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE) is taken the same way.
bool setColourMaterial(Lighting& lighting, unsigned face, unsigned mode);

// glEnable (on) or glDisable (off) of GL_LIGHTING, GL_LIGHTi or
// GL_COLOR_MATERIAL; false for other caps.
bool setLightingCap(Lighting& lighting, unsigned cap, bool on);

// Whether the current colour feeds the front ambient and diffuse reflectance.
bool colourTracksMaterial(const Lighting& lighting);

} // namespace quorvale::webgl
