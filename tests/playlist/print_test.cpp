#include <gtest/gtest.h>

#include "playlist/print_layout.h"

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

// What is printed fills exactly the pages the question announced, at every page boundary, and closes
// with the END line (a 300-song PDF is read back in the playlist window's test).
TEST(PrintLayout, PrintsOnTheAnnouncedPages) {
    for (const auto& [count, pages] : {std::pair{0, 1}, {70, 1}, {71, 2}, {140, 2}, {141, 3}}) {
        Recorder r;
        ASSERT_TRUE(printPlaylist(entries(count), "d", r, [] { return true; }));
        EXPECT_EQ(printPageCount(count), pages) << count;
        EXPECT_EQ(static_cast<int>(r.pages.size()), pages) << count;
        EXPECT_TRUE(r.pages.back().last().contains(" END ")) << count;
        EXPECT_TRUE(r.finished);
    }
}

TEST(PrintLayout, SeventyFiveEntriesOnTwoPages) {
    Recorder r;
    ASSERT_TRUE(printPlaylist(entries(75), "Monday, 01 June, 2026", r, [] { return true; }));
    ASSERT_EQ(r.pages.size(), 2u);
    const QStringList& p1 = r.pages[0];
    ASSERT_EQ(p1.size(), 9 + 70);
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(p1[i].isEmpty());
    EXPECT_EQ(p1[6],
              kIndent + "VELUMIX DJ PLAYLIST              Monday, 01 June, 2026" + kIndent + "Page 1 of 2");
    EXPECT_EQ(p1[7], kIndent + QString(84, '=') + " ");
    EXPECT_EQ(p1[9], kIndent + "1.  Song 1");
    EXPECT_EQ(p1.last(), kIndent + "70.  Song 70");
    const QStringList& p2 = r.pages[1];
    ASSERT_EQ(p2.size(), 9 + 5 + 2);
    EXPECT_EQ(p2[9], kIndent + "71.  Song 71");
    EXPECT_EQ(p2[15], kIndent + QString(39, '=') + " END " + QString(40, '=') + " ");
}

TEST(PrintLayout, CancelDiscardsTheWholeJob) {
    Recorder r;
    int asked = 0;
    EXPECT_FALSE(printPlaylist(entries(100), "d", r, [&] { return ++asked < 80; }));
    EXPECT_TRUE(r.discarded);
    EXPECT_FALSE(r.finished);
    EXPECT_EQ(asked, 80);
}
