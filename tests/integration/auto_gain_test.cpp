// Auto gain heard: songs of different loudness come out alike, and the gain glides in when the analysis
// arrives during play.
#include <cmath>

#include "analysis/analyser.h"
#include "deck/loudness_trim.h"
#include "integration/live_console.h"
#include "options/settings.h"

namespace vx::test {
namespace {

class AutoGain : public LiveConsole {
  protected:
    // A 60 Hz tone `db` below half scale, as a song file of its own: a tone this low steps so little
    // from sample to sample that any step of the gain stands out.
    std::string toneSong(const char* name, double db) {
        const std::vector<float> mono = sine(60.0, kRate, 6 * kRate, 0.5 * std::pow(10.0, -db / 20));
        Stereo s;
        for (float x : mono) s.insert(s.end(), {x, x});
        const std::string path = dir.filePath(name).toStdString();
        EXPECT_TRUE(writeWav(path, s, kRate));
        return path;
    }
    void analyse(Side side) {
        std::string error;
        const auto found = analysis::analyseFile(deck(side).state().fileName.toStdString(), &error);
        ASSERT_TRUE(found) << error;
        deck(side).setAnalysis(deck(side).state().fileName, std::make_shared<const analysis::TrackAnalysis>(*found));
    }
};

// The right output channel carries the left deck, the left one the right deck (see splitDecks).
TEST_F(AutoGain, TwoSongsTenDecibelsApartPlayAlikeAndTheChangeIsNoClick) {
    Settings on = app->settings();
    on.AutoGain = true;
    app->settingsHolder().update(on);
    loadPath(Side::Left, toneSong("loud.wav", 0));
    loadPath(Side::Right, toneSong("quiet.wav", 10));
    splitDecks();
    deck(Side::Left).play_Click();
    deck(Side::Right).play_Click();
    play(0.5);
    const Stereo before = play(0.5);
    const double apartBefore = toDb(rms(channel(before, 1)) / rms(channel(before, 0)));
    analyse(Side::Left);
    analyse(Side::Right);
    const Stereo change = play(1.0);
    const Stereo after = play(0.5);
    const double apartAfter = toDb(rms(channel(after, 1)) / rms(channel(after, 0)));
    EXPECT_NEAR(apartBefore, 10.0, 0.2);
    EXPECT_NEAR(apartAfter, 0.0, 0.5);
    for (int ch : {0, 1}) {
        const float own = std::max(maxStep(channel(before, ch)), maxStep(channel(after, ch)));
        EXPECT_LE(maxStep(channel(change, ch)), own * 1.01f) << "channel " << ch;
    }
}

// The loudness target gives way to the true-peak ceiling, and a silent song is left alone.
TEST(LoudnessTrim, MeetsTheTargetUnderThePeakCeiling) {
    const struct {
        double lufs, peak, db;
    } rows[] = {{-24, -12, 10}, {-24, -3, 2}, {-8, -0.5, -6}, {-14, 0.5, -1.5}, {-80, -60, 0}, {-50, -40, 20}};
    for (const auto& r : rows) EXPECT_DOUBLE_EQ(loudnessTrimDb(r.lufs, r.peak), r.db) << r.lufs << " " << r.peak;
}

}  // namespace
}  // namespace vx::test
