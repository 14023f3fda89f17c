#include <gtest/gtest.h>

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QVBoxLayout>

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

// A deck and the mixer beside it, put together from the widgets the way the main window will.
QWidget* buildConsole() {
    auto* window = new QWidget;
    dj::applyConsolePalette(window);
    auto* row = new QHBoxLayout(window);

    auto* deck = new QWidget;
    auto* deckLayout = new QVBoxLayout(deck);
    auto* lcd = new LcdDisplay;
    lcd->setTitleText(QStringLiteral("Night Drive - Midnight Tones (Extended Mix)          Velumix"));
    lcd->setLengthText(QStringLiteral("00:03:41"));
    lcd->setTimeText(QStringLiteral("00:02:10"));
    lcd->setPitchText(QStringLiteral(" + 1.50%"));
    lcd->setProgress(37);
    lcd->setPlay(true);
    lcd->setLoop(true);
    lcd->setLoopEditArrow(LcdDisplay::ArrowForward);
    lcd->setObjectName(QStringLiteral("LCD_L"));
    deckLayout->addWidget(lcd);

    auto* transport = new QHBoxLayout;
    for (const char* t : {"CUE", "PLAY", "PAUSE", "STOP"}) {
        auto* b = new StateButton(QString::fromLatin1(t));
        b->setLit(QString::fromLatin1(t) == QLatin1String("PLAY"));
        b->setMinimumHeight(34);
        transport->addWidget(b);
    }
    deckLayout->addLayout(transport);

    auto* controls = new QHBoxLayout;
    auto* eq = new QGridLayout;
    const char* bands[] = {"HIGH", "MID", "BASS"};
    const int values[] = {10, 25, 10};
    for (int i = 0; i < 3; ++i) {
        auto* s = new DjSlider(Qt::Vertical);
        s->setRange(0, 30);
        s->setValue(values[i]);
        s->setTickInterval(5);
        s->setFill(DjSlider::Fill::FromCentre);
        eq->addWidget(s, 0, i, Qt::AlignHCenter);
        auto* kill = new StateButton(QStringLiteral("KILL"), StateButton::Style::Kill);
        kill->setLit(i == 2);
        eq->addWidget(kill, 1, i);
        eq->addWidget(caption(QString::fromLatin1(bands[i])), 2, i);
    }
    auto* eqOn = new StateButton(QStringLiteral("EQ ON"), StateButton::Style::Green);
    eqOn->setLit(true);
    eq->addWidget(eqOn, 3, 0, 1, 3);
    controls->addLayout(eq);
    auto* pitchCol = new QVBoxLayout;
    auto* pitch = new DjSlider(Qt::Vertical);
    pitch->setRange(0, 2000);
    pitch->setValue(850);
    pitch->setLargeChange(10);
    pitch->setTickInterval(250);
    pitch->setFill(DjSlider::Fill::FromCentre);
    pitchCol->addWidget(pitch, 1, Qt::AlignHCenter);
    auto* zero = new StateButton(QStringLiteral("0%"), StateButton::Style::Green);
    pitchCol->addWidget(zero);
    pitchCol->addWidget(caption(QStringLiteral("PITCH")));
    controls->addLayout(pitchCol);
    deckLayout->addLayout(controls, 1);
    row->addWidget(deck, 3);

    auto* mixer = new QWidget;
    auto* mix = new QGridLayout(mixer);
    auto* lMeter = new LevelMeter(Qt::Vertical);
    lMeter->setBars(24000, 31000);
    lMeter->setCaptions(QStringLiteral("L"), QStringLiteral("R"));
    auto* rMeter = new LevelMeter(Qt::Vertical);
    rMeter->setBars(4000, 9000);
    rMeter->setCaptions(QStringLiteral("L"), QStringLiteral("R"));
    auto* lVol = new DjSlider(Qt::Vertical);
    lVol->setRange(0, 100);
    lVol->setValue(20);
    lVol->setTickInterval(10);
    lVol->setFill(DjSlider::Fill::FromMaximum);
    auto* rVol = new DjSlider(Qt::Vertical);
    rVol->setRange(0, 100);
    rVol->setValue(50);
    rVol->setTickInterval(10);
    rVol->setFill(DjSlider::Fill::FromMaximum);
    mix->addWidget(lMeter, 0, 0);
    mix->addWidget(lVol, 0, 1);
    mix->addWidget(rVol, 0, 2);
    mix->addWidget(rMeter, 0, 3);
    auto* master = new LevelMeter(Qt::Horizontal);
    master->setBars(20000, 12000);
    master->setCaptions(QStringLiteral("R"), QStringLiteral("L"));
    mix->addWidget(master, 1, 0, 1, 4);
    auto* mainVol = new DjSlider(Qt::Horizontal);
    mainVol->setRange(0, 100);
    mainVol->setValue(50);
    mainVol->setTickInterval(10);
    mainVol->setFill(DjSlider::Fill::FromMinimum);
    mix->addWidget(caption(QStringLiteral("MAIN")), 2, 0);
    mix->addWidget(mainVol, 2, 1, 1, 3);
    auto* monitors = new QHBoxLayout;
    const char* names[] = {"MON L", "MON R", "STEREO"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new StateButton(QString::fromLatin1(names[i]), StateButton::Style::Green);
        b->setLit(i == 2);
        monitors->addWidget(b);
    }
    mix->addLayout(monitors, 3, 0, 1, 4);
    auto* cuts = new QHBoxLayout;
    cuts->addWidget(new StateButton(QStringLiteral("CUT L")));
    auto* xfader = new DjSlider(Qt::Horizontal);
    xfader->setRange(0, 100);
    xfader->setValue(50);
    xfader->setTickInterval(10);
    cuts->addWidget(xfader, 1);
    cuts->addWidget(new StateButton(QStringLiteral("CUT R")));
    mix->addLayout(cuts, 4, 0, 1, 4);
    row->addWidget(mixer, 2);

    window->resize(760, 420);
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
    }
}
