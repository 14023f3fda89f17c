#pragma once

#include <QCoreApplication>
#include <QDir>

#include "app/console_fixture.h"
#include "app/playlist_link.h"
#include "playlist/m3u.h"
#include "support/tag_fixtures.h"

namespace vx::test {

// The program's start with fakes underneath: lifecycle, playlist and console, wired as the program wires
// them. Tag texts are read at once unless a test asks for the background reader.
class WiringFixture : public ConsoleFixture {
  public:
    using ConsoleFixture::song;

    // A tagged song the fake engine can open; its playlist text is "<title> - <artist>".
    QString song(const QString& name, const QString& title, const QString& artist = "Band") {
        const QString path = writeTaggedMp3(dir.filePath("music/" + name + ".mp3"), title, artist);
        library.addFile(path.toStdString());
        return path;
    }
    QString playlistFile(const QString& name, const QStringList& songs) {
        QDir().mkpath(dir.filePath("lists"));
        const QString path = dir.filePath("lists/" + name + ".m3u");
        EXPECT_TRUE(playlist::writeM3u(path, songs));
        return path;
    }

    // Three songs in a remembered playlist ("set"); answers the playlist's path.
    QString rememberThree() {
        a = song("a", "Alpha");
        b = song("b", "Bravo");
        c = song("c", "Charlie");
        const QString list = playlistFile("set", {a, b, c});
        store.write("Last Playlist", list);
        return list;
    }

    // The lifecycle starts, then the playlist and the console are made and wired; the console starts up.
    bool start(const QString& commandLine = {}, bool backgroundTags = false, const QStringList& more = {}) {
        app->setCommandLine(commandLine, more);
        if (!app->start()) return false;
        // Idle scheduling would crawl under a busy ctest.
        console = std::make_unique<DjConsole>(*app, ticker, QThread::NormalPriority);
        playlist =
            std::make_unique<ProgramPlaylist>(*app, store, ProgramPlaylist::Options{backgroundTags, 2});
        playlist->connect(*console);
        console->startUp();
        return true;
    }

    // rememberThree(), start, and the playlist window's first load.
    bool startThree() { return rememberThree(), start() && fireAsync(); }

    // tmrAsync: the 1 ms one-shot timer. False when it was not armed.
    bool fireAsync() {
        const auto& timers = ticker.timers();
        for (std::size_t i = 0; i < timers.size(); ++i) {
            if (timers[i]->interval == 1 && timers[i]->singleShot) return ticker.fire(i);
        }
        return false;
    }

    playlist::PlaylistModel& model() { return playlist->model(); }

    std::unique_ptr<ProgramPlaylist> playlist;  // goes first: it lets go of the console
    QString a, b, c;                            // the songs of rememberThree()
};

// The one event loop for tests that wait for background tag reading.
inline void ensureCoreApp() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

}  // namespace vx::test
