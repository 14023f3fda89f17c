#include "services/sound_system.h"

#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/fake_sound_library.h"

namespace vx {
namespace {

using Icon = Dialogs::Icon;

class SoundSystemTest : public ::testing::Test {
  protected:
    test::FakeSoundLibrary library;
    test::FakeDialogs dialogs;
    SoundSystem sound{library, dialogs};
    std::vector<std::pair<int, int>> released;
    void SetUp() override { sound.setKeyReleaseHook([this](int k, int shift) { released.emplace_back(k, shift); }); }
};

TEST_F(SoundSystemTest, ThrowErrorShowsTheCodeAndReleasesCtrlThenAlt) {
    sound.ThrowError("Something");
    ASSERT_EQ(dialogs.texts(), (QStringList{"Something\r\n\r\nError Code : 0"}));
    EXPECT_EQ(dialogs.shown[0].title, "Error");
    EXPECT_EQ(dialogs.shown[0].icon, Icon::Critical);
    EXPECT_EQ(released, (std::vector<std::pair<int, int>>{{17, 0}, {18, 0}}));

    library.errorCode = -1;
    sound.ThrowError("x");
    EXPECT_EQ(dialogs.shown[1].text, "x\r\n\r\nError Code : -1");
}

// A device that will not open, or an output that will not start, is told with the library's text for
// its code (none for code 28); a device that failed is never started.
TEST_F(SoundSystemTest, AFailedDeviceOrOutputStartShowsItsText) {
    struct Row {
        int failInit, failStart;
        std::vector<std::string> calls;
        QString text;
    };
    const Row rows[] = {
        {28, 0, {"init -1 22050"}, "Can't initialize digital sound system. \r\n\r\nError Code : 28"},
        {23, 0, {"init -1 22050"},
         "Can't initialize digital sound system. Illegal Device Number\r\n\r\nError Code : 23"},
        {0, 3, {"init -1 22050", "start"},
         "Can't start digital output. Can't Find a Free Sound Driver\r\n\r\nError Code : 3"},
    };
    for (const Row& row : rows) {
        library.failInitWith = row.failInit;
        library.failStartWith = row.failStart;
        library.calls.clear();
        dialogs.shown.clear();
        EXPECT_FALSE(sound.init_BASS(-1, 22050));
        EXPECT_EQ(library.calls, row.calls);
        ASSERT_EQ(dialogs.texts(), (QStringList{row.text}));
    }
}

}  // namespace
}  // namespace vx
