#include "bench_playlist.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

#include "bench_doubles.h"
#include "playlist/m3u.h"
#include "playlist/playlist_model.h"
#include "services/dialogs.h"
#include "services/settings_store.h"

namespace {
constexpr int kSongs = 10000;
constexpr int kRuns = 3;

using vx::bench::QuietDialogs;
using vx::bench::MemoryStore;

QByteArray textFrame(const char* id, const QByteArray& text) {
    const QByteArray content = QByteArray(1, '\0') + text;
    QByteArray frame(id);
    const quint32 n = quint32(content.size());
    frame.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
    return frame + QByteArray(2, '\0') + content;
}

// A small MP3: an ID3v2.3 tag with title, artist and album, then two silent audio frames.
QByteArray taggedSong(int i) {
    const QByteArray body = textFrame("TIT2", "Title " + QByteArray::number((i * 7919) % kSongs)) +
                            textFrame("TPE1", "Artist " + QByteArray::number(i % 97)) +
                            textFrame("TALB", "Album " + QByteArray::number(i % 13)) + QByteArray(64, '\0');
    QByteArray tag("ID3\x03\x00\x00", 6);
    const quint32 n = quint32(body.size());
    tag.append(char((n >> 21) & 0x7F))
        .append(char((n >> 14) & 0x7F))
        .append(char((n >> 7) & 0x7F))
        .append(char(n & 0x7F));
    QByteArray frame("\xFF\xFB\x90\x00", 4);
    frame.append(QByteArray(417 - 4, '\0'));
    return tag + body + frame + frame;
}

double taglibLoopSeconds(const QStringList& paths) {
    QElapsedTimer timer;
    timer.start();
    qsizetype chars = 0;
    for (const QString& p : paths) {
        TagLib::FileRef file(QFile::encodeName(p).constData(), false);
        if (file.tag() != nullptr) chars += file.tag()->title().size() + file.tag()->artist().size();
    }
    if (chars == 0) return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}

struct OpenResult {
    double seconds = 0;
    double maxFreezeMs = 0;
};

// Opens the playlist in a fresh model and runs the event loop until every line shows its tag text; a 5 ms
// timer measures the longest gap in which the loop could not run.
OpenResult openSeconds(const QString& list, vx::tags::TagTextCache& cache) {
    QuietDialogs dialogs;
    MemoryStore settings;  // starts empty: every setting reads "not found"
    vx::playlist::PlaylistModel model(dialogs, settings, cache);
    vx::playlist::TagLoader loader(cache);
    model.setTagLoader(&loader);
    OpenResult result;
    QElapsedTimer gap;
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        result.maxFreezeMs = std::max(result.maxFreezeMs, double(gap.nsecsElapsed()) / 1e6 - 5.0);
        gap.restart();
    });
    QElapsedTimer timer;
    timer.start();
    gap.start();
    probe.start();
    model.Load_playlist(list);
    result.maxFreezeMs = std::max(result.maxFreezeMs, double(gap.nsecsElapsed()) / 1e6);
    while (model.isLoading()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    result.seconds = double(timer.nsecsElapsed()) / 1e9;
    probe.stop();
    model.setTagLoader(nullptr);
    return result;
}

double sortMilliseconds(const QString& list, vx::tags::TagTextCache& cache, QStringList* lines) {
    QuietDialogs dialogs;
    MemoryStore settings;  // starts empty: every setting reads "not found"
    vx::playlist::PlaylistModel model(dialogs, settings, cache);
    model.Load_playlist(list);
    QElapsedTimer timer;
    timer.start();
    model.sortList(vx::playlist::SortDirection::Ascending);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    for (int i = 0; i < model.count(); ++i) lines->append(model.line(i));
    return ms;
}
}  // namespace

void runPlaylistBenchmarks(std::ostream& out) {
    static int argc = 1;
    static char name[] = "velumix_bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);

    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < kSongs; ++i) {
        const QString path = dir.filePath(QString("songs/%1/song %2.mp3").arg(i / 1000).arg(i));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(taggedSong(i));
        paths << path;
    }
    const QString list = dir.filePath("big.m3u");
    vx::playlist::writeM3u(list, paths);

    double taglib = 1e9, open = 1e9, freeze = 0, sort = 1e9;
    QStringList fresh, cached;
    {
        vx::tags::TagTextCache empty;  // every text read from its file
        sortMilliseconds(list, empty, &fresh);
    }
    for (int run = 0; run < kRuns; ++run) {
        taglib = std::min(taglib, taglibLoopSeconds(paths));
        vx::tags::TagTextCache cache;
        const OpenResult r = openSeconds(list, cache);
        open = std::min(open, r.seconds);
        freeze = std::max(freeze, r.maxFreezeMs);
        cached.clear();
        sort = std::min(sort, sortMilliseconds(list, cache, &cached));
    }
    out << "playlist_open_10k_s " << open << " s\n";
    out << "playlist_open_vs_taglib " << open / taglib << " ratio\n";
    out << "playlist_open_max_freeze_ms " << freeze << " ms\n";
    out << "playlist_taglib_loop_10k_s " << taglib << " s\n";
    out << "playlist_sort_10k_ms " << sort << " ms\n";
    out << "playlist_sort_matches_fresh_read " << (fresh == cached ? 1 : 0) << " bool\n";
}
