#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "deck/deck_types.h"

namespace vx {

class DeckPair;
class Deck;
class Dialogs;
class MixerModel;
class Streams;
class Ticker;
class Timer;
struct PlaylistLink;

namespace audio {
class SoundLibrary;
}

// Auto DJ: plays the playlist by itself. When the playing deck passes its mix point the next entry is
// loaded into the other deck and the crossfader glides over to it (tmrAutoFade, 100 ms), starting the
// new deck on the way; the outgoing deck plays on under the crossfader. The mix point is a share of the
// song's audible part, so a song that ends in silence is not mixed into its silence. Entries that will
// not load are passed over; a whole round of them switches Auto DJ off with a message. UI thread only.
class AutoDj {
  public:
    static constexpr int kFadeIntervalMs = 100;
    static constexpr int kFadeStep = 2;
    static constexpr int kRightStartsAt = 40;  // crossfader value from which the incoming right deck plays
    static constexpr int kLeftStartsBelow = 61;

    AutoDj(DeckPair& decks, MixerModel& mixer, Streams& streams, audio::SoundLibrary& library,
           Dialogs& dialogs, Ticker& ticker, const PlaylistLink& playlist, std::function<int()> automixStart);
    ~AutoDj();
    AutoDj(const AutoDj&) = delete;
    AutoDj& operator=(const AutoDj&) = delete;

    void setChangedHandler(std::function<void()> changed) { changed_ = std::move(changed); }
    // Told of each entry passed over because it would not load.
    void setSkippedHandler(std::function<void(const QString& path)> skipped) { skipped_ = std::move(skipped); }
    // One pass only (an offline mix): the list does not repeat; the step after its last entry ends the
    // pass instead (passEnded()). Set before switching on, with the last entry current, so that the first
    // step takes the first entry.
    void setOnePass(bool onePass) { onePass_ = onePass; }
    bool passEnded() const { return passEnded_; }

    void autoDJCB_Click();  // on or off; refused with a message while the playlist is empty
    void run_autoDJ();      // one step: the next entry into the deck that did not get the last one
    void tmrAutoFade_Timer();
    // The display tick's check, right deck first: a deck past its mix point (or at its end) steps.
    void checkMixPoints();
    // From the decks: a load failed while Auto DJ ran; a load ended; a turntable stop came to a halt.
    void loadFailed(Side side);
    void loadEnded(Side side, bool loaded);
    void brakeEnded(Side side);

    bool on() const { return on_; }
    bool fadeRunning() const;
    void stopFade();  // program end: the glide stops where it is
    bool leftAtMixPoint() const { return leftAtMixPoint_; }
    bool rightAtMixPoint() const { return rightAtMixPoint_; }
    bool leftCurrent() const { return leftCurrent_; }
    bool rightCurrent() const { return rightCurrent_; }

  private:
    // The deck's progress as the mix point reads it: the share of the audible part played, 0..100.
    int mixProgress(Side side);
    enum class Loading { None, Left, Right };
    void setOn(bool on);
    void atMixPoint(Side side);
    void loadInto(Side side);
    bool tryNextEntry(Side side);
    bool atLastEntryOfThePass() const;
    void updateMark(Side side);
    Deck& deck(Side side);
    bool& flag(Side side) { return side == Side::Left ? leftAtMixPoint_ : rightAtMixPoint_; }
    void changed();

    DeckPair& decks_;
    MixerModel& mixer_;
    Streams& streams_;
    audio::SoundLibrary& library_;
    Dialogs& dialogs_;
    const PlaylistLink& playlist_;
    std::function<int()> automixStart_;
    std::unique_ptr<Timer> fade_;
    std::function<void()> changed_;
    std::function<void(const QString&)> skipped_;
    bool onePass_ = false;
    bool passEnded_ = false;
    int steps_ = 0;

    bool on_ = false;
    bool leftAtMixPoint_ = false;
    bool rightAtMixPoint_ = false;
    bool leftCurrent_ = false;   // autoDJLeftCurrent
    bool rightCurrent_ = false;  // autoDJRightCurrent
    QString nextSongPath_;
    int failuresInARow_ = 0;     // entries that would not load since the last one that did
    Loading loading_ = Loading::None;  // a load this model is starting right now
    bool failedWhileStarting_ = false;
};

}  // namespace vx
