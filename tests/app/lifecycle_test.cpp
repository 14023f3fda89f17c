#include <gtest/gtest.h>
#include <utime.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/app_lifecycle.h"
#include "playlist/command_line.h"
#include "services/command_line.h"
#include "support/fakes.h"
#include "support/fake_sound_library.h"
#include "support/tag_fixtures.h"

namespace vx {
namespace {

using Answer = Dialogs::Answer;

using playlist::filesToOpen;
using playlist::FilesToOpen;
using test::goodLibraries;

struct Decks : DeckHandles {
    audio::Handle left = 0, right = 0;
    audio::Handle streamHandle(int deck) const override { return deck == 0 ? left : deck == 1 ? right : 0; }
};

struct Playlist : PlaylistSaveHook {
    bool dirty = false;
    QString last;
    bool saveWorks = true;
    int saves = 0;
    bool changed() const override { return dirty; }
    QString lastPlaylist() const override { return last; }
    bool save() override { return ++saves, saveWorks; }
};

class LifecycleTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    test::FakeSoundLibrary library;
    test::FakeDialogs dialogs;
    test::MemorySettings store;
    test::FakeTicker ticker;
    audio::LibraryInfo info = goodLibraries();
    Decks decks;
    Playlist playlist;
    std::unique_ptr<AppLifecycle> app;

    AppLifecycle& make(const QString& manual = {}) {
        app = std::make_unique<AppLifecycle>(library, dialogs, store, ticker,
                                             AppPaths::under(dir.path(), manual), [this] { return info; });
        app->setDecks(&decks);
        app->setPlaylist(&playlist);
        return *app;
    }
    audio::Handle playingStream(const std::string& name, int activity) {
        library.addFile(name);
        const auto h = library.createStream(audio::Family::Plain, name, 0);
        library.stream(h)->activity = activity;
        return h;
    }
};

// A missing or foreign library, or a sound system that cannot start, ends the start with its message
// (and, for the libraries, before the sound system is touched at all).
TEST_F(LifecycleTest, WhatTheProgramCannotRunWithoutEndsTheStart) {
    const std::vector<std::pair<std::function<void()>, QString>> rows = {
        {[this] { info.ffmpegPresent = false; }, "10X021F"},
        {[this] { info.ffmpegRuntime = "avformat 60.3.100"; }, "10X022F"},
        {[this] { info.portaudioPresent = false; }, "10X022aF"},
        {[this] { info.portaudioRuntime = "19.7.0"; }, "10X023F"},
        {[this] { library.failInitWith = 3; }, "Error"},
    };
    for (const auto& [spoil, title] : rows) {
        info = goodLibraries();
        library.failInitWith = 0;
        library.calls.clear();
        dialogs.shown.clear();
        spoil();
        EXPECT_FALSE(make().start()) << title.toStdString();
        EXPECT_EQ(app->exitCode(), 1);
        ASSERT_EQ(dialogs.shown.size(), 1u) << title.toStdString();
        EXPECT_EQ(dialogs.shown[0].title, title);
        EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Critical);
        if (title == "Error") {
            EXPECT_TRUE(dialogs.shown[0].text.startsWith("Can't initialize digital sound system. "));
        } else {
            EXPECT_TRUE(library.calls.empty()) << "the sound system must not be touched";
        }
    }
}

TEST_F(LifecycleTest, NoWindowsMediaIsReportedAndStartGoesOn) {
    info.windowsMedia = false;
    EXPECT_TRUE(make().start());
    ASSERT_EQ(dialogs.titles(), (QStringList{"10X024F"}));
    EXPECT_EQ(app->state(), AppLifecycle::State::Running);
}

TEST_F(LifecycleTest, StartBringsUpFoldersSettingsSoundAndTimers) {
    store.write("InitQuality", "CD Quality - 44100Hz");
    store.write("initDevice", "Fake Card");
    store.write("Buffer", "0.5");
    store.write("stutteringSpeed", "90");
    store.write("XFaderCutSpeed", "40");
    store.write("playlistPath", dir.path() + "/lists");
    // Temporaries of killed saves, two days old, in each folder the program writes to.
    const AppPaths paths = AppPaths::under(dir.path());
    QStringList stale;
    for (const QString& folder : {QFileInfo(paths.configFile).absolutePath(), paths.loopsDir,
                                  paths.playlistsDir, dir.path() + "/lists"}) {
        stale << test::writeBytes(folder + "/.saved.vx-Ab12cD", "x");
        const utimbuf old{::time(nullptr) - 2 * 86400, ::time(nullptr) - 2 * 86400};
        ::utime(QFile::encodeName(stale.back()).constData(), &old);
    }
    EXPECT_TRUE(make().start());
    EXPECT_TRUE(dialogs.shown.empty());
    for (const QString& file : stale) EXPECT_FALSE(QFile::exists(file)) << file.toStdString();
    EXPECT_TRUE(QDir(app->loopsFolder()).exists());
    EXPECT_EQ(library.calls, (std::vector<std::string>{"init 0 44100", "start", "setBufferLength"}));
    EXPECT_DOUBLE_EQ(library.bufferSeconds, 0.5);

    EXPECT_EQ(app->settings().stutteringSpeed, 90);
    EXPECT_EQ(store.values.value("xfadercutspeed"), "40");  // stored at once, first-run defaults too
    EXPECT_TRUE(store.values.contains("automixstart"));

    EXPECT_TRUE(app->asyncPending());
    int asyncRuns = 0;
    app->setAsyncTask([&] { ++asyncRuns; });
    ticker.advance(10);
    EXPECT_EQ(asyncRuns, 1);  // once only
}

TEST_F(LifecycleTest, HelpOpensTheShippedManualOrSaysItIsMissing) {
    const QString manual = test::writeBytes(dir.filePath("index.html"), {});
    make(manual).start();
    EXPECT_EQ(app->helpToOpen(), manual);
    EXPECT_TRUE(dialogs.shown.empty());

    dialogs.shown.clear();
    make(dir.filePath("missing.html")).start();
    EXPECT_EQ(app->helpToOpen(), std::nullopt);
    ASSERT_EQ(dialogs.titles(), (QStringList{"Help cannot start..."}));
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Exclamation);
}

TEST_F(LifecycleTest, ExitIsRefusedWhileEitherDeckPlays) {
    make().start();
    decks.right = playingStream("r.mp3", audio::kStalled);
    library.calls.clear();
    EXPECT_FALSE(app->requestExit());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "Can't Exit when song is playing. Pause or Stop all music before closing...");
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Exclamation);
    EXPECT_TRUE(library.calls.empty());
    EXPECT_TRUE(app->asyncPending());
}

TEST_F(LifecycleTest, ExitWithOnePausedAndOneStoppedDeckShutsEverythingDown) {
    make().start();
    decks.left = playingStream("l.mp3", audio::kPaused);
    decks.right = playingStream("r.mp3", audio::kStopped);
    library.calls.clear();
    EXPECT_TRUE(app->requestExit());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(app->asyncPending());
    EXPECT_EQ(library.calls, (std::vector<std::string>{"stop", "eqRemove 1", "eqRemove 2", "eqFree",
                                                       "freeStream 1", "freeStream 2", "shutdown"}));
    EXPECT_EQ(store.values.value("initquality"), kFmQuality);  // the settings are kept for the next start
    EXPECT_TRUE(app->requestExit());  // asked again by the window system: nothing runs twice
    EXPECT_EQ(library.calls.size(), 7u);
    app->unload();
    EXPECT_FALSE(app->asyncPending());
}

// A changed playlist is offered for saving: Cancel, or a save that fails, keeps everything running.
TEST_F(LifecycleTest, TheSaveQuestionDecidesWhetherTheProgramEnds) {
    struct Row {
        QString last;
        Answer answer;
        bool saveWorks, exits;
        int saves;
        QString text;
    };
    const Row rows[] = {
        {"/music/set.m3u", Answer::Cancel, true, false, 0, "Save Playlist to /music/set.m3u ?"},
        {"", Answer::No, true, true, 0, "Save Playlist? "},
        {"", Answer::Yes, true, true, 1, "Save Playlist? "},
        {"", Answer::Yes, false, false, 1, "Save Playlist? "},
    };
    for (const Row& row : rows) {
        make().start();
        playlist.dirty = true;
        playlist.last = row.last;
        playlist.saveWorks = row.saveWorks;
        playlist.saves = 0;
        dialogs.shown.clear();
        dialogs.answers = {row.answer};
        library.calls.clear();
        EXPECT_EQ(app->requestExit(), row.exits) << int(row.answer) << row.saveWorks;
        ASSERT_EQ(dialogs.texts(), (QStringList{row.text}));
        EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::YesNoCancel);
        EXPECT_EQ(playlist.saves, row.saves);
        EXPECT_EQ(app->state() == AppLifecycle::State::Running, !row.exits);
        if (!row.exits) {
            EXPECT_TRUE(library.calls.empty());
        }
    }
}

TEST(CommandLine, OptionsAndTheMusicFile) {
    const CommandLine line = parseCommandLine({"--no-sound", "/music/My", "Song.mp3"});
    EXPECT_TRUE(line.noSound);
    EXPECT_EQ(line.argument, "/music/My Song.mp3");
    EXPECT_TRUE(parseCommandLine({"--version"}).showVersion);
    EXPECT_TRUE(parseCommandLine({"-h"}).showHelp);
    EXPECT_FALSE(parseCommandLine({"--loud"}).error.isEmpty());
    EXPECT_EQ(parseCommandLine({"--", "-odd.wav"}).argument, "-odd.wav");
    EXPECT_EQ(parseCommandLine({"--info", "a.mp3", "--", "--b.m3u"}).fileIndexes, (QList<int>{1, 3}));
    // Only music endings count; the case is kept for the file system.
    const std::pair<QString, QString> files[] = {
        {"/music/My Song.mp3", "/music/My Song.mp3"}, {"  /a/b.WaV  ", "/a/b.WaV"}, {"x.wma", "x.wma"},
        {"x.ASF", "x.ASF"}, {"\"x.mp3\"", ""}, {"set.m3u", ""}, {"mp3", ""}, {"", ""}};
    for (const auto& [given, music] : files) EXPECT_EQ(musicFileFrom(given), music) << given.toStdString();
}

// Several files (a desktop's "%F"): the first music file, else the first playlist, starts as one file
// always did; the other music files and playlists follow into the playlist.
TEST(CommandLine, SeveralFilesSplitIntoTheStartFileAndTheRest) {
    struct Row {
        QStringList files;
        QString argument;
        QStringList more;
    };
    const Row rows[] = {
        {{}, "", {}},
        {{"/a/one.mp3"}, "/a/one.mp3", {}},
        {{"/a/set.m3u", "/a/one.mp3", "/a/two.WAV"}, "/a/one.mp3", {"/a/set.m3u", "/a/two.WAV"}},
        {{"/a/b.m3u", "/a/c.m3u"}, "/a/b.m3u", {"/a/c.m3u"}},
        {{"/a/notes.txt", "/a/x.wma", "/a/cover.jpg", "/a/y.asf"}, "/a/x.wma", {"/a/y.asf"}},
        {{"/a/notes.txt", "/a/cover.jpg"}, "", {}},
    };
    for (const Row& row : rows) {
        const FilesToOpen open = filesToOpen(row.files);
        EXPECT_EQ(open.argument, row.argument) << row.files.join(' ').toStdString();
        EXPECT_EQ(open.more, row.more) << row.files.join(' ').toStdString();
    }
    // A name with blanks that the shell split stays one file when that file exists.
    QTemporaryDir dir;
    const QString spaced = dir.filePath("My Song.mp3");
    QFile(spaced).open(QIODevice::WriteOnly);
    EXPECT_EQ(filesToOpen(spaced.split(' ')).argument, spaced);
}

}  // namespace
}  // namespace vx
