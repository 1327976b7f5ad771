// quorvale_bench: the cost of the program's frame and the rate of its loop,
// on the GL of this machine, in the program's start-size window.
//
//   quorvale_bench frames N   time N real frames after a warm-up (figure 1);
//                             run under `apitrace trace`, the same frames are
//                             captured for a bare replay (figure 2)
//   quorvale_bench ticks S    run the real event loop, tick and frame
//                             callbacks as registered at start-up, for S
//                             seconds after a warm-up (figure 4)
//
// Results are printed as name=value lines, after the machine's description.
#include "app/app.h"
#include "bench/bench_program.h"
#include "platform/gl.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int WARM_UP_FRAMES = 100;     // shaders compiled, caches filled
constexpr double WARM_UP_S = 2.0;       // before the loop's counts start
constexpr double MILLISECONDS = 1000.0;
constexpr double TICK_SLEEP_MS = 10.0;  // the sleep at the start of every tick

int timeFrames(int count)
{
    for (int i = 0; i < WARM_UP_FRAMES; ++i)
        realFrame();
    std::vector<double> wall;
    std::vector<double> cpu;
    std::vector<double> threadCpu;
    for (int i = 0; i < count; ++i) {
        const double wall0 = wallSeconds();
        const double cpu0 = processCpuSeconds();
        const double thread0 = threadCpuSeconds();
        realFrame();
        threadCpu.push_back(threadCpuSeconds() - thread0);
        cpu.push_back(processCpuSeconds() - cpu0);
        wall.push_back(wallSeconds() - wall0);
    }
    std::printf("frames=%d\n", count);
    std::printf("frame_wall_median_ms=%.3f\n", median(wall) * MILLISECONDS);
    std::printf("frame_wall_mean_ms=%.3f\n", mean(wall) * MILLISECONDS);
    std::printf("frame_cpu_median_ms=%.3f\n", median(cpu) * MILLISECONDS);
    std::printf("frame_main_thread_cpu_median_ms=%.3f\n", median(threadCpu) * MILLISECONDS);
    return 0;
}

// Counts kept by the callbacks wrapped around the program's own.
struct LoopCounts {
    long ticks = 0;
    long frames = 0;
    double frameSeconds = 0.0;
    double tickSeconds = 0.0;
    double at = 0.0;
};
LoopCounts loop;
LoopCounts loopAtStart;
LoopCounts loopAtEnd;

void countedIdle()
{
    const double start = wallSeconds();
    onIdle();
    loop.tickSeconds += wallSeconds() - start;
    ++loop.ticks;
}

void countedDisplay()
{
    const double start = wallSeconds();
    onDisplay();
    loop.frameSeconds += wallSeconds() - start;
    ++loop.frames;
}

void startCounting(int)
{
    loop.at = wallSeconds();
    loopAtStart = loop;
}

void stopCounting(int)
{
    loop.at = wallSeconds();
    loopAtEnd = loop;
    glutLeaveMainLoop();
}

int runLoop(double seconds)
{
    glutIdleFunc(countedIdle);
    glutDisplayFunc(countedDisplay);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutTimerFunc(static_cast<unsigned>(WARM_UP_S * MILLISECONDS), startCounting, 0);
    glutTimerFunc(static_cast<unsigned>((WARM_UP_S + seconds) * MILLISECONDS), stopCounting, 0);
    glutMainLoop();
    const double elapsed = loopAtEnd.at - loopAtStart.at;
    const auto ticks = static_cast<double>(loopAtEnd.ticks - loopAtStart.ticks);
    const auto frames = static_cast<double>(loopAtEnd.frames - loopAtStart.frames);
    if (elapsed <= 0.0 || ticks < 1 || frames < 1) {
        std::fprintf(stderr, "the loop did not run\n");
        return 1;
    }
    const double frameMs = (loopAtEnd.frameSeconds - loopAtStart.frameSeconds) / frames * MILLISECONDS;
    const double tickMs = (loopAtEnd.tickSeconds - loopAtStart.tickSeconds) / ticks * MILLISECONDS;
    const double expected = MILLISECONDS / (TICK_SLEEP_MS + frameMs);
    const double rate = ticks / elapsed;
    std::printf("loop_seconds=%.2f\n", elapsed);
    std::printf("loop_ticks_per_s=%.2f\n", rate);
    std::printf("loop_frames_per_s=%.2f\n", frames / elapsed);
    std::printf("loop_frame_mean_ms=%.3f\n", frameMs);
    std::printf("loop_tick_mean_ms=%.3f\n", tickMs);
    std::printf("loop_expected_ticks_per_s=%.2f\n", expected);
    std::printf("loop_deviation_percent=%.2f\n", (rate - expected) / expected * 100.0);
    // With the tick as it really took (its sleep overshoots on a busy machine).
    std::printf("loop_accounted_ticks_per_s=%.2f\n", MILLISECONDS / (tickMs + frameMs));
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: quorvale_bench frames N | ticks SECONDS\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return usage();
    const std::string mode = argv[1];
    const double amount = std::atof(argv[2]);
    if (amount <= 0 || (mode != "frames" && mode != "ticks"))
        return usage();
    if (!startProgram(argv[0])) {
        std::fprintf(stderr, "the window did not come up at %dx%d\n", BENCH_WINDOW_WIDTH,
                     BENCH_WINDOW_HEIGHT);
        return 1;
    }
    std::printf("%s", machineDescription().c_str());
    std::printf("window=%dx%d\n", BENCH_WINDOW_WIDTH, BENCH_WINDOW_HEIGHT);
    std::fflush(stdout);
    const int result = mode == "frames" ? timeFrames(static_cast<int>(amount)) : runLoop(amount);
    std::fflush(stdout);
    return result;
}
