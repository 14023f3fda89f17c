// The console against the program's own sound engine, rendered offline: what the controls do is heard.
#if __has_include("audio/engine.h") && __has_include("support/signal.h")

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "app/app_lifecycle.h"
#include "app/dj_console.h"
#include "integration/offline_library.h"
#include "support/fakes.h"
#include "support/signal.h"
#include "ui/main_window.h"
#include "ui/widgets/state_button.h"
#include "widgets_app.h"

namespace vx {
namespace {

constexpr int kRate = 44100;

// `seconds` of the offline engine's output.
test::Stereo render(test::OfflineLibrary& sound, double seconds) {
    test::Stereo out(static_cast<std::size_t>(seconds * kRate) * 2);
    sound.render(out.data(), static_cast<int>(out.size() / 2));
    return out;
}

class ConsoleEngine : public ::testing::Test, public test::WithApp {
  protected:
    QTemporaryDir dir;
    test::OfflineLibrary sound;
    test::FakeDialogs dialogs;
    test::MemorySettings store;
    test::FakeTicker ticker;
    std::unique_ptr<AppLifecycle> app;
    std::unique_ptr<MainWindow> window;

    void SetUp() override {
        store.write("InitQuality", kCdQuality);
        app = std::make_unique<AppLifecycle>(sound, dialogs, store, ticker, AppPaths::under(dir.path()), &test::goodLibraries);
        ASSERT_TRUE(app->start());
        window = std::make_unique<MainWindow>(*app);
        window->startConsole();
        window->show();
    }
    QWidget* named(const char* name, int index = -1) { return test::named(window.get(), name, index); }
    void click(const char* name, int index = -1) { test::click(window.get(), name, index); }
    // The tone's amplitude on one channel of the next stretch of output (after a short settling time,
    // so that volume ramps and seeks have passed).
    double toneOn(int ch, double hz = 1000.0) {
        render(sound, 0.05);
        return test::goertzelAmplitude(test::channel(render(sound, 0.2), ch), hz, kRate);
    }
    // The 1 kHz tone opened on the left deck and played, once the whole song is in memory (offline
    // rendering runs faster than the decoder).
    void playTone() {
        dialogs.openManyAnswers.push_back(QStringList{QString::fromStdString(test::fixture("sine1k_44k.wav"))});
        click("openFileCB2");
        const audio::Handle h = window->console().deck(Side::Left).state().streamHandle;
        ASSERT_NE(h, 0u);
        for (int i = 0; i < 400 && !sound.lengthIsFinal(h); ++i) QTest::qWait(5);
        ASSERT_TRUE(sound.lengthIsFinal(h));
        click("playCB2");
    }
};

TEST_F(ConsoleEngine, LoadPlayPitchMonitorAndCrossfadeAreHeard) {
    ASSERT_NO_FATAL_FAILURE(playTone());
    EXPECT_TRUE(dialogs.shown.empty());

    // Stereo: the deck's half level times half main volume, centred.
    const double left = toneOn(0), right = toneOn(1);
    EXPECT_GT(left, 0.02);
    EXPECT_NEAR(left, right, left * 0.05);

    // The pitch fader at its bottom plays 10 % faster: the tone rises to 1100 Hz.
    QTest::keyClick(named("LpitchScroll"), Qt::Key_End);
    render(sound, 0.05);
    EXPECT_NEAR(test::zeroCrossingHz(test::channel(render(sound, 0.2), 0), kRate), 1100.0, 5.0);
    QTest::keyClick(named("LpitchScroll"), Qt::Key_Home);
    click("LpitchZeroIndicator");

    // Monitoring the left deck with the headphones down: the mix stays on the right channel only.
    click("monitorCMB", 0);
    EXPECT_LT(toneOn(0), 0.002);
    EXPECT_GT(toneOn(1), 0.02);

    // Crossfader fully right: the left deck leaves the mix.
    QTest::keyClick(named("crossFaderScroll"), Qt::Key_End);
    EXPECT_LT(toneOn(1), 0.002);

    click("LpauseCB");
}

TEST_F(ConsoleEngine, RecLightsWhileItRecordsWhatIsHeardAndShowsTheTime) {
    ASSERT_NO_FATAL_FAILURE(playTone());
    auto* rec = static_cast<ui::StateButton*>(named("recordCB"));
    auto* time = static_cast<QLabel*>(named("recordTime"));
    EXPECT_EQ(rec->text(), "REC");
    EXPECT_FALSE(rec->isLit());

    click("recordCB");
    EXPECT_TRUE(rec->isLit());
    EXPECT_EQ(time->text(), "00:00");
    render(sound, 1.2);
    ticker.advance(80);
    EXPECT_EQ(time->text(), "00:01");

    click("recordCB");
    EXPECT_FALSE(rec->isLit());
    EXPECT_EQ(time->text(), "");
    window->console().recording().finish();
    const QFileInfo file(window->console().recording().filePath());
    EXPECT_EQ(file.dir().path(), dir.filePath("music/Velumix Recordings"));
    EXPECT_EQ(file.suffix(), "flac");
    EXPECT_GT(file.size(), 1000);
    QFile cue(file.dir().filePath(file.completeBaseName() + ".cue"));
    ASSERT_TRUE(cue.open(QIODevice::ReadOnly));
    EXPECT_TRUE(cue.readAll().contains("  TRACK 01 AUDIO\n    TITLE \"sine1k_44k\"\n    INDEX 01 00:00:00\n"));
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace vx

#endif
