#include <QFileInfo>
#include <QMap>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "deck_fixture.h"

namespace vx::test {

// The hot cues of the song in a deck: taken from the store on load, set, jumped to and cleared, every
// change told to the store; and the marks the waveforms draw, in seconds.
class HotCueDeck : public DeckTest {
  protected:
    HotCueDeck() {
        for (Deck* d : {left, right}) {
            d->hooks().hotCuesFor = [this](const QString& path) { return stored.value(path); };
            d->hooks().hotCueChanged = [this](const QString& path, int slot, std::optional<double> s) {
                told.emplace_back(QFileInfo(path).fileName(), slot, s);
            };
        }
    }
    static constexpr std::int64_t kSecond = 44100 * 4;
    QMap<QString, HotCueSlots> stored;
    std::vector<std::tuple<QString, int, std::optional<double>>> told;
};

TEST_F(HotCueDeck, SetJumpClearAndRestoreOnLoad) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    stored[song("a.mp3")] = {2.5, std::nullopt, -1.0, nan};
    auto& s = load(*left, "a.mp3");
    EXPECT_EQ(left->hotCues().all(), (HotCueSlots{2.5, std::nullopt, 0.0, std::nullopt}));

    struct Step {
        bool clear;
        int slot;
        std::int64_t positionBefore, positionAfter;
        std::optional<double> slotAfter;
        int toldCount;  // changes told to the store so far
    } steps[] = {
        {false, 2, 3 * kSecond, 3 * kSecond, 3.0, 1},      // empty: set at the play position
        {false, 1, 7 * kSecond, 5 * kSecond / 2, 2.5, 1},  // set: jump there, nothing to store
        {true, 1, 0, 0, std::nullopt, 2},                  // clear
        {true, 4, 0, 0, std::nullopt, 2},                  // clearing an empty slot changes nothing
        {false, 5, 1, 1, std::nullopt, 2},                 // no such slot
    };
    for (const Step& st : steps) {
        s.position = st.positionBefore;
        if (st.clear)
            left->hotCueClear(st.slot);
        else
            left->hotCue_Click(st.slot);
        EXPECT_EQ(s.position, st.positionAfter) << st.slot;
        EXPECT_EQ(left->hotCues().at(st.slot), st.slotAfter) << st.slot;
        EXPECT_EQ(told.size(), static_cast<std::size_t>(st.toldCount)) << st.slot;
    }
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0], std::make_tuple(QString("a.mp3"), 2, std::optional<double>(3.0)));
    EXPECT_EQ(told[1], std::make_tuple(QString("a.mp3"), 1, std::optional<double>()));

    // The same song in the other deck brings its cues; a song without any starts empty.
    stored[song("a.mp3")][1] = 3.0;
    load(*right, "a.mp3");
    EXPECT_EQ(right->hotCues().at(2), 3.0);
    load(*left, "b.mp3");
    EXPECT_EQ(left->hotCues().all(), HotCueSlots{});
}

TEST_F(HotCueDeck, MarksAreInSecondsAndWarnOnlyNearTheEndWhilePlaying) {
    auto& s = load(*left, "a.mp3", {audio::Family::Plain, 60 * kSecond, 44100});
    left->setMixMark(500);
    s.position = 12 * kSecond;
    left->hotCue_Click(3);
    DeckMarks m = left->marks();
    EXPECT_DOUBLE_EQ(m.lengthS, 60.0);
    EXPECT_DOUBLE_EQ(*m.mixS, 30.0);
    EXPECT_DOUBLE_EQ(*m.hotCues[2], 12.0);
    EXPECT_FALSE(m.loopStartS.has_value());
    EXPECT_FALSE(m.endWarning);
    s.position = 31 * kSecond;
    EXPECT_FALSE(left->marks().endWarning);  // not playing
    left->play_Click();
    s.position = 31 * kSecond;
    EXPECT_TRUE(left->marks().endWarning);
    s.position = 29 * kSecond;
    EXPECT_FALSE(left->marks().endWarning);
}

}  // namespace vx::test
