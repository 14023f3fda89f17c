#include "mixer/cue_sheet.h"

#include <gtest/gtest.h>


namespace vx {
namespace {

TEST(CueSheet, OneTrackPerSongWithTextsTheFormatCanHold) {
    const std::vector<CueTrack> tracks = {
        {"Intro", "", 0},
        {"Say \"Hello\"\r\nAgain", "DJ\tOne", 44100 * 75 + 44100 / 75 * 7 + 3},  // 1:15 and 7 frames
        {QString::fromUtf8("Caf\u00e9 del Mar"), "Energy 52", 44100LL * 6001},   // past 99 minutes
    };
    EXPECT_EQ(cueSheetText("Velumix \"mix\".flac", tracks, 44100),
              QString::fromUtf8("FILE \"Velumix 'mix'.flac\" WAVE\n"
                                "  TRACK 01 AUDIO\n    TITLE \"Intro\"\n    INDEX 01 00:00:00\n"
                                "  TRACK 02 AUDIO\n    TITLE \"Say 'Hello' Again\"\n"
                                "    PERFORMER \"DJ One\"\n    INDEX 01 01:15:07\n  TRACK 03 AUDIO\n"
                                "    TITLE \"Caf\u00e9 del Mar\"\n    PERFORMER \"Energy 52\"\n"
                                "    INDEX 01 100:01:00\n"));
    EXPECT_EQ(cueTime(22050 / 75 * 74 + 1, 22050), "00:00:74");
    EXPECT_EQ(cueSheetText("a.wav", std::vector<CueTrack>(120), 44100).count("TRACK"), 99);
}

}  // namespace
}  // namespace vx
