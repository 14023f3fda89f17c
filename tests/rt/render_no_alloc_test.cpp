// The render path must never allocate or free: this program counts every allocation made by the
// rendering thread while it renders, with seeks, loops, equaliser and volume changes in between.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "audio/frame_ring.h"
#include "audio/offline_engine.h"

namespace {

thread_local bool counting = false;
std::atomic<int> allocations{0};

void* allocate(std::size_t n) {
    if (counting) allocations.fetch_add(1);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) {
    return allocate(n);
}
void* operator new[](std::size_t n) {
    return allocate(n);
}
void operator delete(void* p) noexcept {
    if (counting && p) allocations.fetch_add(1);
    std::free(p);
}
void operator delete[](void* p) noexcept {
    if (counting && p) allocations.fetch_add(1);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete[](p);
}

using namespace vx;
using namespace vx::test;

TEST(RealTime, RenderingNeitherAllocatesNorFrees) {
    OfflineEngine e;
    const audio::Handle a = e.open("noise_44k.wav");
    const audio::Handle b = e.open("sine1k_cbr.mp3");
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    for (int i = 0; i < 3; ++i) e.engine.eqSet(a);
    e.engine.setAttributes(b, 47000, 80, -30);
    e.engine.play(a);
    e.engine.play(b);
    Stereo block(2 * 256);
    const auto renderCounted = [&](int blocks) {
        for (int i = 0; i < blocks; ++i) {
            counting = true;
            e.engine.render(block.data(), 256);
            counting = false;
        }
    };
    renderCounted(20);
    // A recording taps the output from here on; nobody drains it, so it fills and then drops.
    audio::FrameRing ring(1 << 14);
    e.engine.setOutputTap(&ring);
    audio::EqBandParams p;
    p.band = 1;
    p.gain = 9;
    e.engine.eqSetParameters(a, p);
    e.engine.eqReset(a);
    e.engine.setPosition(a, 40000 * 4);
    renderCounted(20);
    e.engine.setLoop(b, 1000 * 4, 5000 * 4);
    e.engine.setAttributes(a, 30000, 20, 100);
    e.engine.pause(b);
    renderCounted(20);
    e.engine.resume(b);
    e.engine.eqRemove(a);
    renderCounted(200);
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_GT(ring.framesDropped(), 0u);
    e.engine.setOutputTap(nullptr);
}
