#include "services/sound_system.h"

#include <gtest/gtest.h>

#include "support/fake_dialogs.h"
#include "support/fake_sound_library.h"

namespace vx {
namespace {

using Icon = Dialogs::Icon;

TEST(ErrorText, KeepsTheTableAndItsGaps) {
    EXPECT_EQ(ErrorText(-1), "Some Other Mystery Error");
    EXPECT_EQ(ErrorText(0), "All is OK");
    EXPECT_EQ(ErrorText(8), "BASS_Init Has Not Been Successfully Called");
    EXPECT_EQ(ErrorText(27), "The Stream is Not a File Stream (WAV/MP3)");
    EXPECT_EQ(ErrorText(29), "No Hardware Voices Available");
    EXPECT_EQ(ErrorText(37), "The requested data is not available");
    EXPECT_EQ(ErrorText(38), "The channel is a 'decoding channel'");
    for (int code : {28, 30, 36, -2, 39, 1000, -1000}) EXPECT_EQ(ErrorText(code), "") << code;
}

class SoundSystemTest : public ::testing::Test {
  protected:
    test::FakeSoundLibrary library;
    test::FakeDialogs dialogs;
    SoundSystem sound{library, dialogs};
    std::vector<std::pair<int, int>> released;
    void SetUp() override {
        sound.setKeyReleaseHook([this](int key, int shift) { released.emplace_back(key, shift); });
    }
};

TEST_F(SoundSystemTest, ThrowErrorShowsTheCodeAndReleasesCtrlThenAlt) {
    sound.ThrowError("Something");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Something\r\n\r\nError Code : 0");
    EXPECT_EQ(dialogs.shown[0].title, "Error");
    EXPECT_EQ(dialogs.shown[0].icon, Icon::Critical);
    EXPECT_EQ(released, (std::vector<std::pair<int, int>>{{17, 0}, {18, 0}}));

    library.errorCode = -1;
    sound.ThrowError("x");
    EXPECT_EQ(dialogs.shown[1].text, "x\r\n\r\nError Code : -1");
}

TEST_F(SoundSystemTest, StartOpensTheDeviceAtTheFrequencyAndStarts) {
    EXPECT_TRUE(sound.init_BASS(2, 44100));
    EXPECT_EQ(library.calls, (std::vector<std::string>{"init 2 44100", "start"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SoundSystemTest, AFailedDeviceShowsItsTextOrNoneForCode28) {
    library.failInitWith = 28;
    EXPECT_FALSE(sound.init_BASS(-1, 22050));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Can't initialize digital sound system. \r\n\r\nError Code : 28");
    EXPECT_EQ(library.calls, (std::vector<std::string>{"init -1 22050"}));  // never started

    library.failInitWith = 23;
    sound.init_BASS(9, 22050);
    EXPECT_EQ(dialogs.shown[1].text,
              "Can't initialize digital sound system. Illegal Device Number\r\n\r\nError Code : 23");
}

TEST_F(SoundSystemTest, AFailedOutputStartHasItsOwnText) {
    library.failStartWith = 3;
    EXPECT_FALSE(sound.init_BASS(-1, 44100));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "Can't start digital output. Can't Find a Free Sound Driver\r\n\r\nError Code : 3");
}

TEST_F(SoundSystemTest, ShutdownRunsEveryStepInOrderEvenWithEmptyDecks) {
    sound.terminate_BASS(0, 0);
    EXPECT_EQ(library.calls, (std::vector<std::string>{"stop", "eqRemove 0", "eqRemove 0", "eqFree",
                                                       "freeStream 0", "freeStream 0", "shutdown"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SoundSystemTest, ShutdownFreesLeftThenRight) {
    library.addFile("a.mp3");
    library.addFile("b.mp3");
    const auto left = library.createStream(audio::Family::Plain, "a.mp3", 0);
    const auto right = library.createStream(audio::Family::Plain, "b.mp3", 0);
    library.calls.clear();
    sound.terminate_BASS(left, right);
    EXPECT_EQ(library.calls, (std::vector<std::string>{"stop", "eqRemove 1", "eqRemove 2", "eqFree",
                                                       "freeStream 1", "freeStream 2", "shutdown"}));
    EXPECT_TRUE(library.streams.empty());
}

TEST(SoundSystemDropouts, CountsTheBreaksInWords) {
    struct Breaking : test::FakeSoundLibrary {
        std::uint64_t breaks = 0;
        std::uint64_t dropouts() const override { return breaks; }
    } library;
    test::FakeDialogs dialogs;
    const SoundSystem sound{library, dialogs};
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "The sound has played without a break since start"},
        {1, "The sound broke up once since start"},
        {2, "The sound broke up 2 times since start"},
        {123456, "The sound broke up 123456 times since start"},
    };
    for (const auto& [breaks, text] : cases) {
        library.breaks = breaks;
        EXPECT_EQ(sound.dropoutText(), text) << breaks;
    }
}

}  // namespace
}  // namespace vx
