// The program's own code allocates nothing on the heap while it runs: not in
// a frame (either view), not in a tick (either camera mode, keys held). GL and
// the toolkit may; only allocations whose innermost caller outside the C and
// C++ runtime is this executable (where the program's code is linked) count.
#include "app/app.h"
#include "app/scene.h"
#include "platform/gl.h"
#include "platform/platform.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/program_test.h"

namespace {

constexpr int COUNTED_TIMES = 200;   // frames, then ticks
constexpr int WARM_UP_FRAMES = 50;   // GL makes what it keeps for later first
constexpr int FRAMES = 0;            // tallies
constexpr int TICKS = 1;
// Keys held during the counted ticks: tank and camera both move every tick.
constexpr int HELD_KEYS[] = {'W', 'A', 'Q', 'R', VK_UP, VK_LEFT, VK_HOME, VK_RSHIFT};

unsigned long long programAllocations(int tally)
{
    for (const ModuleCount& count : allocationCounts(tally))
        if (count.module == "program")
            return count.allocations;
    return 0;
}

// Chase view and mouse camera through the menu, as a user sets them.
void setModes(bool chase, bool mouse)
{
    if ((cameraLocked == 1) != chase)
        onMenu(MENU_LOCK_CAMERA);
    if ((mouseCameraMode == 1) != mouse)
        onMenu(MENU_MOUSE_CAMERA);
}

} // namespace

using AllocationTest = ProgramTest;

TEST_F(AllocationTest, FramesAndTicksMakeNoHeapAllocationInTheProgram)
{
    for (int i = 0; i < WARM_UP_FRAMES; ++i)
        onDisplay();
    glFinish();
    mapLoadedModules();
    for (int i = 0; i < COUNTED_TIMES; ++i) {
        setModes(i >= COUNTED_TIMES / 2, false);
        startCountingAllocations(FRAMES);
        renderFrame();
        stopCountingAllocations();
        glutSwapBuffers();
    }
    for (const int key : HELD_KEYS)
        pressKey(key);
    for (int i = 0; i < COUNTED_TIMES; ++i) {
        setModes(false, i >= COUNTED_TIMES / 2);
        startCountingAllocations(TICKS);
        onIdle();
        stopCountingAllocations();
        onDisplay();
    }
    setModes(false, false);
    releaseAllKeys();
    EXPECT_EQ(programAllocations(FRAMES), 0u) << "in " << COUNTED_TIMES << " frames";
    EXPECT_EQ(programAllocations(TICKS), 0u) << "in " << COUNTED_TIMES << " ticks";
}
