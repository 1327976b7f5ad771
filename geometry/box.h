// The upright 2 x 5 x 2 block that stands on the ground at a position and yaw.
#pragma once

#include "geometry/mesh.h"

constexpr int BOX_CORNER_COUNT = 8;
constexpr int BOX_FACE_COUNT = 6;

struct Box {
    Point3 position;                  // centre of the base, scene units (y is 0)
    float yaw;                        // turn about the vertical axis, degrees
    Point3 corners[BOX_CORNER_COUNT]; // in the box's own frame
    Face faces[BOX_FACE_COUNT];       // counter-clockwise seen from outside
    Material material;
};

// A new box at (x, 0, z) turned by yaw degrees; the caller owns it.
Box* makeBox(float x, float z, float yaw);

// Draw the box in the current model-view frame; leaves the matrix and the
// client state as it found them, and the box material current.
void drawBox(const Box& box);
