#include "webgl/primitive_assembly.h"

#include "webgl/gl_api.h"

#include <cmath>
#include <cstring>

namespace quorvale::webgl {

namespace {

// Lines up to this width are WebGL's own one-pixel lines.
constexpr float THIN_LINE_WIDTH = 1.0f;  // pixels

// Whether two runs' far ends are the same: none, or equal.
bool sameFarEnd(const std::optional<GpuVertex>& a, const std::optional<GpuVertex>& b)
{
    if (!a || !b)
        return !a && !b;
    return std::memcmp(&*a, &*b, sizeof(GpuVertex)) == 0;
}

// Appends v to the last run if that is of this kind and far end, else to a new run.
void append(Batch& batch, RunKind kind, const GpuVertex& v,
            const std::optional<GpuVertex>& farEnd = std::nullopt)
{
    const int index = static_cast<int>(batch.vertices.size());
    if (batch.runs.empty() || batch.runs.back().kind != kind ||
        !sameFarEnd(batch.runs.back().farEnd, farEnd))
        batch.runs.push_back({kind, index, 0, farEnd});
    batch.vertices.push_back(v);
    ++batch.runs.back().count;
}

Vector4 clipOf(const Rasterisation& r, const GpuVertex& v)
{
    return transform(r.projection, v.eye[0], v.eye[1], v.eye[2], 1.0f);
}

// Twice the signed window area of the triangle, up to a positive factor, from
// its clip coordinates: the sign of det(x y w) is the facing of whatever part
// of the triangle survives clipping, even when a corner lies behind the eye.
float facingSign(const Vector4& a, const Vector4& b, const Vector4& c)
{
    return a.x * (b.y * c.w - c.y * b.w) - b.x * (a.y * c.w - c.y * a.w) +
           c.x * (a.y * b.w - b.y * a.w);
}

void addPoint(Batch& batch, const GpuVertex& v)
{
    append(batch, RunKind::POINTS, v);
}

// How far v lies in front of the near plane, in clip units: z_clip + w_clip,
// negative behind it.
float nearDistance(const Rasterisation& r, const GpuVertex& v)
{
    const Vector4 c = clipOf(r, v);
    return c.z + c.w;
}

// The direction of the segment on the window, in pixels up to a factor of
// either sign. Homogeneous, so that a corner behind the eye (w <= 0) needs no
// clipping first: every point of the segment projects onto the same window line.
void windowDirection(const Rasterisation& r, const GpuVertex& a, const GpuVertex& b, float& dx,
                     float& dy)
{
    const Vector4 ca = clipOf(r, a);
    const Vector4 cb = clipOf(r, b);
    dx = (cb.x * ca.w - ca.x * cb.w) * r.viewportWidth;
    dy = (cb.y * ca.w - ca.y * cb.w) * r.viewportHeight;
}

// The wide line a-b drawn from `from` to `to` (its ends, or one end and the cut).
void addWideLine(Batch& batch, const Rasterisation& r, const GpuVertex& a, const GpuVertex& b,
                 const GpuVertex& from, const GpuVertex& to, const std::optional<GpuVertex>& farEnd)
{
    if (r.viewportWidth <= 0 || r.viewportHeight <= 0)
        return;  // a viewport without pixels shows nothing
    float dx = 0, dy = 0;
    windowDirection(r, a, b, dx, dy);
    // As GL widens aliased lines: an x-major line spreads in y, a y-major one in
    // x, lineWidth pixels across. The offset is in normalised device units and
    // is scaled by w in the shader, so it holds all along the line as WebGL clips it.
    float ox = 0, oy = 0;
    if (std::fabs(dx) >= std::fabs(dy))
        oy = r.lineWidth / r.viewportHeight;
    else
        ox = r.lineWidth / r.viewportWidth;
    const auto shifted = [](GpuVertex v, float x, float y) {
        v.screenOffset[0] = x;
        v.screenOffset[1] = y;
        return v;
    };
    const GpuVertex a0 = shifted(from, -ox, -oy), a1 = shifted(from, ox, oy);
    const GpuVertex b0 = shifted(to, -ox, -oy), b1 = shifted(to, ox, oy);
    for (const GpuVertex* v : {&a0, &b0, &b1, &a0, &b1, &a1})
        append(batch, RunKind::LINE_QUADS, *v, farEnd);
}

} // namespace

void addTriangle(Batch& batch, const Rasterisation& r, const GpuVertex& v0, const GpuVertex& v1,
                 const GpuVertex& v2, unsigned edgeFlags)
{
    if (r.frontMode == GL_FILL && r.backMode == GL_FILL) {
        for (const GpuVertex* v : {&v0, &v1, &v2})
            append(batch, RunKind::FILLED_TRIANGLES, *v);
        return;
    }
    // Culling comes first; the polygon mode then applies to what is left.
    const bool front = facingSign(clipOf(r, v0), clipOf(r, v1), clipOf(r, v2)) > 0;
    if (!front && r.cullBackFaces)
        return;
    const unsigned mode = front ? r.frontMode : r.backMode;
    const GpuVertex* corners[3] = {&v0, &v1, &v2};
    for (int edge = 0; edge < 3; ++edge) {
        if (mode == GL_FILL) {
            append(batch, RunKind::FILLED_TRIANGLES, *corners[edge]);
        } else if ((edgeFlags & (1u << edge)) != 0) {
            if (mode == GL_LINE)
                addLine(batch, r, *corners[edge], *corners[(edge + 1) % 3]);
            else
                addPoint(batch, *corners[edge]);
        }
    }
}

void addLine(Batch& batch, const Rasterisation& r, const GpuVertex& a, const GpuVertex& b)
{
    // GL clips at the near plane before it divides by w; WebGL on SwiftShader
    // drops a whole line with one end behind the eye (w < 0), so the cut is made
    // here. The cut vertex is the end in front, moved and lit by the shader
    // towards the end behind.
    const float da = nearDistance(r, a);
    const float db = nearDistance(r, b);
    if (da < 0 && db < 0)
        return;
    GpuVertex from = a, to = b;
    std::optional<GpuVertex> farEnd;
    if (da < 0) {
        farEnd = a;
        from = b;
        from.cutFraction = db / (db - da);
    } else if (db < 0) {
        farEnd = b;
        to = a;
        to.cutFraction = da / (da - db);
    }
    if (r.lineWidth > THIN_LINE_WIDTH) {
        addWideLine(batch, r, a, b, from, to, farEnd);
        return;
    }
    append(batch, RunKind::LINES, from, farEnd);
    append(batch, RunKind::LINES, to, farEnd);
}

void clearBatch(Batch& batch)
{
    batch.vertices.clear();
    batch.runs.clear();
}

} // namespace quorvale::webgl
