#include "deck/deck.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "deck/beat_sync.h"
#include "deck/pitch_maths.h"

#include "deck/loudness_trim.h"

namespace vx {

namespace {
const QString kFileMissing = QStringLiteral("Please make sure the file exists on the disk...");
constexpr int kPanFullLeft = -100;

// Why `path`, which is not a regular file, cannot be loaded: the usual words when nothing is there, what
// it is when something else is (telling the DJ a folder or a pipe "does not exist" would mislead).
QString notAFileText(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return kFileMissing;
    if (info.isDir()) return QStringLiteral("\"%1\" is a folder, not a music file.").arg(info.fileName());
    return QStringLiteral("\"%1\" is not a music file but a device or a pipe.").arg(info.fileName());
}
}  // namespace

Deck::Deck(Side side, audio::SoundLibrary& library, DeckTransport& transport, Dialogs& dialogs,
           Ticker& ticker, Console& console, const DeckSettings& settings)
    : ctx_(side, library, transport, dialogs, ticker, console, settings),
      eq_(ctx_),
      pitch_(ctx_, eq_),
      loop_(ctx_),
      cue_(ctx_, pitch_, loop_, [this] { restoreBothPitches(); }),
      display_(ctx_) {}

void Deck::restoreBothPitches() {
    leftDeck().pitch_.changePitch();
    if (partner_) rightDeck().pitch_.changePitch();
}

void Deck::run_pitchTimer_timer() {
    rightDeck().pitch_.pitchTimerStep();
    if (partner_) leftDeck().pitch_.pitchTimerStep();
}

void Deck::releaseStream() {
    DeckState& s = ctx_.state;
    if (s.streamHandle != 0) {
        ctx_.library.eqRemove(s.streamHandle);
        ctx_.library.freeStream(s.streamHandle);
    }
    s.streamHandle = 0;
    s.streamKind = StreamKind::None;
    hotCues_.replace({});
    if (analysis_) {
        analysis_.reset();
        ++analysisSerial_;
    }
    ctx_.lcd.bpmText.clear();
}

void Deck::setAnalysis(const QString& path, std::shared_ptr<const analysis::TrackAnalysis> found) {
    if (path != ctx_.state.fileName || !ctx_.hasStream()) return;
    analysis_ = std::move(found);
    ++analysisSerial_;
    applyTrim();
    showTempo();
}

void Deck::applyTrim() {
    if (!ctx_.hasStream()) return;
    const bool matched = ctx_.settings.autoGain && analysis_;
    ctx_.library.setTrim(ctx_.state.streamHandle,
                         matched ? loudnessTrimDb(analysis_->lufs, analysis_->truePeakDbtp) : 0.0);
}

void Deck::showTempo() {
    QString& text = ctx_.lcd.bpmText;
    if (!analysis_ || analysis_->bpm <= 0 || ownFrequency_ <= 0) {
        text.clear();
        return;
    }
    const double bpm = analysis_->bpm * ctx_.frequency() / ownFrequency_;
    text = QString::number(bpm, 'f', 1) + QStringLiteral(" BPM");
}

void Deck::failLoad() {
    ctx_.lcd.busy = false;
    if (ctx_.autoDjOn()) {
        if (ctx_.hooks.autoDjLoadFailed) ctx_.hooks.autoDjLoadFailed(true);
        return;
    }
    ctx_.dialogs.message(notAFileText(ctx_.state.fileName), QString(), Dialogs::Icon::Critical,
                         Dialogs::Buttons::Ok);
}

bool Deck::init_Player() {
    DeckState& s = ctx_.state;
    if (s.fileName.isEmpty()) return false;
    if (!QFileInfo(s.fileName).isFile()) {
        failLoad();
        return false;
    }
    ctx_.select();
    ctx_.lcd.busy = true;

    if (ctx_.hooks.resetVolume) ctx_.hooks.resetVolume();
    loop_.resetForLoad();
    cue_.resetForLoad();
    releaseStream();

    // The file is read where the transport reads it (a worker, in the program); a newer load or a
    // release makes this one stale, and a stale one never reaches the deck.
    const int ticket = ++*loadTicket_;
    loading_ = true;
    playWhenLoaded_ = false;  // Play pressed for the song before is not Play for this one
    const std::weak_ptr<int> current = loadTicket_;
    const QString path = s.fileName;
    ctx_.transport.openStreamLater(
        path,
        [current, ticket] {
            const auto now = current.lock();
            return now && *now == ticket;
        },
        [this, path](Streams::Opened opened) { finishLoad(opened, path); });
    return loading_ || ctx_.hasStream();
}

void Deck::finishLoad(Streams::Opened opened, const QString& path) {
    loading_ = false;
    struct Announce {
        const DeckHooks& hooks;
        ~Announce() {
            if (hooks.loadEnded) hooks.loadEnded();
        }
    } announce{ctx_.hooks};
    DeckState& s = ctx_.state;
    s.streamHandle = opened.handle;
    s.streamKind = opened.kind;
    if (!ctx_.hasStream() && ctx_.autoDjOn()) {
        ctx_.lcd.busy = false;
        playWhenLoaded_ = false;
        if (ctx_.hooks.autoDjLoadFailed) ctx_.hooks.autoDjLoadFailed(false);
        return;
    }
    const audio::Handle h = s.streamHandle;

    s.songLength = ctx_.hasStream() ? std::max<std::int64_t>(ctx_.transport.songLengthBytes(h), 0) : 0;
    s.lengthFinal = !ctx_.hasStream() || ctx_.library.lengthIsFinal(h);
    ctx_.lcd.lengthText = ctx_.transport.songLengthText(h, s.songLength);

    if (ctx_.hasStream()) {
        ownFrequency_ = ctx_.frequency();
        pitch_.takeStreamBase(ownFrequency_);
        applyTrim();
    }
    eq_.rebuildForLoad();
    if (ctx_.hasStream())
        ctx_.library.setAttributes(h, audio::kKeepFrequency, audio::kKeepVolume, kPanFullLeft);
    ctx_.seek(1);
    s.cuePoint = 1;
    pitch_.resetForLoad();
    if (s.keyLock) applyKeyLock();

    LcdState& lcd = ctx_.lcd;
    lcd.busy = false;
    lcd.cue = lcd.play = lcd.pause = lcd.stop = lcd.loop = false;
    lcd.loopEditArrow = lcd.cueEditArrow = EditArrow::None;
    lcd.timeText.clear();
    lcd.progress = 0;
    s.lastProgress = 0;
    display_.resetForLoad();
    if (!ctx_.hasStream()) {
        // Nothing was loaded, and the deck says so: no name of a song it does not hold.
        lcd.title.clear();
        s.fileName.clear();
        playWhenLoaded_ = false;
        return;
    }
    lcd.title = titleOf(path);
    if (ctx_.hooks.hotCuesFor) hotCues_.replace(ctx_.hooks.hotCuesFor(path));
    if (playWhenLoaded_) {
        playWhenLoaded_ = false;
        play_Click();
    }
}

QString Deck::titleOf(const QString& path) const {
    const QString tag = ctx_.hooks.titleFor ? ctx_.hooks.titleFor(path) : QFileInfo(path).fileName();
    return tag + QString(10, QLatin1Char(' ')) + ctx_.settings.productName;
}

void Deck::songTagsChanged(const QString& path) {
    if (ctx_.hasStream() && ctx_.state.fileName == path) ctx_.lcd.title = titleOf(path);
}

bool Deck::loadSong(const QString& path) {
    ctx_.state.fileName = path;
    const bool loaded = init_Player();
    ctx_.lights.playCueLit = false;
    ctx_.state.prevCuePoint = ctx_.state.olderCuePoint = 0;
    return loaded;
}

void Deck::openFile_Click() {
    const QString added = ctx_.hooks.addSongs ? ctx_.hooks.addSongs() : QString();
    if (!added.isEmpty()) loadSong(added);
}

void Deck::dropOnDeck(const std::optional<QString>& draggedPath) {
    if (draggedPath && !draggedPath->isEmpty()) {
        if (QFileInfo(*draggedPath).isFile()) loadSong(*draggedPath);
        return;
    }
    // A deck still holding its song keeps its name: loops and Play go on working with it.
    if (!ctx_.hasStream()) ctx_.state.fileName.clear();
    ctx_.dialogs.message(kFileMissing, QString(), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}

void Deck::play_Click() {
    DeckState& s = ctx_.state;
    if (!loading_ && s.fileName.isEmpty()) {
        const QString path = ctx_.hooks.playlistPath ? ctx_.hooks.playlistPath() : QString();
        s.fileName = path;
        if (!path.isEmpty())
            init_Player();
        else
            openFile_Click();
    }
    if (loading_) {
        playWhenLoaded_ = true;  // Play pressed on a song still being read: it starts once it is in
        return;
    }
    if (s.fileName.isEmpty()) return;
    if (s.isCued) cue_.endCued();
    ctx_.select();
    cue_.play_now();
}

void Deck::play_RightClick() {
    cue_.cueStop();
}

void Deck::pause_Click() {
    cue_.pause();
}

void Deck::stop_MouseDown() {
    cue_.stopPress();
}

void Deck::cue_MouseDown() {
    if (!ctx_.hasStream()) return;
    ctx_.lcd.cue = true;
    ctx_.select();
    cue_.run_cue_mousedown();
}

void Deck::cue_Click() {
    ctx_.select();
    if (!ctx_.state.isCued) ctx_.lcd.cue = false;
    cue_.run_cue_click();
}

void Deck::pitchSlider_Change(int value) {
    if (pitch_.setSlider(value)) run_pitchTimer_timer();
}

void Deck::bendPlus_MouseDown() {
    ctx_.select();
    pitch_.setBendPlusHeld(true);
    run_pitchTimer_timer();
}

void Deck::bendPlus_MouseUp() {
    pitch_.setBendPlusHeld(false);
    run_pitchTimer_timer();
}

void Deck::bendMinus_MouseDown() {
    ctx_.select();
    pitch_.setBendMinusHeld(true);
    run_pitchTimer_timer();
}

void Deck::bendMinus_MouseUp() {
    pitch_.setBendMinusHeld(false);
    run_pitchTimer_timer();
}

double Deck::positionS() {
    if (!ctx_.hasStream()) return 0;
    const double chosen = display_.chosenFraction();
    const std::int64_t bytes =
        chosen >= 0 ? static_cast<std::int64_t>(chosen * static_cast<double>(ctx_.state.songLength))
                    : ctx_.position();
    return std::max(0.0, ctx_.library.bytesToSeconds(ctx_.state.streamHandle, bytes));
}

void Deck::hotCue_Click(int slot) {
    if (!ctx_.hasStream() || !HotCues::validSlot(slot)) return;
    if (const std::optional<double> at = hotCues_.at(slot)) {
        const std::int64_t bytes = ctx_.library.secondsToBytes(ctx_.state.streamHandle, *at);
        ctx_.seek(std::clamp<std::int64_t>(bytes, 0, ctx_.state.songLength));
        return;
    }
    hotCues_.set(slot, positionS());
    if (ctx_.hooks.hotCueChanged) ctx_.hooks.hotCueChanged(ctx_.state.fileName, slot, hotCues_.at(slot));
}

void Deck::hotCueClear(int slot) {
    if (!ctx_.hasStream() || !hotCues_.isSet(slot)) return;
    hotCues_.clear(slot);
    if (ctx_.hooks.hotCueChanged) ctx_.hooks.hotCueChanged(ctx_.state.fileName, slot, std::nullopt);
}

DeckMarks Deck::marks() {
    DeckMarks m;
    if (!ctx_.hasStream()) return m;
    const DeckState& s = ctx_.state;
    const auto seconds = [&](std::int64_t bytes) {
        return ctx_.library.bytesToSeconds(s.streamHandle, bytes);
    };
    m.lengthS = std::max(0.0, seconds(s.songLength));
    m.positionS = positionS();
    m.cueS = seconds(s.cuePoint);
    const std::int64_t loopStart = s.savedLoopMode ? s.savedLoopStart : s.loopStart;
    if (s.loopEnd > loopStart) {
        m.loopStartS = seconds(loopStart);
        m.loopEndS = seconds(s.loopEnd);
    }
    if (ctx_.lcd.mixMark >= 0) m.mixS = ctx_.lcd.mixMark / 1000.0 * m.lengthS;
    m.hotCues = hotCues_.all();
    m.playing = ctx_.isPlaying();
    m.endWarning = m.playing && m.lengthS - m.positionS <= DeckMarks::kEndWarningS;
    return m;
}

void Deck::applySettings() {
    cue_.setStutterInterval(ctx_.settings.stutteringSpeed);
    pitch_.changePitch();
    applyTrim();
}

void Deck::release() {
    ++*loadTicket_;  // a song still being read is not wanted any more
    loading_ = playWhenLoaded_ = false;
    ctx_.lcd.busy = false;
    pitch_.stopBrake();
    cue_.endCued();
    releaseStream();
}

void Deck::keyLock_Click() {
    ctx_.state.keyLock = !ctx_.state.keyLock;
    applyKeyLock();
}

void Deck::applyKeyLock() {
    DeckState& s = ctx_.state;
    if (ctx_.hasStream() && !ctx_.library.setKeyLock(s.streamHandle, s.keyLock)) s.keyLock = false;
    ctx_.lights.keyLockLit = s.keyLock;
}

void Deck::sync_Click() {
    const auto refuse = [this](const QString& why) {
        ctx_.dialogs.message(why, QStringLiteral("SYNC"), Dialogs::Icon::Information, Dialogs::Buttons::Ok);
    };
    ctx_.select();
    if (!partner_ || !partner_->ctx_.hasStream() || !partner_->ctx_.isPlaying()) {
        refuse(QStringLiteral("SYNC follows the other deck, and it is not playing."));
        return;
    }
    if (!ctx_.hasStream()) return;
    const auto view = [](Deck& d) {
        SyncView v;
        if (d.analysis_) v.bpm = d.analysis_->bpm, v.beatOffsetS = d.analysis_->beatOffsetS;
        v.rate = d.ownFrequency_ > 0 ? static_cast<double>(d.ctx_.frequency()) / d.ownFrequency_ : 1.0;
        v.positionS = d.ctx_.library.bytesToSeconds(d.ctx_.state.streamHandle, d.ctx_.position());
        return v;
    };
    DeckState& s = ctx_.state;
    const SyncView self = view(*this);
    const double range = 10.0 * ctx_.settings.pitchRange;
    const double baseRate = static_cast<double>(s.baseFrequency) / ownFrequency_;  // the zero pitch's rate
    const SyncPlan plan = planSync(self, view(*partner_), baseRate, range, 20.0);
    if (!plan.refusal.isEmpty()) {
        refuse(plan.refusal);
        return;
    }
    // The slider shows the nearest pitch step; the stream gets the exact frequency, so that the two
    // tempos do not drift apart.
    const int value = static_cast<int>(std::lround(deckmath::kPitchCentre + plan.pitchPercent * 100.0 / range));
    s.pitchSlider = s.pitchValue = s.lastPitchSlider = value;
    pitch_.changePitch();
    const int frequency = static_cast<int>(std::lround(plan.rate * ownFrequency_));
    ctx_.library.setAttributes(s.streamHandle, frequency, audio::kKeepVolume, audio::kKeepPan);
    // A move from where the sound is when the jump is made: the block or two the command waits for the
    // audio thread passes on both decks alike, so the beats still meet.
    if (ctx_.isPlaying())
        ctx_.library.moveBy(s.streamHandle, ctx_.library.secondsToBytes(s.streamHandle, plan.jumpS));
}

}  // namespace vx
