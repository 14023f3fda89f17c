#include <sys/stat.h>

#include <QFile>

#include "playlist/m3u.h"
#include "playlist/music_files.h"
#include "playlist_fixture.h"

using vx::Dialogs;
using vx::test::PlaylistFixture;

TEST_F(PlaylistFixture, AddingSongsKeepsTheSelectionAndNumbersFromTheIndex) {
    dialogs.openManyAnswers.push_back(QStringList{song("one", "One")});
    model.addSongs();
    EXPECT_EQ(lines(), QStringList{"1.  One - Band"});
    EXPECT_EQ(model.lastAddedSong, model.path(0));
    EXPECT_EQ(dialogs.fileRequests.back().initDir, dir.filePath("music"));
    // Every kind of file the decoder plays is offered first, not only the classic four.
    EXPECT_TRUE(dialogs.fileRequests.back().filter.startsWith("All music files ("));
    for (const char* ending : {"*.flac", "*.ogg", "*.opus", "*.m4a", "*.aiff", "*.MP3"})
        EXPECT_TRUE(dialogs.fileRequests.back().filter.section(";;", 0, 0).contains(ending)) << ending;
    model.select(0);
    dialogs.openManyAnswers.push_back(songs({"Two", "Three", "Four"}));
    model.addSongs();
    EXPECT_EQ(lines(),
              (QStringList{"1.  One - Band", "2.  Two - Two", "3.  Three - Three", "4.  Four - Four"}));
    EXPECT_EQ(model.playlistPosition, 0);
    EXPECT_EQ(model.nextSongPath, model.path(0));
    EXPECT_TRUE(model.playlistChanged);
    model.addSongs();  // cancelled
    EXPECT_TRUE(model.lastAddedSong.isEmpty());
}

// A drop from a file manager: files in their order, a folder as its music files down its subfolders in
// the order a person reads them; nothing musical among them refuses the drop and changes nothing.
TEST_F(PlaylistFixture, DroppedFilesAndFoldersAddTheirMusicFilesInOrder) {
    const QString single = song("single", "Single");
    const QString album = dir.filePath("album");
    const QString two = vx::test::writeTaggedMp3(album + "/2 Two.MP3", "Two", "A");
    const QString ten = vx::test::writeTaggedMp3(album + "/10 Ten.mp3", "Ten", "A");
    const QString bonus = vx::test::writeTaggedMp3(album + "/cd2/1 Bonus.mp3", "Bonus", "A");
    vx::test::writeTaggedMp3(album + "/cover.jpg", "Cover", "A");
    const QString notes = dir.filePath("notes.txt");
    QFile(notes).open(QIODevice::WriteOnly);
    EXPECT_FALSE(model.addDroppedFiles({notes, dir.filePath("gone.mp3")}));
    EXPECT_EQ(model.count(), 0);
    ASSERT_TRUE(model.addDroppedFiles({single, notes, album}));
    EXPECT_EQ(model.paths(), (QStringList{single, two, ten, bonus}));
    EXPECT_EQ(model.line(1), "2.  Two - A");
    EXPECT_TRUE(model.playlistChanged);
    EXPECT_TRUE(dialogs.shown.empty());
}

// The add dialog starts in the remembered folder, else in the XDG music folder, else at home.
TEST_F(PlaylistFixture, TheAddDialogStartsInTheMusicFolderUnlessAnotherWasUsed) {
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    const QString music = dir.filePath("My Music");
    QDir().mkpath(music);
    vx::test::writeBytes(dir.filePath("config/user-dirs.dirs"), "XDG_MUSIC_DIR=\"" + music.toUtf8() + "\"\n");
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    EXPECT_EQ(vx::playlist::songsStartFolder(""), music);
    EXPECT_EQ(vx::playlist::songsStartFolder(dir.filePath("gone")), music);
    EXPECT_EQ(vx::playlist::songsStartFolder(dir.filePath("lists")), dir.filePath("lists"));
    QDir(music).removeRecursively();
    EXPECT_EQ(vx::playlist::songsStartFolder(""), QDir::homePath());
    configHome.isEmpty() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", configHome);
}

TEST_F(PlaylistFixture, SavingWritesExactlyThePathsAndReadsBack) {
    model.loadsongs_to_playlist(songs({"A", "B", "C"}));
    model.playlistFileName = dir.filePath("mix");
    ASSERT_TRUE(model.save_playlist());
    const QString file = dir.filePath("mix.m3u");
    const QStringList p = model.paths();
    EXPECT_EQ(vx::test::readBytes(file), (p[0] + "\r\n" + p[1] + "\r\n" + p[2] + "\r\n").toUtf8());
    EXPECT_EQ(lastMessage(), "Playlist has been saved.");
    EXPECT_EQ(model.lastPlaylist, file);
    EXPECT_EQ(model.label(), "mix");
    EXPECT_FALSE(model.playlistChanged);

    model.new_playlist();
    model.Load_playlist(file);
    EXPECT_EQ(lines(), (QStringList{"1.  A - A", "2.  B - B", "3.  C - C"}));
    EXPECT_FALSE(model.playlistChanged);

    model.playlistFileName = dir.filePath("CAPS.M3U");
    ASSERT_TRUE(model.save_playlist());
    EXPECT_TRUE(QFile::exists(dir.filePath("CAPS.M3U")));
    EXPECT_FALSE(QFile::exists(dir.filePath("CAPS.M3U.m3u")));
}

TEST_F(PlaylistFixture, SaveCommandUsesTheRememberedNameOrAsks) {
    model.loadsongs_to_playlist(songs({"A"}));
    dialogs.saveAnswers.push_back(std::nullopt);
    EXPECT_FALSE(model.saveCommand());
    EXPECT_EQ(dialogs.fileRequests.back().fileName, "DJ Mix1");
    EXPECT_EQ(dialogs.fileRequests.back().initDir, dir.filePath("lists"));
    dialogs.saveAnswers.push_back(dir.filePath("first"));
    EXPECT_TRUE(model.saveCommand());
    const size_t asked = dialogs.fileRequests.size();
    EXPECT_TRUE(model.saveCommand());  // the remembered name: no dialog
    EXPECT_EQ(dialogs.fileRequests.size(), asked);
}

TEST_F(PlaylistFixture, FailedSaveReportsForgetsTheNameAndAsksUntilCancel) {
    model.loadsongs_to_playlist(songs({"A"}));
    model.playlistFileName = dir.filePath("nowhere/x.m3u");
    model.lastPlaylist = model.playlistFileName;
    dialogs.saveAnswers.push_back(dir.filePath("nowhere/y.m3u"));  // fails again
    dialogs.saveAnswers.push_back(std::nullopt);                   // the user gives up
    EXPECT_FALSE(model.save_playlist());
    EXPECT_EQ(dialogs.texts(), QStringList(2, "Cannot Save the playlist. Make sure the Drive you are writing to "
                                              "has space and is not write protected."));
    EXPECT_EQ(dialogs.fileRequests.size(), 2u);
    EXPECT_TRUE(model.lastPlaylist.isEmpty());
    EXPECT_TRUE(model.playlistFileName.isEmpty());
    EXPECT_TRUE(model.playlistChanged);
}

TEST_F(PlaylistFixture, ImportNumbersAfterTheListAndOpenReplaces) {
    const QString list = dir.filePath("lists/two.m3u");
    vx::playlist::writeM3u(list, songs({"X", "Y"}));
    model.loadsongs_to_playlist(songs({"A", "B", "C", "D", "E"}));
    model.playlistChanged = false;
    dialogs.openAnswers.push_back(list);
    model.importPlaylistCommand();
    EXPECT_EQ(lines().mid(5), (QStringList{"6.  X - X", "7.  Y - Y"}));
    EXPECT_TRUE(model.playlistChanged);
    EXPECT_EQ(model.label(), "Now Playing: ");

    dialogs.openAnswers.push_back(list);
    model.openPlaylistCommand();
    EXPECT_EQ(lines(), (QStringList{"1.  X - X", "2.  Y - Y"}));
    EXPECT_EQ(model.label(), "two");
    EXPECT_EQ(model.playlistFileName, list);

    model.new_playlist();
    dialogs.openAnswers.push_back(list);
    model.importPlaylistCommand();
    EXPECT_EQ(lines(), (QStringList{"1.  X - X", "2.  Y - Y"}));
    EXPECT_EQ(model.selectedIndex(), 0);
    dialogs.openAnswers.push_back(dir.filePath("music/X.mp3"));  // not a playlist: ignored
    model.importPlaylistCommand();
    EXPECT_EQ(model.count(), 2);
}

TEST_F(PlaylistFixture, HidingAsksToSaveAndCancelKeepsEverything) {
    settings.write("Last Playlist", "/old/list.m3u");
    model.loadsongs_to_playlist(songs({"A"}));
    dialogs.answers.push_back(Dialogs::Answer::Cancel);
    EXPECT_FALSE(model.hide_playlist());
    EXPECT_EQ(dialogs.shown.back().text, "Save Playlist? ");
    EXPECT_EQ(settings.read("last playlist"), "/old/list.m3u");

    model.lastPlaylist = dir.filePath("keep.m3u");
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    EXPECT_TRUE(model.hide_playlist());
    EXPECT_EQ(dialogs.shown[1].text, "Save Playlist to " + dir.filePath("keep.m3u") + " ?");
    EXPECT_TRUE(QFile::exists(dir.filePath("keep.m3u")));
    EXPECT_EQ(settings.read("Last Playlist"), dir.filePath("keep.m3u"));
}

// The remembered playlist reopens (a name too short to be one is ignored); a music file on the command
// line leaves the list empty, a playlist there opens instead, under the default label.
TEST_F(PlaylistFixture, StartUpReopensTheRememberedPlaylistOrTheCommandLinesOwn) {
    const QString list = dir.filePath("lists/last.m3u"), cmd = dir.filePath("lists/Cmd.M3U8");
    vx::playlist::writeM3u(list, songs({"A", "B"}));
    vx::playlist::writeM3u(cmd, songs({"C"}));
    struct Row {
        QString stored, commandLine;
        QStringList lines;
        QString label, last;
    };
    const Row rows[] = {{list, "", {"1.  A - A", "2.  B - B"}, "last", list},
                        {list, "/music/song.MP3", {}, "Now Playing: ", ""},
                        {"a.m3", "", {}, "DJ PLAYLIST", ""},
                        {list, cmd, {"1.  C - C"}, "DJ PLAYLIST", cmd}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.stored.toStdString() + " " + r.commandLine.toStdString());
        settings.write("Last Playlist", r.stored);
        vx::playlist::PlaylistModel m(dialogs, settings, cache);
        m.setFolders({dir.filePath("lists"), dir.filePath("music")});
        m.startUp(r.commandLine);
        EXPECT_EQ(lines(m), r.lines);
        EXPECT_EQ(m.label(), r.label);
        EXPECT_EQ(m.lastPlaylist, r.last);
        EXPECT_FALSE(m.playlistChanged);
        if (m.count()) {
            EXPECT_EQ(m.nextSongPath, m.path(0));
        }
    }
}

// A missing remembered playlist passes silently; one that is refused or has refused lines says why.
TEST_F(PlaylistFixture, StartUpReportsRefusedPlaylistsAtOnce) {
    settings.write("Last Playlist", dir.filePath("lists/gone.m3u"));
    model.startUp(QString());
    EXPECT_TRUE(dialogs.shown.empty());
    const QString fifo = dir.filePath("lists/fifo.m3u");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    settings.write("Last Playlist", fifo);
    model.startUp(QString());
    EXPECT_EQ(lastMessage(), "Cannot open the playlist " + fifo + ": is not a regular file");
    EXPECT_EQ(model.count(), 0);
    const QString list =
        vx::test::writeBytes(dir.filePath("lists/nul.m3u"), QByteArray("a.mp3\nb\0.mp3\n", 13));
    model.Load_playlist(list);
    EXPECT_EQ(model.count(), 1);
    EXPECT_EQ(lastMessage(),
              "Some lines of the playlist " + list + " were skipped:\nline 2 holds a NUL byte");
}

TEST_F(PlaylistFixture, NewPlaylistQuestions) {
    dialogs.answers.push_back(Dialogs::Answer::Yes);
    dialogs.openManyAnswers.push_back(songs({"A"}));
    model.newPlaylistCommand();
    EXPECT_EQ(dialogs.shown.back().text, "Create New playlist?");
    EXPECT_EQ(model.count(), 1);  // the add-songs dialog followed at once

    dialogs.answers.push_back(Dialogs::Answer::Cancel);
    model.newPlaylistCommand();
    EXPECT_EQ(dialogs.shown.back().text, "Save Playlist Changes? ");
    EXPECT_EQ(model.count(), 1);
    dialogs.answers.push_back(Dialogs::Answer::No);
    const size_t requests = dialogs.fileRequests.size();
    model.newPlaylistCommand();
    EXPECT_EQ(model.count(), 0);
    EXPECT_EQ(dialogs.fileRequests.size(), requests);  // no add-songs dialog after this question
    EXPECT_EQ(model.label(), "DJ PLAYLIST");
    EXPECT_TRUE(model.nextSongPath.isEmpty());
}
