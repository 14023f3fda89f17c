#include "ui/options_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "ui/widgets/dj_palette.h"
#include "ui/widgets/dj_slider.h"
#include "version.h"

namespace vx::ui {

namespace {
using Slider = OptionsModel::Slider;
constexpr int kStatusRefreshMs = 1000;

const char* kStyle =
    "#optionsF { background: #101215; border: 1px solid #3a414b; }"
    "#titleBar { background: #1f232b; border-bottom: 1px solid #2e333d; }"
    "#titleText { color: #c9d1dc; font-weight: bold; }"
    "#imgIcon { color: #58e07a; font-weight: bold; }"
    "QGroupBox { color: #7fe9ff; font-weight: bold; border: 1px solid #2e333d; margin-top: 10px;"
    "  padding: 6px 4px 4px 4px; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 3px; }"
    "QLabel { color: #dfe5ec; }"
    "QLabel[endLabel=\"true\"] { color: #7d8894; font-size: 10px; }"
    "QComboBox, QLineEdit { background: #1a1d22; color: #dfe5ec; border: 1px solid #3a414b; padding: 2px 4px; }"
    "QComboBox:focus, QLineEdit:focus, QRadioButton:focus, QCheckBox:focus, QPushButton:focus"
    "  { border: 1px solid #38c6ff; }"
    "QRadioButton, QCheckBox { color: #dfe5ec; border: 1px solid transparent; padding: 1px; }"
    "QPushButton { background: #2a2f39; color: #c9d1dc; border: 1px solid #3a404c; padding: 3px 10px; }"
    "QPushButton:hover { background: #353b47; }"
    "#cmdcloseButton:hover { background: #a02828; }"
    "QToolTip { background: #252a31; color: #dfe5ec; border: 1px solid #3a414b; }";

QString indexed(const char* name, int index) {
    return QString::fromLatin1(name) + u'_' + QString::number(index);
}

QLabel* endLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setProperty("endLabel", true);
    return label;
}

QGroupBox* frame(const QString& caption, QWidget* parent) {
    return new QGroupBox(caption, parent);
}
}  // namespace

OptionsWindow::OptionsWindow(OptionsModel& model, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), model_(model) {
    setObjectName("optionsF");
    setWindowTitle(QString::fromLatin1(kProductName) + " Options");
    setModal(true);
    setAttribute(Qt::WA_StyledBackground);
    dj::applyConsolePalette(this);
    setStyleSheet(kStyle);

    auto* columns = new QHBoxLayout;
    columns->addWidget(buildSoundColumn());
    columns->addWidget(buildTimingColumn());
    columns->addWidget(buildSetupColumn());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(buildTitleBar());
    layout->addLayout(columns);
    for (int i = 1; i < layout->count(); ++i) layout->itemAt(i)->layout()->setContentsMargins(8, 0, 8, 0);

    model_.load();
    showModel();
    showOutputStatus();
    statusTimer_ = new QTimer(this);
    statusTimer_->setInterval(kStatusRefreshMs);
    connect(statusTimer_, &QTimer::timeout, this, &OptionsWindow::showOutputStatus);
    statusTimer_->start();

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    device_->setFocus();
}

OptionsWindow::~OptionsWindow() {
    if (!closed_) model_.close();  // unloaded by the program: stored as any other close
}

QWidget* OptionsWindow::buildTitleBar() {
    titleBar_ = new QWidget(this);
    titleBar_->setObjectName("titleBar");
    titleBar_->setAttribute(Qt::WA_StyledBackground);
    auto* row = new QHBoxLayout(titleBar_);
    row->setContentsMargins(8, 2, 4, 2);
    imgIcon_ = new QLabel(QString::fromUtf8("\u25C9"), titleBar_);
    imgIcon_->setObjectName("imgIcon");
    auto* text = new QLabel(windowTitle(), titleBar_);
    text->setObjectName("titleText");
    text->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* close = new QPushButton(QString::fromUtf8("\u2715"), titleBar_);
    close->setObjectName("cmdcloseButton");
    close->setToolTip("Close");
    close->setFocusPolicy(Qt::NoFocus);  // Escape and Enter close from the keyboard
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(imgIcon_);
    row->addWidget(text, 1);
    row->addWidget(close);
    titleBar_->installEventFilter(this);
    imgIcon_->installEventFilter(this);
    return titleBar_;
}

QWidget* OptionsWindow::buildSoundColumn() {
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);

    auto* deviceFrame = frame("Playback Device (Restart):", column);
    device_ = new QComboBox(deviceFrame);
    device_->setObjectName("cmbDevice");
    device_->setToolTip("Select Soundcard to use...");
    device_->addItems(model_.devices());
    connect(device_, &QComboBox::activated, this, [this](int i) { model_.chooseDevice(i); });
    (new QVBoxLayout(deviceFrame))->addWidget(device_);
    v->addWidget(deviceFrame);

    auto* qualityFrame = frame("QUALITY (Restart)", column);
    quality_ = new QComboBox(qualityFrame);
    quality_->setObjectName("cmbPlayQuality");
    quality_->addItems(OptionsModel::qualities());
    connect(quality_, &QComboBox::activated, this, [this](int i) { model_.chooseQuality(i); });
    (new QVBoxLayout(qualityFrame))->addWidget(quality_);
    v->addWidget(qualityFrame);

    auto* latencyFrame = frame("OUTPUT LATENCY (Restart)", column);
    latency_ = new QComboBox(latencyFrame);
    latency_->setObjectName("cmbOutputLatency");
    latency_->setToolTip("How long the sound card may take to play what it is given...");
    for (int ms : kOutputLatencies) latency_->addItem(QString::number(ms) + " ms");
    connect(latency_, &QComboBox::activated, this, [this](int i) { model_.chooseLatency(i); });
    measured_ = new QLabel(latencyFrame);
    measured_->setObjectName("lblMeasuredLatency");
    underruns_ = new QLabel(latencyFrame);
    underruns_->setObjectName("lblUnderruns");
    limiter_ = new QCheckBox("Limiter (Restart)", latencyFrame);
    limiter_->setObjectName("chkLimiter");
    limiter_->setToolTip("Keep the output from clipping...");
    connect(limiter_, &QCheckBox::toggled, this, [this](bool on) { model_.setLimiter(on); });
    auto* grid = new QGridLayout(latencyFrame);
    grid->addWidget(latency_, 0, 0, 1, 2);
    grid->addWidget(new QLabel("Measured:", latencyFrame), 1, 0);
    grid->addWidget(measured_, 1, 1);
    grid->addWidget(new QLabel("Dropouts:", latencyFrame), 2, 0);
    grid->addWidget(underruns_, 2, 1);
    grid->addWidget(limiter_, 3, 0, 1, 2);
    v->addWidget(latencyFrame);

    auto* phonesFrame = frame("HEADPHONES", column);
    phones_ = new QComboBox(phonesFrame);
    phones_->setObjectName("cmbHeadphones");
    phones_->setToolTip("Where the monitored deck is heard...");
    phones_->addItems(model_.headphoneChoices());
    connect(phones_, &QComboBox::activated, this, [this](int i) { model_.chooseHeadphones(i); });
    (new QVBoxLayout(phonesFrame))->addWidget(phones_);
    v->addWidget(phonesFrame);

    auto* seekFrame = frame("SEEKING ACCURACY", column);
    auto* seekRow = new QHBoxLayout(seekFrame);
    auto* seekGroup = new QButtonGroup(seekFrame);
    const std::array<QString, 2> seekCaptions{"Medium ", "High"};
    for (int i = 0; i < 2; ++i) {
        seek_[size_t(i)] = new QRadioButton(seekCaptions[size_t(i)], seekFrame);
        seek_[size_t(i)]->setObjectName(indexed("optSeek", i));
        seek_[size_t(i)]->setToolTip("Use Medium for slow Machine...");
        seekGroup->addButton(seek_[size_t(i)], i);
        seekRow->addWidget(seek_[size_t(i)]);
    }
    connect(seekGroup, &QButtonGroup::idClicked, this, [this](int i) { model_.setExactSeeking(i == 1); });
    v->addWidget(seekFrame);
    v->addWidget(sliderFrame(Slider::Buffer, "bufferSlider", "BUFFER (Restart)",
                             "Set buffer size - Use large Buffer for slow machine... ", {"Small", "Large"}));
    v->addStretch(1);
    return column;
}

QWidget* OptionsWindow::buildTimingColumn() {
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(sliderFrame(Slider::EqBandwidth, "eqBandWidthSlider", "EQ-BW (Restart)", "Set EQ Bandwidth ... ", {}));
    v->addWidget(sliderFrame(Slider::Stutter, "stutterSlider", "Stuttering Speed",
                             "Adjust the cue search 'stutter'... ", {"Fast", "Slow"}));
    v->addWidget(sliderFrame(Slider::XFaderCut, "XFaderCutSpeed_slider", "XFADER CUT SPEED",
                             "Set Xfader 'Cutting' Speed...", {"Fast", "Slow"}));
    v->addWidget(sliderFrame(Slider::AutoMix, "autoMixSlider", "AUTO-DJ START", "How soon does AutoDJ Start...",
                             {"Early", "Late"}));
    v->addWidget(sliderFrame(Slider::PitchRange, "pitchRange_slider", "PITCH RANGE (+/-)",
                             "Set +/- Pitch Range...", {}));

    auto* eqFrame = frame("EQ MODE", column);
    auto* eqRow = new QHBoxLayout(eqFrame);
    auto* eqGroup = new QButtonGroup(eqFrame);
    const std::array<QString, 2> eqCaptions{"Classic", "Isolator"};
    for (int i = 0; i < 2; ++i) {
        eqMode_[size_t(i)] = new QRadioButton(eqCaptions[size_t(i)], eqFrame);
        eqMode_[size_t(i)]->setObjectName(indexed("optEqMode", i));
        eqMode_[size_t(i)]->setToolTip("Peaking bands, or an isolator whose kills remove their band...");
        eqGroup->addButton(eqMode_[size_t(i)], i);
        eqRow->addWidget(eqMode_[size_t(i)]);
    }
    connect(eqGroup, &QButtonGroup::idClicked, this, [this](int i) {
        model_.setEqMode(i == 1 ? audio::EqMode::Isolator : audio::EqMode::Peaking);
    });
    v->addWidget(eqFrame);

    auto* loudnessFrame = frame("LOUDNESS", column);
    autoGain_ = new QCheckBox("Auto gain", loudnessFrame);
    autoGain_->setObjectName("chkAutoGain");
    autoGain_->setToolTip("Play every analysed song at the same loudness...");
    connect(autoGain_, &QCheckBox::toggled, this, [this](bool on) { model_.setAutoGain(on); });
    (new QVBoxLayout(loudnessFrame))->addWidget(autoGain_);
    v->addWidget(loudnessFrame);
    v->addStretch(1);
    return column;
}

QWidget* OptionsWindow::buildSetupColumn() {
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(sliderFrame(Slider::Braking, "TurntableStopSpeed_slider", "TT BRAKING", "Braking Speed...",
                             {"Slow", "Default", "Fast"}));

    auto* setupFrame = frame("DJ SETUP", column);
    auto* setupColumn = new QVBoxLayout(setupFrame);
    auto* setupGroup = new QButtonGroup(setupFrame);
    const std::array<QString, 3> captions{"Club DJ ", "Battle - Mixer on Left", "Battle - Mixer on Right"};
    for (int i = 0; i < 3; ++i) {
        djSetup_[size_t(i)] = new QRadioButton(captions[size_t(i)], setupFrame);
        djSetup_[size_t(i)]->setObjectName(indexed("djSetupOpt", i));
        djSetup_[size_t(i)]->setToolTip("DJ Setup...");
        setupGroup->addButton(djSetup_[size_t(i)], i);
        setupColumn->addWidget(djSetup_[size_t(i)]);
    }
    connect(setupGroup, &QButtonGroup::idClicked, this, [this](int i) { model_.chooseDjSetup(i); });
    v->addWidget(setupFrame);

    auto* filesFrame = frame("FILE LOCATIONS", column);
    auto* files = new QVBoxLayout(filesFrame);
    playlistPath_ = new QLineEdit(filesFrame);
    playlistPath_->setObjectName("txtPlaylistPath");
    connect(playlistPath_, &QLineEdit::textEdited, this, [this](const QString& t) { model_.setPlaylistText(t); });
    playlistPath_->installEventFilter(this);
    files->addWidget(new QLabel("Playlists:", filesFrame));
    files->addWidget(playlistPath_);
    v->addWidget(filesFrame);

    auto* associate = new QPushButton("Associate Music Files...", column);
    associate->setObjectName("cmdAssociate");
    connect(associate, &QPushButton::clicked, this, [this] {
        if (onAssociate) onAssociate();
    });
    v->addWidget(associate);
    v->addStretch(1);
    return column;
}

// The braking fader stands upright with its three labels down its side; the others lie with one label
// at each end.
QWidget* OptionsWindow::sliderFrame(Slider which, const char* name, const QString& caption, const QString& tip,
                                    const QStringList& endLabels) {
    const bool upright = which == Slider::Braking;
    auto* box = frame(caption, this);
    auto* slider = new DjSlider(upright ? Qt::Vertical : Qt::Horizontal, box);
    slider->setObjectName(name);
    slider->setToolTip(tip);
    const OptionsModel::Range r = OptionsModel::range(which);
    slider->setRange(r.minimum, r.maximum);
    slider->setSmallChange(r.smallStep);
    slider->setLargeChange(r.largeStep);
    slider->setTickInterval(r.largeStep);
    slider->setFill(DjSlider::Fill::FromMinimum);
    connect(slider, &QAbstractSlider::valueChanged, this, [this, which, slider](int value) {
        model_.setSlider(which, value);
        if (slider->value() != model_.slider(which)) slider->setValue(model_.slider(which));
    });
    sliders_[static_cast<size_t>(which)] = slider;
    if (upright) {
        slider->setMinimumHeight(150);
        auto* labels = new QVBoxLayout;
        for (const QString& l : endLabels) {
            if (labels->count() > 0) labels->addStretch(1);
            labels->addWidget(endLabel(l, box));
        }
        auto* row = new QHBoxLayout(box);
        row->addWidget(slider);
        row->addLayout(labels);
        return box;
    }
    slider->setMinimumWidth(150);
    auto* row = new QHBoxLayout(box);
    if (endLabels.size() == 2) row->addWidget(endLabel(endLabels[0], box));
    row->addWidget(slider, 1);
    if (endLabels.size() == 2) row->addWidget(endLabel(endLabels[1], box));
    return box;
}

void OptionsWindow::showModel() {
    device_->setCurrentIndex(model_.deviceIndex());
    quality_->setCurrentIndex(model_.qualityIndex());
    latency_->setCurrentIndex(model_.latencyIndex());
    phones_->setCurrentIndex(model_.headphonesIndex());
    limiter_->setChecked(model_.limiter());
    autoGain_->setChecked(model_.autoGain());
    seek_[model_.exactSeeking() ? 1 : 0]->setChecked(true);
    eqMode_[model_.eqMode() == audio::EqMode::Isolator ? 1 : 0]->setChecked(true);
    djSetup_[static_cast<size_t>(model_.djSetup())]->setChecked(true);
    for (int i = 0; i < OptionsModel::kSliderCount; ++i) {
        sliders_[size_t(i)]->setValue(model_.slider(static_cast<Slider>(i)));
    }
    playlistPath_->setText(model_.playlistText());
}

void OptionsWindow::showOutputStatus() {
    measured_->setText(model_.measuredLatencyText());
    underruns_->setText(model_.underrunText());
}

void OptionsWindow::done(int result) {
    if (!closed_) {
        closed_ = true;
        statusTimer_->stop();
        model_.close();
    }
    QDialog::done(result);
}

void OptionsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);  // Escape rejects, which closes and stores the same
}

void OptionsWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
    QDialog::mousePressEvent(event);
}

bool OptionsWindow::eventFilter(QObject* watched, QEvent* event) {
    // Only a move of the focus inside the dialog checks the folder: switching windows does not.
    if (watched == playlistPath_ && event->type() == QEvent::FocusOut && !closed_ &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        model_.playlistFolderLeft();
        playlistPath_->setText(model_.playlistText());
    } else if ((watched == titleBar_ || watched == imgIcon_) && event->type() == QEvent::MouseButtonPress &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && windowHandle()) {
        return windowHandle()->startSystemMove();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vx::ui
