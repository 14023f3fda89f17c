#include "app/auto_dj.h"

#include <algorithm>

#include "app/dj_console.h"
#include "deck/deck_pair.h"
#include "deck/pitch_maths.h"
#include "mixer/mix_maths.h"
#include "mixer/mixer_model.h"
#include "services/dialogs.h"
#include "services/streams.h"
#include "services/ticker.h"

namespace vx {

AutoDj::AutoDj(DeckPair& decks, MixerModel& mixer, Streams& streams, audio::SoundLibrary& library,
               Dialogs& dialogs, Ticker& ticker, const PlaylistLink& playlist,
               std::function<int()> automixStart)
    : decks_(decks),
      mixer_(mixer),
      streams_(streams),
      library_(library),
      dialogs_(dialogs),
      playlist_(playlist),
      automixStart_(std::move(automixStart)),
      fade_(ticker.createTimer(kFadeIntervalMs, [this] { tmrAutoFade_Timer(); })) {
}

AutoDj::~AutoDj() = default;

Deck& AutoDj::deck(Side side) {
    return decks_.deck(side);
}

void AutoDj::stopFade() {
    fade_->setEnabled(false);
}

bool AutoDj::fadeRunning() const {
    return fade_->isEnabled();
}

void AutoDj::changed() {
    if (changed_) changed_();
}

void AutoDj::setOn(bool on) {
    on_ = on;
    streams_.setAutoDjOn(on);
    if (!on) {
        fade_->setEnabled(false);
        for (Side side : {Side::Left, Side::Right}) deck(side).setMixMark(-1);
    }
}

void AutoDj::autoDJCB_Click() {
    if (on_) {
        setOn(false);  // the decks play on
        changed();
        return;
    }
    if (!playlist_.count || playlist_.count() <= 0) {
        dialogs_.message("Please load or create a playlist first...", "AutoDJ - No playlist loaded...",
                         Dialogs::Icon::Information, Dialogs::Buttons::Ok);
        return;
    }
    setOn(true);
    failuresInARow_ = 0;
    if (!rightAtMixPoint_) {
        leftAtMixPoint_ = true;
        rightAtMixPoint_ = false;
        fade_->setEnabled(true);
        run_autoDJ();
    }
    changed();
}

void AutoDj::run_autoDJ() {
    if (!leftAtMixPoint_ && !rightAtMixPoint_) return;
    const int n = playlist_.count ? playlist_.count() : 0;
    if (n <= 0 || !playlist_.position || !playlist_.select || !playlist_.currentEntryPath) return;
    if (atLastEntryOfThePass()) {
        passEnded_ = true;
        return;
    }
    ++steps_;
    const int position = playlist_.position();
    playlist_.select(position < n - 1 ? position + 1 : 0);  // the list repeats from the top
    nextSongPath_ = playlist_.currentEntryPath();

    if (!leftCurrent_ && !rightCurrent_) leftCurrent_ = true;  // the first step fills the right deck
    if (leftCurrent_ && leftAtMixPoint_) {
        leftCurrent_ = false;
        rightCurrent_ = true;
        loadInto(Side::Right);
    } else if (rightCurrent_ && rightAtMixPoint_) {
        rightCurrent_ = false;
        leftCurrent_ = true;
        loadInto(Side::Left);
    }
    changed();
}

// The deck's loader, again with the entry after each one that fails at once. A failure that comes later
// (the file is read on a worker) arrives through loadFailed() and carries on from there.
void AutoDj::loadInto(Side side) {
    Deck& d = deck(side);
    for (;;) {
        d.setFileName(nextSongPath_);
        loading_ = side == Side::Left ? Loading::Left : Loading::Right;
        failedWhileStarting_ = false;
        d.init_Player();
        loading_ = Loading::None;
        if (!failedWhileStarting_) break;
        if (!tryNextEntry(side)) return;
    }
    const int full = mixer::levelFromDownwardSlider(0, mixer_.sliderMax());
    mixer_.setDeckLevel(side == Side::Left ? MixerModel::kLeftDeck : MixerModel::kRightDeck, full);
    fade_->setEnabled(true);
}

// One more entry has failed: the next one takes its place, unless every entry of the list has now
// failed in a row, in which case Auto DJ gives up rather than go round for ever.
bool AutoDj::atLastEntryOfThePass() const {
    return onePass_ && steps_ > 0 && playlist_.position() >= playlist_.count() - 1;
}

bool AutoDj::tryNextEntry(Side) {
    if (skipped_) skipped_(nextSongPath_);
    const int n = playlist_.count ? playlist_.count() : 0;
    if (atLastEntryOfThePass()) {
        passEnded_ = true;
        return false;
    }
    if (++failuresInARow_ >= n) {
        setOn(false);
        dialogs_.message("None of the songs in the playlist could be loaded, so Auto DJ has been switched off.",
                         "AutoDJ - No playable song...", Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        changed();
        return false;
    }
    const int position = playlist_.position();
    playlist_.select(position + 1 < n ? position + 1 : 0);
    nextSongPath_ = playlist_.currentEntryPath();
    return true;
}

void AutoDj::loadFailed(Side side) {
    if (!on_) return;
    if (loading_ == (side == Side::Left ? Loading::Left : Loading::Right)) {
        failedWhileStarting_ = true;  // loadInto() goes on with the next entry
        return;
    }
    if (tryNextEntry(side)) loadInto(side);
}

void AutoDj::loadEnded(Side, bool loaded) {
    if (loaded) failuresInARow_ = 0;
}

void AutoDj::brakeEnded(Side side) {
    if (on_ && !flag(side)) atMixPoint(side);
}

void AutoDj::atMixPoint(Side side) {
    flag(side) = true;
    flag(side == Side::Left ? Side::Right : Side::Left) = false;
    run_autoDJ();
}

void AutoDj::tmrAutoFade_Timer() {
    const int crossfader = mixer_.crossfader();
    const int end = mixer_.sliderMax();
    if (rightCurrent_) {
        if (crossfader < end)
            mixer_.setCrossfader(crossfader + kFadeStep);
        else
            fade_->setEnabled(false);
        Deck& d = deck(Side::Right);
        if (mixer_.crossfader() >= kRightStartsAt && !streams_.isStreamPlaying(d.state().streamHandle))
            d.play_Click();
    } else if (leftCurrent_) {
        if (crossfader >= 1)
            mixer_.setCrossfader(crossfader - kFadeStep);
        else
            fade_->setEnabled(false);
        Deck& d = deck(Side::Left);
        if (mixer_.crossfader() < kLeftStartsBelow && !streams_.isStreamPlaying(d.state().streamHandle))
            d.play_Click();
    }
}

int AutoDj::mixProgress(Side side) {
    Deck& d = deck(side);
    const int shown = d.lcd().progress;
    const audio::Handle h = d.state().streamHandle;
    std::int64_t start = 0, end = 0;
    const std::int64_t length = d.state().songLength;
    if (h == 0 || !library_.audibleRange(h, &start, &end) || end <= start) return shown;
    if (start <= 0 && end >= length) return shown;  // no silence to leave out: the progress as shown
    const std::int64_t position = library_.position(h);
    if (position >= end) return std::max(shown, 100);
    return deckmath::progressOf(std::max<std::int64_t>(position - start, 0), end - start);
}

void AutoDj::updateMark(Side side) {
    Deck& d = deck(side);
    const std::int64_t length = d.state().songLength;
    std::int64_t start = 0, end = length;
    const audio::Handle h = d.state().streamHandle;
    if (h == 0 || length <= 0) return d.setMixMark(-1);
    if (!library_.audibleRange(h, &start, &end) || end <= start) start = 0, end = length;
    const double at = static_cast<double>(start) + (end - start) * automixStart_() / 100.0;
    d.setMixMark(static_cast<int>(std::clamp(at / static_cast<double>(length) * 1000.0, 0.0, 1000.0)));
}

void AutoDj::checkMixPoints() {
    if (!on_) return;
    const int automix = automixStart_();
    for (Side side : {Side::Right, Side::Left}) {
        updateMark(side);
        const int p = mixProgress(side);
        if (!flag(side) && (p >= 100 || p > automix)) atMixPoint(side);
    }
}

}  // namespace vx
