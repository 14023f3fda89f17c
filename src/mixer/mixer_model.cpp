#include "mixer/mixer_model.h"

#include <algorithm>

#include "mixer/mix_maths.h"

namespace vx {

MixerModel::MixerModel(audio::SoundLibrary& library, Ticker& ticker, int sliderMax)
    : library_(library),
      sliderMax_(std::max(1, sliderMax)),
      crossfaderCentre_(mixer::roundHalfEven(sliderMax_ / 2.0)),
      crossfader_(crossfaderCentre_),
      mainVolume_(mixer::roundHalfEven(sliderMax_ * 0.7)),
      limitLight_(kLimitHoldTicks, library.limitCount()) {
    cutTimer_ = ticker.createTimer(kDefaultCutSpeedMs, [this] { cutTick(); });
}

MixerModel::~MixerModel() = default;

void MixerModel::startUp() {
    crossfader_ = crossfaderCentre_;
    mainVolume_ = crossfaderCentre_;
    monitorMode_ = mixer::kMonitorLeft;
    pressMonitor(2);
}

void MixerModel::pollLimiter() {
    if (limitLight_.tick(library_.limitCount())) notifyChanged();
}

int MixerModel::clampValue(int v) const {
    return std::clamp(v, 0, sliderMax_);
}

void MixerModel::notifyChanged() {
    if (changed_) changed_();
}

void MixerModel::setDeckLevel(int deck, int level) {
    (deck == kLeftDeck ? leftLevel_ : rightLevel_) = clampValue(level);
    runVolumeTimer();
    notifyChanged();
}

void MixerModel::setDeckLevelToHalf(int deck) {
    const int half = mixer::roundHalfEven(sliderMax_ / 2.0);
    setDeckLevel(deck, mixer::levelFromDownwardSlider(half, sliderMax_));
}

void MixerModel::setCrossfader(int value) {
    crossfader_ = clampValue(value);
    runVolumeTimer();
    notifyChanged();
}

void MixerModel::setMainVolume(int value) {
    mainVolume_ = clampValue(value);
    runVolumeTimer();
    notifyChanged();
}

void MixerModel::setMonitorLevel(int level) {
    monitorLevel_ = clampValue(level);
    runVolumeTimer();
    notifyChanged();
}

void MixerModel::pressMonitor(int index) {
    if (index < 0 || index > 2) return;
    monitorMode_ = index + 1;
    litMonitor_ = index;
    runVolumeTimer();
    notifyChanged();
}

void MixerModel::pressCut(int deck) {
    cutDeck_ = deck == kRightDeck ? kRightDeck : kLeftDeck;
    if (selectDeck_) selectDeck_(cutDeck_);
    cutTimer_->setEnabled(true);
}

void MixerModel::releaseCut() {
    cutTimer_->setEnabled(false);
    crossfader_ = crossfaderCentre_;
    runVolumeTimer();
    notifyChanged();
}

// The flicker follows the side whose button started it, even if another control selects the other
// deck while the button is held.
void MixerModel::cutTick() {
    if (cutDeck_ == kLeftDeck) {
        crossfader_ = crossfader_ > crossfaderCentre_ ? crossfaderCentre_ : sliderMax_;
    } else {
        crossfader_ = crossfader_ >= 1 ? 0 : crossfaderCentre_;
    }
    runVolumeTimer();
    notifyChanged();
}

bool MixerModel::cutRunning() const {
    return cutTimer_->isEnabled();
}

void MixerModel::setCutSpeed(int milliseconds) {
    cutTimer_->setInterval(std::max(1, milliseconds));
}

int MixerModel::cutSpeed() const {
    return cutTimer_->interval();
}

void MixerModel::applyBalance(audio::Handle stream, mixer::ChannelLevels channels) {
    if (stream == 0) return;
    const mixer::Balance b = mixer::channelBalance(channels.left, channels.right);
    lastResult_ = library_.setAttributes(stream, audio::kKeepFrequency, b.volume, b.pan);
    lastError_ = lastResult_ ? audio::kOk : library_.lastError();
}

// Each stream gets its final volume and pan in one call: the audio thread never sees an intermediate
// pan (a monitored deck briefly hard right before it moves to the headphone side).
// Headphones with an output of their own leave the mix whole, in stereo: the monitor buttons then only
// choose the deck the headphone bus carries (none in stereo mode), at the headphone level.
void MixerModel::runVolumeTimer() {
    levels_ = mixer::outputLevels({sliderMax_, crossfader_, mainVolume_, leftLevel_, rightLevel_});
    const bool ownPhones = library_.headphonesOwnOutput();
    const mixer::StreamSplit split =
        mixer::monitorSplit(ownPhones ? mixer::kMonitorStereo : monitorMode_, levels_, monitorLevel_);
    const audio::Handle left = streams_ ? streams_(kLeftDeck) : 0;
    const audio::Handle right = streams_ ? streams_(kRightDeck) : 0;
    applyBalance(left, split.leftDeck);
    applyBalance(right, split.rightDeck);
    if (ownPhones) {
        const audio::Handle heard =
            monitorMode_ == mixer::kMonitorLeft ? left : monitorMode_ == mixer::kMonitorRight ? right : 0;
        library_.setHeadphoneStream(heard, monitorLevel_ * 100 / sliderMax_);
    }
}

}  // namespace vx
