// Which files open in which family, what bad files give, and the failure codes of the engine.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "audio/library_info.h"
#include "audio/offline_engine.h"
#include "support/tag_fixtures.h"

using namespace vx;
using namespace vx::test;
using audio::Family;

TEST(Families, WindowsMediaOpensOnlyAsfWhateverTheName) {
    OfflineEngine e;
    EXPECT_NE(e.open("sine1k.wma", Family::WindowsMedia), 0u);
    EXPECT_EQ(e.open("sine1k.wma", Family::Plain), 0u);
    EXPECT_EQ(e.engine.lastError(), audio::kErrFormat);
    // An MP3 dressed as .wma is refused by Windows Media, so the plain family gets it.
    EXPECT_EQ(e.open("mp3_named.wma", Family::WindowsMedia), 0u);
    EXPECT_EQ(e.engine.lastError(), audio::kErrFormat);
    EXPECT_NE(e.open("mp3_named.wma", Family::Plain), 0u);
    EXPECT_EQ(e.open("sine1k_cbr.mp3", Family::WindowsMedia), 0u);
}

TEST(Families, PlainOpensEveryOtherAudioFormatByContent) {
    OfflineEngine e;
    for (const char* name : {"sine1k_44k.wav", "sine1k_cbr.mp3", "sine1k_vbr.mp3", "sine1k.flac",
                             "sine1k.ogg", "mono1k_44k.wav", "wav_named.mp3"}) {
        const audio::Handle h = e.open(name);
        ASSERT_NE(h, 0u) << name;
        e.engine.setPosition(h, 44100 * 4 / 2);
        e.engine.play(h);
        e.seconds(0.2);
        const Stereo out = e.seconds(0.3);
        EXPECT_NEAR(zeroCrossingHz(channel(out, 0), 44100), 1000.0, 5.0) << name;
        e.engine.freeStream(h);
    }
}

TEST(BadFiles, AreRefusedWithACodeAndNeverCrash) {
    // Special files are refused at once: a FIFO would block the open for ever, a link loop never resolves.
    // A playlist-like container named as music may not pull in other files.
    const std::string dir = ::testing::TempDir() + "vx_special";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ASSERT_EQ(mkfifo((dir + "/fifo.mp3").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir + "/loop.mp3", dir + "/loop.mp3");
    std::ofstream(dir + "/list.mp3") << "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\n" << fixture("sine1k_44k.wav")
                                     << "\n#EXT-X-ENDLIST\n";
    std::ofstream(dir + "/concat.mp3") << "ffconcat version 1.0\nfile '" << fixture("sine1k_44k.wav") << "'\n";
    const Family wm = Family::WindowsMedia, plain = Family::Plain;
    const int open = audio::kErrFileOpen, format = audio::kErrFormat;
    const std::tuple<std::string, Family, int> refused[] = {
        {fixture("no-such-file.mp3"), plain, open}, {VX_FIXTURE_DIR, plain, open}, {dir + "/fifo.mp3", plain, open},
        {dir + "/loop.mp3", plain, open}, {"/dev/zero", plain, open}, {dir + "/list.mp3", plain, format},
        {dir + "/concat.mp3", plain, format}, {fixture("empty.mp3"), wm, format}, {fixture("empty.mp3"), plain, format},
        {fixture("text.mp3"), wm, format}, {fixture("text.mp3"), plain, format}};
    OfflineEngine e;
    for (const auto& [path, family, error] : refused) {
        EXPECT_EQ(e.engine.createStream(family, path, audio::kExactSeek), 0u) << path;
        EXPECT_EQ(e.engine.lastError(), error) << path;
    }
    // Structureless bytes: refused, or at worst played as noise; either way no crash.
    if (e.open("corrupt.mp3") == 0) {
        EXPECT_EQ(e.engine.lastError(), audio::kErrFormat);
    }
}

TEST(BadFiles, ATruncatedFilePlaysWhatDecodes) {
    OfflineEngine e;
    const audio::Handle h = e.open("truncated.mp3");
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(e.engine.lengthIsFinal(h));
    EXPECT_NEAR(static_cast<double>(e.engine.length(h)), 1.5 * 44100 * 4, 0.2 * 44100 * 4);
    e.engine.play(h);
    e.seconds(0.1);
    EXPECT_NEAR(zeroCrossingHz(channel(e.seconds(1.0), 0), 44100), 1000.0, 5.0);
    e.seconds(1.0);
    EXPECT_EQ(e.engine.activity(h), audio::kStopped);
}

TEST(Errors, CodesFollowTheSoundSystemTable) {
    audio::Engine engine{audio::EngineOptions{}};
    EXPECT_EQ(engine.createStream(Family::Plain, fixture("sine1k_44k.wav"), 0), 0u);
    EXPECT_EQ(engine.lastError(), audio::kErrInit);
    EXPECT_FALSE(engine.play(1));
    EXPECT_EQ(engine.lastError(), audio::kErrInit);
    EXPECT_FALSE(engine.init(audio::kNoSoundDevice, 48000));
    EXPECT_EQ(engine.lastError(), audio::kErrFrequency);
    EXPECT_FALSE(engine.init(-2, 44100));
    EXPECT_EQ(engine.lastError(), audio::kErrDevice);
    EXPECT_FALSE(engine.init(9999, 44100));  // far past the last sound card
    EXPECT_EQ(engine.lastError(), audio::kErrDevice);
    ASSERT_TRUE(engine.init(audio::kNoSoundDevice, 22050));
    EXPECT_EQ(engine.lastError(), audio::kOk);
    EXPECT_FALSE(engine.init(audio::kNoSoundDevice, 44100));
    EXPECT_EQ(engine.lastError(), audio::kErrAlready);
    EXPECT_FALSE(engine.play(12345));
    EXPECT_EQ(engine.lastError(), audio::kErrHandle);
    EXPECT_FALSE(engine.freeStream(0));
    EXPECT_EQ(engine.lastError(), audio::kErrHandle);
    EXPECT_TRUE(engine.shutdown());
    EXPECT_FALSE(engine.shutdown());
    EXPECT_EQ(engine.lastError(), audio::kErrInit);
}

TEST(Errors, PositionsOutsideTheSoundAndFreedHandlesAreRefused) {
    OfflineEngine e;
    const audio::Handle h = e.open("sine1k_44k.wav");
    for (const std::int64_t outside : {std::int64_t{-4}, e.engine.length(h) + 4}) {
        EXPECT_FALSE(e.engine.setPosition(h, outside));
        EXPECT_EQ(e.engine.lastError(), audio::kErrPosition);
    }
    EXPECT_TRUE(e.engine.setPosition(h, e.engine.length(h)));
    e.engine.setPosition(h, 0);
    e.engine.play(h);
    e.render(512);
    EXPECT_TRUE(e.engine.freeStream(h));
    EXPECT_FALSE(e.engine.freeStream(h));
    EXPECT_EQ(e.engine.lastError(), audio::kErrHandle);
    EXPECT_EQ(e.engine.activity(h), audio::kStopped);
    const Stereo out = e.render(512);
    EXPECT_EQ(peak(channel(out, 0, static_cast<std::size_t>(e.engine.outputLatency()))), 0.0f);
}

TEST(Devices, NoSoundIsDeviceZeroAndRunsInRealTime) {
    audio::Engine engine{audio::EngineOptions{}};
    EXPECT_EQ(engine.deviceDescription(0), "No sound");
    EXPECT_EQ(engine.deviceDescription(10000), "");
    ASSERT_TRUE(engine.init(audio::kNoSoundDevice, 44100));
    ASSERT_TRUE(engine.start());
    ASSERT_TRUE(engine.setBufferLength(0.1));
    const audio::Handle h = engine.createStream(Family::Plain, fixture("sine1k_44k.wav"), 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(engine.play(h));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const double played = engine.bytesToSeconds(h, engine.position(h));
    EXPECT_GT(played, 0.15);
    EXPECT_LT(played, 0.6);
    EXPECT_EQ(engine.activity(h), audio::kPlaying);
    EXPECT_TRUE(engine.stop());
    EXPECT_TRUE(engine.freeStream(h));
    EXPECT_TRUE(engine.shutdown());
}

TEST(Devices, TheNoSoundOptionOverridesTheDevice) {
    audio::Engine engine{audio::EngineOptions{true}};
    ASSERT_TRUE(engine.init(9999, 44100));
    EXPECT_TRUE(engine.start());
    EXPECT_TRUE(engine.shutdown());
}

TEST(LibraryInfo, ReportsMatchingVersionsAndWindowsMedia) {
    const audio::LibraryInfo info = audio::queryLibraryInfo();
    EXPECT_TRUE(info.ffmpegPresent);
    EXPECT_TRUE(info.portaudioPresent);
    EXPECT_FALSE(info.ffmpegBuilt.empty());
    EXPECT_EQ(info.ffmpegBuilt, info.ffmpegRuntime);
    EXPECT_EQ(info.portaudioBuilt, info.portaudioRuntime);
    EXPECT_TRUE(info.windowsMedia);
}

// Detail below the last 16-bit step survives as a tone in a little noise (triangular dither), and a
// floating-point source's overs come through whole instead of clipped.
TEST(Resolution, FinerSourcesKeepTheirQuietestDetailAndTheirOvers) {
    OfflineEngine e;
    const audio::Handle quiet = e.open("quiet1k_24bit.wav");
    e.engine.play(quiet);
    e.seconds(0.1);
    const auto q = channel(e.seconds(1.0), 0);
    EXPECT_NEAR(goertzelAmplitude(q, 1000, 44100), 0.0000153, 0.0000153 * 0.25);
    e.engine.freeStream(quiet);

    const audio::Handle over = e.open("over1k_float.wav");
    e.engine.setAttributes(over, audio::kKeepFrequency, 50, audio::kKeepPan);
    e.engine.play(over);
    e.seconds(0.1);
    const auto o = channel(e.seconds(0.5), 0);
    EXPECT_NEAR(goertzelAmplitude(o, 1000, 44100), 0.75, 0.75 * 0.01);
    EXPECT_LT(goertzelAmplitude(o, 3000, 44100), 0.75 * 1e-3);  // a clipped tone grows odd harmonics
}

// A tag of forty thousand frames in front of the sound is stepped over, not parsed by the decoder: the
// sound still starts at its first frame and lasts as long as without the tag.
TEST(BadFiles, AHugeTagInFrontIsSteppedOver) {
    std::vector<Id3Frame> frames;
    for (int i = 0; i < 40000; ++i)
        frames.push_back({"TXXX", QByteArray("\0d", 2) + QByteArray::number(i) + QByteArray("\0v", 2)});
    const QByteArray tag = id3v2Tag(frames);
    std::ifstream in(fixture("sine1k_cbr.mp3"), std::ios::binary);
    const std::string path = ::testing::TempDir() + "vx_many_frames.mp3";
    std::ofstream(path, std::ios::binary) << tag.toStdString() << in.rdbuf();

    OfflineEngine e;
    const audio::Handle plain = e.open("sine1k_cbr.mp3");
    const audio::Handle tagged = e.engine.createStream(Family::Plain, path, 0);
    ASSERT_NE(tagged, 0u);
    e.waitDecoded(tagged);
    EXPECT_EQ(e.engine.length(tagged), e.engine.length(plain));
    e.engine.play(tagged);
    e.seconds(0.2);
    EXPECT_NEAR(zeroCrossingHz(channel(e.seconds(0.3), 0), 44100), 1000.0, 5.0);
}
