#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

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

TEST(InfoCommand, MusicFilesAndPlaylistsAsJsonLines) {
    QTemporaryDir dir;
    const QString song = vx::test::writeTaggedMp3(dir.filePath("a.mp3"), "Title \"q\"", "Artist");
    const QString list = dir.filePath("l.M3U");
    vx::test::writeBytes(list, "a.mp3\r\n#comment\r\nmissing.mp3");
    QString text;
    QTextStream out(&text);
    EXPECT_EQ(vx::playlist::runInfoCommand({song, list, dir.filePath("gone.m3u8")}, out), 0);
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("{\"file\":\"" + song + "\",\"deck\":\"TITLE:  Title \\\"q\\\""))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("\"playlist\":\"Title \\\"q\\\" - Artist\""));
    EXPECT_TRUE(lines[1].startsWith("{\"playlist\":\"" + list + "\",\"index\":0,\"path\":"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("\"line\":\"1.  Title \\\"q\\\" - Artist\""));
    EXPECT_TRUE(lines[1].contains("\"path\":\"" + song + "\""));
    EXPECT_TRUE(lines[2].contains("\"line\":\"2.  missing.mp3\""));
}
