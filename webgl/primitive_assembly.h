// How lit primitives become what WebGL can draw: polygon modes (GL_LINE and
// GL_POINT drawn as edges and corners of the faces that survive culling), lines
// wider than one pixel (drawn as screen-space quads), lines cut at the near
// plane before WebGL sees them, and a batch that collects everything in
// drawing order until the next state change.
#pragma once

#include "webgl/matrix.h"
#include "webgl/per_vertex_lighting.h"

#include <optional>
#include <vector>

namespace quorvale::webgl {

// What a run of the batch is drawn as.
enum class RunKind {
    FILLED_TRIANGLES,  // culled by GL as the program asked
    LINE_QUADS,        // wide lines: triangles never culled
    LINES,             // one-pixel lines
    POINTS,            // one-pixel points
};

struct Run {
    RunKind kind;
    int first;
    int count;
    std::optional<GpuVertex> farEnd;  // of a line cut at the near plane: its end behind it
};

// Vertices in drawing order, cut into runs of one kind and far end each.
struct Batch {
    std::vector<GpuVertex> vertices;
    std::vector<Run> runs;
};

// The state that decides how a primitive is drawn.
struct Rasterisation {
    Matrix4 projection = identityMatrix();  // GL starts with the identity
    float viewportWidth = 0;   // pixels; 0 until known
    float viewportHeight = 0;  // pixels; 0 until known
    unsigned frontMode = GL_FILL;
    unsigned backMode = GL_FILL;
    bool cullBackFaces = false;   // GL_CULL_FACE on, with GL's default GL_BACK and GL_CCW
    float lineWidth = 1;          // pixels
};

// Which edges of a triangle lie on its polygon's boundary (GL's edge flags):
// bit 0 the edge v0-v1, bit 1 v1-v2, bit 2 v2-v0.
constexpr unsigned ALL_EDGES = 7;

// Adds a triangle in the polygon mode of the side it shows; a culled triangle
// adds nothing. In GL_LINE mode its boundary edges become lines, in GL_POINT
// mode the first corners of its boundary edges become points.
void addTriangle(Batch& batch, const Rasterisation& r, const GpuVertex& v0, const GpuVertex& v1,
                 const GpuVertex& v2, unsigned edgeFlags);

// Adds the line a-b, lineWidth pixels wide, cut to its part in front of the
// near plane as GL clips it: a line with one end behind becomes a run of its
// own, that end replaced by a cut vertex and kept as the run's farEnd.
void addLine(Batch& batch, const Rasterisation& r, const GpuVertex& a, const GpuVertex& b);

// Empties the batch.
void clearBatch(Batch& batch);

} // namespace quorvale::webgl
