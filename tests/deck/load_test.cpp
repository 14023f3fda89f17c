#include <sys/stat.h>

#include "deck_fixture.h"

namespace vx::test {

class Loading : public DeckTest {
  protected:
    QString emptyFile() { return writeBytes(dir.path() + "/noise.bin", {}); }
};

TEST_F(Loading, LoadResetsTheDeckAndStartsAtByteOne) {
    auto& old = load(*right, "a.mp3");
    right->play_Click();
    old.position = 100000;
    right->cue_MouseDown();
    right->pitchSlider_Change(1200);
    right->loop_Click();
    right->pause_Click();
    int volumeResets = 0;
    right->hooks().resetVolume = [&] { ++volumeResets; };
    right->hooks().titleFor = [](const QString&) { return QStringLiteral("Artist - Title"); };
    console.selectedDeck = 0;
    const auto oldHandle = right->state().streamHandle;

    auto& s = load(*right, "b.wma", {audio::Family::WindowsMedia, kTenSeconds, 44100});
    EXPECT_EQ(lib.stream(oldHandle), nullptr);  // the old stream is released
    EXPECT_EQ(console.selectedDeck, 1);
    EXPECT_EQ(volumeResets, 1);
    EXPECT_EQ(right->state().streamKind, StreamKind::WindowsMedia);
    EXPECT_EQ(right->state().cuePoint, 1);
    EXPECT_EQ(right->state().prevCuePoint, 0);
    EXPECT_FALSE(right->lights().playCueLit);
    EXPECT_FALSE(right->state().loopActive || right->state().isPaused);
    EXPECT_EQ(s.frequency, 44100);
    EXPECT_EQ(s.pan, -100);
    EXPECT_EQ(right->lcd().title, "Artist - Title          Velumix");
    EXPECT_FALSE(right->lcd().pause || right->lcd().play || right->lcd().loop || right->lcd().busy);
    EXPECT_TRUE(right->lights().loopEnabled && right->lights().playLoopEnabled);
    EXPECT_FALSE(right->lights().saveLoopEnabled);

    right->play_Click();  // starts at the first frame, not a paused remnant
    EXPECT_EQ(s.activity, audio::kPlaying);
    EXPECT_EQ(s.position, 0);

    load(*left, "low.wav", {audio::Family::Plain, kTenSeconds, 22050});  // the speed light follows the file
    EXPECT_TRUE(left->lights().speed22Lit);
    load(*left, "high.wav", {audio::Family::Plain, kTenSeconds, 48000});
    EXPECT_TRUE(left->lights().speed44Lit && !left->lights().speed22Lit);
}

TEST_F(Loading, MissingFileShowsTheMessageAndLeavesTheStream) {
    load(*left, "a.mp3");
    const auto h = left->state().streamHandle;
    left->loadSong(dir.path() + "/gone.mp3");
    ASSERT_EQ(dialogs.texts(), (QStringList{"Please make sure the file exists on the disk..."}));
    EXPECT_NE(lib.stream(h), nullptr);
    EXPECT_FALSE(left->lcd().busy);

    // Something that is there but is no file is named for what it is.
    const QString fifo = dir.path() + "/pipe.mp3";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    left->loadSong(fifo);
    left->loadSong(dir.path());
    EXPECT_EQ(dialogs.texts().mid(1), (QStringList{"\"pipe.mp3\" is not a music file but a device or a pipe.",
                                                   "\"" + QFileInfo(dir.path()).fileName() +
                                                       "\" is a folder, not a music file."}));
    EXPECT_EQ(left->state().streamHandle, h);
}

// A file no family opens leaves an empty deck that ignores its buttons; under Auto DJ neither that nor a
// missing file shows a message, both go to its hook.
TEST_F(Loading, UnreadableFileLeavesAnEmptyDeckAndAutoDjHearsOfFailures) {
    left->loadSong(emptyFile());
    EXPECT_EQ(transport.failedOpens, 1);
    EXPECT_EQ(left->state().streamHandle, 0u);
    EXPECT_EQ(left->lcd().lengthText, "00:00:00");
    EXPECT_TRUE(left->lcd().title.isEmpty() && left->state().fileName.isEmpty());
    left->play_Click();  // nothing to play, nothing breaks
    left->loop_Click();
    left->cue_MouseDown();
    EXPECT_TRUE(dialogs.shown.empty());

    std::vector<bool> failures;
    right->hooks().autoDjOn = [] { return true; };
    right->hooks().autoDjLoadFailed = [&](bool missing) { failures.push_back(missing); };
    right->loadSong(dir.path() + "/gone.mp3");
    right->loadSong(emptyFile());
    EXPECT_EQ(failures, (std::vector<bool>{true, false}));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(right->lcd().busy);
}

TEST_F(Loading, DropLoadsTheDraggedEntryOrComplains) {
    const QString path = song("dropped.mp3");
    right->dropOnDeck(dir.path() + "/deleted.mp3");  // entry whose file is gone: nothing at all
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(right->state().streamHandle, 0u);
    right->setFileName(path);
    right->dropOnDeck(std::nullopt);  // not a playlist drag
    ASSERT_EQ(dialogs.texts(), (QStringList{"Please make sure the file exists on the disk..."}));
    EXPECT_EQ(right->state().fileName, "");
    right->dropOnDeck(path);
    EXPECT_NE(right->state().streamHandle, 0u);
    right->dropOnDeck(std::nullopt);  // a loaded deck keeps its song's name
    EXPECT_EQ(right->state().fileName, path);
}

}  // namespace vx::test
