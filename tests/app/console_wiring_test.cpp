
#include "app/console_fixture.h"
#include "options/options_model.h"

namespace vx {
namespace {

using test::ConsoleFixture;

const QString kFileMissing = QStringLiteral("Please make sure the file exists on the disk...");

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

TEST_F(ConsoleWiring, ExitIsRefusedWhileADeckPlaysAndAllowedOncePaused) {
    const QString path = song("a.mp3");
    ASSERT_TRUE(start(path));
    console->startUp();
    EXPECT_FALSE(app->requestExit());
    EXPECT_EQ(dialogs.shown.size(), 1u);

    console->deck(Side::Left).pause_Click();
    EXPECT_TRUE(app->requestExit());
    int ticks = 0;
    console->setTickHandler([&] { ++ticks; });
    console->shutDown();
    EXPECT_EQ(console->deck(Side::Left).state().streamHandle, 0u);
    ticker.advance(400);
    EXPECT_EQ(ticks, 0);  // the display timer has stopped
}

TEST_F(ConsoleWiring, TheDisplayTimerMovesTimesMetersAndTellsTheViews) {
    const QString path = song("a.mp3");
    ASSERT_TRUE(start(path));
    int ticks = 0;
    console->setTickHandler([&] { ++ticks; });
    console->startUp();
    test::FakeSoundLibrary::Stream* s = stream(Side::Left);
    ASSERT_NE(s, nullptr);
    s->position = kTenSeconds / 2;
    s->level = (16384u << 16) | 16384u;  // both channels at half scale

    ticker.advance(80);
    EXPECT_EQ(ticks, 1);
    const Deck& left = console->deck(Side::Left);
    EXPECT_EQ(left.lcd().progress, 50);
    EXPECT_EQ(left.lcd().lengthText, "00:00:05");
    // Deck meter after its fader (half); master share after main volume (half) at the centre.
    EXPECT_EQ(left.meter(), (MeterBars{8192, 8192}));
    EXPECT_EQ(console->decks().masterMeter().b, 8192);

    // With the crossfader at the far right the left deck's master bar falls to nothing.
    console->mixer().setCrossfader(100);
    ticker.advance(80);
    EXPECT_EQ(console->decks().masterMeter().b, 0);
    EXPECT_EQ(left.meter(), (MeterBars{8192, 8192}));
}

TEST_F(ConsoleWiring, DeckActionsReachTheMixerAndCutButtonsSelectTheirDeck) {
    ASSERT_TRUE(start());
    console->startUp();
    const QString path = song("b.mp3");
    Deck& right = console->deck(Side::Right);
    ASSERT_TRUE(right.loadSong(path));
    EXPECT_EQ(console->selectedDeck(), 1);
    right.play_Click();
    EXPECT_EQ(stream(Side::Right)->volume, 25);

    console->mixer().pressCut(0);
    EXPECT_EQ(console->selectedDeck(), 0);
    console->mixer().cutTick();  // left cut: the crossfader jumps to the right end
    EXPECT_EQ(stream(Side::Right)->volume, 25);
    console->mixer().releaseCut();
    EXPECT_EQ(console->mixer().crossfader(), 50);
}

TEST_F(ConsoleWiring, PreviousAndNextSongOnAnEmptyPlaylistStayAtTheTop) {
    ASSERT_TRUE(start());
    console->setPlaylist(playlist.link());
    console->upCB_Click();
    console->downCB_Click();
    EXPECT_EQ(playlist.position, 0);
    EXPECT_EQ(console->nextSongText(), "");
}

TEST_F(ConsoleWiring, ADroppedSongThatIsGoneDoesNothingAndOtherDropsAreRefused) {
    ASSERT_TRUE(start());
    console->setPlaylist(playlist.link());
    playlist.paths = {dir.filePath("gone.mp3")};
    playlist.lines = {"1. gone"};

    // A deleted file: nothing happens at all.
    console->beginNextSongDrag();
    console->dropOnDeck(Side::Left);
    EXPECT_TRUE(console->deck(Side::Left).state().fileName.isEmpty());
    EXPECT_FALSE(console->nextSongDragging());
    EXPECT_TRUE(dialogs.shown.empty());

    // A drop that is no playlist drag: the message, and the empty deck forgets its name.
    console->deck(Side::Left).setFileName("/typed/by/hand.mp3");
    console->dropOnDeck(Side::Left);
    ASSERT_EQ(dialogs.texts(), (QStringList{kFileMissing}));
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Critical);
    EXPECT_TRUE(console->deck(Side::Left).state().fileName.isEmpty());
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

TEST_F(ConsoleWiring, NextSongGoesIntoTheSelectedDeck) {
    ASSERT_TRUE(start());
    console->setPlaylist(playlist.link());
    const QString a = song("a.mp3");
    playlist.paths = {a};
    playlist.lines = {"1. a"};
    console->console().selectedDeck = 1;
    console->get_next_song();
    EXPECT_EQ(console->deck(Side::Right).state().fileName, a);
    EXPECT_EQ(console->deck(Side::Left).state().streamHandle, 0u);
}

}  // namespace
}  // namespace vx
