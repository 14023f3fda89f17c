// Analysing files: the loudness against FFmpeg's own EBU R128 meter on the same file, the audible part,
// the command line's JSON lines and the background worker.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <string>
#include <unistd.h>

#include "analysis/analyse_command.h"
#include "analysis/analyser.h"
#include "analysis/analysis_worker.h"
#include "beat_synth.h"

namespace vx::analysis {
namespace {

constexpr double kSilenceS = 2;

// A 16 s beat between two seconds of silence, at `rate`.
std::string makeFile(const std::string& name, int rate, double gain) {
    test::BeatPattern p{name, 128, 0.1};
    p.seconds = 16;
    p.gain = gain;
    test::Stereo sound(static_cast<std::size_t>(2 * kSilenceS * rate * 2), 0.0f);
    const test::Stereo beat = test::makeBeat(p, rate);
    sound.insert(sound.begin() + static_cast<std::ptrdiff_t>(sound.size() / 2), beat.begin(), beat.end());
    // Named by the process too: two test runs at once (two build trees) must not share the files.
    const std::string path = testing::TempDir() + std::to_string(getpid()) + "_" + name + ".wav";
    EXPECT_TRUE(test::writeWav(path, sound, rate));
    return path;
}

// FFmpeg's integrated loudness and true peak of the file.
bool ffmpegLoudness(const std::string& path, double* lufs, double* peak) {
    const std::string command =
        "ffmpeg -nostats -hide_banner -i '" + path + "' -af ebur128=peak=true -f null - 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    std::string text;
    char block[4096];
    while (const std::size_t n = std::fread(block, 1, sizeof block, pipe)) text.append(block, n);
    pclose(pipe);
    const auto summary = text.rfind("Summary:");
    if (summary == std::string::npos) return false;
    std::smatch m;
    const std::string tail = text.substr(summary);
    if (!std::regex_search(tail, m, std::regex(R"(I:\s+(-?[0-9.]+) LUFS)"))) return false;
    *lufs = std::stod(m[1]);
    if (!std::regex_search(tail, m, std::regex(R"(Peak:\s+(-?[0-9.]+) dBFS)"))) return false;
    *peak = std::stod(m[1]);
    return true;
}

TEST(AnalyseFile, LoudnessMatchesFfmpegAndTheAudiblePartLeavesSilenceOut) {
    struct Case {
        const char* name;
        int rate;  // 48000: resampled to the analysis rate on the way in
        double gain;
        bool mp3;  // decoded as floating point, stored 6 dB down
    };
    for (const Case c : {Case{"loud_44k", 44100, 1.0, false}, Case{"quiet_48k", 48000, 0.2, false},
                         Case{"mp3", 44100, 0.7, true}}) {
        std::string path = makeFile(c.name, c.rate, c.gain);
        if (c.mp3) {
            const std::string mp3 = path + ".mp3";
            ASSERT_EQ(std::system(("ffmpeg -v error -y -i '" + path + "' -b:a 192k '" + mp3 + "'").c_str()), 0);
            path = mp3;
        }
        std::string error;
        const auto a = analyseFile(path, &error);
        ASSERT_TRUE(a) << error;
        double lufs = 0, peak = 0;
        ASSERT_TRUE(ffmpegLoudness(path, &lufs, &peak));
        EXPECT_NEAR(a->lufs, lufs, 0.1) << c.name;
        EXPECT_NEAR(a->truePeakDbtp, peak, 0.5) << c.name;
        EXPECT_NEAR(a->bpm, 128, 0.1) << c.name;
        if (c.mp3) continue;  // the encoder's padding moves the sound
        EXPECT_NEAR(a->audibleStartS, kSilenceS, 0.01) << c.name;
        EXPECT_NEAR(a->audibleEndS, kSilenceS + 16, 0.01) << c.name;
        EXPECT_NEAR(a->lengthS, 2 * kSilenceS + 16, 0.01) << c.name;
        EXPECT_EQ(a->waveform.points(), 2000u) << c.name;
    }
}

TEST(AnalyseCommand, PrintsOneLinePerFileAndFailsForAnUnreadableOne) {
    const std::string path = makeFile("command", 44100, 0.5);
    QString text;
    QTextStream out(&text);
    const int code = runAnalyseCommand({QByteArray::fromStdString(path), "/nonexistent/song.mp3"}, out);
    out.flush();
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QJsonObject found = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(found["file"].toString().toStdString(), path);
    EXPECT_EQ(found["bpm"].toDouble(), 128.0);
    // The first kick at 2.1 s, four beats of 60/128 s after the grid's first.
    EXPECT_NEAR(found["beat_offset_s"].toDouble(), 2.1 - 4 * 60 / 128.0, 0.01);
    EXPECT_EQ(found["audible_start_s"].toDouble(), 2.0);
    for (const char* key : {"bpm_confidence", "lufs", "true_peak_dbtp", "audible_end_s"})
        EXPECT_TRUE(found[key].isDouble()) << key;
    EXPECT_EQ(QJsonDocument::fromJson(lines[1].toUtf8()).object()["error"].toString(), "cannot be read");
    EXPECT_EQ(code, 1);
}

TEST(AnalysisWorker, DeliversOnTheCallersThreadAndStopsPromptly) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name};
    QCoreApplication app(argc, argv);
    const QString path = QString::fromStdString(makeFile("worker", 44100, 0.5));
    {
        AnalysisWorker worker(nullptr, QThread::NormalPriority);  // idle scheduling would crawl under ctest
        QSignalSpy done(&worker, &AnalysisWorker::analysed);
        QSignalSpy failed(&worker, &AnalysisWorker::failed);
        worker.enqueue("/nonexistent/song.mp3");
        worker.enqueue(path);
        worker.enqueue(path);  // already queued: analysed once
        ASSERT_TRUE(done.wait(20000));
        EXPECT_FALSE(done.wait(300));
        ASSERT_EQ(done.size(), 1);
        EXPECT_EQ(done[0][0].toString(), path);
        EXPECT_NEAR(done[0][1].value<TrackAnalysis>().bpm, 128, 0.1);
        ASSERT_EQ(failed.size(), 1);
    }
    // A long queue neither delays the worker's end nor reports anything after a cancel.
    QElapsedTimer timer;
    timer.start();
    {
        AnalysisWorker worker;
        QSignalSpy done(&worker, &AnalysisWorker::analysed);
        for (int i = 0; i < 50; ++i) worker.enqueue(QString(i + 1, '/') + path);  // the same file under other names
        QThread::msleep(20);
        worker.cancelAll();
        EXPECT_FALSE(done.wait(200));
    }
    EXPECT_LT(timer.elapsed(), 5000);  // analysing the queue would take minutes at idle priority
}

}  // namespace
}  // namespace vx::analysis
