// Pixels of whole frames drawn by the program, probed at world points the test
// projects itself, against colours predicted from the lighting equation under
// the rig: the ground under ambient light, each spotlight's pool and its tint
// on the nearest box, the white grid and the blue torus.
#include "app/scene.h"
#include "camera/camera.h"
#include "tests/lighting/lighting_model.h"
#include "tests/support/program_test.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// A pixel is read back in 8 bits per channel; llvmpipe rounds the
// interpolated colour, so allow 3 levels on top of the predicted range.
constexpr double PIXEL_TOLERANCE = 3.0;
constexpr double LEVELS = 255.0;
// Ground cells are 0.5 units square; a probe at a cell's centre is 0.25 from its corners.
constexpr double HALF_CELL = 0.25;
constexpr double PI = 3.14159265358979323846;

struct Range {
    Vec3 low;
    Vec3 high;
};

// Lighting is evaluated at vertices and interpolated across each triangle, so
// a pixel inside a quad of the tessellation lies between the smallest and
// largest lit colour of that quad's corners.
Range litRange(const std::vector<Vec3>& corners, const Vec3& normal, const Surface& surface,
               const Vec3& towardsViewer, int without = -1)
{
    Range range = {{1, 1, 1}, {0, 0, 0}};
    for (const Vec3& corner : corners) {
        const Vec3 c = litColour(corner, normal, surface, towardsViewer, without);
        range.low = {std::min(range.low.x, c.x), std::min(range.low.y, c.y), std::min(range.low.z, c.z)};
        range.high = {std::max(range.high.x, c.x), std::max(range.high.y, c.y), std::max(range.high.z, c.z)};
    }
    return range;
}

std::vector<Vec3> groundCell(double centreX, double centreZ)
{
    return {{centreX - HALF_CELL, 0, centreZ - HALF_CELL}, {centreX + HALF_CELL, 0, centreZ - HALF_CELL},
            {centreX + HALF_CELL, 0, centreZ + HALF_CELL}, {centreX - HALF_CELL, 0, centreZ + HALF_CELL}};
}

void placeCamera(const Vec3& eye, const Vec3& centre)
{
    theCamera->eye = {static_cast<float>(eye.x), static_cast<float>(eye.y), static_cast<float>(eye.z)};
    theCamera->centre = {static_cast<float>(centre.x), static_cast<float>(centre.y),
                         static_cast<float>(centre.z)};
}

// Draw a frame from eye towards centre and find the window pixel the world
// point lands on; the projection is taken from the frame's own view, reloaded
// without the torus turn the frame leaves on the matrix.
void drawFrameAndProject(const Vec3& eye, const Vec3& centre, const Vec3& world, int& x, int& y)
{
    placeCamera(eye, centre);
    drawFrame();
    selectView(*theScene);
    double winX = 0;
    double winY = 0;
    EXPECT_TRUE(projectToWindow({static_cast<float>(world.x), static_cast<float>(world.y),
                                 static_cast<float>(world.z)},
                                winX, winY));
    x = static_cast<int>(winX);
    y = static_cast<int>(winY);
}

Rgb frameAt(const Vec3& eye, const Vec3& centre, const Vec3& world)
{
    int x = 0;
    int y = 0;
    drawFrameAndProject(eye, centre, world, x, y);
    return readBackPixel(x, y);
}

void expectInRange(const Rgb& pixel, const Range& range, const std::string& what)
{

    const double got[3] = {static_cast<double>(pixel.red), static_cast<double>(pixel.green),
                           static_cast<double>(pixel.blue)};
    const double low[3] = {range.low.x, range.low.y, range.low.z};
    const double high[3] = {range.high.x, range.high.y, range.high.z};
    const char* names[3] = {"red", "green", "blue"};
    for (int c = 0; c < 3; ++c) {
        EXPECT_GE(got[c], low[c] * LEVELS - PIXEL_TOLERANCE) << what << ": " << names[c];
        EXPECT_LE(got[c], high[c] * LEVELS + PIXEL_TOLERANCE) << what << ": " << names[c];
    }
}

// The probe only tells the light apart if the colour with it and without it
// cannot both pass: some channel's ranges are further apart than the tolerance.
bool rangesDisjoint(const Range& with, const Range& without)
{
    const double gap = 2 * PIXEL_TOLERANCE / LEVELS;
    return with.low.x - without.high.x > gap || with.low.y - without.high.y > gap ||
           with.low.z - without.high.z > gap;
}

struct Corner {
    const char* light;
    int index; // GL_LIGHT0 + index
    double sx; // sign of the corner's x
    double sz; // sign of the corner's z
};

// The spotlights stand above the ground's corners.
const Corner corners[] = {
    {"blue", 1, -1, 1}, {"yellow", 2, -1, -1}, {"red", 3, 1, -1}, {"cyan", 4, 1, 1}};

} // namespace

class LitFrameTest : public ProgramTest {};

TEST_F(LitFrameTest, GroundOutsideEveryConeIsDarkGreenUnderAmbientAndTheLampAbove)
{
    // Cell centre (0.25, 1.25): off the grid lines, clear of the tank and torus
    // at the origin, and beyond the reach of all four 50-degree cones.
    const Vec3 probe = {0.25, 0, 1.25};
    const std::vector<Vec3> cell = groundCell(probe.x, probe.z);
    for (const Vec3& c : cell)
        for (int light = 1; light < RIG_LIGHTS; ++light)
            ASSERT_FALSE(insideCone(light, c)) << "probe chosen inside cone " << light;
    const Vec3 eye = {0.25, 7, 5.25};
    const Range expected = litRange(cell, {0, 1, 0}, groundSurface(), normalised(eye - probe));
    // Predicted: 0.33 x (0.1, 0.25, 0.1) plus light 0's 0.6 x cos(angle to
    // it) x the same colour, about (23, 58, 23) of 255.
    expectInRange(frameAt(eye, probe, probe), expected, "ambient-lit ground at (0.25, 0, 1.25)");
}

TEST_F(LitFrameTest, EachSpotlightLaysItsColouredPoolNearItsCorner)
{
    for (const Corner& corner : corners) {
        // The cell centred 1.25 in from the corner in x and z, inside the pool
        // around (+-9, 0, +-9) and 0.25 off the grid lines; seen from beyond
        // the corner, so no box stands in the way.
        const Vec3 probe = {8.75 * corner.sx, 0, 8.75 * corner.sz};
        const Vec3 eye = {12 * corner.sx, 7, 12 * corner.sz};
        const std::vector<Vec3> cell = groundCell(probe.x, probe.z);
        const Vec3 towardsViewer = normalised(eye - probe);
        const Range with = litRange(cell, {0, 1, 0}, groundSurface(), towardsViewer);
        const Range without = litRange(cell, {0, 1, 0}, groundSurface(), towardsViewer, corner.index);
        ASSERT_TRUE(rangesDisjoint(with, without)) << corner.light << " pool probe cannot tell the light";
        expectInRange(frameAt(eye, probe, probe), with, std::string(corner.light) + " pool on the ground");
    }
}

TEST_F(LitFrameTest, EachSpotlightTintsTheFaceOfTheBoxNearestIt)
{
    for (const Corner& corner : corners) {
        // The box at (+-6, +-6) turns its face x = +-7 to the spotlight at
        // (+-10, 4, +-10). Probe the middle of the quad of that face's
        // tessellation spanning height 0..1.25 and 6..6.5 from the axis in z.
        const Vec3 probe = {7 * corner.sx, 0.625, 6.25 * corner.sz};
        const std::vector<Vec3> quad = {{7 * corner.sx, 0, 6 * corner.sz},
                                        {7 * corner.sx, 0, 6.5 * corner.sz},
                                        {7 * corner.sx, 1.25, 6.5 * corner.sz},
                                        {7 * corner.sx, 1.25, 6 * corner.sz}};
        const Vec3 normal = {corner.sx, 0, 0};
        const Vec3 eye = {11 * corner.sx, 3, 7.5 * corner.sz};
        const Vec3 towardsViewer = normalised(eye - probe);
        const Range with = litRange(quad, normal, boxSurface(), towardsViewer);
        const Range without = litRange(quad, normal, boxSurface(), towardsViewer, corner.index);
        ASSERT_TRUE(rangesDisjoint(with, without)) << corner.light << " box probe cannot tell the light";
        expectInRange(frameAt(eye, probe, probe), with, std::string(corner.light) + " tint on the box");
    }
}

TEST_F(LitFrameTest, GridLineIsDrawnWhiteAboveTheGround)
{
    // The grid line x = 1, probed at z = 1.25, between the lines z = 1 and
    // z = 2. Lines are lit white: whatever normal they inherit, every channel
    // gets at least the global ambient 0.33 of white. The line is one pixel
    // wide, so one of the pixels within 1 of the projected point must be it.
    const Vec3 onLine = {1, 0.01, 1.25};
    const Vec3 eye = {1, 6, 5.25};
    const Vec3 centre = {1, 0, 1.25};
    const double floor = GLOBAL_AMBIENT * LEVELS - PIXEL_TOLERANCE;
    int x = 0;
    int y = 0;
    drawFrameAndProject(eye, centre, onLine, x, y);
    bool found = false;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            const Rgb p = readBackPixel(x + dx, y + dy);
            found = found || (p.red >= floor && p.green >= floor && p.blue >= floor);
        }
    }
    EXPECT_TRUE(found) << "no white grid pixel within 1 of the projected line x = 1";

    // Three quarters of a unit beside the line, in the same frame, the dark
    // ground shows (a cell outside every cone), so the white is the line's own.
    const Vec3 beside = {0.25, 0, 1.25};
    const std::vector<Vec3> cell = groundCell(beside.x, beside.z);
    const Range ground = litRange(cell, {0, 1, 0}, groundSurface(), normalised(eye - beside));
    ASSERT_LT(ground.high.y * LEVELS + PIXEL_TOLERANCE, floor);
    double winX = 0;
    double winY = 0;
    ASSERT_TRUE(projectToWindow({0.25f, 0.0f, 1.25f}, winX, winY));
    expectInRange(readBackPixel(static_cast<int>(winX), static_cast<int>(winY)), ground,
                  "ground beside the grid line");
}

TEST_F(LitFrameTest, TorusTopIsBlueLitByTheLampAbove)
{
    // At angle 0 the torus stands in the x-y plane: the top of its tube is at
    // (0, 1.75, 0), facing the white lamp 4.25 above and no spotlight. Blue is
    // 0.33 (ambient) + 0.6 x cos(angle of the vertex normals to the lamp);
    // the 20 x 20 tessellation tilts the nearest vertex normals by at most
    // 18 degrees each way, so allow cosines down to cos 35 degrees. Red and
    // green have no source: no emission, no white specular in reach.
    const Vec3 top = {0, 1.75, 0};
    for (int light = 1; light < RIG_LIGHTS; ++light)
        ASSERT_FALSE(insideCone(light, top));
    theScene->torusAngle = 0.0f;
    const double lowBlue = GLOBAL_AMBIENT + 0.6 * std::cos(35.0 * PI / 180.0);
    const Range expected = {{0, 0, lowBlue}, {0, 0, GLOBAL_AMBIENT + 0.6}};
    expectInRange(frameAt({0, 6, 3}, top, top), expected, "top of the torus");
}
