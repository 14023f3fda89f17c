#pragma once

#include <memory>
#include <optional>

#include "analysis/track_analysis.h"
#include "deck/cue_transport.h"
#include "deck/deck_context.h"
#include "deck/deck_display.h"
#include "deck/deck_equaliser.h"
#include "deck/hot_cues.h"
#include "deck/loop_control.h"
#include "deck/pitch_control.h"

namespace vx {

// One deck of the console, left or right: loads a song and plays it with cue, pitch, loops and
// equaliser. The window calls one method per control event and draws from lcd(), lights() and the
// equaliser getters; timers tick the methods named after them. UI thread only.
class Deck {
  public:
    Deck(Side side, audio::SoundLibrary& library, DeckTransport& transport, Dialogs& dialogs, Ticker& ticker,
         Console& console, const DeckSettings& settings);
    Deck(const Deck&) = delete;
    Deck& operator=(const Deck&) = delete;

    // The other deck: Play restores both decks' pitch and the pitch timer serves both.
    void setPartner(Deck* other) { partner_ = other; }
    void setHooks(DeckHooks hooks) { ctx_.hooks = std::move(hooks); }
    DeckHooks& hooks() { return ctx_.hooks; }

    Side side() const { return ctx_.side; }
    const DeckState& state() const { return ctx_.state; }
    const LcdState& lcd() const { return ctx_.lcd; }
    const DeckLights& lights() const { return ctx_.lights; }
    const MeterBars& meter() const { return display_.meter(); }
    const DeckEqualiser& eq() const { return eq_; }

    // --- loading
    void setFileName(const QString& path) { ctx_.state.fileName = path; }
    // init_LeftPlayer / init_RightPlayer: loads fileName. False when nothing was loaded. Where the
    // transport reads files elsewhere the load ends later: true then says it is under way, loading()
    // holds until the song is in, and a newer load or release() abandons it.
    bool init_Player();
    bool loading() const { return loading_; }
    // A song chosen by the user (open button, playlist drop, command line): loads it with a fresh cue
    // history.
    bool loadSong(const QString& path);
    // openFileCB1 / openFileCB2: the playlist's add dialog, then the last added song.
    void openFile_Click();
    // A drop on the deck: the dragged playlist entry's path, or nullopt when no playlist drag is active.
    void dropOnDeck(const std::optional<QString>& draggedPath);
    // The tags of `path` were written: when this deck holds that song, its LCD title is read again.
    void songTagsChanged(const QString& path);

    // --- transport and cue
    void play_Click();       // Play, left click
    void play_RightClick();  // Play, right click: cued at the cue point (the window moves focus)
    void play_now() { cue_.play_now(); }
    void pause_Click();
    void stop_MouseDown();
    void cue_MouseDown();  // runs run_cue_mousedown
    void cue_Click();      // Cue released; runs run_cue_click
    void run_cue_mousedown() { cue_.run_cue_mousedown(); }
    void run_cue_click() { cue_.run_cue_click(); }
    void cueBack_MouseDown() { cue_.editPress(false); }
    void cueBack_MouseUp() { cue_.editRelease(false); }
    void cueForward_MouseDown() { cue_.editPress(true); }
    void cueForward_MouseUp() { cue_.editRelease(true); }
    void cueTimer_Timer() { cue_.stutterTick(); }  // tmrLcue / tmrRcue
    void playCue_Click() { cue_.playPreviousCue(); }
    void resetCue_Click() { cue_.resetCue(); }
    bool stutterRunning() const { return cue_.stutterRunning(); }

    // --- pitch
    void changePitch() { pitch_.changePitch(); }  // changeLpitch / changeRpitch
    void pitchSlider_Change(int value);           // 0..2000, 1000 centre, lower is slower
    void bendPlus_MouseDown();
    void bendPlus_MouseUp();
    void bendMinus_MouseDown();
    void bendMinus_MouseUp();
    void pitchZero_Click() { pitchSlider_Change(1000); }
    void speed22_Click() { pitch_.setBaseFrequency(22050); }  // the window then focuses Play
    void speed44_Click() { pitch_.setBaseFrequency(44100); }
    void turntableStop_Timer() { pitch_.brakeTick(); }
    bool braking() const { return pitch_.braking(); }
    bool bendHeld() const { return pitch_.bendHeld(); }
    // run_pitchTimer_timer: the right deck's step, then the left deck's.
    void run_pitchTimer_timer();
    // KEY: key lock on or off; it stays with the deck from song to song.
    void keyLock_Click();
    // SYNC: this deck takes the other playing deck's tempo (or its half or double) and, while playing,
    // jumps to the nearest point where its beats fall on the other's. Refused with a message when a
    // song has no tempo yet, the other deck is not playing or the pitch range does not reach.
    void sync_Click();

    // --- loops
    void loop_Click() { loop_.loopCB_Click(); }
    void loopit() { loop_.loopit(); }
    void loopTimer_Timer() { loop_.loopTick(); }  // tmrLLoop / tmrRLoop
    void saveLoop_Click() { loop_.saveLoop_Click(); }
    void playLoop_Click() { loop_.playLoop_Click(); }
    QString loopFilePath() const { return loop_.loopFilePath(); }

    // --- equaliser
    void eq_Click() { eq_.cmdEQ_Click(); }
    void eqKill_Click(int band) { eq_.kill_Click(band); }
    void eqBand_Change(int band, int gainDb) { eq_.setBandGain(band, gainDb); }
    void adjust_EQBandwidth() { eq_.adjust_EQBandwidth(); }

    // --- analysis: what the background analysis found in the loaded song; null until it arrives
    // Taken only while `path` is still the deck's song (a late result for an older song is dropped).
    void setAnalysis(const QString& path, std::shared_ptr<const analysis::TrackAnalysis> found);
    const analysis::TrackAnalysis* analysis() const { return analysis_.get(); }
    // Changes whenever the analysis is replaced or dropped, for drawings cached from it.
    int analysisSerial() const { return analysisSerial_; }

    // --- hot cues (slots 1..4), kept per song through the hooks
    // An empty slot takes the play position; a set one is jumped to, as every jump, crossfaded.
    void hotCue_Click(int slot);
    void hotCueClear(int slot);  // right click or Shift
    const HotCues& hotCues() const { return hotCues_; }

    // --- display
    void setProgressByUser(int value) { display_.setProgressByUser(value); }
    // The user chose a place in the song (0..1 of it) on the waveform; the next display tick seeks there.
    void seekByUser(double fraction) { display_.setPositionByUser(fraction); }
    // The play position in seconds from the start of the song (0 without one), as the engine reports it,
    // or the place the user has just chosen and the next display tick seeks to.
    double positionS();
    // The song's cue point, loop, mix point and hot cues, and the play position, in seconds.
    DeckMarks marks();
    void displayTick() {
        display_.tick();
        showTempo();
    }
    void takeProgress() { display_.takeProgress(); }
    void setMixMark(int perMille) { ctx_.lcd.mixMark = perMille; }
    int meterTick(const MeterMix& mix) { return display_.meterTick(mix); }

    // Options applied: stutter speed and pitch range take effect.
    void applySettings();
    // Shutdown: the effect and the stream are released.
    void release();

  private:
    Deck& leftDeck() { return ctx_.side == Side::Left || !partner_ ? *this : *partner_; }
    Deck& rightDeck() { return ctx_.side == Side::Right || !partner_ ? *this : *partner_; }
    void restoreBothPitches();
    void releaseStream();
    void applyKeyLock();
    void failLoad();
    void applyTrim();  // the loudness-matching gain, or none, on the deck's stream
    void showTempo();  // the LCD's tempo: the analysed BPM at the speed the stream plays
    void finishLoad(Streams::Opened opened, const QString& path);
    QString titleOf(const QString& path) const;  // the LCD title: tag text, 10 blanks, the product name

    DeckContext ctx_;
    DeckEqualiser eq_;
    PitchControl pitch_;
    LoopControl loop_;
    CueTransport cue_;
    DeckDisplay display_;
    Deck* partner_ = nullptr;
    std::shared_ptr<int> loadTicket_ = std::make_shared<int>(0);  // the load the deck waits for
    std::shared_ptr<const analysis::TrackAnalysis> analysis_;
    HotCues hotCues_;
    int analysisSerial_ = 0;
    int ownFrequency_ = 0;  // the stream's own rate: at it the song plays at the analysed tempo
    bool loading_ = false;
    bool playWhenLoaded_ = false;
};

}  // namespace vx
