#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>

#include "playlist/info_command.h"
#include "playlist/m3u.h"
#include "playlist_fixture.h"

using vx::test::PlaylistFixture;

namespace {
void ensureApp() {
    static int argc = 1;
    static char name[] = "test_playlist";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

struct ProgressLog : vx::playlist::PlaylistObserver {
    std::vector<std::pair<int, int>> seen;
    void loadProgress(int done, int total) override { seen.emplace_back(done, total); }
};
}  // namespace

TEST_F(PlaylistFixture, BackgroundLoadingShowsNamesFirstThenTagTexts) {
    ensureApp();
    QStringList titles;
    for (int i = 0; i < 300; ++i) titles << QString("T%1").arg(i, 3, 10, QChar('0'));
    const QString list = dir.filePath("lists/big.m3u");
    vx::playlist::writeM3u(list, songs(titles));
    vx::playlist::TagLoader loader(cache, 2);
    loader.setBatchSize(50);
    model.setTagLoader(&loader);
    ProgressLog progress;
    model.addObserver(&progress);
    model.Load_playlist(list);
    EXPECT_EQ(model.count(), 300);
    EXPECT_EQ(model.nextSongPath, model.path(0));
    QElapsedTimer timer;
    timer.start();
    while (model.isLoading() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_FALSE(model.isLoading());
    for (int i = 0; i < 300; ++i) ASSERT_EQ(model.line(i), QString("%1.  %2 - %2").arg(i + 1).arg(titles[i]));
    EXPECT_EQ(model.nextSongText, "1.  T000 - T000");
    ASSERT_FALSE(progress.seen.empty());
    EXPECT_EQ(progress.seen.front(), std::make_pair(0, 300));
    EXPECT_EQ(progress.seen.back(), std::make_pair(0, 0));  // finished
    EXPECT_EQ(vx::playlist::loadingProgressText(42), "Loading Playlist: 42 Songs done...");
    model.removeObserver(&progress);
    model.setTagLoader(nullptr);
}

TEST_F(PlaylistFixture, EditsWhileLoadingKeepEveryTextWithItsEntry) {
    ensureApp();
    const QString list = dir.filePath("lists/mid.m3u");
    vx::playlist::writeM3u(list, songs({"C", "A", "B", "D"}));
    vx::playlist::TagLoader loader(cache, 1);
    model.setTagLoader(&loader);
    model.Load_playlist(list);
    model.select(3);
    model.moveUp();
    loader.waitAndDeliver();
    EXPECT_EQ(model.line(2), "4.  D - D");
    EXPECT_EQ(model.line(3), "3.  B - B");
    model.sortList(vx::playlist::SortDirection::Ascending);
    EXPECT_EQ(model.line(0), "1.  A - A");
    model.setTagLoader(nullptr);
}

// One JSON line per music file and per playlist entry, quotes escaped; names that are not UTF-8 stay
// reachable through their hex bytes and still give their tags; unreadable playlists and refused lines give
// error lines and exit code 1.
TEST(InfoCommand, JsonLinesForFilesPlaylistsAndTheirFailures) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QString song = vx::test::writeTaggedMp3(dir.filePath("a.mp3"), "Title \"q\"", "Artist");
    const QString list = vx::test::writeBytes(dir.filePath("l.M3U"), "a.mp3\r\n#comment\r\nmissing.mp3");
    const QByteArray latin1Song = folder + "/Caf\xE9.mp3";
    const QString tagged = vx::test::writeTaggedMp3(dir.filePath("x.mp3"), "T\x01itle", "Artist");
    ASSERT_EQ(std::rename(QFile::encodeName(tagged).constData(), latin1Song.constData()), 0);
    const QString latinList =
        vx::test::writeBytes(dir.filePath("latin.m3u"), QByteArray("Caf\xE9.mp3\nbad\0line.mp3\n", 22));
    ASSERT_EQ(::mkfifo((folder + "/fifo.m3u").constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(dir.filePath("dir.m3u")));
    const QString latinHex = QString::fromLatin1(latin1Song.toHex());
    struct Case {
        QByteArray name;
        int exitCode;
        QStringList expected;  // parts of the output, in order
    };
    const Case cases[] = {
        {QFile::encodeName(song), 0, {"{\"file\":\"" + song + "\",\"deck\":\"TITLE:  Title \\\"q\\\"",
                                      "\"playlist\":\"Title \\\"q\\\" - Artist\""}},
        {QFile::encodeName(list), 0, {"{\"playlist\":\"" + list + "\",\"index\":0,\"path\":\"" + song + "\"",
                                      "\"line\":\"1.  Title \\\"q\\\" - Artist\"", "\"line\":\"2.  missing.mp3\""}},
        {latin1Song, 0, {"\"file_hex\":\"" + latinHex + "\"", "\"playlist\":\"Title - Artist\""}},
        {QFile::encodeName(latinList), 1, {"\"path_hex\":\"" + latinHex + "\"", "\"line\":\"1.  Title - Artist\"",
                                           "\"error\":\"line 2 holds a NUL byte\""}},
        {folder + "/fifo.m3u", 1, {"\"error\":\"is not a regular file\""}},
        {folder + "/gone.m3u8", 1, {"\"error\":\"No such file or directory\""}},
        {folder + "/dir.m3u", 1, {"\"error\":\"is a folder, not a playlist file\""}},
    };
    for (const Case& c : cases) {
        QString text;
        QTextStream out(&text);
        EXPECT_EQ(vx::playlist::runInfoCommand({c.name}, out), c.exitCode) << c.name.toStdString();
        qsizetype at = 0;
        for (const QString& part : c.expected) {
            at = text.indexOf(part, at);
            EXPECT_GE(at, 0) << part.toStdString() << " in " << text.toStdString();
        }
    }
    std::remove(latin1Song.constData());  // a name QTemporaryDir cannot decode to remove
}
