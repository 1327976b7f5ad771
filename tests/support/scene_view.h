// Where the scene must appear on the screen, worked out by the tests
// themselves: a perspective camera over the look-at of view_math.h
// (nothing taken from the program or from GL), the program's start and chase
// views in those terms, and the colour classes of what the screen shows.
#pragma once

#include "tests/support/xdriver.h"
#include "tests/support/view_math.h"

#include <functional>
#include <vector>

// A pixel position in a window, x from the left, y from the top (as Capture).
struct ScreenPoint {
    double x = 0.0;
    double y = 0.0;
};

// A look-at camera with a symmetric perspective projection onto a viewport of
// width x height pixels.
class PerspectiveView {
public:
    PerspectiveView(const Vec3& eye, const Vec3& centre, const Vec3& up, double fovYDegrees,
                    int width, int height, double zNear = 0.1);

    // The pixel a world point lands on; false if it lies behind the near plane.
    bool project(const Vec3& world, ScreenPoint& pixel) const;

    // The world point on the horizontal plane y = planeHeight seen at a pixel;
    // false if the ray through the pixel does not meet the plane in front.
    bool unprojectToPlane(const ScreenPoint& pixel, double planeHeight, Vec3& world) const;

    const Vec3& eye() const { return eye_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    Vec3 eye_;
    Vec3 forward_;
    Vec3 right_;
    Vec3 upward_;
    double focal_ = 0.0; // pixels per unit of tangent, the same on both axes
    int width_ = 0;
    int height_ = 0;
    double zNear_ = 0.0;
};

// The program's free camera as it starts: eye (0, 2, 5) looking at the origin.
PerspectiveView startView(int width, int height);

// The free camera at an eye with yaw and pitch in radians (yaw 0 looks along
// -z, growing to the right; positive pitch looks up), looking along the unit
// line of sight.
PerspectiveView freeView(const Vec3& eye, double yaw, double pitch, int width, int height);

// The chase view behind a tank at a ground position with a hull heading and a
// turret angle in degrees: eye 0.6 behind at height 0.45, looking at the point
// 1.5 ahead at height 0.25 along the turret's direction.
PerspectiveView chaseView(const Vec3& tankPosition, double headingDegrees, double turretDegrees,
                          int width, int height);

// Forward direction on the ground of a tank heading in degrees: (-cos h, 0, sin h).
Vec3 tankForward(double headingDegrees);

// A point given in the hull's own frame, placed in the world for a tank at a
// position with a heading (turned about +y, then moved).
Vec3 hullToWorld(const Vec3& hullPoint, const Vec3& tankPosition, double headingDegrees);

// Colour classes of the scene's surfaces as lit on the screen.
bool isGroundGreen(int red, int green, int blue); // the ground plane, any light on it
bool isTankGrey(int red, int green, int blue);    // hull, turret, barrel
bool isTorusBlue(int red, int green, int blue);
bool isBoxRed(int red, int green, int blue);
bool isBackground(int red, int green, int blue); // nothing drawn there
bool isLineBright(int red, int green, int blue); // grid and axis lines
// The toolkit's pop-up menu: its light grey, and the entry under the
// pointer, white on X11 and in the system's dark blue selection on Windows.
bool isMenuGrey(int red, int green, int blue);
bool isMenuHighlight(int red, int green, int blue);
bool isWindowsMenuHighlight(int red, int green, int blue);

// The middle of entry 1..5 of a menu window at `menu` (root pixels): the
// entries share its height equally apart from a border of a few pixels.
ScreenPoint menuEntryCentre(const WindowGeometry& menu, int entry);

using PixelClass = std::function<bool(int, int, int)>;

bool pixelIs(const Capture& capture, int x, int y, const PixelClass& pixelClass);

// Share of the pixels in a (2 * radius + 1) square around a pixel that are of
// a class; pixels outside the capture count as not of it.
double shareAround(const Capture& capture, const ScreenPoint& centre, int radius,
                   const PixelClass& pixelClass);

// Pixels of a class inside a rectangle, with their centroid.
struct Region {
    long count = 0;
    double centreX = 0.0;
    double centreY = 0.0;
    int minX = 0;
    int maxX = -1;
    int minY = 0;
    int maxY = -1;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Only pixels whose four neighbours are of the class too count, so that lines
// one pixel wide drop out.
Region solidRegion(const Capture& capture, const PixelRect& area, const PixelClass& pixelClass);

// Pixels of a class in a rectangle (no thinning).
long countPixels(const Capture& capture, const PixelRect& area, const PixelClass& pixelClass);

// Number of pixels that differ between two captures of the same size inside a
// rectangle (any channel by more than tolerance).
long differingPixels(const Capture& a, const Capture& b, const PixelRect& area, int tolerance = 8);

PixelRect wholeCapture(const Capture& capture);

// The rectangle around the pixels that the world points in front of the eye
// land on, widened by margin pixels on every side.
PixelRect screenRect(const PerspectiveView& view, const std::vector<Vec3>& points, int margin);

// Where the program places its four boxes: ground position and yaw in degrees.
struct BoxPlacement {
    double x;
    double z;
    double yaw;
};
constexpr BoxPlacement BOX_PLACEMENTS[4] = {{-6, 6, 0}, {-6, -6, 90}, {6, -6, 180}, {6, 6, 270}};
