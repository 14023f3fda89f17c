#include "bench_library.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

#include "bench_doubles.h"
#include "library/track_database.h"

namespace {
constexpr int kSongs = 10000;
constexpr int kRuns = 5;
}  // namespace

void runLibraryBenchmarks(std::ostream& out) {
    static int argc = 1;
    static char name[] = "velumix_bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);

    vx::bench::QuietDialogs dialogs;
    QTemporaryDir dir;
    const QString file = dir.filePath("library.sqlite");
    QStringList paths;
    {
        vx::TrackDatabase db(file, dialogs);
        vx::StoredAnalysis a;
        a.waveform = QByteArray(4096, '\x40');  // the sort must not read these
        for (int i = 0; i < kSongs; ++i) {
            a.bpm = 80 + (i * 37) % 1000 / 10.0;
            a.durationS = 120 + (i * 7919) % 300;
            a.lufs = -6 - (i % 120) / 10.0;
            paths << QString("/home/dj/Music/Artist %1/Album %2/%3 Song.mp3").arg(i % 97).arg(i % 13).arg(i);
            db.store(QString::number(i * 2654435761u, 16).rightJustified(40, '0'), paths.back(), a);
        }
    }
    std::vector<double> ms;
    qsizetype found = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const vx::TrackDatabase db(file, dialogs);
        found = db.valuesFor(paths).size();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    if (found != kSongs) return;  // a figure of a partial read would mislead
    out << "db_open_10k_tracks_ms " << ms[kRuns / 2] << " ms" << std::endl;
}
