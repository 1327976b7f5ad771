// The program's own start-up inside a benchmark process, and what the figures
// need around it: one real frame, clocks, medians and a description of the
// machine the figures were taken on.
#pragma once

#include <string>
#include <vector>

// The window size the program starts with; the figures are taken at it.
constexpr int BENCH_WINDOW_WIDTH = 1280;  // pixels
constexpr int BENCH_WINDOW_HEIGHT = 720;  // pixels

// Camera, scene and initGraphics as main() does them, on $DISPLAY; returns
// once the window is shown and its first reshape has set the viewport to the
// start size. False if that does not happen within a bounded wait.
bool startProgram(const char* programName);

// One frame as the running program shows it, finished: renderFrame, the
// buffer swap of onDisplay, then glFinish so that the frame's cost is all in.
void realFrame();

// Wall-clock seconds (monotonic), the process's CPU seconds (every thread,
// Mesa's rasterizer threads included) and this thread's CPU seconds.
double wallSeconds();
double processCpuSeconds();
double threadCpuSeconds();

double median(std::vector<double> values);
double mean(const std::vector<double>& values);

// CPU model, core count and the GL renderer and version strings, one per line.
std::string machineDescription();
