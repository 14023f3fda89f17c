#include "audio/key_lock.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>

namespace vx::audio {

namespace {

using RubberBand::RubberBandStretcher;

// The stretcher reports nothing from the audio thread.
struct Silent : RubberBandStretcher::Logger {
    void log(const char*) override {}
    void log(const char*, double) override {}
    void log(const char*, double, double) override {}
};

// Real-time mode on the caller's thread; the faster engine keeps a deck well under a tenth of a core,
// and both channels analysed together keep the stereo image where it was. The pitch is never shifted,
// so no pitch option is asked for: the one that keeps its resampler running allocates whenever the
// speed changes.
constexpr RubberBandStretcher::Options kOptions =
    RubberBandStretcher::OptionProcessRealTime | RubberBandStretcher::OptionEngineFaster |
    RubberBandStretcher::OptionThreadingNever | RubberBandStretcher::OptionChannelsTogether;

}  // namespace

struct KeyLock::Impl {
    explicit Impl(int rate)
        : stretcher(static_cast<std::size_t>(rate), 2, std::make_shared<Silent>(), kOptions) {}
    RubberBandStretcher stretcher;
};

KeyLock::KeyLock(int outRate) : impl_(std::make_unique<Impl>(outRate)) {
    impl_->stretcher.setMaxProcessSize(kMaxBlock);
    // The stretcher grows its buffers the first time it meets a speed further out than before: run it
    // at both ends of the speeds it is allowed now, so that it never allocates on the audio thread.
    float* scratch[2] = {in_[0].data(), in_[1].data()};
    for (const double speed : {kSlowest, kFastest}) {
        restart(speed);
        reach_ = std::max(reach_, pad_ + delay_ + 4 * kMaxBlock);
        for (int i = 0; i < 200; ++i) {
            feed(in_[0].data(), in_[1].data(), required());
            while (available() > 0) take(scratch[0], scratch[1], kMaxBlock, false);
        }
    }
    in_ = {};
    restart(1.0);
}

KeyLock::~KeyLock() = default;

void KeyLock::setSpeed(double speed) {
    speed = std::clamp(speed, kSlowest, kFastest);
    if (speed == speed_) return;
    speed_ = speed;
    impl_->stretcher.setTimeRatio(1.0 / speed);
}

void KeyLock::restart(double speed) {
    auto& s = impl_->stretcher;
    s.reset();
    speed_ = 0;
    setSpeed(speed);
    pad_ = static_cast<int>(s.getPreferredStartPad());
    delay_ = static_cast<int>(s.getStartDelay());
    fed_ = 0;
    heard_ = pad_;
}

int KeyLock::required() const {
    const auto n = static_cast<int>(impl_->stretcher.getSamplesRequired());
    return std::clamp(n, 1, kMaxBlock);
}

void KeyLock::feed(const float* left, const float* right, int frames) {
    const float* in[2] = {left, right};
    impl_->stretcher.process(in, static_cast<std::size_t>(frames), false);
    fed_ += frames;
}

int KeyLock::available() const {
    return std::max(0, impl_->stretcher.available());
}

int KeyLock::take(float* left, float* right, int frames, bool heard) {
    frames = std::min(frames, available());  // asking for more than there is writes a warning
    if (frames <= 0) return 0;
    float* out[2] = {left, right};
    const int got = static_cast<int>(impl_->stretcher.retrieve(out, static_cast<std::size_t>(frames)));
    if (heard) heard_ += got * speed_;
    return got;
}

}  // namespace vx::audio
