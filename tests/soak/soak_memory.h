// The process's heap as the soak sees it: bytes in use now, and a leak check on
// demand. Under AddressSanitizer both come from its runtime (glibc's figures
// would stay still whatever happens, as its allocator is then out of use);
// otherwise the heap figure is glibc's (all arenas, mapped blocks included)
// and there is no leak check.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <cstddef>
#include <sanitizer/lsan_interface.h>

// Part of the sanitizer runtime's allocator interface; GCC ships no header for it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();

inline long long liveHeapBytes()
{
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
}

// LeakSanitizer's check, now rather than at exit; it ends the process with
// its exit code if anything is lost, and the check at exit is then skipped.
inline void checkLeaksNow()
{
    __lsan_do_leak_check();
}
#else
#include <malloc.h>

inline long long liveHeapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

inline void checkLeaksNow() {}
#endif
