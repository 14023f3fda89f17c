#include "audio/chunk_pool.h"

#include <sys/mman.h>

#include <mutex>
#include <vector>

namespace vx::audio {

namespace {

struct Pool {
    std::mutex mutex;
    std::vector<std::int16_t*> free;
};

Pool& pool() {
    static Pool* p = new Pool;  // never destroyed: buffers may die during static destruction
    return *p;
}

}  // namespace

std::int16_t* acquireChunk() {
    {
        Pool& p = pool();
        std::lock_guard lock(p.mutex);
        if (!p.free.empty()) {
            std::int16_t* chunk = p.free.back();
            p.free.pop_back();
            return chunk;
        }
    }
    // Fresh memory is made resident in one call rather than by a page fault every 4 KiB.
    void* m =
        mmap(nullptr, kChunkBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return m == MAP_FAILED ? nullptr : static_cast<std::int16_t*>(m);
}

void releaseChunk(std::int16_t* chunk) {
    if (!chunk) return;
    {
        Pool& p = pool();
        std::lock_guard lock(p.mutex);
        if (p.free.size() < kPooledChunksMax) {
            p.free.push_back(chunk);
            return;
        }
    }
    munmap(chunk, kChunkBytes);
}

std::size_t pooledChunks() {
    Pool& p = pool();
    std::lock_guard lock(p.mutex);
    return p.free.size();
}

}  // namespace vx::audio
