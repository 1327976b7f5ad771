#include "tests/support/scene_view.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdlib>

namespace {

constexpr double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;
constexpr double START_FOV_DEGREES = 60.0;
const Vec3 WORLD_UP = {0.0, 1.0, 0.0};
const Vec3 START_EYE = {0.0, 2.0, 5.0};

// The chase view, in scene units behind and ahead of the tank.
constexpr double CHASE_BEHIND = 0.6;
constexpr double CHASE_AHEAD = 1.5;
constexpr double CHASE_EYE_HEIGHT = 0.45;
constexpr double CHASE_TARGET_HEIGHT = 0.25;

// Colour class limits, 0..255 per channel.
constexpr int GREEN_OVER_RED = 12; // on the ground, whatever light falls on it
constexpr int GREEN_OVER_BLUE = 6; // less under the blue spotlight
constexpr int GREEN_MINIMUM = 20;
constexpr int GREY_SPREAD = 6;     // channels of the tank's greys differ by at most this
constexpr int TANK_DARKEST = 14;   // unlit tank faces still show the ambient term
constexpr int TANK_BRIGHTEST = 80; // grid lines in white light are brighter
constexpr int BLUE_MARGIN = 30;
constexpr int RED_MARGIN = 8;
constexpr int RED_MINIMUM = 20;
constexpr int BACKGROUND_BRIGHTEST = 10;
constexpr int LINE_DIMMEST_CHANNEL = 75; // a white line under the ambient term alone
constexpr int LINE_BRIGHT_CHANNEL = 120;
constexpr int MENU_GREY_DARKEST = 0x80; // the menu's grey is 0xb2 in each channel
constexpr int MENU_HIGHLIGHT_MIN = 230; // every channel of the highlighted entry
// On Windows the entry is lit in the system's selection colour, a dark blue.
constexpr int WINDOWS_HIGHLIGHT_RED_GREEN_MAX = 80;
constexpr int WINDOWS_HIGHLIGHT_BLUE_MARGIN = 40;
constexpr int MENU_ENTRIES = 5;

int maxOf(int a, int b, int c)
{
    return std::max(a, std::max(b, c));
}
int minOf(int a, int b, int c)
{
    return std::min(a, std::min(b, c));
}

} // namespace

PerspectiveView::PerspectiveView(const Vec3& eye, const Vec3& centre, const Vec3& up,
                                 double fovYDegrees, int width, int height, double zNear)
    : eye_(eye), width_(width), height_(height), zNear_(zNear)
{
    // The eye's own axes: the rows of the viewing matrix gluLookAt builds.
    const Matrix4 view = lookAt(eye, centre, up);
    right_ = {view[0], view[4], view[8]};
    upward_ = {view[1], view[5], view[9]};
    forward_ = {-view[2], -view[6], -view[10]};
    // Half the viewport height spans tan(fov / 2); the aspect of the
    // projection is the viewport's, so a pixel is square on both axes.
    focal_ = (height / 2.0) / std::tan(fovYDegrees * DEGREES_TO_RADIANS / 2.0);
}

bool PerspectiveView::project(const Vec3& world, ScreenPoint& pixel) const
{
    const Vec3 d = world - eye_;
    const double depth = dot(d, forward_);
    if (depth < zNear_)
        return false;
    pixel.x = width_ / 2.0 + focal_ * dot(d, right_) / depth;
    pixel.y = height_ / 2.0 - focal_ * dot(d, upward_) / depth;
    return true;
}

bool PerspectiveView::unprojectToPlane(const ScreenPoint& pixel, double planeHeight,
                                       Vec3& world) const
{
    const double across = (pixel.x - width_ / 2.0) / focal_;
    const double upwards = (height_ / 2.0 - pixel.y) / focal_;
    const Vec3 ray = forward_ + across * right_ + upwards * upward_;
    if (std::fabs(ray.y) < 1e-12)
        return false;
    const double t = (planeHeight - eye_.y) / ray.y;
    if (t <= 0.0)
        return false;
    world = eye_ + t * ray;
    return true;
}

PerspectiveView startView(int width, int height)
{
    return PerspectiveView(START_EYE, {0.0, 0.0, 0.0}, WORLD_UP, START_FOV_DEGREES, width, height);
}

PerspectiveView freeView(const Vec3& eye, double yaw, double pitch, int width, int height)
{
    const Vec3 sight = {std::sin(yaw) * std::cos(pitch), std::sin(pitch),
                        -std::cos(yaw) * std::cos(pitch)};
    return PerspectiveView(eye, eye + sight, WORLD_UP, START_FOV_DEGREES, width, height);
}

Vec3 tankForward(double headingDegrees)
{
    const double h = headingDegrees * DEGREES_TO_RADIANS;
    return {-std::cos(h), 0.0, std::sin(h)};
}

PerspectiveView chaseView(const Vec3& tankPosition, double headingDegrees, double turretDegrees,
                          int width, int height)
{
    const Vec3 facing = tankForward(headingDegrees + turretDegrees);
    const Vec3 eye = {tankPosition.x - CHASE_BEHIND * facing.x, CHASE_EYE_HEIGHT,
                      tankPosition.z - CHASE_BEHIND * facing.z};
    const Vec3 centre = {tankPosition.x + CHASE_AHEAD * facing.x, CHASE_TARGET_HEIGHT,
                         tankPosition.z + CHASE_AHEAD * facing.z};
    return PerspectiveView(eye, centre, WORLD_UP, START_FOV_DEGREES, width, height);
}

Vec3 hullToWorld(const Vec3& hullPoint, const Vec3& tankPosition, double headingDegrees)
{
    // A turn by h about +y takes (x, z) to (x cos h + z sin h, -x sin h + z cos h).
    const double h = headingDegrees * DEGREES_TO_RADIANS;
    const double c = std::cos(h);
    const double s = std::sin(h);
    return {tankPosition.x + hullPoint.x * c + hullPoint.z * s, tankPosition.y + hullPoint.y,
            tankPosition.z - hullPoint.x * s + hullPoint.z * c};
}

bool isGroundGreen(int red, int green, int blue)
{
    return green >= GREEN_MINIMUM && green > red + GREEN_OVER_RED && green > blue + GREEN_OVER_BLUE;
}

bool isTankGrey(int red, int green, int blue)
{
    const int top = maxOf(red, green, blue);
    return top - minOf(red, green, blue) <= GREY_SPREAD && top >= TANK_DARKEST &&
           top <= TANK_BRIGHTEST;
}

bool isTorusBlue(int red, int green, int blue)
{
    return blue > red + BLUE_MARGIN && blue > green + BLUE_MARGIN;
}

bool isBoxRed(int red, int green, int blue)
{
    return red >= RED_MINIMUM && red > green + RED_MARGIN && red > blue + RED_MARGIN;
}

bool isBackground(int red, int green, int blue)
{
    return maxOf(red, green, blue) <= BACKGROUND_BRIGHTEST;
}

bool isLineBright(int red, int green, int blue)
{
    if (isTorusBlue(red, green, blue))
        return false;
    return minOf(red, green, blue) >= LINE_DIMMEST_CHANNEL ||
           maxOf(red, green, blue) >= LINE_BRIGHT_CHANNEL;
}

bool isMenuGrey(int red, int green, int blue)
{
    return red == green && green == blue && red >= MENU_GREY_DARKEST;
}

bool isMenuHighlight(int red, int green, int blue)
{
    return minOf(red, green, blue) >= MENU_HIGHLIGHT_MIN;
}

bool isWindowsMenuHighlight(int red, int green, int blue)
{
    return std::max(red, green) <= WINDOWS_HIGHLIGHT_RED_GREEN_MAX &&
           blue >= std::max(red, green) + WINDOWS_HIGHLIGHT_BLUE_MARGIN;
}

ScreenPoint menuEntryCentre(const WindowGeometry& menu, int entry)
{
    return {static_cast<double>(menu.x + menu.width / 2),
            static_cast<double>(menu.y + (2 * entry - 1) * menu.height / (2 * MENU_ENTRIES))};
}

bool pixelIs(const Capture& capture, int x, int y, const PixelClass& pixelClass)
{
    if (x < 0 || y < 0 || x >= capture.width || y >= capture.height)
        return false;
    return pixelClass(capture.red(x, y), capture.green(x, y), capture.blue(x, y));
}

double shareAround(const Capture& capture, const ScreenPoint& centre, int radius,
                   const PixelClass& pixelClass)
{
    const int cx = static_cast<int>(std::lround(centre.x));
    const int cy = static_cast<int>(std::lround(centre.y));
    long hits = 0;
    long total = 0;
    for (int y = cy - radius; y <= cy + radius; ++y) {
        for (int x = cx - radius; x <= cx + radius; ++x) {
            ++total;
            if (pixelIs(capture, x, y, pixelClass))
                ++hits;
        }
    }
    return static_cast<double>(hits) / static_cast<double>(total);
}

Region solidRegion(const Capture& capture, const PixelRect& area, const PixelClass& pixelClass)
{
    Region region;
    region.minX = area.x + area.width;
    region.minY = area.y + area.height;
    double sumX = 0.0;
    double sumY = 0.0;
    for (int y = area.y; y < area.y + area.height; ++y) {
        for (int x = area.x; x < area.x + area.width; ++x) {
            if (!pixelIs(capture, x, y, pixelClass) || !pixelIs(capture, x - 1, y, pixelClass) ||
                !pixelIs(capture, x + 1, y, pixelClass) ||
                !pixelIs(capture, x, y - 1, pixelClass) || !pixelIs(capture, x, y + 1, pixelClass))
                continue;
            ++region.count;
            sumX += x;
            sumY += y;
            region.minX = std::min(region.minX, x);
            region.maxX = std::max(region.maxX, x);
            region.minY = std::min(region.minY, y);
            region.maxY = std::max(region.maxY, y);
        }
    }
    if (region.count > 0) {
        region.centreX = sumX / static_cast<double>(region.count);
        region.centreY = sumY / static_cast<double>(region.count);
    }
    return region;
}

long countPixels(const Capture& capture, const PixelRect& area, const PixelClass& pixelClass)
{
    long count = 0;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            if (pixelIs(capture, x, y, pixelClass))
                ++count;
    return count;
}

long differingPixels(const Capture& a, const Capture& b, const PixelRect& area, int tolerance)
{
    if (a.width != b.width || a.height != b.height)
        return static_cast<long>(area.width) * area.height;
    long count = 0;
    for (int y = std::max(area.y, 0); y < std::min(area.y + area.height, a.height); ++y) {
        for (int x = std::max(area.x, 0); x < std::min(area.x + area.width, a.width); ++x) {
            if (std::abs(a.red(x, y) - b.red(x, y)) > tolerance ||
                std::abs(a.green(x, y) - b.green(x, y)) > tolerance ||
                std::abs(a.blue(x, y) - b.blue(x, y)) > tolerance)
                ++count;
        }
    }
    return count;
}

PixelRect wholeCapture(const Capture& capture)
{
    return {0, 0, capture.width, capture.height};
}

PixelRect screenRect(const PerspectiveView& view, const std::vector<Vec3>& points, int margin)
{
    double left = std::numeric_limits<double>::max();
    double top = left;
    double right = -left;
    double bottom = -left;
    for (const Vec3& point : points) {
        ScreenPoint pixel;
        if (!view.project(point, pixel))
            continue;
        left = std::min(left, pixel.x);
        right = std::max(right, pixel.x);
        top = std::min(top, pixel.y);
        bottom = std::max(bottom, pixel.y);
    }
    const int x0 = static_cast<int>(std::floor(left)) - margin;
    const int y0 = static_cast<int>(std::floor(top)) - margin;
    return {x0, y0, static_cast<int>(std::ceil(right)) + margin - x0,
            static_cast<int>(std::ceil(bottom)) + margin - y0};
}
