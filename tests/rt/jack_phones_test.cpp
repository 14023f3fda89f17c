// Headphones on channels 3-4 of the main device, end to end: the console's mixer steers a real engine
// whose four-channel output plays into a JACK server on its dummy driver (scripts/with-jack.sh starts
// one with four playback ports), and a JACK client of this test listens on all four of Velumix's
// ports. Ports 1-2 must carry the whole mix, ports 3-4 only the deck the monitor buttons choose.
#include <gtest/gtest.h>
#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio/engine.h"
#include "audio/portaudio_output.h"
#include "mixer/mixer_model.h"
#include "services/virtual_ticker.h"
#include "support/signal.h"

namespace vx {
namespace {

using namespace vx::test;

constexpr int kRate = 44100;
constexpr int kPorts = 4;

// One second of what reaches the four ports, taken when asked: written by the JACK thread only.
struct FourPortListener {
    jack_client_t* client = nullptr;
    jack_port_t* in[kPorts] = {};
    std::vector<float> take[kPorts];
    std::atomic<std::size_t> taken{0};  // frames taken of the second asked for; kRate: done
    std::atomic<bool> asked{false};

    static int process(jack_nframes_t n, void* self) {
        auto* me = static_cast<FourPortListener*>(self);
        if (!me->asked.load(std::memory_order_acquire)) return 0;
        const std::size_t at = me->taken.load(std::memory_order_relaxed);
        const std::size_t k = std::min<std::size_t>(n, kRate - at);
        for (int p = 0; p < kPorts; ++p) {
            const auto* x = static_cast<const float*>(jack_port_get_buffer(me->in[p], n));
            std::copy_n(x, k, me->take[p].begin() + static_cast<std::ptrdiff_t>(at));
        }
        if (at + k == kRate) me->asked.store(false, std::memory_order_relaxed);
        me->taken.store(at + k, std::memory_order_release);
        return 0;
    }
    void listen() {
        taken.store(0);
        asked.store(true, std::memory_order_release);
        while (taken.load(std::memory_order_acquire) < kRate) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
};

TEST(JackPhones, ChannelsThreeAndFourCarryOnlyTheMonitoredDeck) {
    const char* server = std::getenv("VX_JACK_SERVER");
    if (!server) GTEST_SKIP() << "no JACK server for this run (scripts/with-jack.sh starts one)";
    FourPortListener listener;
    jack_status_t status{};
    listener.client = jack_client_open("velumix-phones-listener", JackServerName, &status, server);
    ASSERT_NE(listener.client, nullptr);
    for (int p = 0; p < kPorts; ++p) {
        listener.take[p].assign(kRate, 0.0f);
        listener.in[p] = jack_port_register(listener.client, ("in_" + std::to_string(p + 1)).c_str(),
                                            JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    }
    jack_set_process_callback(listener.client, &FourPortListener::process, &listener);
    ASSERT_EQ(jack_activate(listener.client), 0);

    const int device = audio::firstDeviceOf(audio::PortAudioSystem().outputDevices(), audio::HostApi::Jack);
    ASSERT_GT(device, 0) << "PortAudio lists no JACK device although the server runs";
    audio::Engine engine{audio::EngineOptions{}};
    engine.setHeadphones({audio::PhonesRoute::Kind::Channels34, {}});
    ASSERT_TRUE(engine.init(device, kRate)) << "error " << engine.lastError();
    ASSERT_TRUE(engine.headphonesOwnOutput()) << "the JACK device did not open with four channels";
    ASSERT_TRUE(engine.start());

    // Left deck a 1 kHz tone, right deck a 100 Hz tone, both looping, both up in the mix.
    audio::Handle decks[2] = {};
    const char* files[2] = {"sine1k_44k.wav", "sine100_44k.wav"};
    for (int d = 0; d < 2; ++d) {
        decks[d] = engine.createStream(audio::Family::Plain, fixture(files[d]), audio::kExactSeek);
        ASSERT_NE(decks[d], 0u);
        while (!engine.lengthIsFinal(decks[d])) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        engine.setLoop(decks[d], 0, std::int64_t{kRate} * 4);
        engine.play(decks[d]);
    }
    VirtualTicker ticker;
    MixerModel mixer(engine, ticker);
    mixer.setStreamSource([&](int deck) { return decks[deck]; });
    mixer.startUp();
    mixer.setDeckLevel(MixerModel::kLeftDeck, 100);
    mixer.setDeckLevel(MixerModel::kRightDeck, 100);
    mixer.setMonitorLevel(100);

    const char** ports = jack_get_ports(listener.client, "^Velumix:", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    ASSERT_NE(ports, nullptr);
    int connected = 0;
    for (int p = 0; p < kPorts && ports[p]; ++p) {
        connected += jack_connect(listener.client, ports[p], jack_port_name(listener.in[p])) == 0;
    }
    jack_free(ports);
    ASSERT_EQ(connected, kPorts);

    // Each monitor button, then what every port carries of each tone.
    const struct {
        int button;
        double phones1k, phones100;  // expected on ports 3-4: 1 present, 0 absent
    } rows[] = {{1, 0, 1}, {0, 1, 0}, {2, 0, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE("monitor button " + std::to_string(r.button));
        mixer.pressMonitor(r.button);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        listener.listen();
        for (int p = 0; p < kPorts; ++p) {
            const double a1k = goertzelAmplitude(listener.take[p], 1000, kRate);
            const double a100 = goertzelAmplitude(listener.take[p], 100, kRate);
            const bool phones = p >= 2;
            const double want1k = phones ? r.phones1k : 1, want100 = phones ? r.phones100 : 1;
            EXPECT_EQ(a1k > 0.05, want1k > 0) << "port " << p + 1 << ": 1 kHz at " << a1k;
            EXPECT_EQ(a100 > 0.05, want100 > 0) << "port " << p + 1 << ": 100 Hz at " << a100;
            if (want1k == 0) {
                EXPECT_LT(a1k, 1e-4) << "port " << p + 1;
            }
            if (want100 == 0) {
                EXPECT_LT(a100, 1e-4) << "port " << p + 1;
            }
        }
        if (HasFailure()) {
            Stereo phones(2 * kRate);
            for (int k = 0; k < kRate; ++k) phones[2 * k] = listener.take[2][k], phones[2 * k + 1] = listener.take[3][k];
            writeWav(::testing::TempDir() + "jack_phones_failed.wav", phones, kRate);
        }
    }
    engine.shutdown();
    jack_client_close(listener.client);
}

}  // namespace
}  // namespace vx
