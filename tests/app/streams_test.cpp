#include "services/streams.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/fakes.h"
#include "support/fake_sound_library.h"

namespace vx {
namespace {

using test::FakeFile;

TEST(ClockText, WritesHoursMinutesAndSeconds) {
    const std::pair<std::int64_t, QString> rows[] = {{0, "00:00:00"},  {119, "00:01:59"},   {3725, "01:02:05"},
                                                     {360000, "100:00:00"}, {-5, "00:00:-05"}, {-75, "00:00:-75"}};
    for (const auto& [seconds, text] : rows) EXPECT_EQ(clockText(seconds), text) << seconds;
}

class StreamsTest : public ::testing::Test {
  protected:
    test::FakeSoundLibrary library;
    test::FakeDialogs dialogs;
    Streams streams{library, dialogs};
    QTemporaryDir dir;
    int removed = 0;
    void SetUp() override { streams.setRemoveFromPlaylist([this] { ++removed; }); }
    QString existingFile(const QString& name) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not music");
        return f.fileName();
    }
};

TEST_F(StreamsTest, WindowsMediaIsTriedFirstThenThePlainFamilyPreBuffered) {
    library.addFile("a.wma", FakeFile{audio::Family::WindowsMedia});
    library.addFile("b.mp3");
    const auto wma = streams.openStream("a.wma");
    EXPECT_EQ(wma.kind, StreamKind::WindowsMedia);
    EXPECT_NE(wma.handle, 0u);
    library.calls.clear();
    streams.setStreamFlags(audio::kExactSeek);
    const auto mp3 = streams.openStream("b.mp3");
    EXPECT_EQ(mp3.kind, StreamKind::Plain);
    EXPECT_EQ(library.calls, (std::vector<std::string>{"createStream wma b.mp3", "createStream plain b.mp3",
                                                       "preBuffer " + std::to_string(mp3.handle)}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(StreamsTest, AnExistingFileThatCannotBeOpenedIsReported) {
    const QString path = existingFile("broken.mp3");
    library.errorCode = 0;
    const auto opened = streams.openStream(path);
    EXPECT_EQ(opened.handle, 0u);
    EXPECT_EQ(opened.kind, StreamKind::Plain);  // plain even though it failed
    ASSERT_EQ(dialogs.titles(), QStringList{"Error"});
    EXPECT_EQ(dialogs.shown[0].text,
              "The selected file could not be loaded. Please choose another file...\r\n\r\nError Code : 2");
    EXPECT_EQ(removed, 0);
}

// A missing file, or a folder in its place, offers its removal from the playlist; Yes removes it.
TEST_F(StreamsTest, AMissingFileOffersRemovalAndYesRemovesIt) {
    dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
    streams.openStream(dir.path());
    EXPECT_EQ(removed, 0);
    streams.openStream(dir.filePath("gone.mp3"));
    EXPECT_EQ(removed, 1);
    ASSERT_EQ(dialogs.titles(), (QStringList{"File Not Found", "File Not Found"}));
    const auto& shown = dialogs.shown[1];
    EXPECT_EQ(shown.text, QString("The selected file can not be found at its original location.") +
                              QChar(13) + QChar(13) + "Remove from Playlist?");
    EXPECT_EQ(shown.icon, Dialogs::Icon::Question);
    EXPECT_EQ(shown.buttons, Dialogs::Buttons::YesNo);
}

// Auto DJ passes over files silently; an error reporter (the playlist's status line) replaces the box.
TEST_F(StreamsTest, AutoDjFailsSilentlyAndAReporterReplacesThePlainBox) {
    streams.setAutoDjOn(true);
    EXPECT_EQ(streams.openStream(dir.filePath("gone.mp3")).handle, 0u);
    EXPECT_EQ(streams.openStream(existingFile("bad.wav")).handle, 0u);
    streams.setAutoDjOn(false);
    QString reported;
    streams.setErrorReporter([&](const QString& m) { reported = m; });
    streams.openStream(existingFile("bad.mp3"));
    EXPECT_EQ(reported, "The selected file could not be loaded. Please choose another file...");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(StreamsTest, PlayingMeansPlayingOrStalledButNotPausedOrStopped) {
    library.addFile("a.mp3");
    const auto h = streams.openStream("a.mp3").handle;
    EXPECT_FALSE(streams.isStreamPlaying(h));
    for (const auto& [activity, playing] : {std::pair{audio::kPlaying, true}, std::pair{audio::kStalled, true},
                                            std::pair{audio::kPaused, false}}) {
        library.stream(h)->activity = activity;
        EXPECT_EQ(streams.isStreamPlaying(h), playing) << activity;
    }
    EXPECT_FALSE(streams.isStreamPlaying(0));
}

TEST_F(StreamsTest, EachDeckKeepsItsFamilyForTransport) {
    library.addFile("left.wma", FakeFile{audio::Family::WindowsMedia});
    library.addFile("right.mp3");
    const auto left = streams.openStream("left.wma");
    const auto right = streams.openStream("right.mp3");
    ASSERT_TRUE(streams.playStream(left.handle, left.kind));
    ASSERT_TRUE(library.pause(left.handle));
    library.calls.clear();
    EXPECT_TRUE(streams.resumeStream(left.handle, left.kind));  // played again, not resumed
    EXPECT_TRUE(streams.setStreamPosition(left.handle, left.kind, 4000));
    EXPECT_EQ(library.calls, (std::vector<std::string>{"play 1", "eqReset 1", "setPosition 1 4000"}));

    library.calls.clear();
    streams.playStream(right.handle, right.kind);
    library.pause(right.handle);
    library.calls.clear();
    EXPECT_TRUE(streams.resumeStream(right.handle, right.kind));
    EXPECT_TRUE(streams.setStreamPosition(right.handle, right.kind, 8000));
    EXPECT_EQ(library.calls,
              (std::vector<std::string>{"resume 2", "eqReset 2", "setPosition 2 8000", "preBuffer 2"}));
    EXPECT_EQ(streams.getStreamPosition(right.handle, right.kind), 8000);
}

TEST_F(StreamsTest, LengthAndTimeLeftAreRoundedClockTexts) {
    library.addFile("a.mp3", FakeFile{audio::Family::Plain, 176400LL * 3725 + 70000});  // 3725.4 s
    const auto h = streams.openStream("a.mp3").handle;
    const auto length = streams.songLengthBytes(h);
    EXPECT_EQ(streams.songLengthText(h, length), "01:02:05");
    EXPECT_EQ(streams.getTimeRemain(h, length, length), "00:00:00");
    EXPECT_EQ(streams.getTimeRemain(h, length, length - 176400 * 59 - 50000), "00:00:59");   // 59.28 s
    EXPECT_EQ(streams.getTimeRemain(h, length, length - 176400 * 59 - 100000), "00:01:00");  // 59.57 s
    EXPECT_EQ(streams.getTimeRemain(h, length, length + 176400 * 5), "00:00:-05");
    EXPECT_EQ(streams.songLengthText(h, -176400 * 3), "00:00:00");  // never negative
    EXPECT_EQ(streams.songLengthText(0, 1000), "00:00:00");         // no stream
}

}  // namespace
}  // namespace vx
