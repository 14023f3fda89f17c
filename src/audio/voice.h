#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "audio/track_buffer.h"
#include "audio/voice_eq.h"

namespace vx::audio {

class KeyLock;

inline constexpr int kMaxBlock = 512;  // frames the mixer renders per pass

// What the UI thread sets and the audio thread reads at the top of every block (latest value wins).
struct VoiceControls {
    std::atomic<int> frequency{44100};
    std::atomic<int> volume{100};
    std::atomic<int> pan{0};
    std::atomic<int> phones{0};  // level 0..100 on the headphone bus, where the output has one
    std::atomic<float> trim{1.0f};  // linear gain before the equaliser (loudness matching)
};

// What the audio thread publishes after every block for the UI thread.
struct VoiceReport {
    std::atomic<std::int64_t> position{0};      // frames, the main read head
    std::atomic<std::uint32_t> level{0};        // packed peak, left low word, right high word
    std::atomic<bool> stalled{false};           // playing but waiting for decoded data
    std::atomic<std::uint32_t> endedPlay{0};    // the play number that ran into the end of the data
    std::atomic<std::uint32_t> appliedSeek{0};  // the last seek number carried out
};

// Mixer-wide values a voice renders with; the scratch buffers are the mixer's, reused by every voice.
struct RenderContext {
    int outRate = 44100;
    double prebufferSeconds = 0.1;
    float* headL = nullptr;
    float* headR = nullptr;
    float* voiceL = nullptr;
    float* voiceR = nullptr;
    float* phones = nullptr;  // this pass's headphone bus (interleaved stereo); null: the output has none
};

// The audio-thread side of one stream: transport, two read heads (the playing one and one fading out
// after a jump, pause or stall), band-limited resampling, the equaliser (on the sum of the heads) and
// the output gains (the mix's, and the headphone bus's).
// Every member function runs on the audio thread only (or on the UI thread while no audio runs).
class Voice {
  public:
    void bind(const TrackBuffer* buffer, int fileRate, int outRate, VoiceControls* controls,
              VoiceReport* report);

    // Before the voice plays: what the stored samples are multiplied by (see SourceInfo::sampleGain).
    void setSampleGain(float gain) { sampleGain_ = gain; }

    // Commands, applied between blocks.
    void play(std::uint32_t playNumber);
    void pause();
    void stop();
    void seek(std::int64_t frame, std::uint32_t seekNumber);
    // The frame heard at the end of the last block (what position() reports).
    std::int64_t heardFrame() const { return report_->position.load(std::memory_order_relaxed); }
    void setLoop(std::int64_t startFrame, std::int64_t endFrame);
    void setEqBand(int band, const EqBandDesign& design, int bandCount, EqMode mode) {
        eq_.setBand(band, design, bandCount, mode);
    }
    void removeEq() { eq_.remove(); }
    // Key lock: from now on the speed no longer moves the pitch. The source is read at its own rate and
    // `lock` (made beforehand, living as long as the voice; null keeps the one given before) stretches it
    // in time. The reported position is the one heard, and switching either way mid-play crossfades
    // between the two ways of playing, aligned.
    void setKeyLock(KeyLock* lock, bool on);

    // Adds `frames` (<= kMaxBlock) of this stream to the interleaved stereo `out`.
    void render(const RenderContext& ctx, float* out, int frames);

  private:
    struct Head {
        bool active = false;
        double pos = 0;
        float gain = 0;
        float gainStep = 0;
    };

    void jumpTo(double pos);
    void fadeOutMain();
    void wrapIfPastLoopEnd();
    void mixOut(const RenderContext& ctx, float* out, int frames);
    void mixPhones(const RenderContext& ctx, int frames);
    float phonesTarget() const;
    int renderHead(Head& h, const RenderContext& ctx, float* dl, float* dr, int k0, int count, double limit);
    void readHeads(const RenderContext& ctx, float* dl, float* dr, int frames);
    void renderStretched(const RenderContext& ctx, int frames, double speed);
    void primeStretcher(const RenderContext& ctx, double speed);
    bool stretcherFed() const;
    double heardPosition() const;
    double aheadNeeded(double step, int frames) const;
    bool enoughAhead(const RenderContext& ctx, bool final) const;
    void publishLevel(int frames, float peakL, float peakR);
    void endOfBlock();
    void applyTrim(float* l, float* r, int frames);

    const TrackBuffer* buffer_ = nullptr;
    VoiceControls* controls_ = nullptr;
    VoiceReport* report_ = nullptr;
    int fileRate_ = 44100;
    int outRate_ = 44100;
    float xfStep_ = 1.0f / 352;  // gain change per frame of a crossfade (about 8 ms)

    bool playing_ = false;
    bool waiting_ = false;  // playing, but held until enough is decoded ahead
    bool starved_ = false;  // the decoder fell behind while playing: wait for the whole pre-buffer
    std::uint32_t playNumber_ = 0;
    Head main_, fade_;
    std::int64_t loopStart_ = 0, loopEnd_ = 0;

    // Key lock. The heads of the way of playing switched away from fade out as `tail_`.
    KeyLock* keyLock_ = nullptr;
    bool stretched_ = false;  // main_ and fade_ feed the stretcher; else tail_ does while it fades
    bool stretcherLive_ = false;  // restarted, and either fed or still sounding out
    Head tail_;
    float stretchGain_ = 1, stretchGainStep_ = 0;  // on the stretcher's output
    double drainLeft_ = -1;  // silent frames still to feed so that the stretcher sounds out; -1 while fed
    int discard_ = 0;        // stretched frames still to throw away (the restart's pad)

    // Per block
    std::int64_t available_ = 0;
    bool final_ = false;
    double step0_ = -1, stepInc_ = 0;
    double readStep_ = 1, readInc_ = 0;  // the speed the heads read at (the stretcher's input: unit)
    float gainL_ = -1, gainR_ = -1;
    float phonesGain_ = -1;
    float sampleGain_ = 1.0f;
    float trim_ = -1;  // the trim the last block ended with; -1 before the first block

    VoiceEq eq_;
    int eqTail_ = 0;  // frames the equaliser still rings after the heads fell silent

    // Level: peaks of 10 ms segments, the last four make the ~40 ms window.
    std::array<float, 8> segPeak_{};
    int segIndex_ = 0, segFill_ = 0;
    float curPeakL_ = 0, curPeakR_ = 0;
};

}  // namespace vx::audio
