
#include "app/console_fixture.h"
#include "options/options_model.h"

namespace vx {
namespace {

using test::ConsoleFixture;

class ConsoleWiring : public ::testing::Test, public ConsoleFixture {};

// The options dialog closes: the running timers take its intervals and both decks its pitch range.
TEST_F(ConsoleWiring, TheOptionsReachTheRunningTimersAndDecksAtClose) {
    ASSERT_TRUE(start());
    console->startUp();
    OptionsModel options(store, app->settingsHolder(), dialogs, library, soundDeviceList(library),
                         app->paths().playlistsDir);
    options.load();
    options.setSlider(OptionsModel::Slider::Stutter, 60);
    options.setSlider(OptionsModel::Slider::XFaderCut, 30);
    options.setSlider(OptionsModel::Slider::Braking, 7000);
    options.setSlider(OptionsModel::Slider::PitchRange, 2);
    options.setExactSeeking(true);
    const auto timersAt = [this](int ms) {
        return std::count_if(ticker.timers().begin(), ticker.timers().end(),
                             [ms](const auto& t) { return t->alive && t->interval == ms; });
    };
    EXPECT_EQ(timersAt(80), 3);  // the cue stutter timers and the display timer
    console->deck(Side::Left).pitchSlider_Change(100);
    const QString pitchBefore = console->deck(Side::Left).lcd().pitchText;
    options.close();

    EXPECT_EQ(console->mixer().cutSpeed(), 30);
    EXPECT_EQ(timersAt(60), 2);  // both cue stutter timers
    EXPECT_EQ(console->deckSettings().turntableStopSpeed, 7000);
    EXPECT_NE(console->deck(Side::Left).lcd().pitchText, pitchBefore);
    EXPECT_EQ(app->streams().streamFlags(), static_cast<std::uint32_t>(kExactSeekFlag));
}

TEST_F(ConsoleWiring, ShutDownFreesTheDecksAndStopsTheDisplayTimer) {
    ASSERT_TRUE(start(song("a.mp3")));
    console->startUp();
    console->deck(Side::Left).pause_Click();
    ASSERT_TRUE(app->requestExit());
    int ticks = 0;
    console->setTickHandler([&] { ++ticks; });
    console->shutDown();
    EXPECT_EQ(console->deck(Side::Left).state().streamHandle, 0u);
    ticker.advance(400);
    EXPECT_EQ(ticks, 0);
}

// A deck's level reaches its stream through the mixer when it plays.
TEST_F(ConsoleWiring, APlayingDeckTakesItsLevelFromTheMixer) {
    ASSERT_TRUE(start());
    console->startUp();
    ASSERT_TRUE(console->deck(Side::Right).loadSong(song("b.mp3")));
    console->deck(Side::Right).play_Click();
    EXPECT_EQ(stream(Side::Right)->volume, 25);
}

TEST_F(ConsoleWiring, PreviousAndNextSongOnAnEmptyPlaylistStayAtTheTop) {
    ASSERT_TRUE(start());
    console->setPlaylist(playlist.link());
    console->upCB_Click();
    console->downCB_Click();
    EXPECT_EQ(playlist.position, 0);
    EXPECT_EQ(console->nextSongText(), "");
}

TEST_F(ConsoleWiring, TheOpenButtonStartsInTheRecordingFolder) {
    store.write("RecPath", dir.path());
    ASSERT_TRUE(start());
    console->setPlaylist(playlist.link());
    const QString b = song("b.mp3");
    dialogs.openManyAnswers.push_back(QStringList{b});
    console->deck(Side::Left).openFile_Click();
    console->deck(Side::Left).openFile_Click();  // cancelled: nothing changes
    ASSERT_EQ(dialogs.fileRequests.size(), 2u);
    EXPECT_EQ(dialogs.fileRequests[0].initDir, dir.path());
    EXPECT_EQ(console->deck(Side::Left).state().fileName, b);
}

}  // namespace
}  // namespace vx
