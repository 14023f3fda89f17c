#include <gtest/gtest.h>

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/widgets/console_panel.h"
#include "ui/widgets/dj_palette.h"
#include "ui/widgets/dj_slider.h"
#include "ui/widgets/lcd_display.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/state_button.h"

using namespace vx::ui;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "widgets_gallery";
    static char* argv[] = {name, nullptr};
    static QApplication* a = QApplication::instance() ? static_cast<QApplication*>(QApplication::instance())
                                                      : new QApplication(argc, argv);
    return *a;
}

QLabel* caption(const QString& text) {
    auto* l = new QLabel(text);
    l->setFont(dj::labelFont(10));
    l->setAlignment(Qt::AlignCenter);
    return l;
}

StateButton* key(const QString& text, StateButton::Style style = StateButton::Style::Neutral,
                 bool lit = false) {
    auto* b = new StateButton(text, style);
    b->setLit(lit);
    b->setMinimumHeight(30);
    return b;
}

DjSlider* fader(Qt::Orientation o, int max, int value, int ticks, DjSlider::Fill fill) {
    auto* s = new DjSlider(o);
    s->setRange(0, max);
    s->setValue(value);
    s->setTickInterval(ticks);
    s->setFill(fill);
    return s;
}

// One deck the way the main window lays it out; the right deck mirrors the left.
ConsolePanel* buildDeck(bool left) {
    auto* deck = new ConsolePanel(left ? QStringLiteral("DECK A") : QStringLiteral("DECK B"));
    auto* layout = new QVBoxLayout(deck);
    auto* lcd = new LcdDisplay;
    lcd->setObjectName(left ? QStringLiteral("LCD_L") : QStringLiteral("LCD_R"));
    if (left) {
        lcd->setTitleText(QStringLiteral("Night Drive - Midnight Tones (Extended Mix)          Velumix"));
        lcd->setLengthText(QStringLiteral("00:03:41"));
        lcd->setTimeText(QStringLiteral("00:02:10"));
        lcd->setPitchText(QStringLiteral(" + 1.50%"));
        lcd->setProgress(37);
        lcd->setPlay(true);
        lcd->setLoop(true);
        lcd->setLoopEditArrow(LcdDisplay::ArrowForward);
    } else {
        lcd->setTitleText(QStringLiteral("Sunrise Theme - Harbour Lights          Velumix"));
        lcd->setLengthText(QStringLiteral("00:05:12"));
        lcd->setPitchText(QStringLiteral(" 0.00% "));
        lcd->setProgress(92);
        lcd->setCue(true);
        lcd->setCueEditArrow(LcdDisplay::ArrowBack);
    }
    layout->addWidget(lcd);

    auto* transport = new QHBoxLayout;
    transport->addWidget(key(QStringLiteral("CUE"), StateButton::Style::Neutral, !left));
    transport->addWidget(key(QStringLiteral("PLAY"), StateButton::Style::Neutral, left));
    transport->addWidget(key(QStringLiteral("PAUSE")));
    transport->addWidget(key(QStringLiteral("STOP")));
    layout->addLayout(transport);
    auto* loops = new QHBoxLayout;
    loops->addWidget(key(QStringLiteral("LOOP")));
    loops->addWidget(key(QStringLiteral("SAVE")));
    loops->addWidget(key(QStringLiteral("PLAY LOOP")));
    loops->addWidget(key(QStringLiteral("PREV CUE"), StateButton::Style::Green, left));
    layout->addLayout(loops);

    auto* controls = new QHBoxLayout;
    auto* eqPanel = new ConsolePanel(QStringLiteral("EQ"));
    eqPanel->setRecessed(true);
    auto* eq = new QGridLayout(eqPanel);
    const char* bands[] = {"HIGH", "MID", "BASS"};
    const int values[] = {10, 25, 10};
    for (int i = 0; i < 3; ++i) {
        eq->addWidget(fader(Qt::Vertical, 30, values[i], 5, DjSlider::Fill::FromCentre), 0, i,
                      Qt::AlignHCenter);
        eq->addWidget(key(QStringLiteral("KILL"), StateButton::Style::Kill, left && i == 2), 1, i);
        eq->addWidget(caption(QString::fromLatin1(bands[i])), 2, i);
    }
    eq->addWidget(key(QStringLiteral("EQ ON"), StateButton::Style::Green, left), 3, 0, 1, 3);
    auto* pitchPanel = new ConsolePanel(QStringLiteral("PITCH"));
    pitchPanel->setRecessed(true);
    auto* pitchCol = new QGridLayout(pitchPanel);
    pitchCol->addWidget(fader(Qt::Vertical, 2000, left ? 850 : 1000, 250, DjSlider::Fill::FromCentre), 0, 0,
                        1, 2, Qt::AlignHCenter);
    pitchCol->addWidget(key(QStringLiteral("-")), 1, 0);
    pitchCol->addWidget(key(QStringLiteral("+")), 1, 1);
    pitchCol->addWidget(key(QStringLiteral("0%"), StateButton::Style::Green, !left), 2, 0, 1, 2);
    pitchCol->addWidget(key(QStringLiteral("22k"), StateButton::Style::Green, false), 3, 0);
    pitchCol->addWidget(key(QStringLiteral("44k"), StateButton::Style::Green, true), 3, 1);
    if (left) {
        controls->addWidget(eqPanel, 3);
        controls->addWidget(pitchPanel, 2);
    } else {
        controls->addWidget(pitchPanel, 2);
        controls->addWidget(eqPanel, 3);
    }
    layout->addLayout(controls, 1);
    return deck;
}

ConsolePanel* buildMixer() {
    auto* mixer = new ConsolePanel(QStringLiteral("MIXER"));
    auto* mix = new QGridLayout(mixer);
    auto* lMeter = new LevelMeter(Qt::Vertical);
    lMeter->setBars(24000, 31000);
    lMeter->setCaptions(QStringLiteral("L"), QStringLiteral("R"));
    auto* rMeter = new LevelMeter(Qt::Vertical);
    rMeter->setBars(4000, 9000);
    rMeter->setBars(1500, 3000);
    rMeter->setCaptions(QStringLiteral("L"), QStringLiteral("R"));
    mix->addWidget(lMeter, 0, 0);
    mix->addWidget(fader(Qt::Vertical, 100, 20, 10, DjSlider::Fill::FromMaximum), 0, 1);
    auto* phones = new QVBoxLayout;
    phones->addWidget(fader(Qt::Vertical, 100, 60, 10, DjSlider::Fill::FromMaximum), 1);
    phones->addWidget(caption(QStringLiteral("PHONES")));
    mix->addLayout(phones, 0, 2);
    mix->addWidget(fader(Qt::Vertical, 100, 50, 10, DjSlider::Fill::FromMaximum), 0, 3);
    mix->addWidget(rMeter, 0, 4);
    auto* master = new LevelMeter(Qt::Horizontal);
    master->setBars(20000, 12000);
    master->setCaptions(QStringLiteral("R"), QStringLiteral("L"));
    master->setFixedHeight(22);
    mix->addWidget(master, 1, 0, 1, 5);
    mix->addWidget(caption(QStringLiteral("MAIN")), 2, 0);
    mix->addWidget(fader(Qt::Horizontal, 100, 50, 10, DjSlider::Fill::FromMinimum), 2, 1, 1, 4);
    auto* monitors = new QHBoxLayout;
    monitors->addWidget(key(QStringLiteral("MON A"), StateButton::Style::Green));
    monitors->addWidget(key(QStringLiteral("MON B"), StateButton::Style::Green));
    monitors->addWidget(key(QStringLiteral("STEREO"), StateButton::Style::Green, true));
    mix->addLayout(monitors, 3, 0, 1, 5);
    auto* cuts = new QHBoxLayout;
    cuts->addWidget(key(QStringLiteral("CUT")));
    cuts->addWidget(fader(Qt::Horizontal, 100, 50, 10, DjSlider::Fill::None), 1);
    cuts->addWidget(key(QStringLiteral("CUT")));
    mix->addLayout(cuts, 4, 0, 1, 5);
    return mixer;
}

// Both decks and the mixer between them, put together from the widgets the way the main window will.
QWidget* buildConsole() {
    auto* window = new QWidget;
    dj::applyConsolePalette(window);
    auto* row = new QHBoxLayout(window);
    row->addWidget(buildDeck(true), 5);
    row->addWidget(buildMixer(), 3);
    row->addWidget(buildDeck(false), 5);
    window->resize(1180, 520);
    return window;
}

}  // namespace

// Builds a console from the widgets and checks it paints; with VX_WIDGETS_SHOT set, the picture goes to
// that path so a person can look at it.
TEST(WidgetsGallery, PaintsAConsole) {
    app();
    std::unique_ptr<QWidget> console(buildConsole());
    console->show();
    QApplication::processEvents();
    auto* lcd = console->findChild<LcdDisplay*>(QStringLiteral("LCD_L"));
    ASSERT_TRUE(lcd);
    for (int i = 0; i < 20; ++i) lcd->tick();
    EXPECT_EQ(lcd->titleScrollOffset(), 20 * LcdDisplay::kScrollStep);
    const QImage image = console->grab().toImage();
    ASSERT_FALSE(image.isNull());
    // The console is dark: its corner is the background colour.
    EXPECT_EQ(image.pixelColor(1, 1).rgb(), QColor::fromRgba(dj::kBackground).rgb());
    const QByteArray path = qgetenv("VX_WIDGETS_SHOT");
    if (!path.isEmpty()) {
        EXPECT_TRUE(image.save(QString::fromLocal8Bit(path)));
        // A close-up of the left deck's display, twice the size, for judging the details.
        const QRect lcdArea(lcd->mapTo(console.get(), QPoint(0, 0)), lcd->size());
        EXPECT_TRUE(image.copy(lcdArea)
                        .scaled(lcdArea.size() * 2)
                        .save(QString::fromLocal8Bit(path) + QStringLiteral(".lcd.png")));
    }
}
