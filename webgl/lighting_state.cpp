#include "webgl/lighting_state.h"

#include "webgl/gl_api.h"

#include <algorithm>
#include <cmath>

namespace quorvale::webgl {

namespace {

constexpr float NO_CONE_DEGREES = 180.0f;
constexpr float WIDEST_CONE_DEGREES = 90.0f;
constexpr float MAX_EXPONENT = 128.0f;  // spot exponent and shininess

void copy4(float* to, const float* from)
{
    std::copy(from, from + 4, to);
}

bool inLightIndex(unsigned light)
{
    return light >= GL_LIGHT0 && light < GL_LIGHT0 + LIGHT_COUNT;
}

} // namespace

Lighting lightingDefaults()
{
    Lighting lighting;
    Light& first = lighting.lights[0];
    std::fill(first.diffuse, first.diffuse + 4, 1.0f);
    std::fill(first.specular, first.specular + 4, 1.0f);
    lighting.colourMaterialFrontAmbientAndDiffuse = true;
    return lighting;
}

bool setLight(Lighting& lighting, unsigned light, unsigned name, const float* values,
              const Matrix4& modelView)
{
    if (!inLightIndex(light))
        return false;
    Light& target = lighting.lights[light - GL_LIGHT0];
    const float value = values[0];
    switch (name) {
    case GL_AMBIENT: copy4(target.ambient, values); return true;
    case GL_DIFFUSE: copy4(target.diffuse, values); return true;
    case GL_SPECULAR: copy4(target.specular, values); return true;
    case GL_POSITION:
        target.eyePosition = transform(modelView, values[0], values[1], values[2], values[3]);
        return true;
    case GL_SPOT_DIRECTION: {
        const Vector4 d = transformDirection(modelView, values[0], values[1], values[2]);
        target.eyeSpotDirection[0] = d.x;
        target.eyeSpotDirection[1] = d.y;
        target.eyeSpotDirection[2] = d.z;
        return true;
    }
    case GL_SPOT_EXPONENT:
        if (value < 0 || value > MAX_EXPONENT)
            return false;
        target.spotExponent = value;
        return true;
    case GL_SPOT_CUTOFF:
        if ((value < 0 || value > WIDEST_CONE_DEGREES) && value != NO_CONE_DEGREES)
            return false;
        target.spotCutoffDegrees = value;
        return true;
    case GL_CONSTANT_ATTENUATION:
    case GL_LINEAR_ATTENUATION:
    case GL_QUADRATIC_ATTENUATION:
        if (value < 0)
            return false;
        target.attenuation[name - GL_CONSTANT_ATTENUATION] = value;
        return true;
    default: return false;
    }
}

bool setMaterial(Lighting& lighting, unsigned face, unsigned name, const float* values)
{
    if (face != GL_FRONT && face != GL_FRONT_AND_BACK)
        return face == GL_BACK;
    Material& front = lighting.front;
    switch (name) {
    case GL_AMBIENT: copy4(front.ambient, values); return true;
    case GL_DIFFUSE: copy4(front.diffuse, values); return true;
    case GL_AMBIENT_AND_DIFFUSE:
        copy4(front.ambient, values);
        copy4(front.diffuse, values);
        return true;
    case GL_SPECULAR: copy4(front.specular, values); return true;
    case GL_EMISSION: copy4(front.emission, values); return true;
    case GL_SHININESS:
        if (values[0] < 0 || values[0] > MAX_EXPONENT)
            return false;
        front.shininess = values[0];
        return true;
    default: return false;
    }
}

bool setLightModel(Lighting& lighting, unsigned name, const float* values)
{
    if (name != GL_LIGHT_MODEL_AMBIENT)
        return false;
    copy4(lighting.sceneAmbient, values);
    return true;
}

bool setColourMaterial(Lighting& lighting, unsigned face, unsigned mode)
{
    const bool front = face == GL_FRONT || face == GL_FRONT_AND_BACK;
    lighting.colourMaterialFrontAmbientAndDiffuse = front && mode == GL_AMBIENT_AND_DIFFUSE;
    return lighting.colourMaterialFrontAmbientAndDiffuse;
}

bool setLightingCap(Lighting& lighting, unsigned cap, bool on)
{
    if (cap == GL_LIGHTING)
        lighting.lightingOn = on;
    else if (cap == GL_COLOR_MATERIAL)
        lighting.colourMaterialOn = on;
    else if (inLightIndex(cap))
        lighting.lights[cap - GL_LIGHT0].on = on;
    else
        return false;
    return true;
}

bool colourTracksMaterial(const Lighting& lighting)
{
    return lighting.colourMaterialOn && lighting.colourMaterialFrontAmbientAndDiffuse;
}

} // namespace quorvale::webgl
