#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <tuple>

#include "deck/loop_file.h"
#include "deck_fixture.h"
#include "support/faulty_file_system.h"
#include "support/hostile_files.h"

namespace vx::test {

class Loops : public DeckTest {
  protected:
    QByteArray readLoopFile(const QString& songName) {
        QFile f(loopfile::pathFor(settings.loopFolder, songName));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeLoopFile(const QString& songPath, const QByteArray& bytes) {
        QDir().mkpath(settings.loopFolder);
        QFile f(loopfile::pathFor(settings.loopFolder, songPath));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST(LoopFile, NamedAfterTheSongAndWrittenAsOneLine) {
    EXPECT_EQ(loopfile::pathFor("/l", "/music/Artist - Song.mp3"), "/l/Artist - Song_L.dat");
    EXPECT_EQ(loopfile::pathFor("/l", "C:\\music\\tune.wma"), "/l/tune_L.dat");
    EXPECT_EQ(loopfile::format(1000, 2000), QByteArray(" 1000  2000 \r\n"));
    EXPECT_EQ(loopfile::format(0, 8), QByteArray(" 0  8 \r\n"));
}

TEST(LoopFile, AFullDiskIsDiskFullAndOtherFailuresAccessErrors) {
    QTemporaryDir dir;
    FaultyFileSystem fs;
    for (const auto& [error, number, text] :
         {std::tuple{ENOSPC, 61, QString("Disk full")}, std::tuple{EDQUOT, 61, QString("Disk full")},
          std::tuple{EACCES, 75, QString::fromLocal8Bit(std::strerror(EACCES))}}) {
        fs.reset(1);
        fs.error = error;
        const auto failure = loopfile::write(dir.filePath("a_L.dat"), 1, 2, fs);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->number, number);
        EXPECT_EQ(failure->description, text);
    }
}

// Only a regular file of at most 4 KiB is read; anything else answers at once like an unreadable file.
TEST(LoopFile, OnlySmallRegularFilesAreRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a_L.dat");
    for (const HostileKind& k : hostileKinds()) {
        ASSERT_TRUE(makeHostile(k.kind, path)) << k.name;
        const auto result = loopfile::read(path, 100000);
        EXPECT_EQ(result.status, loopfile::ReadStatus::Bad) << k.name;
        EXPECT_EQ(result.error.number, 75) << k.name;
        QDir().rmdir(path);
        QFile::remove(path);
    }
    const QByteArray line = " 1000  2000 \r\n";
    for (const auto& [size, status] :
         {std::pair{4096, loopfile::ReadStatus::Ok}, std::pair{4097, loopfile::ReadStatus::Bad}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(line + QByteArray(size - line.size(), ' '));
        f.close();
        EXPECT_EQ(loopfile::read(path, 100000).status, status) << size;
    }
    QFile::remove(path);
    ASSERT_TRUE(QFile::link(dir.filePath("gone_L.dat"), path));  // a dangling link: no loop saved
    EXPECT_EQ(loopfile::read(path, 100000).status, loopfile::ReadStatus::NotFound);
}

TEST_F(Loops, LoopOnTheFlyRunsFromTheCuePointToHereInTheEngine) {
    auto& s = load(*right, "a.mp3");
    right->play_Click();
    s.position = 40000;
    right->cue_MouseDown();
    right->cue_Click();
    s.position = 120000;
    right->loop_Click();
    EXPECT_TRUE(right->state().loopActive);
    EXPECT_EQ(s.loopStart, 40000);
    EXPECT_EQ(s.loopEnd, 120000);
    EXPECT_TRUE(right->lcd().loop);
    EXPECT_TRUE(right->lights().saveLoopEnabled);
    EXPECT_FALSE(right->lights().playLoopEnabled);
    EXPECT_EQ(right->lcd().timeText, "00:00:09");  // from the loop end to the song's end
    EXPECT_EQ(console.selectedDeck, 1);

    // The timer is a backstop: a position past the end jumps back to the start.
    s.position = 130000;
    ticker.advance(20);
    EXPECT_EQ(s.position, 40000);
    s.position = 60000;
    right->loopTimer_Timer();
    EXPECT_EQ(s.position, 60000);

    // Pressing again inside the loop ends it.
    right->loop_Click();
    EXPECT_FALSE(right->state().loopActive);
    EXPECT_EQ(right->state().loopEnd, 0);
    EXPECT_EQ(s.loopEnd, 0);
    EXPECT_FALSE(right->lcd().loop);
    EXPECT_EQ(right->lcd().timeText, "");
    EXPECT_TRUE(right->lights().playLoopEnabled);
}

TEST_F(Loops, LoopAtOrBeforeTheCuePointSwitchesAnyLoopOff) {
    auto& s = load(*left, "a.mp3");
    left->play_Click();
    s.position = 40000;
    left->cue_MouseDown();
    s.position = 80000;
    left->loop_Click();
    ASSERT_TRUE(left->state().loopActive);
    s.position = 40000;
    left->loop_Click();
    EXPECT_FALSE(left->state().loopActive);
    EXPECT_FALSE(left->lights().saveLoopEnabled);
    EXPECT_EQ(s.loopEnd, 0);
}

TEST_F(Loops, EditButtonsTrimTheLoopEndInsideTheSong) {
    auto& s = load(*left, "a.mp3");
    left->play_Click();
    s.position = 1000;
    left->cue_MouseDown();
    s.position = 2000;
    left->loop_Click();
    left->cueForward_MouseDown();
    left->cueTimer_Timer();
    EXPECT_EQ(left->state().loopEnd, 2250);
    EXPECT_EQ(s.loopEnd, 2250);
    EXPECT_EQ(left->lcd().loopEditArrow, EditArrow::Forward);
    left->cueForward_MouseUp();
    EXPECT_EQ(left->lcd().loopEditArrow, EditArrow::None);
    left->cueBack_MouseDown();
    for (int i = 0; i < 10; ++i) left->cueTimer_Timer();
    EXPECT_EQ(left->state().loopEnd, 1250);  // never down to the start
    EXPECT_GT(left->state().loopEnd, left->state().loopStart);
    EXPECT_EQ(s.loopEnd, 1250);
}

TEST_F(Loops, SaveThenPlaySavedOnTheOtherDeckLoopsTheSameStretch) {
    const QString path = song("tune.mp3");
    left->loadSong(path);
    auto& l = stream(*left);
    left->play_Click();
    l.position = 1000;
    left->cue_MouseDown();
    l.position = 2000;
    left->loop_Click();
    dialogs.answers = {Dialogs::Answer::Yes};
    left->saveLoop_Click();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].text, "Save this Loop?");
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(dialogs.shown[1].text, "Loop has been Saved!");
    EXPECT_EQ(readLoopFile(path), QByteArray(" 1000  2000 \r\n"));

    right->loadSong(path);
    auto& r = stream(*right);
    right->play_Click();
    r.position = 50000;
    right->playLoop_Click();
    EXPECT_TRUE(right->state().loopActive);
    EXPECT_TRUE(right->state().savedLoopMode);
    EXPECT_EQ(right->state().savedLoopStart, 1000);
    EXPECT_EQ(right->state().loopEnd, 2000);
    EXPECT_EQ(r.loopStart, 1000);
    EXPECT_EQ(r.loopEnd, 2000);
    EXPECT_FALSE(right->lights().loopEnabled);
    right->loopTimer_Timer();  // already past the end: back to the saved start
    EXPECT_EQ(r.position, 1000);

    // Saving the saved loop again keeps its own start.
    dialogs.answers = {Dialogs::Answer::Yes};
    right->saveLoop_Click();
    EXPECT_EQ(dialogs.shown[2].text, "Save this loop?");
    EXPECT_EQ(readLoopFile(path), QByteArray(" 1000  2000 \r\n"));

    // Cue released: goes on as an on-the-fly loop; a second press ends it.
    right->cue_Click();
    EXPECT_FALSE(right->state().savedLoopMode);
    EXPECT_TRUE(right->lights().loopEnabled);
    EXPECT_EQ(r.loopStart, 1000);
    right->playLoop_Click();
    EXPECT_FALSE(right->state().loopActive);
    EXPECT_EQ(r.loopEnd, 0);
}

TEST_F(Loops, SavingAnEmptyLoopOrAnsweringNoWritesNothing) {
    const QString path = song("tune.mp3");
    left->loadSong(path);
    left->saveLoop_Click();
    EXPECT_TRUE(dialogs.shown.empty());
    auto& s = stream(*left);
    s.position = 8000;
    left->loop_Click();
    dialogs.answers = {Dialogs::Answer::No};
    left->saveLoop_Click();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_FALSE(QFile::exists(loopfile::pathFor(settings.loopFolder, path)));
}

TEST_F(Loops, SaveFailureIsReported) {
    const QString path = song("tune.mp3");
    settings.loopFolder = path + "/no folder under a file";
    left->loadSong(path);
    stream(*left).position = 8000;
    left->loop_Click();
    dialogs.answers = {Dialogs::Answer::Yes};
    left->saveLoop_Click();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, "Error Number: 75 Description: Path/File access error");
    EXPECT_EQ(dialogs.shown[1].title, "Save Loop");
    EXPECT_EQ(dialogs.shown[1].icon, Dialogs::Icon::Critical);
}

TEST_F(Loops, MissingLoopFileBeepsAndSaysSo) {
    const QString path = song("tune.mp3");
    int beeps = 0;
    left->hooks().beep = [&] { ++beeps; };
    left->loadSong(path);
    left->playLoop_Click();
    EXPECT_EQ(beeps, 1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Saved loop for " + path + " was not found.");
    EXPECT_EQ(dialogs.shown[0].title, "Open Saved loop");
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Critical);
    EXPECT_FALSE(left->state().loopActive);
    EXPECT_FALSE(left->state().savedLoopMode);
}

TEST_F(Loops, BadLoopFilesAreReportedAndChangeNothing) {
    const QString path = song("tune.mp3");
    right->loadSong(path);
    const std::int64_t length = right->state().songLength;
    const QByteArray bad[] = {"",
                              " 1000 ",
                              "abc  def",
                              " 1000  2000.5 ",
                              " 2000  1000 ",
                              " -5  100 ",
                              " 99999999999  100000000000 ",
                              QByteArray::number(length) + " " + QByteArray::number(length + 10)};
    const QString expected[] = {"Error number: 62 Descriprion: Input past end of file",
                                "Error number: 62 Descriprion: Input past end of file",
                                "Error number: 13 Descriprion: Type mismatch",
                                "Error number: 13 Descriprion: Type mismatch",
                                "Error number: 380 Descriprion: The loop does not lie inside the song",
                                "Error number: 380 Descriprion: The loop does not lie inside the song",
                                "Error number: 6 Descriprion: Overflow",
                                "Error number: 380 Descriprion: The loop does not lie inside the song"};
    for (std::size_t i = 0; i < std::size(bad); ++i) {
        writeLoopFile(path, bad[i]);
        dialogs.shown.clear();
        right->playLoop_Click();
        ASSERT_EQ(dialogs.shown.size(), 1u) << i;
        EXPECT_EQ(dialogs.shown[0].text, expected[i]) << i;
        EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::None);
        EXPECT_FALSE(right->state().loopActive) << i;
        EXPECT_FALSE(right->state().savedLoopMode) << i;
        EXPECT_EQ(right->state().loopEnd, 0) << i;
    }
}

TEST_F(Loops, LoopFileEndPastTheSongIsClampedAndCommasSeparate) {
    const QString path = song("tune.mp3", {audio::Family::Plain, 100000, 44100});
    writeLoopFile(path, "4000,250000\r\n");
    left->loadSong(path);
    left->playLoop_Click();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(left->state().savedLoopStart, 4000);
    EXPECT_EQ(left->state().loopEnd, 100000);
}

}  // namespace vx::test
