// The one shader program of the layer, per_vertex_lighting: OpenGL 1.1's lighting
// equation evaluated at each vertex in eye space, then the projection. It draws
// runs of vertices whose positions and normals are already in eye space.
#pragma once

#include "webgl/gl_api.h"
#include "webgl/lighting_state.h"
#include "webgl/matrix.h"

#include <optional>

namespace quorvale::webgl {

// One vertex as the shader reads it.
struct GpuVertex {
    float eye[3];           // position in eye space, scene units
    float normal[3];        // normal in eye space, as GL leaves it (not renormalised)
    float colour[4];        // the current colour, RGBA 0..1
    float screenOffset[2];  // added to the projected position, in normalised device units
    float cutFraction;      // 0, but at the near plane's cut of a line: how far the cut lies
                            // from this end towards the far end given by loadFarEnd, 0..1
};

struct LightingProgram {
    GLuint program = 0;
    GLuint vertexBuffer = 0;
    GLint projection = -1;
    GLint lightingOn = -1;
    GLint colourMaterial = -1;
    GLint sceneAmbient = -1;
    GLint material[4] = {-1, -1, -1, -1};  // ambient, diffuse, specular, emission
    GLint shininess = -1;
    GLint lightCount = -1;
    GLint light[6] = {-1, -1, -1, -1, -1, -1};  // arrays: ambient, diffuse, specular, position, spot, attenuation
};

// Compiles and links the shader and makes its vertex buffer, in the current
// context. Nothing (and the compiler's log on standard error) if GL refuses it.
std::optional<LightingProgram> createLightingProgram();

// Makes the program current and loads the lighting state and the projection into it.
void loadLighting(const LightingProgram& program, const Lighting& lighting,
                  const Matrix4& projection);

// Uploads count vertices into the program's vertex buffer and points the
// attributes at them; then drawRun draws ranges of them.
void uploadVertices(const LightingProgram& program, const GpuVertex* vertices, int count);

// Makes farEnd the far end for the cut vertices drawn next (its eye position,
// normal and colour; the rest is not read).
void loadFarEnd(const GpuVertex& farEnd);

// Draws vertices first .. first + count - 1 of the last upload as primitive.
void drawRun(GLenum primitive, int first, int count);

} // namespace quorvale::webgl
