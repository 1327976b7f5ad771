#include "tests/geometry/scenery_capture.h"

#include "platform/gl.h"

#include <cmath>
#include <cstddef>

namespace {

// The feedback projection maps eye units one to one onto window units in a
// cube of FEEDBACK_EXTENT around the eye, large enough for the 100-unit axes
// in any direction.
constexpr double FEEDBACK_EXTENT = 250.0;
constexpr int FEEDBACK_VIEWPORT = 500;
constexpr int FEEDBACK_FLOATS = 1 << 22;
constexpr double PI = 3.14159265358979323846;

double radians(double degrees)
{
    return degrees * PI / 180.0;
}

WorldPoint toWorld(const ViewTurn& view, double ex, double ey, double ez)
{
    // The inverse of a turn is its transpose.
    const auto& m = view.m;
    return {m[0][0] * ex + m[1][0] * ey + m[2][0] * ez, m[0][1] * ex + m[1][1] * ey + m[2][1] * ez,
            m[0][2] * ex + m[1][2] * ey + m[2][2] * ez};
}

void loadView(const ViewTurn& view)
{
    GLdouble matrix[16] = {};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            matrix[column * 4 + row] = view.m[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    matrix[15] = 1.0;
    glLoadMatrixd(matrix);
}

class FeedbackReader {
public:
    FeedbackReader(const std::vector<GLfloat>& buffer, GLint count, const ViewTurn& view, bool colour)
        : buffer_(buffer), count_(count), view_(view), colour_(colour)
    {
    }

    Capture3d read()
    {
        Capture3d result;
        while (at_ < count_) {
            const auto token = static_cast<GLint>(next());
            if (token == GL_POLYGON_TOKEN) {
                const auto n = static_cast<GLint>(next());
                CapturedPolygon polygon;
                for (GLint v = 0; v < n; ++v)
                    polygon.push_back(vertex());
                result.polygons.push_back(polygon);
            } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
                const CapturedVertex a = vertex();
                const CapturedVertex b = vertex();
                result.lines.push_back({a.at, b.at});
            } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                       token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
                vertex();
            } else if (token == GL_PASS_THROUGH_TOKEN) {
                next();
            }
        }
        return result;
    }

private:
    GLfloat next() { return buffer_[static_cast<std::size_t>(at_++)]; }

    CapturedVertex vertex()
    {
        const double wx = next();
        const double wy = next();
        const double wz = next();
        const double half = FEEDBACK_VIEWPORT / 2.0;
        const double scale = half / FEEDBACK_EXTENT;
        CapturedVertex v = {toWorld(view_, (wx - half) / scale, (wy - half) / scale,
                                    FEEDBACK_EXTENT * (1.0 - 2.0 * wz)),
                            {0, 0, 0, 0}};
        if (colour_)
            for (double& channel : v.colour)
                channel = next();
        return v;
    }

    const std::vector<GLfloat>& buffer_;
    GLint count_;
    GLint at_ = 0;
    const ViewTurn& view_;
    bool colour_;
};

} // namespace

ViewTurn tiltedView(double pitchDegrees, double yawDegrees)
{
    const double cp = std::cos(radians(pitchDegrees));
    const double sp = std::sin(radians(pitchDegrees));
    const double cy = std::cos(radians(yawDegrees));
    const double sy = std::sin(radians(yawDegrees));
    // Tilt about x after the turn about y: Rx(pitch) * Ry(yaw).
    const std::array<std::array<double, 3>, 3> turnY = {{{cy, 0, sy}, {0, 1, 0}, {-sy, 0, cy}}};
    const std::array<std::array<double, 3>, 3> tiltX = {{{1, 0, 0}, {0, cp, -sp}, {0, sp, cp}}};
    ViewTurn view = {};
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            for (std::size_t k = 0; k < 3; ++k)
                view.m[r][c] += tiltX[r][k] * turnY[k][c];
    return view;
}

Capture3d captureInWorld(const ViewTurn& view, const std::function<void()>& draw,
                         bool keepBackFaces, bool withColour)
{
    static std::vector<GLfloat> buffer(FEEDBACK_FLOATS);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, FEEDBACK_VIEWPORT, FEEDBACK_VIEWPORT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-FEEDBACK_EXTENT, FEEDBACK_EXTENT, -FEEDBACK_EXTENT, FEEDBACK_EXTENT, -FEEDBACK_EXTENT,
            FEEDBACK_EXTENT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    loadView(view);
    if (keepBackFaces)
        glDisable(GL_CULL_FACE);
    glFeedbackBuffer(FEEDBACK_FLOATS, withColour ? GL_3D_COLOR : GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    if (keepBackFaces)
        glEnable(GL_CULL_FACE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    return FeedbackReader(buffer, count, view, withColour).read();
}

WorldPoint windingNormal(const CapturedPolygon& polygon)
{
    // Newell's method: robust for any planar polygon, sign from the winding.
    WorldPoint n = {0, 0, 0};
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const WorldPoint& a = polygon[i].at;
        const WorldPoint& b = polygon[(i + 1) % polygon.size()].at;
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0.0) {
        n.x /= length;
        n.y /= length;
        n.z /= length;
    }
    return n;
}

WorldPoint centreOf(const CapturedPolygon& polygon)
{
    WorldPoint c = {0, 0, 0};
    for (const CapturedVertex& v : polygon) {
        c.x += v.at.x;
        c.y += v.at.y;
        c.z += v.at.z;
    }
    const auto n = static_cast<double>(polygon.size());
    return {c.x / n, c.y / n, c.z / n};
}

WorldPoint turnAboutVertical(const WorldPoint& v, double degrees)
{
    const double c = std::cos(radians(degrees));
    const double s = std::sin(radians(degrees));
    return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
}
