#include <gtest/gtest.h>

#include "playlist/print_layout.h"
#include "support/fakes.h"
#include "support/tag_fixtures.h"

using namespace vx::playlist;

namespace {
struct Recorder : PageSink {
    std::vector<QStringList> pages{QStringList()};
    bool finished = false, discarded = false;
    void newPage() override { pages.emplace_back(); }
    void line(const QString& text) override { pages.back() << text; }
    void finish() override { finished = true; }
    void discard() override { discarded = true; }
};

QStringList entries(int n) {
    QStringList out;
    for (int i = 1; i <= n; ++i) out << QString("%1.  Song %1").arg(i);
    return out;
}

const QString kIndent(30, u' ');
}  // namespace

TEST(PrintLayout, PageEstimateAndQuestion) {
    EXPECT_EQ(printPageCount(0), 1);
    EXPECT_EQ(printPageCount(1), 1);
    EXPECT_EQ(printPageCount(70), 1);
    EXPECT_EQ(printPageCount(71), 2);
    EXPECT_EQ(printPageCount(140), 2);
    EXPECT_EQ(printPageCount(141), 3);
    vx::test::FakeDialogs dialogs;
    dialogs.answers.push_back(vx::Dialogs::Answer::No);
    EXPECT_FALSE(confirmPrint(dialogs, 0));
    EXPECT_EQ(dialogs.shown.back().text,
              "The printed playlist will be approx. 1 pages long (A4 size). Continue?");
    EXPECT_EQ(dialogs.shown.back().title, "Print DJ Playlist...");
    EXPECT_EQ(dialogs.shown.back().buttons, vx::Dialogs::Buttons::YesNo);
    EXPECT_EQ(printingLabel(3), "Printing Page 0 of 3 ...");
}

TEST(PrintLayout, SeventyFiveEntriesOnTwoPages) {
    Recorder r;
    ASSERT_TRUE(printPlaylist(entries(75), "Monday, 01 June, 2026", r, [] { return true; }));
    ASSERT_EQ(r.pages.size(), 2u);
    EXPECT_TRUE(r.finished);
    const QStringList& p1 = r.pages[0];
    ASSERT_EQ(p1.size(), 9 + 70);
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(p1[i].isEmpty());
    EXPECT_EQ(p1[6],
              kIndent + "VELUMIX DJ PLAYLIST              Monday, 01 June, 2026" + kIndent + "Page 1 of 2");
    EXPECT_EQ(p1[7], kIndent + QString(84, '=') + " ");
    EXPECT_TRUE(p1[8].isEmpty());
    EXPECT_EQ(p1[9], kIndent + "1.  Song 1");
    EXPECT_EQ(p1.last(), kIndent + "70.  Song 70");
    const QStringList& p2 = r.pages[1];
    ASSERT_EQ(p2.size(), 9 + 5 + 2);
    EXPECT_TRUE(p2[6].endsWith("Page 2 of 2"));
    EXPECT_EQ(p2[9], kIndent + "71.  Song 71");
    EXPECT_TRUE(p2[14].isEmpty());
    EXPECT_EQ(p2[15], kIndent + QString(39, '=') + " END " + QString(40, '=') + " ");
}

TEST(PrintLayout, EmptyListAndExactMultipleStayWithinTheAnnouncedPages) {
    Recorder empty;
    printPlaylist({}, "d", empty, [] { return true; });
    ASSERT_EQ(empty.pages.size(), 1u);
    EXPECT_EQ(empty.pages[0].size(), 9 + 2);
    Recorder full;
    printPlaylist(entries(140), "d", full, [] { return true; });
    ASSERT_EQ(full.pages.size(), 2u);
    EXPECT_TRUE(full.pages[1].last().contains(" END "));
}

TEST(PrintLayout, CancelDiscardsTheWholeJob) {
    Recorder r;
    int asked = 0;
    EXPECT_FALSE(printPlaylist(entries(100), "d", r, [&] { return ++asked < 80; }));
    EXPECT_TRUE(r.discarded);
    EXPECT_FALSE(r.finished);
    EXPECT_EQ(asked, 80);
}
