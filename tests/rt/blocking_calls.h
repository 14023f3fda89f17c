#pragma once

#include <cstdint>
#include <string>

namespace vx::test {

// Every call into the allocator or a blocking pthread primitive that a thread makes while it has switched
// counting on. This test program replaces those functions with counting ones that forward to the C
// library's own, so calls made from inside other libraries are seen as well (the C library's calls to
// itself are not: they never leave it).
struct BlockingCalls {
    std::uint64_t malloc = 0;  // malloc, and operator new through it
    std::uint64_t calloc = 0;
    std::uint64_t realloc = 0;       // realloc, reallocarray
    std::uint64_t free = 0;          // free, and operator delete through it
    std::uint64_t aligned = 0;       // posix_memalign, aligned_alloc, memalign, valloc, pvalloc
    std::uint64_t mutexLock = 0;     // pthread_mutex_lock, _timedlock, _clocklock
    std::uint64_t mutexTrylock = 0;  // pthread_mutex_trylock
    std::uint64_t condWait = 0;      // pthread_cond_wait, _timedwait, _clockwait

    std::uint64_t total() const {
        return malloc + calloc + realloc + free + aligned + mutexLock + mutexTrylock + condWait;
    }
    std::string text() const;  // every count by name
};

// This thread's calls are counted from now on (true) or no longer (false). Lock- and allocation-free.
void countBlockingCalls(bool on);
// The sum over every thread so far.
BlockingCalls blockingCallsSoFar();

}  // namespace vx::test
