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
#include "audio/engine.h"
#include "support/fake_dialogs.h"
#include "support/fake_ticker.h"
#include "support/memory_settings.h"
#include "support/signal.h"
#include "ui/main_window.h"
#include "ui/widgets/state_button.h"
#include "widgets_app.h"
#include "support/good_libraries.h"

namespace vx {
namespace {

constexpr int kRate = 44100;

// The engine with its output replaced by offline rendering: opening the device prepares the mix and
// the test pulls it with render().
class OfflineEngine : public audio::Engine {
  public:
    OfflineEngine() : audio::Engine(audio::EngineOptions{}) {}
    bool init(int, std::uint32_t frequency) override { return initOffline(frequency); }
    test::Stereo render(double seconds) {
        const int frames = static_cast<int>(seconds * kRate);
        test::Stereo out(static_cast<std::size_t>(frames) * 2);
        audio::Engine::render(out.data(), frames);
        return out;
    }
};

class ConsoleEngine : public ::testing::Test, public test::WithApp {
  protected:
    QTemporaryDir dir;
    OfflineEngine sound;
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
    QWidget* named(const char* name, int index = -1) {
        for (QWidget* w : window->findChildren<QWidget*>(name)) {
            if (index < 0 || w->property("index").toInt() == index) return w;
        }
        ADD_FAILURE() << "no control " << name;
        return nullptr;
    }
    void click(const char* name, int index = -1) { QTest::mouseClick(named(name, index), Qt::LeftButton); }
    // The tone's amplitude on one channel of the next stretch of output (after a short settling time,
    // so that volume ramps and seeks have passed).
    double toneOn(int ch, double hz = 1000.0) {
        sound.render(0.05);
        return test::goertzelAmplitude(test::channel(sound.render(0.2), ch), hz, kRate);
    }
    // Offline rendering runs faster than the decoder: wait until the whole song is in memory.
    void waitDecoded(Side side) {
        const audio::Handle h = window->console().deck(side).state().streamHandle;
        for (int i = 0; i < 400 && !sound.lengthIsFinal(h); ++i) QTest::qWait(5);
        ASSERT_TRUE(sound.lengthIsFinal(h));
    }
};

TEST_F(ConsoleEngine, LoadPlayPitchMonitorAndCrossfadeAreHeard) {
    dialogs.openManyAnswers.push_back(QStringList{QString::fromStdString(test::fixture("sine1k_44k.wav"))});
    click("openFileCB2");
    ASSERT_NE(window->console().deck(Side::Left).state().streamHandle, 0u);
    EXPECT_TRUE(dialogs.shown.empty());
    waitDecoded(Side::Left);
    click("playCB2");

    // Stereo: the deck's half level times half main volume, centred.
    sound.render(0.05);
    const test::Stereo out = sound.render(0.2);
    const double left = test::goertzelAmplitude(test::channel(out, 0), 1000.0, kRate);
    const double right = test::goertzelAmplitude(test::channel(out, 1), 1000.0, kRate);
    EXPECT_GT(left, 0.02);
    EXPECT_NEAR(left, right, left * 0.05);

    // The pitch fader at its bottom plays 10 % faster: the tone rises to 1100 Hz.
    QTest::keyClick(named("LpitchScroll"), Qt::Key_End);
    sound.render(0.05);
    EXPECT_NEAR(test::zeroCrossingHz(test::channel(sound.render(0.2), 0), kRate), 1100.0, 5.0);
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
    dialogs.openManyAnswers.push_back(QStringList{QString::fromStdString(test::fixture("sine1k_44k.wav"))});
    click("openFileCB2");
    waitDecoded(Side::Left);
    click("playCB2");
    auto* rec = static_cast<ui::StateButton*>(named("recordCB"));
    auto* time = static_cast<QLabel*>(named("recordTime"));
    EXPECT_EQ(rec->text(), "REC");
    EXPECT_FALSE(rec->isLit());

    click("recordCB");
    EXPECT_TRUE(rec->isLit());
    EXPECT_EQ(time->text(), "00:00");
    sound.render(1.2);
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
