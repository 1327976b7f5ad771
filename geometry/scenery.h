// The fixed world: coordinate axes, the ground grid, four boxes and the ground.
#pragma once

#include "geometry/box.h"

constexpr int SCENERY_BOX_COUNT = 4;

struct Scenery {
    Box* boxes[SCENERY_BOX_COUNT]; // owned; also the drawing order
};

// Create the scenery with its four boxes; the caller owns it.
Scenery* buildScenery();

// Draw axes and grid, the boxes, then the ground, in the current model-view
// frame; leaves the matrix as it found it.
void drawScenery(const Scenery& scenery);

// Draw the three axis lines and the 42 grid lines, white, 1 pixel wide.
void drawAxesAndGrid();
