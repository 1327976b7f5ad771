// Mesh machinery shared by the boxes and the tank: corners, materials, flat
// face normals and the recursive cut of every face into small quads.
#pragma once

#include <cstdint>

// One corner in scene units; packed, so an array of them is a GL vertex array.
struct Point3 {
    float x;
    float y;
    float z;
};
static_assert(sizeof(Point3) == 3 * sizeof(float), "Point3 must be packed");

// Four indices into a mesh's corners, counter-clockwise seen from outside.
using Face = std::uint8_t[4];

// Surface of a mesh: colour (ambient and diffuse through colour material),
// specular colour, specular exponent and emission.
struct Material {
    float colour[3];
    float specular[3];
    float shininess;
    float emission[3];
};

// Depth to which every mesh face is cut: 4^2 = 16 quads, 25 lit vertices.
constexpr int FACE_SUBDIVISION_DEPTH = 2;

// Make the material current for front faces (colour, emission, specular, shininess).
void applyMaterial(const Material& material);

// Unit normal of the plane through p0, p1, p2, pointing to the side from which
// they run counter-clockwise.
Point3 faceNormal(const Point3& p0, const Point3& p1, const Point3& p2);

// Issue the face's normal (from its first three corners), then draw it cut to
// FACE_SUBDIVISION_DEPTH. The caller has enabled the vertex array.
void drawFace(const Point3* corners, const Face& face);

// Draw the quad p0 p1 p2 p3 cut into 4^depth quads, each keeping the winding.
// Takes whatever normal is current; depth <= 0 draws the quad itself.
void subdivideQuad(Point3 p0, Point3 p1, Point3 p2, Point3 p3, int depth);

// Draw one quad as the triangles p0 p1 p3 and p1 p2 p3 through the client
// vertex array, which the caller has enabled.
void drawQuad(const Point3& p0, const Point3& p1, const Point3& p2, const Point3& p3);
