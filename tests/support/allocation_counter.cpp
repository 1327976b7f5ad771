#include "tests/support/allocation_counter.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <execinfo.h>
#include <link.h>

// glibc's own allocator, under the names it exports for code that stands in
// for malloc.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

namespace {

constexpr int MAX_STACK = 32;
// Stack entries taken by noteAllocation and the stand-in that called it.
constexpr int COUNTER_FRAMES = 2;
constexpr int PROGRAM_MODULE = 0;
constexpr int UNKNOWN_MODULE = 1;
constexpr int FIRST_LIBRARY_MODULE = 2;
constexpr std::size_t MAX_NAME = 128;

struct CodeRange {
    std::uintptr_t start;
    std::uintptr_t end;
    int module;
};
constexpr int MAX_RANGES = 4 * MAX_COUNTED_MODULES;

// Filled by mapLoadedModules before counting starts; only read afterwards.
char moduleNames[MAX_COUNTED_MODULES][MAX_NAME];
bool moduleIsRuntime[MAX_COUNTED_MODULES];
int moduleCount = FIRST_LIBRARY_MODULE;
CodeRange ranges[MAX_RANGES];
int rangeCount = 0;

constexpr int NOT_COUNTING = -1;
std::atomic<int> currentTally{NOT_COUNTING};
std::atomic<unsigned long long> counts[ALLOCATION_TALLIES][MAX_COUNTED_MODULES];
thread_local bool insideCounter = false;

// The C and C++ runtime only pass requests on: the allocation is put down to
// whoever called them.
bool isRuntime(const char* path)
{
    static const char* const runtimes[] = {"/libc.so", "/libstdc++.so", "/libgcc_s.so",
                                           "/ld-linux", "/libm.so"};
    for (const char* runtime : runtimes)
        if (std::strstr(path, runtime) != nullptr)
            return true;
    return false;
}

int addModule(const char* path)
{
    if (moduleCount == MAX_COUNTED_MODULES)
        return UNKNOWN_MODULE;
    const char* slash = std::strrchr(path, '/');
    std::strncpy(moduleNames[moduleCount], slash != nullptr ? slash + 1 : path, MAX_NAME - 1);
    moduleIsRuntime[moduleCount] = isRuntime(path);
    return moduleCount++;
}

int addLoadedModule(dl_phdr_info* info, std::size_t, void*)
{
    // The executable comes first, with an empty name.
    const bool program = info->dlpi_name == nullptr || info->dlpi_name[0] == '\0';
    const int module = program ? PROGRAM_MODULE : addModule(info->dlpi_name);
    for (int i = 0; i < info->dlpi_phnum && rangeCount < MAX_RANGES; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || (header.p_flags & PF_X) == 0)
            continue;
        const std::uintptr_t start = info->dlpi_addr + header.p_vaddr;
        ranges[rangeCount++] = {start, start + header.p_memsz, module};
    }
    return 0;
}

int moduleOf(void* address)
{
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    for (int i = 0; i < rangeCount; ++i)
        if (at >= ranges[i].start && at < ranges[i].end)
            return ranges[i].module;
    return UNKNOWN_MODULE;
}

__attribute__((noinline)) void noteAllocation()
{
    const int tally = currentTally.load(std::memory_order_relaxed);
    if (tally == NOT_COUNTING || insideCounter)
        return;
    insideCounter = true;
    void* stack[MAX_STACK];
    const int depth = backtrace(stack, MAX_STACK);
    int module = UNKNOWN_MODULE;
    for (int i = COUNTER_FRAMES; i < depth; ++i) {
        const int candidate = moduleOf(stack[i]);
        if (candidate >= FIRST_LIBRARY_MODULE && moduleIsRuntime[candidate])
            continue;
        module = candidate;
        break;
    }
    counts[tally][module].fetch_add(1, std::memory_order_relaxed);
    insideCounter = false;
}

} // namespace

extern "C" {

__attribute__((noinline)) void* malloc(std::size_t size)
{
    noteAllocation();
    return __libc_malloc(size);
}

__attribute__((noinline)) void* calloc(std::size_t count, std::size_t size)
{
    noteAllocation();
    return __libc_calloc(count, size);
}

__attribute__((noinline)) void* realloc(void* block, std::size_t size)
{
    noteAllocation();
    return __libc_realloc(block, size);
}

__attribute__((noinline)) void* memalign(std::size_t alignment, std::size_t size)
{
    noteAllocation();
    return __libc_memalign(alignment, size);
}

__attribute__((noinline)) void* aligned_alloc(std::size_t alignment, std::size_t size)
{
    noteAllocation();
    return __libc_memalign(alignment, size);
}

__attribute__((noinline)) int posix_memalign(void** block, std::size_t alignment, std::size_t size)
{
    noteAllocation();
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    void* result = __libc_memalign(alignment, size);
    if (result == nullptr)
        return ENOMEM;
    *block = result;
    return 0;
}

} // extern "C"

void mapLoadedModules()
{
    std::strncpy(moduleNames[PROGRAM_MODULE], "program", MAX_NAME - 1);
    std::strncpy(moduleNames[UNKNOWN_MODULE], "unknown", MAX_NAME - 1);
    moduleCount = FIRST_LIBRARY_MODULE;
    rangeCount = 0;
    dl_iterate_phdr(addLoadedModule, nullptr);
    // The first backtrace loads the unwinder, which allocates: do it now.
    void* stack[MAX_STACK];
    backtrace(stack, MAX_STACK);
}

void startCountingAllocations(int tally)
{
    if (tally >= 0 && tally < ALLOCATION_TALLIES)
        currentTally.store(tally);
}

void stopCountingAllocations() { currentTally.store(NOT_COUNTING); }

std::vector<ModuleCount> allocationCounts(int tally)
{
    std::vector<ModuleCount> result;
    if (tally < 0 || tally >= ALLOCATION_TALLIES)
        return result;
    for (int module = 0; module < moduleCount; ++module) {
        const unsigned long long count = counts[tally][module].load();
        if (count != 0)
            result.push_back({moduleNames[module], count});
    }
    return result;
}
