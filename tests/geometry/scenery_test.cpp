// The scenery as GL receives it: the four boxes where they stand, the ground's
// 1,600 cells in their order and only from above, the axes and the grid
// lines, and what drawing leaves behind.
#include "geometry/scenery.h"
#include "platform/gl.h"
#include "tests/geometry/scenery_capture.h"
#include "tests/support/program_test.h"
#include "tests/support/scene_view.h"

#include <array>
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double TOLERANCE = 1e-3; // scene units, after feedback in single precision
constexpr std::size_t BOX_TRIANGLES = 6 * 32;
constexpr int GROUND_CELLS_PER_SIDE = 40;
constexpr double CELL = 0.5;
constexpr double GRID_HEIGHT = 0.01;


bool atGroundLevel(const CapturedPolygon& p)
{
    for (const CapturedVertex& v : p)
        if (std::fabs(v.at.y) > TOLERANCE)
            return false;
    return true;
}

std::vector<CapturedPolygon> groundLevelPolygons(const Capture3d& drawn)
{
    std::vector<CapturedPolygon> result;
    for (const CapturedPolygon& p : drawn.polygons)
        if (atGroundLevel(p))
            result.push_back(p);
    return result;
}

struct Cell {
    double minX;
    double minZ;
};

Cell cellOf(const CapturedPolygon& p)
{
    Cell c = {1e9, 1e9};
    for (const CapturedVertex& v : p) {
        c.minX = std::min(c.minX, v.at.x);
        c.minZ = std::min(c.minZ, v.at.z);
    }
    return c;
}

void expectPoint(const Vec3& actual, const Vec3& expected, const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, TOLERANCE) << what;
    EXPECT_NEAR(actual.y, expected.y, TOLERANCE) << what;
    EXPECT_NEAR(actual.z, expected.z, TOLERANCE) << what;
}

// A GL quad may come back from feedback as one polygon or as two triangles;
// either way a cell's polygons follow each other. Group them by cell and
// return, per cell in drawing order, the distinct corners in order of appearance.
std::vector<std::vector<Vec3>> cellsInOrder(const std::vector<CapturedPolygon>& polygons)
{
    std::vector<std::vector<Vec3>> cells;
    Cell last = {1e9, 1e9};
    for (const CapturedPolygon& p : polygons) {
        const Cell c = cellOf(p);
        if (cells.empty() || std::fabs(c.minX - last.minX) > TOLERANCE || std::fabs(c.minZ - last.minZ) > TOLERANCE)
            cells.emplace_back();
        last = c;
        for (const CapturedVertex& v : p) {
            bool known = false;
            for (const Vec3& k : cells.back())
                known = known || (std::fabs(k.x - v.at.x) < TOLERANCE && std::fabs(k.z - v.at.z) < TOLERANCE);
            if (!known)
                cells.back().push_back(v.at);
        }
    }
    return cells;
}

class SceneryTest : public ProgramTest {
protected:
    void TearDown() override
    {
        for (Box* box : built_.boxes)
            delete box;
    }
    Scenery& built()
    {
        if (built_.boxes[0] == nullptr) {
            Scenery* made = buildScenery();
            built_ = *made;
            delete made;
        }
        return built_;
    }

private:
    Scenery built_ = {};
};

} // namespace

TEST_F(SceneryTest, BuildSceneryStandsFourBoxesAtTheCornersWithTheirYaws)
{
    Scenery& scenery = built();
    const Capture3d drawn = captureInWorld(tiltedView(35, 20), [&] { drawScenery(scenery); }, true);
    ASSERT_GE(drawn.polygons.size(), SCENERY_BOX_COUNT * BOX_TRIANGLES);
    for (int i = 0; i < SCENERY_BOX_COUNT; ++i) {
        const BoxPlacement& at = BOX_PLACEMENTS[i];
        const Box& box = *scenery.boxes[i];
        const std::string name = "box " + std::to_string(i);
        EXPECT_EQ(box.position.x, static_cast<float>(at.x)) << name;
        EXPECT_EQ(box.position.y, 0.0f) << name;
        EXPECT_EQ(box.position.z, static_cast<float>(at.z)) << name;
        EXPECT_EQ(box.yaw, static_cast<float>(at.yaw)) << name;

        // The box's triangles, drawn in box order: centred over its position,
        // half way up, with its own +x and +z faces turned by its yaw.
        const std::size_t first = static_cast<std::size_t>(i) * BOX_TRIANGLES;
        Vec3 sum = {0, 0, 0};
        for (std::size_t t = first; t < first + BOX_TRIANGLES; ++t) {
            const Vec3 c = centreOf(drawn.polygons[t]);
            sum = {sum.x + c.x, sum.y + c.y, sum.z + c.z};
        }
        const double n = static_cast<double>(BOX_TRIANGLES);
        expectPoint({sum.x / n, sum.y / n, sum.z / n}, {at.x, 2.5, at.z}, name + " centre");
        expectPoint(windingNormal(drawn.polygons[first + 2 * 32]), turnAboutVertical({1, 0, 0}, at.yaw),
                    name + " face x = +1");
        expectPoint(windingNormal(drawn.polygons[first + 3 * 32]), turnAboutVertical({0, 0, 1}, at.yaw),
                    name + " face z = +1");
    }
}

TEST_F(SceneryTest, GroundIsFortyByFortyCellsInRowsFromTheFarCorner)
{
    Scenery& scenery = built();
    // From above with culling on: box bases are culled, so every polygon at
    // height 0 is ground.
    const Capture3d drawn = captureInWorld(tiltedView(60, 10), [&] { drawScenery(scenery); }, false);
    const std::vector<CapturedPolygon> ground = groundLevelPolygons(drawn);
    for (const CapturedPolygon& p : ground)
        expectPoint(windingNormal(p), {0, 1, 0}, "ground faces up");
    const std::vector<std::vector<Vec3>> cells = cellsInOrder(ground);
    ASSERT_EQ(cells.size(), static_cast<std::size_t>(GROUND_CELLS_PER_SIDE * GROUND_CELLS_PER_SIDE));

    // Rows from z 9.5..10 down to z -10..-9.5; in each, x from 9.5..10 down.
    for (int row = 0; row < GROUND_CELLS_PER_SIDE; ++row) {
        for (int column = 0; column < GROUND_CELLS_PER_SIDE; ++column) {
            const auto& cell = cells[static_cast<std::size_t>(row * GROUND_CELLS_PER_SIDE + column)];
            const double x0 = 10 - CELL * (column + 1);
            const double z0 = 10 - CELL * (row + 1);
            ASSERT_EQ(cell.size(), 4u) << "cell " << row << ", " << column;
            std::set<std::pair<long, long>> corners;
            for (const Vec3& p : cell)
                corners.insert({std::lround(p.x * 4), std::lround(p.z * 4)});
            const std::set<std::pair<long, long>> expected = {
                {std::lround(x0 * 4), std::lround(z0 * 4)},
                {std::lround((x0 + CELL) * 4), std::lround(z0 * 4)},
                {std::lround(x0 * 4), std::lround((z0 + CELL) * 4)},
                {std::lround((x0 + CELL) * 4), std::lround((z0 + CELL) * 4)}};
            // Row 0, column 0 is (10, 10) (9.5, 9.5); the last (-9.5, -9.5) (-10, -10).
            ASSERT_EQ(corners, expected) << "cell " << row << ", " << column;
        }
    }
    // (Feedback splits the quads into triangles in an order of its own; the
    // order in which each cell's corners are given shows in the frame's trace.)
}

TEST_F(SceneryTest, GroundIsInvisibleFromBelow)
{
    Scenery& scenery = built();
    const Capture3d drawn = captureInWorld(tiltedView(-50, 15), [&] { drawScenery(scenery); }, false);
    // From below only the four box bases face the eye at height 0.
    const std::vector<CapturedPolygon> atZero = groundLevelPolygons(drawn);
    EXPECT_EQ(atZero.size(), SCENERY_BOX_COUNT * 32u);
    for (const CapturedPolygon& p : atZero) {
        const Vec3 c = centreOf(p);
        EXPECT_TRUE(std::fabs(std::fabs(c.x) - 6) < 1 && std::fabs(std::fabs(c.z) - 6) < 1)
            << "polygon at height 0 outside the box footprints: " << c.x << ", " << c.z;
    }
    // With culling off the ground is there: 1,600 cells more at height 0.
    const Capture3d all = captureInWorld(tiltedView(-50, 15), [&] { drawScenery(scenery); }, true);
    EXPECT_EQ(cellsInOrder(groundLevelPolygons(all)).size(),
              static_cast<std::size_t>(GROUND_CELLS_PER_SIDE * GROUND_CELLS_PER_SIDE + 4 * 16));
}

TEST_F(SceneryTest, AxesAndGridLinesLieWhereTheyBelong)
{
    Scenery& scenery = built();
    const Capture3d drawn = captureInWorld(tiltedView(30, 20), [&] { drawScenery(scenery); }, false);
    ASSERT_EQ(drawn.lines.size(), 45u);
    // Three axes through the origin, 200 long, the x and z axes at height 0.
    const std::array<std::array<Vec3, 2>, 3> axes = {{{{{100, 0, 0}, {-100, 0, 0}}},
                                                          {{{0, 100, 0}, {0, -100, 0}}},
                                                          {{{0, 0, 100}, {0, 0, -100}}}}};
    for (std::size_t a = 0; a < 3; ++a) {
        expectPoint(drawn.lines[a][0], axes[a][0], "axis " + std::to_string(a) + " start");
        expectPoint(drawn.lines[a][1], axes[a][1], "axis " + std::to_string(a) + " end");
    }
    // 21 lines across x at z = -10..10, then 21 across z at x = -10..10,
    // all 0.01 above the ground and spanning it.
    for (int k = 0; k < 21; ++k) {
        const double at = -10 + k;
        const CapturedLine& alongX = drawn.lines[3 + static_cast<std::size_t>(k)];
        expectPoint(alongX[0], {10, GRID_HEIGHT, at}, "grid line z = " + std::to_string(k - 10));
        expectPoint(alongX[1], {-10, GRID_HEIGHT, at}, "grid line z = " + std::to_string(k - 10));
        const CapturedLine& alongZ = drawn.lines[24 + static_cast<std::size_t>(k)];
        expectPoint(alongZ[0], {at, GRID_HEIGHT, 10}, "grid line x = " + std::to_string(k - 10));
        expectPoint(alongZ[1], {at, GRID_HEIGHT, -10}, "grid line x = " + std::to_string(k - 10));
    }
}

TEST_F(SceneryTest, DrawingLeavesMatrixAndSceneryAsFoundAndLineWidthOne)
{
    Scenery& scenery = built();
    Box copies[SCENERY_BOX_COUNT];
    for (int i = 0; i < SCENERY_BOX_COUNT; ++i)
        copies[i] = *scenery.boxes[i];
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(25, 1, 0.5f, 0);
    glTranslatef(-1, -3, -12);
    std::array<float, 16> before = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, before.data());
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    glLineWidth(4);

    drawScenery(scenery);

    std::array<float, 16> after = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    EXPECT_EQ(after, before);
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    float width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    // The ground's colour and upward normal stay current.
    float colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    expectPoint({colour[0], colour[1], colour[2]}, {0.1, 0.25, 0.1}, "current colour");
    float normal[3] = {};
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    expectPoint({normal[0], normal[1], normal[2]}, {0, 1, 0}, "current normal");
    for (int i = 0; i < SCENERY_BOX_COUNT; ++i)
        EXPECT_EQ(std::memcmp(&copies[i], scenery.boxes[i], sizeof(Box)), 0) << "box " << i << " changed";
}
