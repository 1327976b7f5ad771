#include "tests/geometry/scenery_capture.h"

#include "platform/gl.h"
#include "tests/support/gl_program.h"

#include <cmath>
#include <cstddef>

namespace {

// The feedback projection maps eye units one to one onto window units in a
// cube of FEEDBACK_EXTENT around the eye, large enough for the 100-unit axes
// in any direction.
constexpr double FEEDBACK_EXTENT = 250.0;
constexpr double PI = 3.14159265358979323846;

double radians(double degrees)
{
    return degrees * PI / 180.0;
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

CapturedVertex toWorld(const ViewTurn& view, const FeedbackPoint& eye)
{
    // The inverse of a turn is its transpose.
    const auto& m = view.m;
    return {{m[0][0] * eye.x + m[1][0] * eye.y + m[2][0] * eye.z,
             m[0][1] * eye.x + m[1][1] * eye.y + m[2][1] * eye.z,
             m[0][2] * eye.x + m[1][2] * eye.y + m[2][2] * eye.z},
            eye.colour};
}

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
    const auto viewed = [&] {
        glPushMatrix();
        loadView(view);
        draw();
        glPopMatrix();
    };
    const Feedback feedback = captureFeedback(viewed, FEEDBACK_EXTENT, keepBackFaces, withColour);
    Capture3d result;
    for (const auto& polygon : feedback.polygons) {
        CapturedPolygon inWorld;
        for (const FeedbackPoint& point : polygon)
            inWorld.push_back(toWorld(view, point));
        result.polygons.push_back(inWorld);
    }
    for (const auto& line : feedback.lines)
        result.lines.push_back({toWorld(view, line[0]).at, toWorld(view, line[1]).at});
    return result;
}

Vec3 windingNormal(const CapturedPolygon& polygon)
{
    // Newell's method: robust for any planar polygon, sign from the winding.
    Vec3 n = {0, 0, 0};
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Vec3& a = polygon[i].at;
        const Vec3& b = polygon[(i + 1) % polygon.size()].at;
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

Vec3 centreOf(const CapturedPolygon& polygon)
{
    Vec3 c = {0, 0, 0};
    for (const CapturedVertex& v : polygon) {
        c.x += v.at.x;
        c.y += v.at.y;
        c.z += v.at.z;
    }
    const auto n = static_cast<double>(polygon.size());
    return {c.x / n, c.y / n, c.z / n};
}

Vec3 turnAboutVertical(const Vec3& v, double degrees)
{
    const double c = std::cos(radians(degrees));
    const double s = std::sin(radians(degrees));
    return {c * v.x + s * v.z, v.y, -s * v.x + c * v.z};
}
