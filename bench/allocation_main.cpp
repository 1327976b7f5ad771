// quorvale_alloc_count N: heap allocations per frame and per tick. Counts
// every allocation made while renderFrame runs (N frames, half in the free
// view, half in the chase view), while the buffer swap that shows the frame
// runs, and while onIdle runs (N ticks with keys held, half in each camera
// mode), each put down to the library that asked for it. Prints name=value
// lines: totals per frame and per tick, the program's own share, and the
// share of each library.
#include "app/app.h"
#include "app/scene.h"
#include "tests/support/allocation_counter.h"
#include "bench/bench_program.h"
#include "platform/gl.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int WARM_UP_FRAMES = 100;
constexpr int DRAWING = 0;   // tally of renderFrame
constexpr int SHOWING = 1;   // tally of the swap and glFinish after it
constexpr int TICKING = 2;   // tally of onIdle
// Keys held during the counted ticks: tank and camera both move every tick.
constexpr int HELD_KEYS[] = {'W', 'A', 'Q', 'R', VK_UP, VK_LEFT, VK_HOME, VK_RSHIFT};

void report(const char* what, int times, int tally)
{
    const std::vector<ModuleCount> counts = allocationCounts(tally);
    unsigned long long total = 0;
    unsigned long long program = 0;
    for (const ModuleCount& count : counts) {
        total += count.allocations;
        if (count.module == "program")
            program = count.allocations;
    }
    const auto per = [times](unsigned long long n) { return static_cast<double>(n) / times; };
    std::printf("alloc_%s_count=%d\n", what, times);
    std::printf("alloc_%s_total_per=%.2f\n", what, per(total));
    std::printf("alloc_%s_program_per=%.2f\n", what, per(program));
    for (const ModuleCount& count : counts)
        std::printf("alloc_%s_by[%s]=%.2f\n", what, count.module.c_str(), per(count.allocations));
}

void setChaseView(bool on)
{
    if ((cameraLocked == 1) != on)
        onMenu(MENU_LOCK_CAMERA);
}

void setMouseCamera(bool on)
{
    if ((mouseCameraMode == 1) != on)
        onMenu(MENU_MOUSE_CAMERA);
}

void countFrames(int frames)
{
    for (int i = 0; i < frames; ++i) {
        setChaseView(i >= frames / 2);
        startCountingAllocations(DRAWING);
        renderFrame();
        stopCountingAllocations();
        startCountingAllocations(SHOWING);
        glutSwapBuffers();
        glFinish();
        stopCountingAllocations();
    }
    setChaseView(false);
}

void countTicks(int ticks)
{
    for (const int key : HELD_KEYS)
        pressKey(key);
    for (int i = 0; i < ticks; ++i) {
        setMouseCamera(i >= ticks / 2);
        startCountingAllocations(TICKING);
        onIdle();
        stopCountingAllocations();
        realFrame();
    }
    setMouseCamera(false);
    releaseAllKeys();
}

} // namespace

int main(int argc, char** argv)
{
    const int times = argc == 2 ? std::atoi(argv[1]) : 0;
    if (times < 2) {
        std::fprintf(stderr, "usage: quorvale_alloc_count N (N >= 2)\n");
        return 2;
    }
    if (!startProgram(argv[0])) {
        std::fprintf(stderr, "the window did not come up\n");
        return 1;
    }
    for (int i = 0; i < WARM_UP_FRAMES; ++i)
        realFrame();
    mapLoadedModules();
    std::printf("%s", machineDescription().c_str());
    countFrames(times);
    countTicks(times);
    report("frame", times, DRAWING);
    report("swap", times, SHOWING);
    report("tick", times, TICKING);
    return 0;
}
