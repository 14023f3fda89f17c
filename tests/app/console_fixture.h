#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "app/app_lifecycle.h"
#include "app/dj_console.h"
#include "support/fakes.h"
#include "support/fake_sound_library.h"
#include "support/tag_fixtures.h"

namespace vx::test {

// A playlist kept in two lists, the way the playlist window will answer the console.
struct ListPlaylist {
    QStringList paths;
    QStringList lines;
    int position = 0;
    QStringList added;

    PlaylistLink link() {
        PlaylistLink l;
        l.count = [this] { return static_cast<int>(paths.size()); };
        l.position = [this] { return position; };
        l.select = [this](int i) { position = i; };
        l.currentEntryPath = [this] { return position < paths.size() ? paths[position] : QString(); };
        l.currentEntryText = [this] { return position < lines.size() ? lines[position] : QString(); };
        l.addSong = [this](const QString& p) {
            added << p;
            paths << p;
            lines << QString::number(paths.size()) + ". " + p.section('/', -1);
            position = static_cast<int>(paths.size()) - 1;
        };
        return l;
    }
};

// The program's start with fakes underneath, and the console built on it.
class ConsoleFixture {
  public:
    static constexpr std::int64_t kTenSeconds = 44100 * 4 * 10;

    ConsoleFixture() {
        app =
            std::make_unique<AppLifecycle>(library, dialogs, store, ticker, AppPaths::under(dir.path()), &test::goodLibraries);
    }

    // A song file on disk that the fake engine can open.
    QString song(const QString& name, FakeFile file = {}) {
        const QString path = writeBytes(dir.filePath(name), {});
        library.addFile(path.toStdString(), file);
        return path;
    }

    bool start(const QString& commandLine = {}) {
        app->setCommandLine(commandLine);
        if (!app->start()) return false;
        console = std::make_unique<DjConsole>(*app, ticker);
        return true;
    }

    FakeSoundLibrary::Stream* stream(Side side) {
        return library.stream(console->deck(side).state().streamHandle);
    }

    QTemporaryDir dir;
    FakeSoundLibrary library;
    FakeDialogs dialogs;
    MemorySettings store;
    FakeTicker ticker;
    std::unique_ptr<AppLifecycle> app;
    std::unique_ptr<DjConsole> console;
    ListPlaylist playlist;
};

}  // namespace vx::test
