// Feedback capture of what the scenery and the boxes really send to GL, mapped
// back to world coordinates: polygons (optionally with their lit colours) and
// line segments, seen through a view that the test chooses.
#pragma once

#include "tests/support/view_math.h"

#include <array>
#include <functional>
#include <vector>

// A view made of a turn only (no translation): eye = turn * world.
struct ViewTurn {
    std::array<std::array<double, 3>, 3> m;
};

// Looking at the world with the eye tilted down by pitchDegrees (positive: from
// above, negative: from below), after turning about the vertical by yawDegrees.
ViewTurn tiltedView(double pitchDegrees, double yawDegrees);

struct CapturedVertex {
    Vec3 at;
    std::array<double, 4> colour; // lit RGBA, 0..1 (only with colours requested)
};
using CapturedPolygon = std::vector<CapturedVertex>;
using CapturedLine = std::array<Vec3, 2>;

struct Capture3d {
    std::vector<CapturedPolygon> polygons;
    std::vector<CapturedLine> lines;
};

// Run draw() in GL feedback mode with the view loaded as the model-view matrix
// and an orthographic projection of +-FEEDBACK_EXTENT units, and return every
// polygon and line GL would have rasterised, in order, in world coordinates.
// Culling stays on unless keepBackFaces; lit colours are read when withColour.
Capture3d captureInWorld(const ViewTurn& view, const std::function<void()>& draw,
                         bool keepBackFaces, bool withColour = false);

// Outward normal of a polygon from its winding (counter-clockwise = front),
// unit length.
Vec3 windingNormal(const CapturedPolygon& polygon);

// Mean of a polygon's corners.
Vec3 centreOf(const CapturedPolygon& polygon);

// Rotation of a vector about the vertical axis by degrees (as glRotatef(a, 0, 1, 0)).
Vec3 turnAboutVertical(const Vec3& v, double degrees);
