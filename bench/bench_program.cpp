#include "bench/bench_program.h"

#include "app/app.h"
#include "app/scene.h"
#include "camera/camera.h"
#include "platform/gl.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <numeric>
#include <thread>

namespace {

constexpr double START_TIMEOUT_S = 30.0;
constexpr int START_POLL_MS = 10;

double clockSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool viewportAtStartSize()
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    return viewport[2] == BENCH_WINDOW_WIDTH && viewport[3] == BENCH_WINDOW_HEIGHT &&
           glutGet(GLUT_WINDOW_WIDTH) == BENCH_WINDOW_WIDTH;
}

std::string cpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) {
            const std::size_t colon = line.find(':');
            if (colon != std::string::npos)
                return line.substr(colon + 2);
        }
    }
    return "unknown";
}

std::string glString(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text == nullptr ? "unknown" : reinterpret_cast<const char*>(text);
}

} // namespace

bool startProgram(const char* programName)
{
    static char name[64] = {};
    std::snprintf(name, sizeof name, "%s", programName);
    static char* argv[] = {name, nullptr};
    static int argc = 1;
    theCamera = makeCamera();
    theScene = makeScene();
    initGraphics(&argc, argv);
    // The figures are for this size, whatever the desktop's scale makes the window.
    glutReshapeWindow(BENCH_WINDOW_WIDTH, BENCH_WINDOW_HEIGHT);
    cameraLocked = 0;
    mouseCameraMode = 0;
    const double deadline = wallSeconds() + START_TIMEOUT_S;
    while (wallSeconds() < deadline) {
        glutMainLoopEvent();
        if (viewportAtStartSize())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(START_POLL_MS));
    }
    return false;
}

void realFrame()
{
    renderFrame();
    glutSwapBuffers();
    glFinish();
}

double wallSeconds() { return clockSeconds(CLOCK_MONOTONIC); }
double processCpuSeconds() { return clockSeconds(CLOCK_PROCESS_CPUTIME_ID); }
double threadCpuSeconds() { return clockSeconds(CLOCK_THREAD_CPUTIME_ID); }

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<long>(middle), values.end());
    const double upper = values[middle];
    if (values.size() % 2 == 1)
        return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + static_cast<long>(middle));
    return (lower + upper) / 2;
}

double mean(const std::vector<double>& values)
{
    if (values.empty())
        return 0.0;
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

std::string machineDescription()
{
    return "CPU: " + cpuModel() + "\n" +
           "Cores: " + std::to_string(std::thread::hardware_concurrency()) + "\n" +
           "GL renderer: " + glString(GL_RENDERER) + "\n" +
           "GL version: " + glString(GL_VERSION) + "\n";
}
