// Replaces the allocator's entry points and the blocking pthread calls in this test program. The
// allocator is forwarded to the C library's own (its __libc_* names, which need no lookup), the pthread
// calls to the next definition found after this program; the condition-variable calls by their
// current symbol version, since an unversioned lookup may find the old compatibility one.
#include "rt/blocking_calls.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* __libc_memalign(size_t, size_t);
void* __libc_valloc(size_t);
void* __libc_pvalloc(size_t);
}

namespace vx::test {
namespace {

thread_local bool counting = false;

std::atomic<std::uint64_t> counts[kBlockingCallKinds] = {};

inline void count(BlockingCall kind) {
    if (counting) counts[kind].fetch_add(1, std::memory_order_relaxed);
}

// The definition after ours, looked up on first use (the lookup itself may allocate, which is fine) and
// kept in `slot`: no function-local static, whose guard could itself wait.
template <typename F>
F next(std::atomic<void*>& slot, const char* name, const char* version = nullptr) {
    void* f = slot.load(std::memory_order_acquire);
    if (!f) {
        f = version ? dlvsym(RTLD_NEXT, name, version) : dlsym(RTLD_NEXT, name);
        if (!f) std::abort();
        slot.store(f, std::memory_order_release);
    }
    return reinterpret_cast<F>(f);
}

std::atomic<void*> realMutexLock{nullptr}, realMutexTrylock{nullptr}, realMutexTimedlock{nullptr},
    realMutexClocklock{nullptr}, realCondWait{nullptr}, realCondTimedwait{nullptr},
    realCondClockwait{nullptr};

bool validAlignment(size_t alignment) {
    return alignment >= sizeof(void*) && (alignment & (alignment - 1)) == 0;
}

}  // namespace

void countBlockingCalls(bool on) {
    counting = on;
}

BlockingCalls blockingCallsSoFar() {
    BlockingCalls c;
    for (int k = 0; k < kBlockingCallKinds; ++k) c.count[k] = counts[k].load();
    return c;
}

std::uint64_t BlockingCalls::total() const {
    std::uint64_t sum = 0;
    for (std::uint64_t n : count) sum += n;
    return sum;
}

BlockingCalls BlockingCalls::since(const BlockingCalls& before) const {
    BlockingCalls d;
    for (int k = 0; k < kBlockingCallKinds; ++k) d.count[k] = count[k] - before.count[k];
    return d;
}

std::string BlockingCalls::text() const {
    static const char* const names[kBlockingCallKinds] = {
        "malloc",      "calloc",         "realloc",        "free", "aligned allocations",
        "mutex locks", "mutex trylocks", "condition waits"};
    std::string t;
    for (int k = 0; k < kBlockingCallKinds; ++k)
        t += (k ? ", " : "") + std::string(names[k]) + " " + std::to_string(count[k]);
    return t;
}

}  // namespace vx::test

using vx::test::count;

extern "C" {

void* malloc(size_t n) noexcept {
    count(vx::test::kMalloc);
    return __libc_malloc(n);
}
void* calloc(size_t n, size_t size) noexcept {
    count(vx::test::kCalloc);
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t n) noexcept {
    count(vx::test::kRealloc);
    return __libc_realloc(p, n);
}
void* reallocarray(void* p, size_t n, size_t size) noexcept {
    size_t bytes = 0;
    if (__builtin_mul_overflow(n, size, &bytes)) {
        errno = ENOMEM;
        return nullptr;
    }
    return realloc(p, bytes);
}
void free(void* p) noexcept {
    count(vx::test::kFree);
    __libc_free(p);
}
void* memalign(size_t alignment, size_t n) noexcept {
    count(vx::test::kAligned);
    return __libc_memalign(alignment, n);
}
void* aligned_alloc(size_t alignment, size_t n) noexcept {
    return memalign(alignment, n);
}
int posix_memalign(void** out, size_t alignment, size_t n) noexcept {
    if (!vx::test::validAlignment(alignment)) return EINVAL;
    void* p = memalign(alignment, n);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
void* valloc(size_t n) noexcept {
    count(vx::test::kAligned);
    return __libc_valloc(n);
}
void* pvalloc(size_t n) noexcept {
    count(vx::test::kAligned);
    return __libc_pvalloc(n);
}

using MutexFn = int (*)(pthread_mutex_t*);
using MutexUntilFn = int (*)(pthread_mutex_t*, const timespec*);
using MutexClockFn = int (*)(pthread_mutex_t*, clockid_t, const timespec*);
using CondFn = int (*)(pthread_cond_t*, pthread_mutex_t*);
using CondUntilFn = int (*)(pthread_cond_t*, pthread_mutex_t*, const timespec*);
using CondClockFn = int (*)(pthread_cond_t*, pthread_mutex_t*, clockid_t, const timespec*);
using vx::test::next;

int pthread_mutex_lock(pthread_mutex_t* m) noexcept {
    count(vx::test::kMutexLock);
    return next<MutexFn>(vx::test::realMutexLock, "pthread_mutex_lock")(m);
}
int pthread_mutex_trylock(pthread_mutex_t* m) noexcept {
    count(vx::test::kMutexTrylock);
    return next<MutexFn>(vx::test::realMutexTrylock, "pthread_mutex_trylock")(m);
}
int pthread_mutex_timedlock(pthread_mutex_t* m, const timespec* until) noexcept {
    count(vx::test::kMutexLock);
    return next<MutexUntilFn>(vx::test::realMutexTimedlock, "pthread_mutex_timedlock")(m, until);
}
int pthread_mutex_clocklock(pthread_mutex_t* m, clockid_t clock, const timespec* until) noexcept {
    count(vx::test::kMutexLock);
    return next<MutexClockFn>(vx::test::realMutexClocklock, "pthread_mutex_clocklock")(m, clock, until);
}
int pthread_cond_wait(pthread_cond_t* c, pthread_mutex_t* m) {
    count(vx::test::kCondWait);
    return next<CondFn>(vx::test::realCondWait, "pthread_cond_wait", "GLIBC_2.3.2")(c, m);
}
int pthread_cond_timedwait(pthread_cond_t* c, pthread_mutex_t* m, const timespec* until) {
    count(vx::test::kCondWait);
    return next<CondUntilFn>(vx::test::realCondTimedwait, "pthread_cond_timedwait", "GLIBC_2.3.2")(c, m,
                                                                                                   until);
}
int pthread_cond_clockwait(pthread_cond_t* c, pthread_mutex_t* m, clockid_t clock, const timespec* until) {
    count(vx::test::kCondWait);
    return next<CondClockFn>(vx::test::realCondClockwait, "pthread_cond_clockwait")(c, m, clock, until);
}

}  // extern "C"
