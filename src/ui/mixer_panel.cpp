#include "ui/mixer_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/dj_console.h"
#include "mixer/mix_maths.h"
#include "ui/next_song_box.h"
#include "ui/widgets/dj_palette.h"
#include "ui/widgets/dj_slider.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/state_button.h"

namespace vx {

using ui::DjSlider;
using ui::LevelMeter;
using ui::StateButton;

namespace {

QLabel* label(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setFont(ui::dj::labelFont(10));
    l->setAlignment(Qt::AlignCenter);
    return l;
}

// Puts a model value on a slider unless the user is holding it.
void showValue(DjSlider* slider, int value) {
    if (slider->isSliderDown()) return;
    const QSignalBlocker block(slider);
    slider->setValue(value);
}

}  // namespace

MixerPanel::MixerPanel(DjConsole& console, QWidget* parent)
    : ui::ConsolePanel("MIXER", parent), console_(console) {
    setObjectName("Mixer");
    setFocusPolicy(Qt::StrongFocus);
    auto* column = new QVBoxLayout(this);
    column->setSpacing(8);
    column->addWidget(buildNextSong());
    column->addWidget(buildFaders(), 1);
    column->addWidget(buildMaster());
    column->addWidget(buildCrossfader());
    column->addWidget(buildRecord());
    refresh();
}

DjSlider* MixerPanel::fader(const char* name, Qt::Orientation orientation, const QString& tip) {
    auto* s = new DjSlider(orientation, this);
    s->setObjectName(name);
    s->setToolTip(tip);
    const int max = console_.mixer().sliderMax();
    s->setRange(0, max);
    s->setLargeChange(10);
    s->setSmallChange(1);
    s->setTickInterval(max / 10);
    connect(s, &DjSlider::mousePressed, this, [this] { setFocus(); });
    return s;
}

StateButton* MixerPanel::key(const char* name, int index, const QString& text, const QString& tip,
                             bool green) {
    auto* b = new StateButton(text, green ? StateButton::Style::Green : StateButton::Style::Neutral, this);
    b->setObjectName(name);
    if (index >= 0) b->setProperty("index", index);
    b->setToolTip(tip);
    b->setMinimumHeight(28);
    return b;
}

QWidget* MixerPanel::buildNextSong() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    grid->addWidget(label("NEXT SONG", box), 0, 0, 1, 3);
    auto* up = key("upCB", -1, QString::fromUtf8("\u25B2"), "Previous Song...", false);
    auto* down = key("downCB", -1, QString::fromUtf8("\u25BC"), "Next Song...", false);
    up->setFixedWidth(34);
    down->setFixedWidth(34);
    nextSong_ = new NextSongBox(console_, box);
    grid->addWidget(up, 1, 0);
    grid->addWidget(nextSong_, 1, 1);
    grid->addWidget(down, 1, 2);
    autoDj_ = key("autoDJCB", -1, "Auto-DJ ON/OFF", "Auto DJ: mix the playlist by itself", true);
    grid->addWidget(autoDj_, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    connect(autoDj_, &StateButton::clicked, this, [this] { console_.autoDj().autoDJCB_Click(); });
    connect(up, &StateButton::clicked, this, [this] { console_.upCB_Click(); });
    connect(down, &StateButton::clicked, this, [this] { console_.downCB_Click(); });
    return box;
}

QWidget* MixerPanel::buildFaders() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    leftMeter_ = new LevelMeter(Qt::Vertical, box);
    leftMeter_->setObjectName("LVUmeter");
    rightMeter_ = new LevelMeter(Qt::Vertical, box);
    rightMeter_->setObjectName("RVUmeter");
    // Bar A carries the right channel, bar B the left one.
    for (LevelMeter* m : {leftMeter_, rightMeter_}) {
        m->setCaptions("R", "L");
        m->setMinimumWidth(26);
    }
    leftVolume_ = fader("LVolScroll", Qt::Vertical, "Left deck volume");
    rightVolume_ = fader("RvolScroll", Qt::Vertical, "Right deck volume");
    monitorVolume_ = fader("monitorVolScroll", Qt::Vertical, "Headphone volume");
    for (DjSlider* s : {leftVolume_, rightVolume_, monitorVolume_}) s->setFill(DjSlider::Fill::FromMaximum);

    grid->addWidget(leftMeter_, 0, 0);
    grid->addWidget(leftVolume_, 0, 1, Qt::AlignHCenter);
    grid->addWidget(monitorVolume_, 0, 2, Qt::AlignHCenter);
    grid->addWidget(rightVolume_, 0, 3, Qt::AlignHCenter);
    grid->addWidget(rightMeter_, 0, 4);
    grid->addWidget(label("LEFT", box), 1, 0, 1, 2);
    grid->addWidget(label("PHONES", box), 1, 2);
    grid->addWidget(label("RIGHT", box), 1, 3, 1, 2);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(2, 1);

    const int max = console_.mixer().sliderMax();
    const auto bindLevel = [this, max](DjSlider* s, std::function<void(int level)> apply) {
        const auto moved = [this, max, apply](int value) {
            apply(mixer::levelFromDownwardSlider(value, max));
        };
        connect(s, &DjSlider::scrolling, this, moved);
        connect(s, &DjSlider::valueSettled, this, moved);
    };
    MixerModel& m = console_.mixer();
    bindLevel(leftVolume_, [&m](int level) { m.setDeckLevel(MixerModel::kLeftDeck, level); });
    bindLevel(rightVolume_, [&m](int level) { m.setDeckLevel(MixerModel::kRightDeck, level); });
    bindLevel(monitorVolume_, [&m](int level) { m.setMonitorLevel(level); });
    return box;
}

QWidget* MixerPanel::buildMaster() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(5);
    masterMeter_ = new LevelMeter(Qt::Horizontal, box);
    masterMeter_->setObjectName("mainVolVUmeter");
    // One bar per deck, the left deck's on top (the model's bar B).
    masterMeter_->setCaptions("L DECK", "R DECK");
    masterMeter_->setFixedHeight(24);
    masterMeter_->setLightShown(true);
    masterMeter_->setToolTip(
        "Main output: the left deck above, the right deck below. The red light shows that the limiter held "
        "the sound down.");
    grid->addWidget(masterMeter_, 0, 0, 1, 3);
    grid->addWidget(label("MAIN", box), 1, 0);
    mainVolume_ = fader("MainVolScroll", Qt::Horizontal, "Main volume");
    mainVolume_->setFill(DjSlider::Fill::FromMinimum);
    grid->addWidget(mainVolume_, 1, 1, 1, 2);

    monitors_[0] = key("monitorCMB", 0, "MON L", "Monitor Left Channel...", true);
    monitors_[1] = key("monitorCMB", 1, "MON R", "Monitor Right Channel...", true);
    monitors_[2] = key("monitorCMB", 2, "STEREO", "Stereo: Monitor=OFF...", true);
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(monitors_[i], 2, i);
        connect(monitors_[i], &StateButton::clicked, this, [this, i] { console_.mixer().pressMonitor(i); });
    }
    const auto moved = [this](int value) { console_.mixer().setMainVolume(value); };
    connect(mainVolume_, &DjSlider::scrolling, this, moved);
    connect(mainVolume_, &DjSlider::valueSettled, this, moved);
    return box;
}

QWidget* MixerPanel::buildCrossfader() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    cuts_[0] = key("xFader_cut", 0, "CUT", "Left Xfader cut", false);
    cuts_[1] = key("xFader_cut", 1, "CUT", "Right Xfader cut", false);
    crossfader_ = fader("crossFaderScroll", Qt::Horizontal, "Crossfader");
    crossfader_->setMinimumHeight(40);
    row->addWidget(cuts_[0]);
    row->addWidget(crossfader_, 1);
    row->addWidget(cuts_[1]);
    for (int i = 0; i < 2; ++i) {
        cuts_[i]->setFixedWidth(46);
        connect(cuts_[i], &StateButton::pressed, this, [this, i] {
            console_.mixer().pressCut(i);
            changed();
        });
        connect(cuts_[i], &StateButton::released, this, [this] { console_.mixer().releaseCut(); });
    }
    const auto moved = [this](int value) { console_.mixer().setCrossfader(value); };
    connect(crossfader_, &DjSlider::scrolling, this, moved);
    connect(crossfader_, &DjSlider::valueSettled, this, moved);
    return box;
}

QWidget* MixerPanel::buildRecord() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    record_ = key("recordCB", -1, "REC", "Record the mix to a file", false);
    record_->setStyle(StateButton::Style::Kill);
    record_->setFixedWidth(46);
    recordTime_ = label({}, box);
    recordTime_->setObjectName("recordTime");
    recordTime_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    row->addWidget(record_);
    row->addWidget(recordTime_, 1);
    connect(record_, &StateButton::clicked, this, [this] { console_.recording().toggle(); });
    return box;
}

void MixerPanel::changed() {
    console_.notifyChanged();
}

void MixerPanel::tick() {
    for (LevelMeter* m : {leftMeter_, rightMeter_, masterMeter_}) m->tick();
    refresh();
}

void MixerPanel::refresh() {
    const MixerModel& m = console_.mixer();
    const int max = m.sliderMax();
    showValue(leftVolume_, mixer::downwardSliderFromLevel(m.deckLevel(MixerModel::kLeftDeck), max));
    showValue(rightVolume_, mixer::downwardSliderFromLevel(m.deckLevel(MixerModel::kRightDeck), max));
    showValue(monitorVolume_, mixer::downwardSliderFromLevel(m.monitorLevel(), max));
    showValue(mainVolume_, m.mainVolume());
    showValue(crossfader_, m.crossfader());
    for (int i = 0; i < 3; ++i) monitors_[i]->setLit(m.monitorButtonLit(i));
    for (int i = 0; i < 2; ++i) cuts_[i]->setLit(m.cutRunning() && m.cutDeck() == i);

    DeckPair& decks = console_.decks();
    leftMeter_->setBars(decks.left().meter().a, decks.left().meter().b);
    rightMeter_->setBars(decks.right().meter().a, decks.right().meter().b);
    masterMeter_->setBars(decks.masterMeter().b, decks.masterMeter().a);
    masterMeter_->setLightLit(m.limitLit());
    const Recording& recording = console_.recording();
    record_->setLit(recording.active());
    recordTime_->setText(recording.elapsedText());
    nextSong_->refresh();
    autoDj_->setLit(console_.autoDj().on());
}

}  // namespace vx
