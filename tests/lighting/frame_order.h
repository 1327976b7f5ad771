// What one drawn frame of the program must look like as a sequence of GL
// calls: clear, projection, view, light positions, axes and grid, boxes,
// ground, tank, torus, swap.
#pragma once

#include "tests/lighting/trace_reader.h"

#include <array>
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

// The first call of a frame that breaks the order, with why.
struct FrameMismatch : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The free view the frame is drawn from.
struct FrameView {
    double aspect;
    std::array<double, 3> eye;
    std::array<double, 3> centre;
};

// [first, last] call indices of every complete frame: from the frame's
// glClear to its glXSwapBuffers. Other glX calls are not part of frames.
std::vector<std::pair<std::size_t, std::size_t>> completeFrames(const std::vector<TraceCall>& calls);

// Check the start-up set-up of the lights, before the first frame: given
// under the identity model-view, light 0 its colours and position only, the
// spotlights all ten parameters, in order. Throws FrameMismatch.
void checkStartUpLights(const std::vector<TraceCall>& calls);

// Check one frame call by call; returns the angle the torus was turned by.
// Throws FrameMismatch at the first call out of place.
double checkFrame(const std::vector<TraceCall>& calls, std::pair<std::size_t, std::size_t> frame,
                  const FrameView& view);
