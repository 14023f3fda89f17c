#include "mixer/recording.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <thread>

#include "audio/frame_ring.h"
#include "support/fakes.h"
#include "support/fake_sound_library.h"
#include "support/file_size_limit.h"
#include "support/signal.h"

namespace vx {
namespace {

constexpr int kRate = 44100;

class RecordingTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    test::FakeSoundLibrary library;
    test::FakeDialogs dialogs;
    std::array<Recording::DeckHeard, 2> decks{};
    std::unique_ptr<Recording> recording;

    void make(audio::AudioFileFormat format = audio::AudioFileFormat::Flac) {
        Recording::Options o;
        o.folder = dir.filePath("Music/Velumix Recordings");
        o.format = format;
        o.rate = kRate;
        o.now = [] { return QDateTime(QDate(2025, 3, 7), QTime(21, 5, 9)); };
        o.describe = [](const QString& path) { return CueTrack{"Title of " + path, "Artist", 0}; };
        recording = std::make_unique<Recording>(library, dialogs, o);
        recording->setDeckSource([this](int deck) { return decks[static_cast<std::size_t>(deck)]; });
    }
    // The audio thread's part: `seconds` of a tone into the tap.
    void play(double seconds) {
        ASSERT_NE(library.tap, nullptr);
        const auto tone = test::sine(440.0, kRate, static_cast<int>(seconds * kRate), 0.5);
        test::Stereo frames;
        for (float x : tone) frames.insert(frames.end(), {x, x});
        library.tap->push(frames.data(), tone.size());
    }
    QString cue() const { return dir.filePath("Music/Velumix Recordings/Velumix 2025-03-07 21-05-09.cue"); }
};

TEST_F(RecordingTest, SongsCountFromWhenTheyAreHeardAndGoIntoTheCueSheet) {
    make();
    decks[0] = {7, "/music/a.mp3", true, true};  // heard when the recording starts
    decks[1] = {8, "/music/b.mp3", false, false};
    recording->toggle();
    ASSERT_TRUE(recording->active());
    EXPECT_EQ(recording->filePath(),
              dir.filePath("Music/Velumix Recordings/Velumix 2025-03-07 21-05-09.flac"));
    play(2.5);
    decks[1].playing = true;  // behind the crossfader: not heard yet
    recording->songStarted(1);
    recording->tick();
    play(1.0);
    decks[1].audible = true;
    recording->tick();
    EXPECT_EQ(recording->elapsedText(), "00:03");
    decks[0].playing = false;  // paused and played again: the same song
    recording->tick();
    decks[0].playing = true;
    recording->songStarted(0);
    play(0.5);

    recording->toggle();
    EXPECT_FALSE(recording->active());
    EXPECT_EQ(recording->elapsedText(), "");
    recording->finish();
    EXPECT_TRUE(dialogs.shown.empty());
    QFile cueFile(cue());
    ASSERT_TRUE(cueFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(cueFile.readAll()),
              "FILE \"Velumix 2025-03-07 21-05-09.flac\" WAVE\n"
              "  TRACK 01 AUDIO\n    TITLE \"Title of /music/a.mp3\"\n    PERFORMER \"Artist\"\n"
              "    INDEX 01 00:00:00\n"
              "  TRACK 02 AUDIO\n    TITLE \"Title of /music/b.mp3\"\n    PERFORMER \"Artist\"\n"
              "    INDEX 01 00:03:37\n");
    EXPECT_GT(QFileInfo(recording->filePath()).size(), 10000);
}

TEST_F(RecordingTest, WavByTheSettingAndASecondRecordingInTheSameSecondGetsItsOwnName) {
    make(audio::AudioFileFormat::Wav);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(recording->start());
        play(0.2);
        recording->stop();
        recording->finish();
    }
    const QString folder = dir.filePath("Music/Velumix Recordings/");
    EXPECT_TRUE(QFile::exists(folder + "Velumix 2025-03-07 21-05-09.wav"));
    EXPECT_TRUE(QFile::exists(folder + "Velumix 2025-03-07 21-05-09 (2).wav"));
    EXPECT_TRUE(QFile::exists(folder + "Velumix 2025-03-07 21-05-09 (2).cue"));
}

TEST_F(RecordingTest, AnOutputThatCannotBeRecordedOrAFullDiskIsTold) {
    make();
    library.tapRefused = true;
    EXPECT_FALSE(recording->start());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "The recording could not start:\nThe sound output cannot be recorded");

    library.tapRefused = false;
    ASSERT_TRUE(recording->start());
    {
        const test::FileSizeLimit limit(20 * 1024);
        play(5.0);
        for (int i = 0; i < 500 && recording->active(); ++i) {
            recording->tick();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        recording->finish();
    }
    EXPECT_FALSE(recording->active());
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(dialogs.shown[1].text.startsWith("The recording stopped:\nCould not write \""))
        << dialogs.shown[1].text.toStdString();
    EXPECT_TRUE(dialogs.shown[1].text.contains("File too large"));
    EXPECT_TRUE(dialogs.shown[1].text.endsWith("What was recorded until then is kept in \"" +
                                               recording->filePath() + "\"."));
}

}  // namespace
}  // namespace vx
