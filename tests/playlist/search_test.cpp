#include "playlist/playlist_search.h"
#include "playlist_fixture.h"

using vx::Dialogs;
using vx::test::PlaylistFixture;

namespace {
class SearchTest : public PlaylistFixture {
  protected:
    void fill(const QStringList& titles) {
        model.new_playlist();
        QStringList paths;
        for (const QString& t : titles) paths << song(t, t, "");
        model.loadsongs_to_playlist(paths);
    }
    int notFoundCount() const {
        return int(std::count_if(dialogs.shown.begin(), dialogs.shown.end(), [](const auto& s) {
            return s.text == "Can't find the song" && s.icon == Dialogs::Icon::Exclamation &&
                   s.title.isEmpty();
        }));
    }
    vx::playlist::PlaylistSearch search{model, dialogs};
};
}  // namespace

// Next reports once past the last match and then starts again at the top (at once when the search
// began on the last entry); previous does the same upwards. Case and blanks around the text do not count.
TEST_F(SearchTest, FirstNextThenReportThenWrap) {
    fill({"Intro", "Club Mix", "Remix", "Outro"});
    EXPECT_TRUE(search.findFirst("mix"));
    EXPECT_EQ(model.playlistPosition, 1);
    EXPECT_TRUE(search.findNext("mix"));
    EXPECT_EQ(model.nextSongText, "3.  Remix");
    EXPECT_FALSE(search.findNext("mix"));
    EXPECT_EQ(notFoundCount(), 1);
    EXPECT_TRUE(search.findNext("  MIX "));
    EXPECT_EQ(model.playlistPosition, 1);

    fill({"Mix one", "Other", "Mix two"});
    search.findFirst("two");
    EXPECT_TRUE(search.findNext("mix"));
    EXPECT_EQ(model.playlistPosition, 0);
    EXPECT_EQ(notFoundCount(), 1);

    fill({"A", "B", "Match"});
    EXPECT_FALSE(search.findPrevious("match"));
    EXPECT_EQ(notFoundCount(), 2);
    EXPECT_TRUE(search.findPrevious("match"));
    EXPECT_EQ(model.playlistPosition, 2);
}

TEST_F(SearchTest, NumberPrefixIsSearchedBlanksDoNothingEmptyListReports) {
    QStringList titles;
    for (int i = 1; i <= 12; ++i) titles << QString("Song%1").arg(QChar('a' + i));
    fill(titles);
    EXPECT_TRUE(search.findFirst("2"));
    EXPECT_EQ(model.playlistPosition, 1);
    EXPECT_TRUE(search.findNext("2"));
    EXPECT_EQ(model.playlistPosition, 11);  // "12.  Songm"
    const size_t shown = dialogs.shown.size();
    EXPECT_FALSE(search.findFirst("   "));
    EXPECT_EQ(dialogs.shown.size(), shown);

    model.new_playlist();
    vx::playlist::PlaylistSearch empty(model, dialogs);
    EXPECT_FALSE(empty.findFirst("x"));
    EXPECT_FALSE(empty.findNext("x"));
    EXPECT_FALSE(empty.findPrevious("x"));
    EXPECT_EQ(notFoundCount(), 3);
}
