// Auto DJ mixed offline: one pass through a playlist with a missing and a corrupt entry, each song a tone
// of its own, so the render shows where every song comes in and how the crossfades go.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "app/offline_mix.h"
#include "support/signal.h"
#include "support/tag_fixtures.h"

namespace vx::test {
namespace {

constexpr int kRate = OfflineMix::kRate;
constexpr int kWindow = kRate / 100;  // 10 ms

struct Song {
    const char* file;
    double hz;
};
const Song kSongs[] = {{"mix_a.wav", 300}, {"mix_b.mp3", 1000}, {"mix_c.wav", 3000}};

QStringList playlist(const QString& folder) {
    return {QString::fromStdString(fixture("mix_a.wav")), folder + "/gone.mp3",
            QString::fromStdString(fixture("mix_b.mp3")), QString::fromStdString(fixture("corrupt.mp3")),
            QString::fromStdString(fixture("mix_c.wav"))};
}

// The amplitude of `hz` in each 10 ms window of the left channel.
std::vector<double> envelope(const Stereo& mix, double hz) {
    std::vector<double> e;
    for (std::size_t at = 0; at + kWindow <= mix.size() / 2; at += kWindow)
        e.push_back(goertzelAmplitude(channel(mix, 0, at, kWindow), hz, kRate));
    return e;
}

TEST(OfflineMix, EverySongComesInWhereItsCueSaysAndTheCrossfadesNeitherClipNorJump) {
    QTemporaryDir dir;
    OfflineMix mix({playlist(dir.path()), 70, 0});
    QStringList skipped;
    mix.setSkippedHandler([&](const QString& path) { skipped << path.section('/', -1); });
    Stereo out;
    std::vector<float> block;
    while (const int frames = mix.renderStep(block)) out.insert(out.end(), block.begin(), block.begin() + 2 * frames);

    EXPECT_EQ(skipped, (QStringList{"gone.mp3", "corrupt.mp3"}));
    ASSERT_EQ(mix.tracks().size(), 3u);
    EXPECT_LE(peak(out), 1.0f);
    EXPECT_LT(maxStep(channel(out, 0)), 0.22f);  // no click: the 3 kHz tone at half scale steps by 0.214
    for (std::size_t i = 0; i < 3; ++i) {
        // Where the song is first heard: its tone's first window above -20 dB of half scale (the other
        // tones leak less than that into its bin over 10 ms).
        const std::vector<double> e = envelope(out, kSongs[i].hz);
        const auto heard = std::find_if(e.begin(), e.end(), [](double a) { return a > 0.05; });
        ASSERT_NE(heard, e.end()) << kSongs[i].file;
        const double heardAt = static_cast<double>(heard - e.begin()) * kWindow / kRate;
        const double cueAt = static_cast<double>(mix.tracks()[i].startFrame) / kRate;
        EXPECT_NEAR(heardAt, cueAt, 0.05) << kSongs[i].file;
        if (i == 0) continue;
        // Over the crossfade the outgoing song falls and the incoming one rises, step by step.
        const std::vector<double> before = envelope(out, kSongs[i - 1].hz);
        const auto from = static_cast<std::size_t>(heard - e.begin());
        for (std::size_t w = from + 10; w + 10 < std::min(e.size(), from + 280); w += 10) {
            EXPECT_GE(e[w + 10], e[w] * 0.98) << kSongs[i].file << " window " << w;
            EXPECT_LE(before[w + 10], before[w] * 1.02 + 1e-4) << kSongs[i - 1].file << " window " << w;
        }
    }
    // The last song plays to its end (its trailing silence included) and the mix stops there.
    const double lastSongEnd = static_cast<double>(mix.tracks()[2].startFrame) / kRate + 12.0;
    EXPECT_NEAR(mix.secondsRendered(), lastSongEnd, 0.3);
}

TEST(OfflineMix, TheSamePlaylistGivesTheSameBytesAndACueSheet) {
    QTemporaryDir dir;
    const QString list = test::writeBytes(dir.filePath("set.m3u"), playlist(dir.path()).join('\n').toUtf8());
    QByteArray first;
    for (int run = 0; run < 2; ++run) {
        const QString out = dir.filePath(QString("mix%1.flac").arg(run));
        std::FILE* err = std::tmpfile();
        ASSERT_EQ(runRenderMix(list, out, 0, 70, err), 0);
        std::fclose(err);
        const QByteArray bytes = test::readBytes(out);
        ASSERT_FALSE(bytes.isEmpty());
        if (run == 0) first = bytes;
        EXPECT_EQ(bytes, first);
        EXPECT_EQ(test::readBytes(dir.filePath(QString("mix%1.cue").arg(run))).count("TRACK"), 3);
    }
    // Nothing to render: a non-zero exit and no file.
    const QString bad = test::writeBytes(dir.filePath("bad.m3u"), (dir.path() + "/gone.mp3\n").toUtf8());
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(runRenderMix(bad, dir.filePath("none.wav"), 0, 85, err), 1);
    std::fclose(err);
    EXPECT_FALSE(QFile::exists(dir.filePath("none.wav")));
}

}  // namespace
}  // namespace vx::test
