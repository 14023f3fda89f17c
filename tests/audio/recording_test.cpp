// The file writer and the live recorder: what is written decodes back to the samples given, a failing
// disk or a killed program leaves a playable file, and a recording is the mix the output played.
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include "audio/audio_file_writer.h"
#include "audio/ffmpeg_source.h"
#include "audio/recorder.h"
#include "offline_engine.h"
#include "support/file_size_limit.h"
#include "support/signal.h"
#include "support/tag_fixtures.h"

namespace vx::audio {
namespace {

constexpr int kRate = 44100;

// Every 16-bit sample FFmpeg decodes from the file (empty when it does not open).
std::vector<std::int16_t> decodeAll(const std::string& path) {
    int error = 0;
    auto source = FfmpegSource::open(path, Family::Plain, &error);
    std::vector<std::int16_t> all, part;
    if (!source) return all;
    for (bool more = true; more;) {
        more = source->decodeMore(part);
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::vector<std::int16_t> quantised(const test::Stereo& s) {
    std::vector<std::int16_t> q(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) q[i] = sampleToInt16(s[i]);
    return q;
}

// Music-like test sound: a tone on the left, noise on the right, with overs that must be held at full scale.
test::Stereo testSound(int frames) {
    test::Stereo s(2 * static_cast<std::size_t>(frames));
    const auto tone = test::sine(440.0, kRate, frames, 1.2);
    std::uint32_t seed = 12345;
    for (int i = 0; i < frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        s[2 * i] = tone[i];
        s[2 * i + 1] = static_cast<float>(static_cast<std::int32_t>(seed) / 2147483648.0 * 0.5);
    }
    return s;
}

// Writes `s` in uneven pieces, as the recorder's drains come.
bool writeInPieces(AudioFileWriter& w, const test::Stereo& s) {
    const int frames = static_cast<int>(s.size() / 2);
    for (int done = 0, piece = 1; done < frames; piece = piece * 3 % 5001 + 7) {
        const int n = std::min(piece, frames - done);
        if (!w.write(s.data() + 2 * done, n)) return false;
        done += n;
    }
    return true;
}

QByteArray bytesOf(const std::string& path) { return test::readBytes(QString::fromStdString(path)); }

class FileFormats : public ::testing::TestWithParam<const char*> {
  protected:
    QTemporaryDir dir;
    std::string file(const std::string& stem) const {
        return dir.filePath(QString::fromStdString(stem + GetParam())).toStdString();
    }
};

TEST_P(FileFormats, DecodeBackToTheSixteenBitSamplesAndTheSameSoundGivesTheSameBytes) {
    const test::Stereo sound = testSound(3 * kRate + 123);
    for (const char* stem : {"a", "b"}) {
        std::string error;
        auto w = AudioFileWriter::create(file(stem), kRate, &error);
        ASSERT_TRUE(w) << error;
        ASSERT_TRUE(writeInPieces(*w, sound));
        ASSERT_TRUE(w->close()) << w->error();
    }
    EXPECT_EQ(decodeAll(file("a")), quantised(sound));
    const QByteArray a = bytesOf(file("a"));
    EXPECT_GT(a.size(), 1000);
    EXPECT_EQ(a, bytesOf(file("b")));
}

// A file-size limit fails the writes as a full disk does (EFBIG where that gives ENOSPC).
TEST_P(FileFormats, AFullDiskStopsTheWriterWithItsReasonAndLeavesADecodableFile) {
    const test::Stereo sound = testSound(10 * kRate);
    std::string error;
    auto w = AudioFileWriter::create(file("full"), kRate, &error);
    ASSERT_TRUE(w) << error;
    bool wrote = false, closed = false;
    {
        const test::FileSizeLimit limit(300 * 1024);
        wrote = writeInPieces(*w, sound) && w->flush();
        closed = w->close();
    }

    EXPECT_FALSE(wrote);
    EXPECT_FALSE(closed);
    EXPECT_NE(w->error().find("File too large"), std::string::npos) << w->error();
    EXPECT_NE(w->error().find(file("full")), std::string::npos) << w->error();
    EXPECT_FALSE(w->write(sound.data(), 1));  // nothing more is taken
    const auto decoded = decodeAll(file("full"));
    const auto expected = quantised(sound);
    EXPECT_GT(decoded.size(), 2u * kRate / 2);
    ASSERT_LE(decoded.size(), expected.size());
    EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), expected.begin()));
}

INSTANTIATE_TEST_SUITE_P(Writer, FileFormats, ::testing::Values(".wav", ".flac"),
                         [](const auto& info) { return std::string(info.param + 1); });

TEST(AudioFileWriter, RefusesNamesOfOtherFormatsAndFoldersItCannotWriteTo) {
    std::string error;
    EXPECT_FALSE(AudioFileWriter::create("/tmp/mix.mp3", kRate, &error));
    EXPECT_NE(error.find("mix.mp3"), std::string::npos);
    EXPECT_FALSE(AudioFileWriter::create("/nonexistent/folder/mix.flac", kRate, &error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

// The recorder taps the mix after the limiter: offline, what render() handed out is in the file.
TEST(Recorder, RecordsTheMixSampleForSample) {
    QTemporaryDir dir;
    test::OfflineEngine sound;
    ASSERT_TRUE(sound.ok());
    const Handle h = sound.open("tone1k_44k.wav");
    sound.engine.setAttributes(h, kKeepFrequency, 100, 30);
    sound.engine.play(h);
    sound.render(1000);  // before the recording: not in the file

    Recorder recorder(sound.engine);
    const std::string path = dir.filePath("mix.flac").toStdString();
    ASSERT_TRUE(recorder.start(path, kRate)) << recorder.error();
    test::Stereo heard;
    for (int i = 0; i < 40; ++i) {
        const test::Stereo block = sound.render(kRate / 10 + 17);
        heard.insert(heard.end(), block.begin(), block.end());
        recorder.poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    recorder.stop();
    sound.render(500);  // after stop(): not in the file either
    recorder.finish();
    EXPECT_EQ(recorder.state(), Recorder::State::Idle);
    EXPECT_EQ(recorder.framesDropped(), 0u);
    EXPECT_EQ(recorder.framesCaptured(), heard.size() / 2);
    EXPECT_TRUE(recorder.error().empty()) << recorder.error();
    const auto decoded = decodeAll(path);
    EXPECT_GT(test::peak(heard), 0.1f);
    if (decoded != quantised(heard)) {
        test::writeWav(::testing::TempDir() + "recorder_heard.wav", heard, kRate);
        ADD_FAILURE() << "the recording differs from the mix; the mix is in recorder_heard.wav";
    }
}

// The child of the kill test: records the silent real-time output until it is killed.
TEST(RecorderChild, RecordsUntilKilled) {
    const char* path = std::getenv("VX_RECORD_CHILD");
    if (!path) GTEST_SKIP() << "run by Recorder.AKilledRecordingDecodesUpToAboutTheLastSecond";
    Engine engine{EngineOptions{true}};
    ASSERT_TRUE(engine.init(kNoSoundDevice, kRate) && engine.start());
    const Handle h = engine.createStream(Family::Plain, test::fixture("sine1k_44k.wav"), 0);
    engine.setLoop(h, 0, engine.length(h));
    engine.play(h);
    Recorder recorder(engine);
    ASSERT_TRUE(recorder.start(path, kRate));
    const int ready = std::atoi(std::getenv("VX_RECORD_READY_FD"));
    [[maybe_unused]] const auto n = write(ready, "go", 2);
    for (;;) std::this_thread::sleep_for(std::chrono::milliseconds(80));
}

TEST(Recorder, AKilledRecordingDecodesUpToAboutTheLastSecond) {
    QTemporaryDir dir;
    for (const char* name : {"killed.flac", "killed.wav"}) {
        const std::string path = dir.filePath(name).toStdString();
        int out[2];
        ASSERT_EQ(pipe(out), 0);
        const pid_t child = fork();
        if (child == 0) {
            setenv("VX_RECORD_CHILD", path.c_str(), 1);
            setenv("VX_RECORD_READY_FD", std::to_string(out[1]).c_str(), 1);
            execl("/proc/self/exe", "recorder-child", "--gtest_filter=RecorderChild.*", nullptr);
            _exit(127);
        }
        close(out[1]);
        char said[16] = {};
        ASSERT_EQ(read(out[0], said, 2), 2) << "the recording child did not start";
        close(out[0]);
        const auto recorded = std::chrono::milliseconds(2000);
        std::this_thread::sleep_for(recorded);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        const auto decoded = decodeAll(path);
        const double seconds = static_cast<double>(decoded.size()) / 2 / kRate;
        RecordProperty(name, std::to_string(seconds));
        EXPECT_GT(seconds, 2.0 - 1.3) << name;
        EXPECT_LT(seconds, 2.0 + 0.3) << name;
        EXPECT_GT(test::peak(std::vector<float>(decoded.begin(), decoded.end())), 1000.0f) << name;
    }
}

}  // namespace
}  // namespace vx::audio
