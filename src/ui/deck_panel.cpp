#include "ui/deck_panel.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>

#include "app/dj_console.h"
#include "deck/deck.h"
#include "ui/hot_cue_row.h"
#include "ui/widgets/dj_palette.h"
#include "ui/widgets/dj_slider.h"
#include "ui/widgets/lcd_display.h"
#include "ui/widgets/state_button.h"
#include "ui/widgets/waveform_overview.h"
#include "ui/widgets/waveform_zoom.h"

namespace vx {

using ui::DjSlider;
using ui::LcdDisplay;
using ui::StateButton;

namespace {

// The controls' names: the right deck's are plain, the left deck's carry an L or a 2.
struct DeckNames {
    const char *caption, *lcd, *open, *play, *pause, *stop, *cue, *cueBack, *cueForward, *playCue, *resetCue;
    const char *loop, *saveLoop, *playLoop, *eqButton, *kill, *band, *eqPanel, *pitchZero, *pitch;
    const char *bendPlus, *bendMinus;
    int speed22Index;  // index of the 22 kHz button in the speedCB array; 44 kHz is the next one
};

constexpr DeckNames kLeftNames{"LEFT DECK",
                               "LCD_L",
                               "openFileCB2",
                               "playCB2",
                               "LpauseCB",
                               "stopCB2",
                               "cueCB2",
                               "LcueBackCB",
                               "LcueFowardCB",
                               "Lplay_cue",
                               "cmdReset_Lcue",
                               "loopCB2",
                               "SaveLoop2",
                               "playLoopCB2",
                               "cmdLEQ",
                               "cmdLeqKill",
                               "LeqScroll",
                               "leftEQ",
                               "LpitchZeroIndicator",
                               "LpitchScroll",
                               "LpBend_PlusCB",
                               "LpBend_Minus",
                               1};
constexpr DeckNames kRightNames{"RIGHT DECK",
                                "LCD_R",
                                "openFileCB1",
                                "playCB",
                                "pauseCB",
                                "stopCB",
                                "cueCB",
                                "cueBackCB",
                                "cueFowardCB",
                                "Rplay_cue",
                                "cmdReset_Rcue",
                                "loopCB",
                                "SaveLoop1",
                                "playLoopCB",
                                "cmdEQ",
                                "cmdReqKill",
                                "eqScroll",
                                "right_EQ",
                                "pitchZeroIndicator",
                                "RpitchScroll",
                                "RpBend_plusCB",
                                "RpBend_Minus",
                                3};

const char* const kBandNames[3] = {"Bass", "Mid", "High"};
// A kill cuts only while the equaliser runs; until then its key is disabled and says why.
const char* const kKillsNeedEq = "Turn the EQ on to use the kills";
const char* const kBandCaptions[3] = {"BASS", "MID", "HIGH"};

QLabel* bandCaption(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setFont(ui::dj::labelFont(10));
    l->setAlignment(Qt::AlignCenter);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    return l;
}

}  // namespace

DeckPanel::DeckPanel(DjConsole& console, Side side, QWidget* parent)
    : ui::ConsolePanel({}, parent), console_(console), deck_(console.deck(side)), side_(side) {
    const DeckNames& n = side == Side::Left ? kLeftNames : kRightNames;
    setObjectName(side == Side::Left ? "Left_Deck" : "Right_Deck");
    setCaption(QString::fromLatin1(n.caption));
    setAcceptDrops(true);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(6);
    zoom_ = new ui::WaveformZoom(this);
    zoom_->setObjectName(side == Side::Left ? "waveformL" : "waveformR");
    zoom_->setMinimumHeight(44);
    zoom_->setPositionSource([this] { return deck_.positionS(); });
    column->addWidget(zoom_);
    lcd_ = new LcdDisplay(this);
    lcd_->setObjectName(n.lcd);
    lcd_->setMinimumHeight(124);
    column->addWidget(lcd_);
    hotCues_ = new HotCueRow(side, this);
    column->addWidget(hotCues_);
    column->addWidget(buildTransport());

    auto* controls = new QHBoxLayout;
    controls->setSpacing(6);
    QWidget* eq = buildEqualiser();
    QWidget* pitch = buildPitch();
    // The pitch section stands next to the mixer on both decks.
    if (side == Side::Left) {
        controls->addWidget(eq, 3);
        controls->addWidget(pitch, 2);
    } else {
        controls->addWidget(pitch, 2);
        controls->addWidget(eq, 3);
    }
    column->addLayout(controls, 1);

    connect(lcd_, &LcdDisplay::seekMoved, this, [this](double fraction) { deck_.seekByUser(fraction); });
    connect(hotCues_, &HotCueRow::pressed, this,
            [this](int slot) { act([slot](Deck& d) { d.hotCue_Click(slot); }); });
    connect(hotCues_, &HotCueRow::cleared, this,
            [this](int slot) { act([slot](Deck& d) { d.hotCueClear(slot); }); });
    connect(lcd_, &LcdDisplay::dropped, this, [this] { dropRequested(); });
    for (StateButton* b : findChildren<StateButton*>()) {
        connect(b, &StateButton::dropped, this, [this] { dropRequested(); });
    }
    for (DjSlider* s : findChildren<DjSlider*>()) {
        connect(s, &DjSlider::dropped, this, [this] { dropRequested(); });
    }
    refresh();
}

StateButton* DeckPanel::key(const char* name, const QString& text, const QString& tip, int style) {
    auto* b = new StateButton(text, static_cast<StateButton::Style>(style), this);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setMinimumHeight(26);
    return b;
}

QWidget* DeckPanel::buildTransport() {
    const DeckNames& n = side_ == Side::Left ? kLeftNames : kRightNames;
    const int green = static_cast<int>(StateButton::Style::Green);
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(5);

    open_ = key(n.open, "LOAD", "Load a song into this deck...");
    cueBack_ = key(n.cueBack, QString::fromUtf8("\u25C0 CUE"), "Edit cue point...");
    cueForward_ = key(n.cueForward, QString::fromUtf8("CUE \u25B6"), "Edit cue point...");
    playCue_ = key(n.playCue, "PREV CUE", "Play previous Cue-point", green);
    playCue_->setProperty("index", 0);
    resetCue_ = key(n.resetCue, "RESET", "Re-set Cuepoint");
    grid->addWidget(open_, 0, 0);
    grid->addWidget(cueBack_, 0, 1);
    grid->addWidget(cueForward_, 0, 2);
    grid->addWidget(playCue_, 0, 3);
    grid->addWidget(resetCue_, 0, 4);

    cue_ = key(n.cue, "CUE", "Cue: the cue point is set here");
    play_ = key(n.play, "PLAY", "Play from the cue point (right click: back to the cue point)");
    pause_ = key(n.pause, "PAUSE", "Pause");
    stop_ = key(n.stop, "STOP", "Stop like a turntable");
    auto* big = new QHBoxLayout;
    big->setSpacing(5);
    for (StateButton* b : {cue_, play_, pause_, stop_}) {
        b->setMinimumHeight(42);
        b->setFont(ui::dj::labelFont(13));
        big->addWidget(b);
    }
    grid->addLayout(big, 1, 0, 1, 5);

    loop_ = key(n.loop, "LOOP", "Loop - on the fly...");
    saveLoop_ = key(n.saveLoop, "SAVE LOOP", "Save loop...");
    playLoop_ = key(n.playLoop, "PLAY LOOP", "Play - Saved loop");
    auto* loops = new QHBoxLayout;
    loops->setSpacing(5);
    for (StateButton* b : {loop_, saveLoop_, playLoop_}) loops->addWidget(b);
    grid->addLayout(loops, 2, 0, 1, 5);

    connect(open_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.openFile_Click(); }); });
    connect(play_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.play_Click(); }); });
    connect(play_, &StateButton::mousePressed, this, [this](Qt::MouseButton button) {
        if (button != Qt::RightButton) return;
        act([](Deck& d) { d.play_RightClick(); });
        focusToMixer();
    });
    connect(pause_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.pause_Click(); }); });
    connect(stop_, &StateButton::pressed, this, [this] { act([](Deck& d) { d.stop_MouseDown(); }); });
    connect(cue_, &StateButton::pressed, this, [this] { act([](Deck& d) { d.cue_MouseDown(); }); });
    connect(cue_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.cue_Click(); }); });
    connect(cueBack_, &StateButton::pressed, this, [this] { act([](Deck& d) { d.cueBack_MouseDown(); }); });
    connect(cueBack_, &StateButton::released, this, [this] { act([](Deck& d) { d.cueBack_MouseUp(); }); });
    connect(cueForward_, &StateButton::pressed, this,
            [this] { act([](Deck& d) { d.cueForward_MouseDown(); }); });
    connect(cueForward_, &StateButton::released, this,
            [this] { act([](Deck& d) { d.cueForward_MouseUp(); }); });
    connect(playCue_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.playCue_Click(); }); });
    connect(resetCue_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.resetCue_Click(); }); });
    connect(loop_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.loop_Click(); }); });
    connect(saveLoop_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.saveLoop_Click(); }); });
    connect(playLoop_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.playLoop_Click(); }); });
    return box;
}

QWidget* DeckPanel::buildEqualiser() {
    const DeckNames& n = side_ == Side::Left ? kLeftNames : kRightNames;
    auto* panel = new ui::ConsolePanel("EQ", this);
    panel->setObjectName(n.eqPanel);
    panel->setRecessed(true);
    auto* grid = new QGridLayout(panel);
    grid->setSpacing(4);
    // High on the left, bass on the right, as on most mixers' channel strips read top to bottom.
    for (int band = 0; band < 3; ++band) {
        const int col = 2 - band;
        auto* fader = new DjSlider(Qt::Vertical, panel);
        fader->setObjectName(n.band);
        fader->setProperty("index", band);
        fader->setToolTip(kBandNames[band]);
        fader->setRange(0, 30);
        fader->setLargeChange(5);
        fader->setSmallChange(1);
        fader->setTickInterval(5);
        fader->setFill(DjSlider::Fill::FromCentre);
        bands_[band] = fader;
        auto* kill = key(n.kill, "KILL", QStringLiteral("Kill ") + kBandNames[band],
                         static_cast<int>(StateButton::Style::Kill));
        kill->setParent(panel);
        kill->setProperty("index", band);
        kills_[band] = kill;
        grid->addWidget(fader, 0, col, Qt::AlignHCenter);
        grid->addWidget(kill, 1, col);
        grid->addWidget(bandCaption(kBandCaptions[band], panel), 2, col);

        const auto moved = [this, band](int value) {
            act([band, value](Deck& d) { d.eqBand_Change(band, DeckEqualiser::gainFromSlider(value)); });
        };
        connect(fader, &DjSlider::scrolling, this, moved);
        connect(fader, &DjSlider::valueSettled, this, moved);
        connect(kill, &StateButton::clicked, this,
                [this, band] { act([band](Deck& d) { d.eqKill_Click(band); }); });
    }
    grid->setRowStretch(0, 1);
    eqOn_ = key(n.eqButton, "EQ ON", "Equalizer ON/OFF", static_cast<int>(StateButton::Style::Green));
    eqOn_->setParent(panel);
    grid->addWidget(eqOn_, 3, 0, 1, 3);
    connect(eqOn_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.eq_Click(); }); });
    return panel;
}

QWidget* DeckPanel::buildPitch() {
    const DeckNames& n = side_ == Side::Left ? kLeftNames : kRightNames;
    const int green = static_cast<int>(StateButton::Style::Green);
    auto* panel = new ui::ConsolePanel("PITCH", this);
    panel->setRecessed(true);
    auto* grid = new QGridLayout(panel);
    grid->setSpacing(4);

    pitch_ = new DjSlider(Qt::Vertical, panel);
    pitch_->setObjectName(n.pitch);
    pitch_->setToolTip("Pitch");
    pitch_->setRange(0, 2000);
    pitch_->setLargeChange(10);
    pitch_->setSmallChange(1);
    pitch_->setTickInterval(250);
    pitch_->setFill(DjSlider::Fill::FromCentre);
    // A long fader beside a column of keys: bend, zero, base frequency.
    grid->addWidget(pitch_, 0, 0, 8, 1);
    bendPlus_ = key(n.bendPlus, "+", "Bend the pitch up while held");
    bendMinus_ = key(n.bendMinus, QString::fromUtf8("\u2212"), "Bend the pitch down while held");
    pitchZero_ = key(n.pitchZero, "0 %", "Pitch to Zero...", green);
    speed22_ = key("speedCB", "22k", "Frequency = 22Khz...", green);
    speed22_->setProperty("index", n.speed22Index);
    speed44_ = key("speedCB", "44k", "Frequency = 44Khz...", green);
    speed44_->setProperty("index", n.speed22Index + 1);
    const bool left = side_ == Side::Left;
    keyLock_ = key(left ? "keyLockL" : "keyLockR", "KEY", "Key lock: the tempo changes, the key stays", green);
    sync_ = key(left ? "syncL" : "syncR", "SYNC", "Match the other deck's tempo and beat");
    int row = 0;
    for (StateButton* b : {bendMinus_, bendPlus_, pitchZero_, speed22_, speed44_, keyLock_, sync_}) {
        b->setParent(panel);
        b->setMinimumWidth(54);
        grid->addWidget(b, row++, 1);
    }
    grid->setRowStretch(7, 1);

    const auto moved = [this](int value) { act([value](Deck& d) { d.pitchSlider_Change(value); }); };
    connect(pitch_, &DjSlider::scrolling, this, moved);
    connect(pitch_, &DjSlider::valueSettled, this, moved);
    connect(pitch_, &DjSlider::mousePressed, this, [this] { focusToMixer(); });
    connect(bendPlus_, &StateButton::pressed, this, [this] { act([](Deck& d) { d.bendPlus_MouseDown(); }); });
    connect(bendPlus_, &StateButton::released, this, [this] {
        act([](Deck& d) { d.bendPlus_MouseUp(); });
        focusToMixer();
    });
    connect(bendMinus_, &StateButton::pressed, this,
            [this] { act([](Deck& d) { d.bendMinus_MouseDown(); }); });
    connect(bendMinus_, &StateButton::released, this, [this] {
        act([](Deck& d) { d.bendMinus_MouseUp(); });
        focusToMixer();
    });
    connect(pitchZero_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.pitchZero_Click(); }); });
    connect(speed22_, &StateButton::clicked, this, [this] {
        act([](Deck& d) { d.speed22_Click(); });
        focusToMixer();
    });
    connect(speed44_, &StateButton::clicked, this, [this] {
        act([](Deck& d) { d.speed44_Click(); });
        focusToMixer();
    });
    connect(keyLock_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.keyLock_Click(); }); });
    connect(sync_, &StateButton::clicked, this, [this] { act([](Deck& d) { d.sync_Click(); }); });
    return panel;
}

void DeckPanel::act(const std::function<void(Deck&)>& action) {
    action(deck_);
    console_.notifyChanged();
}

void DeckPanel::focusToMixer() {
    if (focusMixer) focusMixer();
}

void DeckPanel::dropRequested() {
    console_.dropOnDeck(side_);
}

void DeckPanel::dragEnterEvent(QDragEnterEvent* event) {
    event->acceptProposedAction();
}

void DeckPanel::dragMoveEvent(QDragMoveEvent* event) {
    event->acceptProposedAction();
}

void DeckPanel::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    if (!event->mimeData()->hasUrls()) return dropRequested();
    // Files from a file manager: the first one loads here (anything else is refused as any other drop).
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) files << url.toLocalFile();
    }
    console_.dropFilesOnDeck(side_, files);
    console_.notifyChanged();
}

void DeckPanel::tick() {
    lcd_->tick();
    refresh();
}

void DeckPanel::refresh() {
    const LcdState& l = deck_.lcd();
    const DeckState& s = deck_.state();
    const DeckLights& lights = deck_.lights();
    const DeckEqualiser& eq = deck_.eq();

    lcd_->setTitleText(l.title.isEmpty() ? console_.productName() : l.title);
    lcd_->setLengthText(l.lengthText);
    lcd_->setTimeText(l.timeText);
    lcd_->setPitchText(l.pitchText);
    lcd_->setBpmText(l.bpmText);
    lcd_->setProgress(l.progress);
    lcd_->setBusy(l.busy);
    lcd_->setPlay(l.play);
    lcd_->setPause(l.pause);
    lcd_->setStop(l.stop);
    lcd_->setCue(l.cue);
    lcd_->setLoop(l.loop);
    lcd_->setCueEditArrow(static_cast<int>(l.cueEditArrow));
    lcd_->setLoopEditArrow(static_cast<int>(l.loopEditArrow));

    const DeckMarks marks = deck_.marks();
    const analysis::TrackAnalysis* analysis = deck_.analysis();
    lcd_->overview()->setWaveform(analysis ? &analysis->waveform : nullptr, deck_.analysisSerial());
    lcd_->overview()->setMarks(marks);
    zoom_->setAnalysis(analysis, deck_.analysisSerial());
    zoom_->setMarks(marks);
    zoom_->setRunning(marks.playing);
    hotCues_->refresh(marks.hotCues);

    play_->setLit(l.play && !l.pause && !l.stop);
    pause_->setLit(l.pause);
    stop_->setLit(l.stop);
    cue_->setLit(l.cue);
    cueBack_->setLit(s.cueBackHeld);
    cueForward_->setLit(s.cueForwardHeld);
    playCue_->setLit(lights.playCueLit);
    pitchZero_->setLit(lights.pitchZeroLit);
    speed22_->setLit(lights.speed22Lit);
    speed44_->setLit(lights.speed44Lit);
    keyLock_->setLit(lights.keyLockLit);
    bendPlus_->setLit(s.bendPlusHeld);
    bendMinus_->setLit(s.bendMinusHeld);
    loop_->setEnabled(lights.loopEnabled);
    loop_->setLit(s.loopActive && !s.savedLoopMode);
    saveLoop_->setEnabled(lights.saveLoopEnabled);
    playLoop_->setEnabled(lights.playLoopEnabled);
    playLoop_->setLit(s.loopActive && s.savedLoopMode);
    eqOn_->setLit(eq.on());
    for (int band = 0; band < 3; ++band) {
        kills_[band]->setLit(eq.killed(band));
        if (kills_[band]->isEnabled() != eq.on()) {
            kills_[band]->setEnabled(eq.on());
            kills_[band]->setToolTip(eq.on() ? QStringLiteral("Kill ") + kBandNames[band] : kKillsNeedEq);
        }
        if (!bands_[band]->isSliderDown()) {
            const QSignalBlocker block(bands_[band]);
            bands_[band]->setValue(DeckEqualiser::sliderFromGain(eq.gainDb(band)));
        }
    }
    if (!pitch_->isSliderDown()) {
        const QSignalBlocker block(pitch_);
        pitch_->setValue(s.pitchSlider);
    }
}

}  // namespace vx
