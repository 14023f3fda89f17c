// The audio callback never allocates, frees, locks or waits (the headphones' outputs' callbacks neither:
// channels 3-4, and a second device fed across clocks). On the output's real thread, while the
// window thread does what a DJ does (opens and frees songs, seeks, loops, changes equaliser, volume and
// key lock, pauses and resumes), every such call made inside the callback is counted: none may be seen. A
// stream freed while it plays is handed back to the window thread and destroyed there.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <ostream>
#include <thread>

#include "audio/callback_observer.h"
#include "audio/engine.h"
#include "audio/frame_ring.h"
#include "audio/portaudio_output.h"
#include "rt/blocking_calls.h"
#include "support/signal.h"

namespace vx {
namespace {

using namespace vx::test;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 44100;
constexpr auto kPlayTime = std::chrono::seconds(3);

class CountingObserver : public audio::CallbackObserver {
  public:
    void entered() override {
        callbacks.fetch_add(1, std::memory_order_relaxed);
        countBlockingCalls(true);
    }
    void left() override { countBlockingCalls(false); }
    std::atomic<std::uint64_t> callbacks{0};
};

// The counting itself: an allocation, a lock or a wait on a counting thread is seen, by its kind.
TEST(BlockingCallCount, SeesEveryKindOnACountingThreadOnly) {
    std::mutex m, other;
    std::condition_variable cv;
    const auto exercise = [&] {
        void* volatile p = std::malloc(16);
        p = std::realloc(p, 64);
        std::free(p);
        void* volatile c = std::calloc(4, 4);
        std::free(c);
        void* q = nullptr;
        EXPECT_EQ(posix_memalign(&q, 64, 64), 0);
        std::free(q);
        delete new std::string(100, 'x');
        if (other.try_lock()) other.unlock();
        std::unique_lock lock(m);
        cv.wait_for(lock, std::chrono::microseconds(1));
    };
    const BlockingCalls before = blockingCallsSoFar();
    exercise();
    EXPECT_EQ(blockingCallsSoFar().since(before).total(), 0u) << "counted on a thread that does not count";
    countBlockingCalls(true);
    exercise();
    countBlockingCalls(false);
    const BlockingCalls seen = blockingCallsSoFar().since(before);
    EXPECT_GE(seen[kMalloc], 2u);  // malloc, and operator new twice
    EXPECT_GE(seen[kFree], 4u);
    for (BlockingCall once : {kRealloc, kCalloc, kAligned, kMutexLock, kMutexTrylock, kCondWait})
        EXPECT_EQ(seen[once], 1u) << seen.text();
}

// One round of a DJ's hands on deck `h` (round n of the session); answers the deck's handle afterwards,
// a new one when the round swapped its song.
audio::Handle touchDeck(audio::Engine& e, audio::Handle h, int n) {
    static const char* const kSongs[] = {"noise_44k.wav", "sine1k_cbr.mp3", "sine100_44k.wav"};
    const std::int64_t length = e.length(h);
    switch (n % 9) {
        case 0:
            e.setPosition(h, (length / 4 * (n % 7) / 8) * 4);
            break;
        case 1:
            e.setLoop(h, 4000 * 4, 9000 * 4);
            break;
        case 2:
            while (e.eqSet(h)) {
            }
            break;
        case 3: {
            audio::EqBandParams p;
            p.band = 1;
            p.gain = (n % 2) ? 12.0f : -12.0f;
            e.eqSetParameters(h, p);
            e.eqReset(h);
            break;
        }
        case 4:
            e.setAttributes(h, 38000 + 1000 * (n % 13), 40 + n % 60, n % 200 - 100);
            e.setKeyLock(h, n % 4 == 0);  // the stretcher restarts and sounds out on the audio thread
            break;
        case 5:
            e.pause(h);
            break;
        case 6:
            e.resume(h);
            e.setLoop(h, 0, 0);
            break;
        case 7:
            e.eqRemove(h);
            break;
        case 8: {
            // The song is swapped while it plays: freed at once, then a new one opened and started.
            e.freeStream(h);
            h = e.createStream(audio::Family::Plain, fixture(kSongs[n % 3]), audio::kExactSeek);
            e.play(h);
            break;
        }
    }
    return h;
}

struct OutputCase {
    const char* name;
    bool jack;  // PortAudio's JACK output; else device 0, the silent real-time output
    audio::PhonesRoute::Kind phones = audio::PhonesRoute::Kind::Split;  // a second device: the JACK one again
};

void PrintTo(const OutputCase& c, std::ostream* os) {
    *os << c.name;
}

class CallbackDiscipline : public ::testing::TestWithParam<OutputCase> {};

TEST_P(CallbackDiscipline, NoAllocationLockOrWaitWhileADjPlays) {
    int device = audio::kNoSoundDevice;
    audio::PhonesRoute phones{GetParam().phones, {}};
    if (GetParam().jack) {
        if (!std::getenv("VX_JACK_SERVER")) {
            GTEST_SKIP() << "no JACK server for this run (scripts/with-jack.sh starts one)";
        }
        const auto devices = audio::PortAudioSystem().outputDevices();
        device = audio::firstDeviceOf(devices, audio::HostApi::Jack);
        ASSERT_GT(device, 0) << "PortAudio lists no JACK device although the server runs";
        if (phones.kind == audio::PhonesRoute::Kind::Device) phones.device = devices[device - 1].name;
    }
    CountingObserver observer;
    audio::Engine e{audio::EngineOptions{}};
    e.setCallbackObserver(&observer);
    e.setHeadphones(phones);
    ASSERT_TRUE(e.init(device, kRate)) << "error " << e.lastError();
    ASSERT_EQ(e.headphonesOwnOutput(), phones.ownOutput());
    ASSERT_TRUE(e.start());
    // A recording taps the output all along; nobody drains it, so it fills and then drops.
    audio::FrameRing ring(1 << 14);
    ASSERT_TRUE(e.setOutputTap(&ring));
    const BlockingCalls before = blockingCallsSoFar();

    audio::Handle decks[2] = {
        e.createStream(audio::Family::Plain, fixture("noise_44k.wav"), audio::kExactSeek),
        e.createStream(audio::Family::Plain, fixture("sine1k_cbr.mp3"), audio::kExactSeek)};
    for (audio::Handle h : decks) {
        ASSERT_NE(h, 0u);
        e.play(h);
    }
    std::uint32_t loudest = 0;
    int round = 0;
    for (const auto until = Clock::now() + kPlayTime; Clock::now() < until; ++round) {
        audio::Handle& h = decks[round % 2];
        h = touchDeck(e, h, round / 2);
        e.setHeadphoneStream(decks[round % 3 == 0 ? 0 : 1], round % 101);  // the DJ flips the monitor
        ASSERT_NE(h, 0u) << "round " << round;
        loudest = std::max(loudest, e.level(decks[0]) | e.level(decks[1]));
        std::this_thread::sleep_for(std::chrono::milliseconds(7));
    }
    for (audio::Handle h : decks) e.freeStream(h);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the removals reach the audio thread
    const BlockingCalls calls = blockingCallsSoFar().since(before);
    const std::uint64_t callbacks = observer.callbacks.load();
    e.setOutputTap(nullptr);
    e.shutdown();
    EXPECT_GT(ring.framesDropped(), 0u);

    EXPECT_EQ(calls.total(), 0u) << "the audio callback made blocking calls: " << calls.text();
    const double seconds = std::chrono::duration<double>(kPlayTime).count();
    EXPECT_GT(callbacks, static_cast<std::uint64_t>(seconds * kRate / audio::kDeviceBlockFrames / 2))
        << "the output hardly ran";
    EXPECT_GT(loudest, 0u) << "no deck was ever heard: the voices were not rendered";
    EXPECT_GT(round, 200) << "the window thread did too little meanwhile";
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, CallbackDiscipline,
    ::testing::Values(OutputCase{"NoSound", false}, OutputCase{"Jack", true},
                      OutputCase{"JackChannels34", true, audio::PhonesRoute::Kind::Channels34},
                      OutputCase{"JackSecondDevice", true, audio::PhonesRoute::Kind::Device}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vx
