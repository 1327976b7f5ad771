#include "webgl/fixed_function.h"

#include "webgl/gl_api.h"
#include "webgl/lighting_state.h"
#include "webgl/matrix.h"
#include "webgl/per_vertex_lighting.h"
#include "webgl/primitive_assembly.h"
#include "webgl/torus.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quorvale::webgl {

namespace {

constexpr std::size_t MODEL_VIEW_DEPTH = 32;  // GL's minimum stack depths
constexpr std::size_t PROJECTION_DEPTH = 2;
constexpr int VERTEX_FLOATS = 3;  // the one vertex array layout: x, y, z

struct MatrixStack {
    std::vector<Matrix4> entries;
    std::size_t depth;
};

struct VertexArray {
    bool on = false;
    const unsigned char* base = nullptr;  // nullptr: no usable glVertexPointer given
    std::size_t stride = 0;               // bytes
};

// The last torus built, kept while the program asks for the same one.
struct TorusCache {
    double innerRadius = 0, outerRadius = 0;
    int sides = 0, rings = 0;
    TorusMesh mesh;
};

enum class ShaderPhase { NOT_BUILT, READY, REFUSED };

// The state the layer set on the WebGL context itself, kept so that it can be
// set again on a new context after the browser lost the old one.
struct ContextState {
    bool depthTest = false;
    bool cullFace = false;
    bool depthMask = true;
    float clearColour[4] = {0, 0, 0, 0};
    std::optional<std::array<int, 4>> viewport; // x, y, width, height; none: the context's own
};

// The one GL context's fixed-function state, as GL starts it.
struct FixedFunction {
    MatrixStack modelView{{identityMatrix()}, MODEL_VIEW_DEPTH};
    MatrixStack projection{{identityMatrix()}, PROJECTION_DEPTH};
    bool projectionCurrent = false;            // glMatrixMode(GL_PROJECTION) in force
    std::optional<Matrix3> normalMatrix;       // of modelView's top; empty once stale
    float normal[3] = {0, 0, 1};
    float colour[4] = {1, 1, 1, 1};
    Lighting lighting = lightingDefaults();
    Rasterisation rasterisation;
    VertexArray vertexArray;
    std::optional<unsigned> primitive;         // inside glBegin / glEnd
    std::vector<GpuVertex> primitiveVertices;  // of the primitive not yet complete
    Batch batch;
    ShaderPhase shaderPhase = ShaderPhase::NOT_BUILT;
    LightingProgram program;  // valid in ShaderPhase::READY
    bool programStale = true;  // lighting or projection changed since the last load
    bool contextLost = false;  // the browser took the context away: nothing is drawn
    ContextState context;
    std::optional<TorusCache> torus;
};

// The layer's state; GL itself keeps one such state per context.
FixedFunction& state()
{
    static FixedFunction s;
    return s;
}

// The stack glMatrixMode chose.
MatrixStack& currentStack(FixedFunction& s)
{
    return s.projectionCurrent ? s.projection : s.modelView;
}

// Draws the batch before a change that would alter how it is drawn.
void beforeDrawStateChange()
{
    flush();
}

// Marks the shader's uniforms out of date.
void afterLightingChange()
{
    state().programStale = true;
}

// Creates the shader on first use; false if GL refused it.
bool shaderReady(FixedFunction& s)
{
    if (s.shaderPhase == ShaderPhase::NOT_BUILT) {
        const std::optional<LightingProgram> built = createLightingProgram();
        s.shaderPhase = built ? ShaderPhase::READY : ShaderPhase::REFUSED;
        if (built)
            s.program = *built;
    }
    return s.shaderPhase == ShaderPhase::READY;
}

// The rasterisation state, with the viewport GL started with if the program has
// set none yet (wide lines are sized in its pixels).
const Rasterisation& rasterisation()
{
    Rasterisation& r = state().rasterisation;
    if (r.viewportWidth == 0 || r.viewportHeight == 0) {
        GLint box[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, box);
        r.viewportWidth = static_cast<float>(box[2]);
        r.viewportHeight = static_cast<float>(box[3]);
    }
    return r;
}

// Replaces the top of the current stack. A projection change closes the batch,
// since the projection is loaded into the shader; the model-view is applied
// vertex by vertex as the batch is filled.
void setCurrentMatrix(const Matrix4& m)
{
    FixedFunction& s = state();
    if (s.projectionCurrent)
        beforeDrawStateChange();
    currentStack(s).entries.back() = m;
    if (s.projectionCurrent) {
        s.rasterisation.projection = m;
        afterLightingChange();
    } else {
        s.normalMatrix.reset();
    }
}

// Appends m to the current matrix, as glMultMatrix does.
void multiplyCurrent(const Matrix4& m)
{
    setCurrentMatrix(multiply(currentStack(state()).entries.back(), m));
}

// The vertex at (x, y, z) with the given normal and the current colour, in eye space.
GpuVertex eyeVertex(float x, float y, float z, const float* normal)
{
    FixedFunction& s = state();
    const Matrix4& m = s.modelView.entries.back();
    if (!s.normalMatrix)
        s.normalMatrix = normalMatrix(m);
    const Vector4 p = transform(m, x, y, z, 1.0f);
    const Vector4 n = transform(*s.normalMatrix, normal[0], normal[1], normal[2]);
    return {{p.x, p.y, p.z}, {n.x, n.y, n.z}, {s.colour[0], s.colour[1], s.colour[2], s.colour[3]},
            {0, 0}, 0};
}

// Feeds the vertex to the primitive in progress; draws each primitive as it completes.
void addPrimitiveVertex(const GpuVertex& v)
{
    FixedFunction& s = state();
    std::vector<GpuVertex>& pending = s.primitiveVertices;
    pending.push_back(v);
    const Rasterisation& r = rasterisation();
    if (*s.primitive == GL_LINES && pending.size() == 2) {
        addLine(s.batch, r, pending[0], pending[1]);
    } else if (*s.primitive == GL_TRIANGLES && pending.size() == 3) {
        addTriangle(s.batch, r, pending[0], pending[1], pending[2], ALL_EDGES);
    } else if (*s.primitive == GL_QUADS && pending.size() == 4) {
        // As Mesa splits a quad (last-vertex convention): 0 1 3 and 1 2 3, the
        // diagonal 1-3 being no edge of the quad.
        addTriangle(s.batch, r, pending[0], pending[1], pending[3], 1u | 4u);
        addTriangle(s.batch, r, pending[1], pending[2], pending[3], 1u | 2u);
    } else {
        return;
    }
    pending.clear();
}

// Reads index i of a GL_UNSIGNED_BYTE or GL_UNSIGNED_SHORT list.
unsigned indexAt(unsigned type, const void* indices, int i)
{
    if (type == GL_UNSIGNED_BYTE)
        return static_cast<const std::uint8_t*>(indices)[i];
    return static_cast<const std::uint16_t*>(indices)[i];
}

// Vertex index of the client vertex array, with the current normal and colour.
GpuVertex arrayVertex(unsigned index)
{
    const VertexArray& a = state().vertexArray;
    const auto* xyz = reinterpret_cast<const float*>(a.base + index * a.stride);
    return eyeVertex(xyz[0], xyz[1], xyz[2], state().normal);
}

// The torus of these dimensions, built once for as long as they stay the same.
const TorusMesh& torusMesh(double innerRadius, double outerRadius, int sides, int rings)
{
    std::optional<TorusCache>& cache = state().torus;
    if (!cache || cache->innerRadius != innerRadius || cache->outerRadius != outerRadius ||
        cache->sides != sides || cache->rings != rings)
        cache = TorusCache{innerRadius, outerRadius, sides, rings,
                           makeTorus(innerRadius, outerRadius, sides, rings)};
    return cache->mesh;
}

// The WebGL primitive a run is drawn as.
GLenum primitiveOf(RunKind kind)
{
    switch (kind) {
    case RunKind::LINES: return GL_LINES;
    case RunKind::POINTS: return GL_POINTS;
    default: return GL_TRIANGLES;
    }
}

} // namespace

void begin(unsigned mode)
{
    FixedFunction& s = state();
    if (s.primitive || (mode != GL_LINES && mode != GL_QUADS && mode != GL_TRIANGLES))
        return;
    s.primitive = mode;
    s.primitiveVertices.clear();
}

void end()
{
    FixedFunction& s = state();
    s.primitive.reset();
    s.primitiveVertices.clear();
}

void vertex3f(float x, float y, float z)
{
    if (state().primitive)
        addPrimitiveVertex(eyeVertex(x, y, z, state().normal));
}

void normal3f(float x, float y, float z)
{
    float* n = state().normal;
    n[0] = x;
    n[1] = y;
    n[2] = z;
}

void color3f(float red, float green, float blue)
{
    float* c = state().colour;
    c[0] = red;
    c[1] = green;
    c[2] = blue;
    c[3] = 1.0f;
}

void color3fv(const float* rgb)
{
    color3f(rgb[0], rgb[1], rgb[2]);
}

namespace {

// glEnable (on) or glDisable (off) of one of the capabilities enable() names.
void setCapability(unsigned cap, bool on)
{
    FixedFunction& s = state();
    beforeDrawStateChange();
    if (cap == GL_DEPTH_TEST || cap == GL_CULL_FACE) {
        if (on)
            glEnable(cap);
        else
            glDisable(cap);
        (cap == GL_CULL_FACE ? s.context.cullFace : s.context.depthTest) = on;
        if (cap == GL_CULL_FACE)
            s.rasterisation.cullBackFaces = on;
    } else if (setLightingCap(s.lighting, cap, on)) {
        afterLightingChange();
    }
}

} // namespace

void enable(unsigned cap)
{
    setCapability(cap, true);
}

void disable(unsigned cap)
{
    setCapability(cap, false);
}

void matrixMode(unsigned mode)
{
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION)
        state().projectionCurrent = mode == GL_PROJECTION;
}

void loadIdentity()
{
    setCurrentMatrix(identityMatrix());
}

void pushMatrix()
{
    MatrixStack& stack = currentStack(state());
    if (stack.entries.size() < stack.depth)
        stack.entries.push_back(stack.entries.back());
}

void popMatrix()
{
    MatrixStack& stack = currentStack(state());
    if (stack.entries.size() < 2)
        return;
    const Matrix4 below = stack.entries[stack.entries.size() - 2];
    setCurrentMatrix(below);
    stack.entries.pop_back();
}

void translatef(float x, float y, float z)
{
    multiplyCurrent(translation(x, y, z));
}

void rotatef(float angleDegrees, float x, float y, float z)
{
    multiplyCurrent(rotation(angleDegrees, x, y, z));
}

void perspective(double fovYDegrees, double aspect, double zNear, double zFar)
{
    multiplyCurrent(perspectiveMatrix(fovYDegrees, aspect, zNear, zFar));
}

void lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ,
            double upX, double upY, double upZ)
{
    // GLU works in single precision here too.
    const float eye[3] = {static_cast<float>(eyeX), static_cast<float>(eyeY),
                          static_cast<float>(eyeZ)};
    const float centre[3] = {static_cast<float>(centreX), static_cast<float>(centreY),
                             static_cast<float>(centreZ)};
    const float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    multiplyCurrent(lookAtMatrix(eye, centre, up));
}

void lightf(unsigned light, unsigned name, float value)
{
    if (name == GL_POSITION || name == GL_SPOT_DIRECTION || name == GL_AMBIENT ||
        name == GL_DIFFUSE || name == GL_SPECULAR)
        return;  // vectors: glLightfv only
    lightfv(light, name, &value);
}

void lightfv(unsigned light, unsigned name, const float* values)
{
    FixedFunction& s = state();
    beforeDrawStateChange();
    if (setLight(s.lighting, light, name, values, s.modelView.entries.back()))
        afterLightingChange();
}

void lightModelfv(unsigned name, const float* values)
{
    beforeDrawStateChange();
    if (setLightModel(state().lighting, name, values))
        afterLightingChange();
}

void materialf(unsigned face, unsigned name, float value)
{
    if (name == GL_SHININESS)
        materialfv(face, name, &value);
}

void materialfv(unsigned face, unsigned name, const float* values)
{
    beforeDrawStateChange();
    if (setMaterial(state().lighting, face, name, values))
        afterLightingChange();
}

void colorMaterial(unsigned face, unsigned mode)
{
    beforeDrawStateChange();
    setColourMaterial(state().lighting, face, mode);
    afterLightingChange();
}

void polygonMode(unsigned face, unsigned mode)
{
    Rasterisation& r = state().rasterisation;
    if (mode != GL_FILL && mode != GL_LINE && mode != GL_POINT)
        return;
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK)
        r.frontMode = mode;
    if (face == GL_BACK || face == GL_FRONT_AND_BACK)
        r.backMode = mode;
}

void lineWidth(float width)
{
    if (width > 0)
        state().rasterisation.lineWidth = width;
}

void enableClientState(unsigned array)
{
    if (array == GL_VERTEX_ARRAY)
        state().vertexArray.on = true;
}

void disableClientState(unsigned array)
{
    if (array == GL_VERTEX_ARRAY)
        state().vertexArray.on = false;
}

void vertexPointer(int size, unsigned type, int stride, const void* pointer)
{
    VertexArray& a = state().vertexArray;
    const bool usable = size == VERTEX_FLOATS && type == GL_FLOAT && stride >= 0;
    a.base = usable ? static_cast<const unsigned char*>(pointer) : nullptr;
    a.stride = stride == 0 ? VERTEX_FLOATS * sizeof(float) : static_cast<std::size_t>(stride);
}

void drawElements(unsigned mode, int count, unsigned type, const void* indices)
{
    FixedFunction& s = state();
    if (mode != GL_TRIANGLES || (type != GL_UNSIGNED_BYTE && type != GL_UNSIGNED_SHORT) ||
        !s.vertexArray.on || s.vertexArray.base == nullptr || s.primitive)
        return;
    for (int i = 0; i + 2 < count; i += 3) {
        addTriangle(s.batch, rasterisation(), arrayVertex(indexAt(type, indices, i)),
                    arrayVertex(indexAt(type, indices, i + 1)),
                    arrayVertex(indexAt(type, indices, i + 2)), ALL_EDGES);
    }
}

void clear(unsigned mask)
{
    beforeDrawStateChange();
    glClear(mask);
}

void clearColor(float red, float green, float blue, float alpha)
{
    glClearColor(red, green, blue, alpha);
    const float colour[4] = {red, green, blue, alpha};
    std::copy(colour, colour + 4, state().context.clearColour);
}

void viewport(int x, int y, int width, int height)
{
    FixedFunction& s = state();
    if (width < 0 || height < 0)
        return;
    beforeDrawStateChange();
    glViewport(x, y, width, height);
    s.context.viewport = {x, y, width, height};
    s.rasterisation.viewportWidth = static_cast<float>(width);
    s.rasterisation.viewportHeight = static_cast<float>(height);
}

void depthMask(unsigned char flag)
{
    beforeDrawStateChange();
    glDepthMask(flag);
    state().context.depthMask = flag != 0;
}

void contextLost()
{
    FixedFunction& s = state();
    s.contextLost = true;
    clearBatch(s.batch);
}

void contextRestored()
{
    FixedFunction& s = state();
    s.contextLost = false;
    s.shaderPhase = ShaderPhase::NOT_BUILT;
    s.programStale = true;
    const ContextState& c = s.context;
    for (const auto& [cap, on] : {std::pair{GL_DEPTH_TEST, c.depthTest}, std::pair{GL_CULL_FACE, c.cullFace}}) {
        if (on)
            glEnable(cap);
        else
            glDisable(cap);
    }
    glDepthMask(c.depthMask ? GL_TRUE : GL_FALSE);
    glClearColor(c.clearColour[0], c.clearColour[1], c.clearColour[2], c.clearColour[3]);
    if (c.viewport)
        glViewport((*c.viewport)[0], (*c.viewport)[1], (*c.viewport)[2], (*c.viewport)[3]);
}

void solidTorus(double innerRadius, double outerRadius, int sides, int rings)
{
    FixedFunction& s = state();
    if (s.primitive)
        return;
    const TorusMesh& mesh = torusMesh(innerRadius, outerRadius, sides, rings);
    std::vector<GpuVertex> eye;
    eye.reserve(mesh.vertices.size() / 3);
    for (std::size_t i = 0; i + 2 < mesh.vertices.size(); i += 3)
        eye.push_back(eyeVertex(mesh.vertices[i], mesh.vertices[i + 1], mesh.vertices[i + 2],
                                &mesh.normals[i]));
    // A strip's odd triangles swap their first two corners, which keeps every
    // triangle wound as the strip.
    for (int strip = 0; strip < mesh.strips; ++strip) {
        const unsigned* index = &mesh.stripIndices[static_cast<std::size_t>(strip) *
                                                   static_cast<std::size_t>(mesh.indicesPerStrip)];
        for (int k = 0; k + 2 < mesh.indicesPerStrip; ++k) {
            const bool odd = (k % 2) != 0;
            addTriangle(s.batch, rasterisation(), eye[index[odd ? k + 1 : k]],
                        eye[index[odd ? k : k + 1]], eye[index[k + 2]], ALL_EDGES);
        }
    }
}

void flush()
{
    FixedFunction& s = state();
    if (s.batch.vertices.empty())
        return;
    if (s.contextLost || !shaderReady(s)) {
        clearBatch(s.batch);
        return;
    }
    if (s.programStale) {
        loadLighting(s.program, s.lighting, s.rasterisation.projection);
        s.programStale = false;
    }
    uploadVertices(s.program, s.batch.vertices.data(), static_cast<int>(s.batch.vertices.size()));
    for (const Run& run : s.batch.runs) {
        // The quads of a wide line may face either way; GL never culls lines.
        const bool uncull = run.kind == RunKind::LINE_QUADS && s.rasterisation.cullBackFaces;
        if (uncull)
            glDisable(GL_CULL_FACE);
        if (run.farEnd)
            loadFarEnd(*run.farEnd);
        drawRun(primitiveOf(run.kind), run.first, run.count);
        if (uncull)
            glEnable(GL_CULL_FACE);
    }
    clearBatch(s.batch);
}

} // namespace quorvale::webgl
