
#include <QLabel>
#include <QTest>

#include "app/console_fixture.h"
#include "deck/deck.h"
#include "ui/main_window.h"
#include "ui/widgets/dj_palette.h"
#include "ui/widgets/dj_slider.h"
#include "ui/widgets/lcd_display.h"
#include "ui/widgets/level_meter.h"
#include "ui/widgets/state_button.h"
#include "ui/widgets/waveform_overview.h"
#include "widgets_app.h"

namespace vx {
namespace {

using ui::DjSlider;
using ui::LcdDisplay;
using ui::StateButton;

// The main window over fakes; controls are found and used by their names, as a user meets them.
class ConsoleSession : public ::testing::Test, public test::WithApp, public test::ConsoleFixture {
  protected:
    std::unique_ptr<MainWindow> window;

    void open() {
        ASSERT_TRUE(app->start());
        window = std::make_unique<MainWindow>(*app);
        window->console().setPlaylist(playlist.link());
        window->startConsole();
        window->show();
    }
    DjConsole& dj() { return window->console(); }

    template <class T = QWidget>
    T* named(const char* name, int index = -1) { return test::named<T>(window.get(), name, index); }
    StateButton* button(const char* name, int index = -1) { return named<StateButton>(name, index); }
    void click(const char* name, int index = -1) { test::click(window.get(), name, index); }
    void press(const char* name, int index = -1) { QTest::mousePress(named(name, index), Qt::LeftButton); }
    void release(const char* name, int index = -1) { QTest::mouseRelease(named(name, index), Qt::LeftButton); }
    void dropOn(const char* name) {
        QMimeData mime;
        mime.setText("next song");
        test::dropOn(named(name), mime);
    }
    LcdDisplay* lcd(const char* name) { return named<LcdDisplay>(name); }
    test::FakeSoundLibrary::Stream& streamOf(Side side) {
        return *library.stream(dj().deck(side).state().streamHandle);
    }
};

// The controls reach their models and the models' changes reach the controls; what the models then do is
// their own tests' business.
TEST_F(ConsoleSession, LoadCuePlayPitchLoopAndCrossfade) {
    open();
    const QString a = song("Night Drive.mp3"), b = song("Sunrise.mp3");
    constexpr std::int64_t kSecond = 44100 * 4;

    // Load: the left deck through its open button, the right one by dragging the next song onto it.
    dialogs.openManyAnswers.push_back(QStringList{a});
    click("openFileCB2");
    EXPECT_TRUE(lcd("LCD_L")->titleText().startsWith("Night Drive"));
    EXPECT_EQ(named<QLabel>("nextSongTXT")->text(), "1. Night Drive.mp3");
    playlist.link().addSong(b);
    window->refreshAll();
    press("nextSongTXT");
    dropOn("LCD_R");
    EXPECT_EQ(dj().deck(Side::Right).state().fileName, b);
    EXPECT_TRUE(dialogs.shown.empty());

    // Play, then Cue held at three seconds: the first cue lights Play previous Cue-point.
    click("playCB2");
    EXPECT_EQ(streamOf(Side::Left).activity, audio::kPlaying);
    EXPECT_TRUE(button("playCB2")->isLit());
    EXPECT_TRUE(lcd("LCD_L")->indicator(LcdDisplay::Play));
    EXPECT_FALSE(button("Lplay_cue", 0)->isLit());
    streamOf(Side::Left).position = 3 * kSecond;
    press("cueCB2");
    EXPECT_EQ(dj().deck(Side::Left).state().cuePoint, 3 * kSecond);
    EXPECT_TRUE(lcd("LCD_L")->indicator(LcdDisplay::Cue));
    release("cueCB2");
    EXPECT_FALSE(lcd("LCD_L")->indicator(LcdDisplay::Cue));
    EXPECT_TRUE(button("Lplay_cue", 0)->isLit());

    // Pitch moved by the model shows on the LCD and the zero light; the zero button brings it back.
    dj().deck(Side::Left).pitchSlider_Change(1010);
    window->refreshAll();
    EXPECT_EQ(lcd("LCD_L")->pitchText(), " + 0.10%");
    EXPECT_FALSE(button("LpitchZeroIndicator")->isLit());
    click("LpitchZeroIndicator");
    EXPECT_EQ(named<DjSlider>("LpitchScroll")->value(), 1000);
    EXPECT_TRUE(button("LpitchZeroIndicator")->isLit());
    // A bend lasts while held.
    press("LpBend_PlusCB");
    EXPECT_EQ(streamOf(Side::Left).frequency, 44144);
    release("LpBend_PlusCB");
    EXPECT_EQ(streamOf(Side::Left).frequency, 44100);

    // Loop on the fly, then save it.
    EXPECT_FALSE(button("SaveLoop2")->isEnabled());
    streamOf(Side::Left).position = 5 * kSecond;
    click("loopCB2");
    EXPECT_TRUE(dj().deck(Side::Left).state().loopActive);
    EXPECT_TRUE(lcd("LCD_L")->indicator(LcdDisplay::Loop));
    EXPECT_TRUE(button("loopCB2")->isLit());
    EXPECT_FALSE(button("playLoopCB2")->isEnabled());
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    click("SaveLoop2");
    EXPECT_TRUE(dialogs.texts().endsWith("Loop has been Saved!"));

    // The right cut flickers the left deck in and out while held; release centres the crossfader.
    press("xFader_cut", 1);
    EXPECT_EQ(dj().selectedDeck(), 1);
    EXPECT_TRUE(button("xFader_cut", 1)->isLit());
    ticker.advance(dj().mixer().cutSpeed());
    EXPECT_EQ(named<DjSlider>("crossFaderScroll")->value(), 0);
    release("xFader_cut", 1);
    EXPECT_EQ(named<DjSlider>("crossFaderScroll")->value(), 50);
    EXPECT_FALSE(button("xFader_cut", 1)->isLit());

    // Monitoring the left deck: only its button is lit.
    click("monitorCMB", 0);
    EXPECT_EQ(dj().mixer().monitorMode(), 1);
    EXPECT_TRUE(button("monitorCMB", 0)->isLit());
    EXPECT_FALSE(button("monitorCMB", 2)->isLit());

    // The display tick shows the time left and the meters.
    click("playCB");
    streamOf(Side::Right).position = 7 * kSecond;
    streamOf(Side::Right).level = (20000u << 16) | 10000u;
    ticker.advance(80);
    EXPECT_EQ(lcd("LCD_R")->lengthText(), "00:00:03");
    EXPECT_EQ(lcd("LCD_R")->progress(), 70);
    EXPECT_EQ(named<ui::LevelMeter>("RVUmeter")->barA(), 10000);
    EXPECT_EQ(named<ui::LevelMeter>("RVUmeter")->barB(), 5000);

    // With VX_CONSOLE_SHOT set, the console in the middle of the session goes to that picture.
    const QByteArray shot = qgetenv("VX_CONSOLE_SHOT");
    if (!shot.isEmpty()) {
        streamOf(Side::Left).level = (23000u << 16) | 26000u;
        ticker.advance(80);
        EXPECT_TRUE(window->grab().save(QString::fromLocal8Bit(shot)));
    }

    // Closing is refused while a deck plays; paused decks let the program go.
    EXPECT_FALSE(window->close());
    click("LpauseCB");
    click("pauseCB");
    EXPECT_TRUE(lcd("LCD_R")->indicator(LcdDisplay::Pause));
    EXPECT_TRUE(window->close());
}

TEST_F(ConsoleSession, EqualiserAndKillColoursFollowTheModel) {
    open();
    StateButton* eq = button("cmdEQ");
    StateButton* killBass = button("cmdReqKill", 0);
    EXPECT_EQ(eq->faceColour().rgb(), QColor::fromRgba(ui::dj::kKeyOff).rgb());
    // Kills do nothing while the equaliser is off: disabled, and they say why.
    EXPECT_FALSE(killBass->isEnabled());
    EXPECT_EQ(killBass->toolTip(), "Turn the EQ on to use the kills");
    click("cmdEQ");
    EXPECT_TRUE(dj().deck(Side::Right).eq().on());
    EXPECT_EQ(eq->faceColour().rgb(), QColor::fromRgba(ui::dj::kLitGreen).rgb());
    EXPECT_EQ(killBass->toolTip(), "Kill Bass");
    click("cmdReqKill", 0);
    EXPECT_TRUE(dj().deck(Side::Right).eq().killed(0));
    EXPECT_EQ(killBass->faceColour().rgb(), QColor::fromRgba(ui::dj::kKillRed).rgb());

    // The band faders grow downwards: the top is +15 dB.
    auto* mid = named<DjSlider>("eqScroll", 1);
    EXPECT_EQ(mid->value(), 25);
    mid->setFocus();
    QTest::keyClick(mid, Qt::Key_Home);
    EXPECT_EQ(dj().deck(Side::Right).eq().gainDb(1), 15);

    // Switching off asks first; No keeps it on.
    dialogs.answers.push_back(Dialogs::Answer::No);
    click("cmdEQ");
    EXPECT_EQ(dialogs.shown.back().text, "Switch off EQ?");
    EXPECT_TRUE(eq->isLit());
    EXPECT_FALSE(button("cmdLEQ")->isLit());
}

TEST_F(ConsoleSession, AProgressDragSeeksOnTheNextTick) {
    open();
    const QString a = song("a.mp3");
    ASSERT_TRUE(dj().deck(Side::Left).loadSong(a));
    LcdDisplay* display = lcd("LCD_L");
    const QRect bar = display->progressRect();
    QTest::mouseClick(display, Qt::LeftButton, {}, QPoint(bar.left() + bar.width() / 2, bar.center().y()));
    ticker.advance(80);
    EXPECT_NEAR(static_cast<double>(streamOf(Side::Left).position), kTenSeconds / 2.0, kTenSeconds / 50.0);
    EXPECT_EQ(display->lengthText(), "00:00:05");

    // A press on the overview itself reaches the display and seeks finer than a per cent.
    ui::WaveformOverview* overview = display->overview();
    const int x = overview->width() * 3 / 7;
    QTest::mouseClick(overview, Qt::LeftButton, {}, QPoint(x, overview->height() / 2));
    ticker.advance(80);
    EXPECT_NEAR(static_cast<double>(streamOf(Side::Left).position),
                double(x) / (overview->width() - 1) * kTenSeconds, 8.0);

    // A drop on a deck without a playlist drag is refused with the message.
    dropOn("Right_Deck");
    ASSERT_EQ(dialogs.texts(), (QStringList{"Please make sure the file exists on the disk..."}));
}

// A hot-cue key sets its cue where the song is, jumps there once set, and a right click or a Shift+click
// clears it; its light follows the deck's slot.
TEST_F(ConsoleSession, HotCueKeysSetJumpAndClear) {
    open();
    std::vector<std::pair<int, std::optional<double>>> stored;
    dj().deck(Side::Right).hooks().hotCueChanged = [&](const QString&, int slot, std::optional<double> s) {
        stored.emplace_back(slot, s);
    };
    ASSERT_TRUE(dj().deck(Side::Right).loadSong(song("a.mp3")));
    auto& s = streamOf(Side::Right);
    const struct {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        std::int64_t before, after;
        bool lit;
    } steps[] = {
        {Qt::LeftButton, {}, 4 * 44100 * 4, 4 * 44100 * 4, true},  // set here
        {Qt::LeftButton, {}, 9 * 44100 * 4, 4 * 44100 * 4, true},  // jump back to it
        {Qt::RightButton, {}, 0, 0, false},                        // clear
        {Qt::LeftButton, {}, 2 * 44100 * 4, 2 * 44100 * 4, true},  // set again
        {Qt::LeftButton, Qt::ShiftModifier, 0, 0, false},          // clear
    };
    for (const auto& step : steps) {
        s.position = step.before;
        QTest::mouseClick(button("hotCueR3"), step.button, step.modifiers);
        EXPECT_EQ(s.position, step.after);
        EXPECT_EQ(button("hotCueR3")->isLit(), step.lit);
    }
    EXPECT_FALSE(button("hotCueL3")->isLit());
    using Told = std::pair<int, std::optional<double>>;
    EXPECT_EQ(stored, (std::vector<Told>{{3, 4.0}, {3, std::nullopt}, {3, 2.0}, {3, std::nullopt}}));
}

}  // namespace
}  // namespace vx
