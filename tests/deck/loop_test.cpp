#include <QDir>
#include <QFile>
#include <cstring>
#include <tuple>

#include "deck/loop_file.h"
#include "deck_fixture.h"
#include "support/faulty_file_system.h"
#include "support/hostile_files.h"
#include "support/tag_fixtures.h"

namespace vx::test {

class Loops : public DeckTest {
  protected:
    QByteArray readLoopFile(const QString& song) { return readBytes(loopfile::pathFor(settings.loopFolder, song)); }
    void writeLoopFile(const QString& songPath, const QByteArray& bytes) {
        writeBytes(loopfile::pathFor(settings.loopFolder, songPath), bytes);
    }
    // Plays `deck` from the cue point `from` and loops on the fly at `to`.
    FakeSoundLibrary::Stream& loopOnTheFly(Deck& deck, const QString& name, std::int64_t from, std::int64_t to) {
        auto& s = load(deck, name);
        deck.play_Click();
        s.position = from;
        deck.cue_MouseDown();
        deck.cue_Click();
        s.position = to;
        deck.loop_Click();
        return s;
    }
};

TEST(LoopFile, NamedAfterTheSong) {
    EXPECT_EQ(loopfile::pathFor("/l", "/music/Artist - Song.mp3"), "/l/Artist - Song_L.dat");
    EXPECT_EQ(loopfile::pathFor("/l", "C:\\music\\tune.wma"), "/l/tune_L.dat");
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
        writeBytes(path, line + QByteArray(size - line.size(), ' '));
        EXPECT_EQ(loopfile::read(path, 100000).status, status) << size;
    }
    QFile::remove(path);
    ASSERT_TRUE(QFile::link(dir.filePath("gone_L.dat"), path));  // a dangling link: no loop saved
    EXPECT_EQ(loopfile::read(path, 100000).status, loopfile::ReadStatus::NotFound);
}

// What the loop sounds like is measured on the real engine; here, what the deck shows and that the loop
// timer is a backstop that jumps back only past the end.
TEST_F(Loops, LoopOnTheFlyRunsFromTheCuePointToHereAndEndsOnTheNextPress) {
    auto& s = loopOnTheFly(*right, "a.mp3", 40000, 120000);
    EXPECT_EQ(s.loopStart, 40000);
    EXPECT_EQ(s.loopEnd, 120000);
    EXPECT_TRUE(right->lcd().loop);
    EXPECT_TRUE(right->lights().saveLoopEnabled);
    EXPECT_FALSE(right->lights().playLoopEnabled);
    EXPECT_EQ(right->lcd().timeText, "00:00:09");  // from the loop end to the song's end
    s.position = 130000;
    ticker.advance(20);
    EXPECT_EQ(s.position, 40000);
    s.position = 60000;
    right->loopTimer_Timer();
    EXPECT_EQ(s.position, 60000);

    right->loop_Click();  // inside the loop: ends it
    EXPECT_FALSE(right->state().loopActive);
    EXPECT_EQ(s.loopEnd, 0);
    EXPECT_EQ(right->lcd().timeText, "");
    EXPECT_TRUE(right->lights().playLoopEnabled);

    auto& t = loopOnTheFly(*left, "b.mp3", 40000, 80000);  // at or before the cue point: any loop off
    t.position = 40000;
    left->loop_Click();
    EXPECT_FALSE(left->state().loopActive);
    EXPECT_FALSE(left->lights().saveLoopEnabled);
    EXPECT_EQ(t.loopEnd, 0);
}

TEST_F(Loops, EditButtonsTrimTheLoopEndInsideTheSong) {
    auto& s = loopOnTheFly(*left, "a.mp3", 1000, 2000);
    left->cueForward_MouseDown();
    left->cueTimer_Timer();
    EXPECT_EQ(s.loopEnd, 2250);
    EXPECT_EQ(left->lcd().loopEditArrow, EditArrow::Forward);
    left->cueForward_MouseUp();
    EXPECT_EQ(left->lcd().loopEditArrow, EditArrow::None);
    left->cueBack_MouseDown();
    for (int i = 0; i < 10; ++i) left->cueTimer_Timer();
    EXPECT_EQ(left->state().loopEnd, 1250);  // never down to the start
    EXPECT_EQ(s.loopEnd, 1250);
}

// The saved loop's sound on the other deck is measured on the real engine; here, the file's bytes,
// a second save keeping the saved start, and the release of the cue turning it into a loop on the fly.
TEST_F(Loops, SavedLoopKeepsItsStartAndTurnsIntoALoopOnTheFly) {
    loopOnTheFly(*left, "tune.mp3", 1000, 2000);
    const QString path = left->state().fileName;
    dialogs.answers = {Dialogs::Answer::Yes};
    left->saveLoop_Click();
    ASSERT_EQ(dialogs.texts(), (QStringList{"Save this Loop?", "Loop has been Saved!"}));
    EXPECT_EQ(readLoopFile(path), QByteArray(" 1000  2000 \r\n"));

    right->loadSong(path);
    auto& r = stream(*right);
    right->play_Click();
    r.position = 50000;
    right->playLoop_Click();
    EXPECT_TRUE(right->state().savedLoopMode);
    EXPECT_FALSE(right->lights().loopEnabled);
    right->loopTimer_Timer();  // already past the end: back to the saved start
    EXPECT_EQ(r.position, 1000);

    dialogs.answers = {Dialogs::Answer::Yes};
    right->saveLoop_Click();
    EXPECT_EQ(dialogs.shown[2].text, "Save this loop?");
    EXPECT_EQ(readLoopFile(path), QByteArray(" 1000  2000 \r\n"));

    right->cue_Click();
    EXPECT_FALSE(right->state().savedLoopMode);
    EXPECT_TRUE(right->lights().loopEnabled);
    EXPECT_EQ(r.loopStart, 1000);
    right->playLoop_Click();
    EXPECT_FALSE(right->state().loopActive);
    EXPECT_EQ(r.loopEnd, 0);
}

TEST_F(Loops, SavingAnEmptyLoopOrAnsweringNoWritesNothingAndAFailureIsReported) {
    const QString path = song("tune.mp3");
    left->loadSong(path);
    left->saveLoop_Click();
    EXPECT_TRUE(dialogs.shown.empty());
    stream(*left).position = 8000;
    left->loop_Click();
    dialogs.answers = {Dialogs::Answer::No};
    left->saveLoop_Click();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_FALSE(QFile::exists(loopfile::pathFor(settings.loopFolder, path)));

    settings.loopFolder = path + "/no folder under a file";
    dialogs.answers = {Dialogs::Answer::Yes};
    left->saveLoop_Click();
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[2].text, "Error Number: 75 Description: Path/File access error");
    EXPECT_EQ(dialogs.shown[2].title, "Save Loop");
}

TEST_F(Loops, MissingLoopFileBeepsAndSaysSo) {
    const QString path = song("tune.mp3");
    int beeps = 0;
    left->hooks().beep = [&] { ++beeps; };
    left->loadSong(path);
    left->playLoop_Click();
    EXPECT_EQ(beeps, 1);
    ASSERT_EQ(dialogs.texts(), (QStringList{"Saved loop for " + path + " was not found."}));
    EXPECT_FALSE(left->state().loopActive || left->state().savedLoopMode);
}

TEST_F(Loops, BadLoopFilesAreReportedAndChangeNothing) {
    const QString path = song("tune.mp3");
    right->loadSong(path);
    const std::int64_t length = right->state().songLength;
    const QString eof = "62 Descriprion: Input past end of file", type = "13 Descriprion: Type mismatch",
                  outside = "380 Descriprion: The loop does not lie inside the song";
    const std::pair<QByteArray, QString> rows[] = {
        {"", eof},
        {" 1000 ", eof},
        {"abc  def", type},
        {" 1000  2000.5 ", type},
        {" 2000  1000 ", outside},
        {" -5  100 ", outside},
        {" 99999999999  100000000000 ", "6 Descriprion: Overflow"},
        {QByteArray::number(length) + " " + QByteArray::number(length + 10), outside}};
    for (const auto& [bytes, error] : rows) {
        SCOPED_TRACE(bytes.toStdString());
        writeLoopFile(path, bytes);
        dialogs.shown.clear();
        right->playLoop_Click();
        ASSERT_EQ(dialogs.texts(), (QStringList{"Error number: " + error}));
        EXPECT_FALSE(right->state().loopActive || right->state().savedLoopMode);
        EXPECT_EQ(right->state().loopEnd, 0);
    }
    // An end past the song is clamped, and commas separate as well as blanks.
    writeLoopFile(path, "4000," + QByteArray::number(length + 250000) + "\r\n");
    right->playLoop_Click();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(right->state().savedLoopStart, 4000);
    EXPECT_EQ(right->state().loopEnd, length);
}

}  // namespace vx::test
