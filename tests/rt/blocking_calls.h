#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vx::test {

// Every call into the allocator or a blocking pthread primitive that a thread makes while it has switched
// counting on. This test program replaces those functions with counting ones that forward to the C
// library's own, so calls made from inside other libraries are seen as well (the C library's calls to
// itself are not: they never leave it).
enum BlockingCall {
    kMalloc,        // malloc, and operator new through it
    kCalloc,        //
    kRealloc,       // realloc, reallocarray
    kFree,          // free, and operator delete through it
    kAligned,       // posix_memalign, aligned_alloc, memalign, valloc, pvalloc
    kMutexLock,     // pthread_mutex_lock, _timedlock, _clocklock
    kMutexTrylock,  // pthread_mutex_trylock
    kCondWait,      // pthread_cond_wait, _timedwait, _clockwait
    kBlockingCallKinds
};

struct BlockingCalls {
    std::array<std::uint64_t, kBlockingCallKinds> count{};

    std::uint64_t operator[](BlockingCall kind) const { return count[kind]; }
    std::uint64_t total() const;
    BlockingCalls since(const BlockingCalls& before) const;
    std::string text() const;  // every count by name
};

// This thread's calls are counted from now on (true) or no longer (false). Lock- and allocation-free.
void countBlockingCalls(bool on);
// The sum over every thread so far.
BlockingCalls blockingCallsSoFar();

}  // namespace vx::test
