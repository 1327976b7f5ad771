// Sleeping.
#include "platform/platform.h"

#include <chrono>
#include <thread>

void sleepMilliseconds(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
