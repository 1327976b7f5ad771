// The tank's three meshes as solids: closed, flat-faced, wound outwards and
// of the stated sizes.
#include "tank/tank.h"
#include "tests/geometry/mesh_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <utility>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double FLAT_TOLERANCE = 1e-6; // scene units off the face's plane
constexpr double SIZE_TOLERANCE = 1e-6; // scene units

struct Mesh {
    const char* name;
    const Point3* corners;
    const Face* faces;
};

std::vector<Mesh> meshesOf(const Tank& tank)
{
    return {{"hull", tank.hullCorners, tank.hullFaces},
            {"turret", tank.turretCorners, tank.turretFaces},
            {"barrel", tank.barrelCorners, tank.barrelFaces}};
}

Vec3 corner(const Mesh& mesh, int face, int k)
{
    return toVec3(mesh.corners[mesh.faces[face][k]]);
}

// Unit normal of the face's winding, from all four corners (Newell's method).
Vec3 windingNormal(const Mesh& mesh, int face)
{
    Vec3 n = {0, 0, 0};
    for (int k = 0; k < 4; ++k)
        n = n + cross(corner(mesh, face, k), corner(mesh, face, (k + 1) % 4));
    return (1.0 / length(n)) * n;
}

Vec3 faceCentre(const Mesh& mesh, int face)
{
    Vec3 sum = {0, 0, 0};
    for (int k = 0; k < 4; ++k)
        sum = sum + corner(mesh, face, k);
    return 0.25 * sum;
}

double degreesBetween(const Vec3& a, const Vec3& b)
{
    const double c = dot(a, b) / (length(a) * length(b));
    return std::acos(std::min(1.0, std::max(-1.0, c))) * 180.0 / PI;
}

class TankModelTest : public ::testing::Test {
protected:
    std::unique_ptr<Tank> tank{makeTank()};
};

TEST_F(TankModelTest, EveryEdgeBelongsToTwoFacesRunningOppositeWays)
{
    for (const Mesh& mesh : meshesOf(*tank)) {
        SCOPED_TRACE(mesh.name);
        std::map<std::pair<int, int>, int> uses;
        for (int f = 0; f < TANK_MESH_FACES; ++f)
            for (int k = 0; k < 4; ++k) {
                const int from = mesh.faces[f][k];
                const int to = mesh.faces[f][(k + 1) % 4];
                ASSERT_LT(from, TANK_MESH_CORNERS);
                ++uses[{from, to}];
            }
        for (const auto& [edge, count] : uses) {
            EXPECT_EQ(count, 1) << "edge " << edge.first << "->" << edge.second;
            const auto back = uses.find({edge.second, edge.first});
            EXPECT_TRUE(back != uses.end() && back->second == 1)
                << "edge " << edge.first << "->" << edge.second << " has no face running back";
        }
        EXPECT_EQ(uses.size(), 4u * TANK_MESH_FACES);
    }
}

TEST_F(TankModelTest, EveryFaceIsFlat)
{
    for (const Mesh& mesh : meshesOf(*tank))
        for (int f = 0; f < TANK_MESH_FACES; ++f) {
            const Vec3 n = windingNormal(mesh, f);
            for (int k = 1; k < 4; ++k)
                EXPECT_LT(std::abs(dot(corner(mesh, f, k) - corner(mesh, f, 0), n)), FLAT_TOLERANCE)
                    << mesh.name << " face " << f << " corner " << k;
        }
}

TEST_F(TankModelTest, EveryFaceIsWoundOutwards)
{
    // All three solids are convex, so the mean of a mesh's corners is inside it.
    for (const Mesh& mesh : meshesOf(*tank)) {
        Vec3 inside = {0, 0, 0};
        for (int c = 0; c < TANK_MESH_CORNERS; ++c)
            inside = inside + toVec3(mesh.corners[c]);
        inside = (1.0 / TANK_MESH_CORNERS) * inside;
        for (int f = 0; f < TANK_MESH_FACES; ++f)
            EXPECT_GT(dot(windingNormal(mesh, f), faceCentre(mesh, f) - inside), 0.0)
                << mesh.name << " face " << f << " is wound inwards";
    }
}

TEST_F(TankModelTest, EndsAreFlatExceptWhereTheTurretNarrows)
{
    const auto meshes = meshesOf(*tank);
    const Mesh& hull = meshes[0];
    const Mesh& turret = meshes[1];
    const Mesh& barrel = meshes[2];
    const std::vector<std::pair<const Mesh*, std::vector<int>>> coplanar = {
        {&hull, {8, 9, 10}},  {&hull, {11, 12, 13}},  {&hull, {6, 7}},
        {&barrel, {8, 9, 10}}, {&barrel, {11, 12, 13}}, {&turret, {8, 9}}, {&turret, {11, 12}},
    };
    for (const auto& [mesh, faces] : coplanar) {
        const Vec3 n = windingNormal(*mesh, faces[0]);
        const Vec3 origin = corner(*mesh, faces[0], 0);
        for (int f : faces)
            for (int k = 0; k < 4; ++k)
                EXPECT_LT(std::abs(dot(corner(*mesh, f, k) - origin, n)), FLAT_TOLERANCE)
                    << mesh->name << " face " << f << " leaves the plane of face " << faces[0];
    }
    // The turret's +x end is 0.015 narrower each side over 0.2 of length.
    const double narrowing = std::atan(0.015 / 0.2) * 180.0 / PI;
    constexpr double ANGLE_TOLERANCE = 1e-3; // degrees
    EXPECT_NEAR(degreesBetween(windingNormal(turret, 10), windingNormal(turret, 9)), narrowing,
                ANGLE_TOLERANCE);
    EXPECT_NEAR(degreesBetween(windingNormal(turret, 13), windingNormal(turret, 12)), narrowing,
                ANGLE_TOLERANCE);
}

struct Extent {
    Vec3 low;
    Vec3 high;
};

Extent extentOf(const Point3* corners)
{
    Extent e = {toVec3(corners[0]), toVec3(corners[0])};
    for (int c = 1; c < TANK_MESH_CORNERS; ++c) {
        const Vec3 p = toVec3(corners[c]);
        e.low = {std::min(e.low.x, p.x), std::min(e.low.y, p.y), std::min(e.low.z, p.z)};
        e.high = {std::max(e.high.x, p.x), std::max(e.high.y, p.y), std::max(e.high.z, p.z)};
    }
    return e;
}

void expectExtent(const Point3* corners, const Vec3& low, const Vec3& high)
{
    const Extent e = extentOf(corners);
    EXPECT_LT(length(e.low - low), SIZE_TOLERANCE) << describe(e.low);
    EXPECT_LT(length(e.high - high), SIZE_TOLERANCE) << describe(e.high);
}

TEST_F(TankModelTest, PartsHaveTheirSizesInTheirOwnFrames)
{
    // Hull 0.75 long, 0.18 high and 0.36 wide, standing on y = 0.
    expectExtent(tank->hullCorners, {-0.375, 0, -0.18}, {0.375, 0.18, 0.18});
    // Turret 0.475 long, 0.12 high, 0.3 wide.
    expectExtent(tank->turretCorners, {-0.23, 0, -0.15}, {0.245, 0.12, 0.15});
    // Barrel 0.305 long from the breech at x = 0 towards -x, 0.04 across.
    expectExtent(tank->barrelCorners, {-0.305, -0.02, -0.02}, {0, 0.02, 0.02});
}

} // namespace
