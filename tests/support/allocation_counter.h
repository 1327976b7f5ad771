// Counts heap allocations while switched on, by the library that asked for
// them: the innermost caller on the allocation's stack that is not the C or
// C++ runtime (a `new` in the program's code counts for the program, a
// malloc inside Mesa for Mesa). Works by standing in for malloc, calloc,
// realloc, memalign, aligned_alloc and posix_memalign in this executable
// (operator new comes to malloc); the real work stays with glibc's allocator.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

constexpr int MAX_COUNTED_MODULES = 128;
// Separate tallies, so that different pieces of work can be counted apart.
constexpr int ALLOCATION_TALLIES = 4;

// Which modules are loaded, so that allocations can be put down to them. Call
// with counting off, after everything the counted code uses is loaded.
void mapLoadedModules();

// Count into one tally (0 .. ALLOCATION_TALLIES - 1) until stopped.
void startCountingAllocations(int tally);
void stopCountingAllocations();

struct ModuleCount {
    std::string module;  // file name; "program" for this executable, "unknown" outside any
    unsigned long long allocations = 0;
};

// Allocations counted into a tally, by module (only modules with any).
std::vector<ModuleCount> allocationCounts(int tally);
