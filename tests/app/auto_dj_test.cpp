// Auto DJ driven by its ticks: the steps and their alternation, the glide, the mix point on the
// audible part of a song, and entries that will not load.

#include "app/console_fixture.h"

namespace vx {
namespace {

class AutoDjTest : public ::testing::Test, public test::ConsoleFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(start());
        console->setPlaylist(playlist.link());
        console->startUp();
    }
    // Songs a..: files the fake engine opens, in the playlist, the first one current.
    void list(const QStringList& names) {
        for (const QString& name : names) {
            playlist.paths << (name.startsWith('!') ? dir.filePath(name.mid(1)) : song(name));
            playlist.lines << name;
        }
        playlist.position = 0;
    }
    AutoDj& dj() { return console->autoDj(); }
    QString loaded(Side side) { return QFileInfo(console->deck(side).state().fileName).fileName(); }
    // The deck's song has played `share` of its length; one display tick follows.
    void playedShare(Side side, double share) {
        auto* s = stream(side);
        s->position = static_cast<std::int64_t>(share * static_cast<double>(s->length)) / 4 * 4;
        console->decks().tmrTrackLength_Timer();
    }
    void fadeTicks(int n) {
        for (int i = 0; i < n; ++i) dj().tmrAutoFade_Timer();
    }
};

TEST_F(AutoDjTest, AnEmptyPlaylistIsRefused) {
    dj().autoDJCB_Click();
    ASSERT_EQ(dialogs.texts(), (QStringList{"Please load or create a playlist first..."}));
    EXPECT_EQ(dialogs.shown[0].title, "AutoDJ - No playlist loaded...");
    EXPECT_FALSE(dj().on());
}

TEST_F(AutoDjTest, StepsAlternateTheDecksAndWrapAtTheEnd) {
    list({"a.mp3", "b.mp3", "c.mp3"});
    dj().autoDJCB_Click();
    EXPECT_TRUE(dj().on());
    EXPECT_EQ(loaded(Side::Right), "b.mp3");  // the first step fills the right deck
    EXPECT_EQ(playlist.position, 1);
    EXPECT_TRUE(dj().rightCurrent());
    EXPECT_EQ(console->mixer().deckLevel(MixerModel::kRightDeck), console->mixer().sliderMax());
    EXPECT_TRUE(dj().fadeRunning());
    // The right deck passes 85 %: the next entry goes left; then left, right in turn, wrapping round.
    playedShare(Side::Right, 0.86);
    EXPECT_EQ(loaded(Side::Left), "c.mp3");
    EXPECT_EQ(playlist.position, 2);
    playedShare(Side::Right, 0.95);  // a deck steps once per song
    EXPECT_EQ(playlist.position, 2);
    playedShare(Side::Left, 0.9);
    EXPECT_EQ(loaded(Side::Right), "a.mp3");
    EXPECT_EQ(playlist.position, 0);

    dj().autoDJCB_Click();  // off: the decks play on, nothing steps
    EXPECT_FALSE(dj().on() || dj().fadeRunning());
    playedShare(Side::Right, 0.99);
    EXPECT_EQ(playlist.position, 0);
}

TEST_F(AutoDjTest, AOneSongPlaylistGoesIntoEachDeckInTurn) {
    list({"only.mp3"});
    dj().autoDJCB_Click();
    EXPECT_EQ(loaded(Side::Right), "only.mp3");
    playedShare(Side::Right, 1.0);  // its end counts as the mix point too
    EXPECT_EQ(loaded(Side::Left), "only.mp3");
    EXPECT_EQ(playlist.position, 0);
}

TEST_F(AutoDjTest, TheGlideStartsTheIncomingDeckAtFortyAndEndsAfterFiftyTicks) {
    list({"a.mp3", "b.mp3"});
    console->mixer().setCrossfader(0);
    dj().autoDJCB_Click();
    fadeTicks(19);
    EXPECT_EQ(console->mixer().crossfader(), 38);
    EXPECT_NE(stream(Side::Right)->activity, audio::kPlaying);
    fadeTicks(1);
    EXPECT_EQ(stream(Side::Right)->activity, audio::kPlaying);
    fadeTicks(30);
    EXPECT_EQ(console->mixer().crossfader(), 100);
    EXPECT_TRUE(dj().fadeRunning());
    fadeTicks(1);
    EXPECT_FALSE(dj().fadeRunning());

    // Back to the left: the left deck starts below 61 and the right one plays on under the crossfader.
    playedShare(Side::Right, 0.9);
    fadeTicks(19);
    EXPECT_EQ(console->mixer().crossfader(), 62);
    EXPECT_NE(stream(Side::Left)->activity, audio::kPlaying);
    fadeTicks(1);
    EXPECT_EQ(stream(Side::Left)->activity, audio::kPlaying);
    EXPECT_EQ(stream(Side::Right)->activity, audio::kPlaying);
}

TEST_F(AutoDjTest, TheMixPointIsAShareOfTheAudiblePart) {
    list({"a.mp3", "b.mp3", "c.mp3"});
    dj().autoDJCB_Click();
    auto* right = stream(Side::Right);
    // The last 30 % of the song is silence: 85 % of the music is reached at 59.5 % of the file.
    right->audibleEnd = right->length * 7 / 10;
    playedShare(Side::Right, 0.55);
    EXPECT_FALSE(dj().rightAtMixPoint());
    EXPECT_EQ(console->deck(Side::Right).lcd().mixMark, 595);
    playedShare(Side::Right, 0.61);
    EXPECT_TRUE(dj().rightAtMixPoint());
    EXPECT_EQ(loaded(Side::Left), "c.mp3");

    // Without silence the progress as shown decides: with AutomixStart 0, as soon as it passes 0.
    Settings s = app->settings();
    s.AutomixStart = 0;
    app->settingsHolder().update(s);
    playedShare(Side::Left, 0.0);
    EXPECT_FALSE(dj().leftAtMixPoint());
    playedShare(Side::Left, 0.01);
    EXPECT_TRUE(dj().leftAtMixPoint());
    EXPECT_EQ(loaded(Side::Right), "a.mp3");
}

TEST_F(AutoDjTest, EntriesThatWillNotLoadArePassedOverAndARoundOfThemSwitchesItOff) {
    list({"a.mp3", "!gone.mp3", "!corrupt.mp3", "d.mp3"});
    QFile(dir.filePath("corrupt.mp3")).open(QIODevice::WriteOnly);  // on disk, no decoder takes it
    dj().autoDJCB_Click();
    EXPECT_EQ(loaded(Side::Right), "d.mp3");
    EXPECT_EQ(playlist.position, 3);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(dj().on());

    playlist.paths = {dir.filePath("gone.mp3"), dir.filePath("corrupt.mp3")};
    playlist.lines = {"gone", "corrupt"};
    playedShare(Side::Right, 0.9);
    EXPECT_FALSE(dj().on());
    ASSERT_EQ(dialogs.titles(), (QStringList{"AutoDJ - No playable song..."}));
}

TEST_F(AutoDjTest, TheEndOfATurntableStopSteps) {
    list({"a.mp3", "b.mp3", "c.mp3"});
    dj().autoDJCB_Click();
    Deck& right = console->deck(Side::Right);
    right.play_Click();
    right.stop_MouseDown();
    for (int i = 0; i < 100 && right.braking(); ++i) right.turntableStop_Timer();
    EXPECT_TRUE(dj().rightAtMixPoint());
    EXPECT_EQ(loaded(Side::Left), "c.mp3");
}

}  // namespace
}  // namespace vx
