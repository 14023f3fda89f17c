

#include "app/console_fixture.h"
#include "app/key_help.h"
#include "app/key_names.h"

namespace vx {
namespace {

using keys::kAlt;
using keys::kCtrl;
using keys::kShift;

// Both decks loaded and playing five seconds in, progress bars at 50, every mixer value off its ends,
// and the console's outside actions counted.
struct KeyBench : test::ConsoleFixture {
    std::map<std::string, int> calls;

    void ready() {
        ASSERT_TRUE(start());
        playlist.paths = {song("a.mp3"), song("b.mp3"), song("c.mp3")};
        playlist.lines = {"1. a", "2. b", "3. c"};
        playlist.position = 1;
        console->setPlaylist(playlist.link());
        const auto counter = [this](const char* name) { return [this, name] { ++calls[name]; }; };
        ConsoleActions& a = console->actions();
        a.autoDjToggle = counter("autoDj");
        a.openOptions = counter("options");
        a.showPlaylist = counter("playlist");
        a.showHelp = counter("help");
        a.focusMixer = counter("focus");
        console->startUp();
        for (Side side : {Side::Left, Side::Right}) {
            ASSERT_TRUE(deck(side).loadSong(playlist.paths[side == Side::Left ? 0 : 2]));
            deck(side).play_Click();
            stream(side)->position = kTenSeconds / 2;
            deck(side).setProgressByUser(50);
        }
        console->mixer().setMonitorLevel(50);
        console->console().selectedDeck = 0;
    }
    Deck& deck(Side side) { return console->deck(side); }
    KeyDispatch& keys() { return console->keys(); }
    // A key pressed with its modifiers, Ctrl and Alt pressed before it as a hand would.
    bool press(int key, int mask = 0, bool repeat = false) {
        if (mask & kCtrl) keys().keyDown(Qt::Key_Control, mask);
        if (mask & kAlt) keys().keyDown(Qt::Key_Alt, mask);
        return keys().keyDown(key, mask, repeat);
    }
    int playing(Side side) { return stream(side)->activity == audio::kPlaying; }
    int fileIndex(Side side) { return static_cast<int>(playlist.paths.indexOf(deck(side).state().fileName)); }
};

using Probe = std::function<int(KeyBench&)>;
Probe pitch(Side s) {
    return [s](KeyBench& t) { return t.deck(s).state().pitchSlider; };
}
Probe progress(Side s) {
    return [s](KeyBench& t) { return t.deck(s).lcd().progress; };
}
Probe state(Side s, bool DeckState::*flag) {
    return [s, flag](KeyBench& t) { return int(t.deck(s).state().*flag); };
}
Probe called(const char* name) {
    return [name](KeyBench& t) { return t.calls[name]; };
}
Probe mixerValue(int (MixerModel::*get)() const) {
    return [get](KeyBench& t) { return (t.console->mixer().*get)(); };
}
Probe hotCue(Side s, int slot) {
    return [s, slot](KeyBench& t) { return int(t.deck(s).hotCues().isSet(slot)); };
}
void cueBoth(KeyBench& t) {
    t.deck(Side::Left).play_RightClick();
    t.deck(Side::Right).play_RightClick();
}

struct Row {
    int key;
    int mask;
    Probe probe;
    int expected;  // the probe answers something else before the key
    std::function<void(KeyBench&)> prepare = nullptr;
    bool release = false;  // the key is pressed in `prepare` and released here
};

TEST(KeyTable, EveryRowOfBothTablesCallsItsHandler) {
    const Side L = Side::Left, R = Side::Right;
    // One row per way a key is matched (each modifier rule, the precedence among the rows of one key, a
    // release) and per kind of handler; the mirrored rows of the other deck work the same way.
    const std::vector<Row> rows = {
        {Qt::Key_F2, 0, [](KeyBench& t) { return int(t.keys().labelsShown()); }, 1},
        {Qt::Key_Z, kCtrl | kAlt, pitch(L), 999},
        {Qt::Key_Z, kCtrl, pitch(L), 990},
        {Qt::Key_Z, kShift, state(L, &DeckState::bendMinusHeld), 1},
        {Qt::Key_Period, kCtrl, pitch(R), 1010},
        {Qt::Key_F12, 0, called("playlist"), 1},
        {Qt::Key_Up, kCtrl, progress(L), 51},
        {Qt::Key_Up, kAlt, progress(R), 51},
        {Qt::Key_Up, kShift, mixerValue(&MixerModel::monitorLevel), 51},
        {Qt::Key_Up, 0, [](KeyBench& t) { return t.playlist.position; }, 0},
        {Qt::Key_Left, kCtrl,
         [](KeyBench& t) { return t.console->mixer().cutRunning() * 10 + t.console->console().selectedDeck; },
         11},
        {Qt::Key_Left, kAlt, mixerValue(&MixerModel::monitorMode), 1},
        {Qt::Key_Left, kCtrl | kAlt, [](KeyBench& t) { return t.fileIndex(Side::Left); }, 1},
        {Qt::Key_Left, 0, state(R, &DeckState::cueBackHeld), 1, cueBoth},  // the deck cued last
        {Qt::Key_F8, 0, [](KeyBench& t) { return t.console->mixer().deckLevel(1); }, 49},
        {Qt::Key_Q, kShift, state(L, &DeckState::loopActive), 1},
        {Qt::Key_Q, 0, [](KeyBench& t) { return t.playing(Side::Left); }, 1, cueBoth},
        {Qt::Key_W, kShift, [](KeyBench& t) { return int(t.deck(Side::Left).state().cuePoint); }, 0},
        {Qt::Key_W, 0, [](KeyBench& t) { return int(t.stream(Side::Left)->position); }, 0},
        {Qt::Key_I, 0, [](KeyBench& t) { return t.deck(Side::Right).state().isCued * 10 + t.calls["focus"]; },
         11},
        {Qt::Key_0, 0, state(R, &DeckState::isPaused), 1},
        {Qt::Key_B, 0, mixerValue(&MixerModel::crossfader), 50,
         [](KeyBench& t) { t.console->mixer().setCrossfader(20); }},
        {Qt::Key_R, 0, [](KeyBench& t) { return int(t.deck(Side::Left).braking()); }, 1},
        {Qt::Key_F4, kCtrl | kShift, mixerValue(&MixerModel::monitorMode), 3,
         [](KeyBench& t) { t.console->mixer().pressMonitor(0); }},
        {Qt::Key_Return, kShift, called("autoDj"), 1},
        {Qt::Key_F, kShift, [](KeyBench& t) { return int(QFile::exists(t.deck(Side::Left).loopFilePath())); },
         1,
         [](KeyBench& t) {  // a loop on the fly, and Yes to saving it
             t.deck(Side::Left).loop_Click();
             t.dialogs.answers.push_back(Dialogs::Answer::Yes);
         }},
        {Qt::Key_F, 0, [](KeyBench& t) { return int(t.dialogs.shown.size()); }, 1},  // no saved loop: told so
        {Qt::Key_F9, 0, [](KeyBench& t) { return int(t.console->recording().active()); }, 1},
        {Qt::Key_Insert, 0, [](KeyBench& t) { return int(t.deck(Side::Right).eq().on()); }, 1},
        {Qt::Key_1, 0, hotCue(L, 1), 1},
        {Qt::Key_9, 0, hotCue(R, 4), 1},
        {Qt::Key_3, kShift, hotCue(L, 2), 0, [](KeyBench& t) { t.deck(Side::Left).hotCue_Click(2); }},
        // Releases, whatever the modifiers
        {Qt::Key_Control, 0, [](KeyBench& t) { return int(t.keys().ctrlHeld()); }, 0,
         [](KeyBench& t) { t.keys().keyDown(Qt::Key_Control, kCtrl); }, true},
        {Qt::Key_Alt, 0, [](KeyBench& t) { return int(t.keys().altHeld()); }, 0,
         [](KeyBench& t) { t.keys().keyDown(Qt::Key_Alt, kAlt); }, true},
        {Qt::Key_Z, 0, state(L, &DeckState::bendMinusHeld), 0,
         [](KeyBench& t) { t.press(Qt::Key_Z, kShift); }, true},
        {Qt::Key_Left, 0, state(L, &DeckState::cueBackHeld), 0,
         [](KeyBench& t) { cueBoth(t), t.console->console().selectedDeck = 0, t.press(Qt::Key_Left); }, true},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        KeyBench t;
        t.ready();
        if (row.prepare) row.prepare(t);
        const std::string what = "row " + std::to_string(i) + ": " + keys::keyName(row.key).toStdString() +
                                 " mask " + std::to_string(row.mask);
        EXPECT_NE(row.probe(t), row.expected) << what << " (before)";
        if (row.release) {
            t.keys().keyUp(row.key);
        } else {
            EXPECT_TRUE(t.press(row.key, row.mask)) << what;
        }
        EXPECT_EQ(row.probe(t), row.expected) << what;
    }
}

class Keyboard : public ::testing::Test, public KeyBench {
  protected:
    void SetUp() override { ready(); }
};

TEST_F(Keyboard, EdgeCasesOfHeldKeysAndModifiers) {
    MixerModel& m = console->mixer();
    // Ctrl+Left starts the right deck's cut; releasing Left (Ctrl first) releases the right deck's
    // edit button and the cut, and the crossfader is back at the centre.
    deck(Side::Right).play_RightClick();
    m.setCrossfader(20);
    press(Qt::Key_Left, kCtrl);
    EXPECT_EQ(console->selectedDeck(), 1);
    m.cutTick();
    EXPECT_EQ(m.crossfader(), 0);
    keys().keyUp(Qt::Key_Control);
    EXPECT_TRUE(keys().keyUp(Qt::Key_Left));
    EXPECT_FALSE(m.cutRunning());
    EXPECT_EQ(m.crossfader(), 50);
    EXPECT_FALSE(deck(Side::Right).state().cueBackHeld);

    // V without Ctrl goes to the end and stays; with Ctrl it walks one step a press and stops at 0.
    // An auto-repeated Ctrl+V steps again.
    press(Qt::Key_V);
    press(Qt::Key_V);
    EXPECT_EQ(m.crossfader(), 0);
    m.setCrossfader(2);
    press(Qt::Key_V, kCtrl);
    EXPECT_EQ(m.crossfader(), 1);
    press(Qt::Key_V, kCtrl, true);
    press(Qt::Key_V, kCtrl);
    EXPECT_EQ(m.crossfader(), 0);
    m.setCrossfader(99);
    press(Qt::Key_N, kCtrl);
    press(Qt::Key_N, kCtrl);
    EXPECT_EQ(m.crossfader(), 100);
    keys().keyUp(Qt::Key_Control);
    press(Qt::Key_N);
    EXPECT_EQ(m.crossfader(), 100);

    // Shift+Z bends until Z comes up, even when Shift comes up first and Z repeats meanwhile.
    press(Qt::Key_Z, kShift);
    keys().keyUp(Qt::Key_Shift);
    press(Qt::Key_Z, 0, true);
    EXPECT_TRUE(deck(Side::Left).bendHeld());
    keys().keyUp(Qt::Key_Z);
    EXPECT_FALSE(deck(Side::Left).bendHeld());

    // S and K press Cue only: no release, and a held S does not press again.
    press(Qt::Key_S);
    const std::int64_t prev = deck(Side::Left).state().prevCuePoint;
    EXPECT_TRUE(press(Qt::Key_S, 0, true));
    EXPECT_EQ(deck(Side::Left).state().prevCuePoint, prev);
    EXPECT_FALSE(keys().keyUp(Qt::Key_S));
    press(Qt::Key_K);
    keys().keyUp(Qt::Key_K);
    EXPECT_TRUE(deck(Side::Left).lcd().cue);
    EXPECT_TRUE(deck(Side::Right).lcd().cue);

    // The progress keys stop at 100 and at 1.
    deck(Side::Left).setProgressByUser(100);
    press(Qt::Key_Up, kCtrl);
    EXPECT_EQ(deck(Side::Left).lcd().progress, 100);
    deck(Side::Left).setProgressByUser(1);
    press(Qt::Key_Down, kCtrl);
    EXPECT_EQ(deck(Side::Left).lcd().progress, 1);
}

TEST_F(Keyboard, KeysConfIsWrittenWithTheDefaultsAndABadLineIsToldOnceByNumber) {
    const QString path = app->paths().keysFile;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    file.close();
    EXPECT_TRUE(written.contains("left_bend_down"));
    KeyMap copy = keys().map();
    EXPECT_TRUE(copy.parse(written).empty());
    for (int i = 0; i < copy.size(); ++i) EXPECT_EQ(copy.key(i), keys().map().key(i)) << i;
    EXPECT_TRUE(dialogs.shown.empty());

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# mine\nleft_play = Y\nleft_pause 2\nright_pause = Nokey\nbogus = Z\nright_play = none\n");
    file.close();
    keys().load(path, dialogs);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const QString text = dialogs.shown[0].text;
    EXPECT_TRUE(text.contains("line 3:") && text.contains("line 4:") && text.contains("line 5:"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("line 2:"));
    EXPECT_EQ(keys().map().keyOf("left_play"), Qt::Key_Y);
    EXPECT_EQ(keys().map().keyOf("right_pause"), Qt::Key_0);  // the bad line changed nothing
    EXPECT_EQ(keys().labelText(3), "");                       // right_play has no key

    deck(Side::Left).pause_Click();
    EXPECT_FALSE(press(Qt::Key_Q));
    EXPECT_TRUE(press(Qt::Key_Y));
    EXPECT_FALSE(deck(Side::Left).state().isPaused);
    EXPECT_EQ(keys().labelText(2), "Y");
    EXPECT_EQ(keys().labelText(0), "\u21E7Z \u21E7X");
}

TEST(KeyNames, LettersDigitsAndPunctuationAreTakenByTheirUsPosition) {
    struct Case {
        int qtKey;
        quint32 scanCode;
        bool xkb;
        int expected;
    };
    const Case cases[] = {
        {Qt::Key_Y, 52, true, Qt::Key_Z},              // German: the key left of X prints Y
        {Qt::Key_A, 24, true, Qt::Key_Q},              // French: Q's place prints A
        {Qt::Key_Semicolon, 59, true, Qt::Key_Comma},  // French: comma's place
        {Qt::Key_Agrave, 19, true, Qt::Key_0},         // French digit row
        {0x044F, 52, true, Qt::Key_Z},                 // Cyrillic
        {Qt::Key_F2, 68, true, Qt::Key_F2},            // not a position key: its code
        {Qt::Key_0, 90, true, Qt::Key_0},              // the keypad
        {Qt::Key_Enter, 104, true, Qt::Key_Return},
        {Qt::Key_Less, 0, true, Qt::Key_Comma},  // no scan code: the US shifted symbol
        {Qt::Key_At, 0, false, Qt::Key_2},
        {Qt::Key_Z, 0, false, Qt::Key_Z},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keys::physicalKey(c.qtKey, c.scanCode, c.xkb), c.expected) << c.qtKey;
    for (int key :
         {int(Qt::Key_Z), int(Qt::Key_Comma), int(Qt::Key_F12), int(Qt::Key_PageDown), int(Qt::Key_7)}) {
        EXPECT_EQ(keys::keyFromName(keys::keyName(key).toLower()), key);
    }
    EXPECT_EQ(keys::keyFromName("Ctrl"), 0);
}

}  // namespace
}  // namespace vx

// The manual's keyboard table is the one the program makes from its key table; a row changed in one and
// not the other fails here. `velumix --print-keymap` gives the table to paste between the markers.
TEST(KeyTable, TheManualShowsTheKeysTheProgramUses) {
    QFile manual(VX_SOURCE_DIR "/docs/manual/index.html");
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(manual.readAll());
    const qsizetype begin = html.indexOf(QLatin1String(vx::kKeyTableBegin));
    const qsizetype end = html.indexOf(QLatin1String(vx::kKeyTableEnd));
    ASSERT_GE(begin, 0);
    ASSERT_GT(end, begin);
    const qsizetype from = begin + qsizetype(qstrlen(vx::kKeyTableBegin)) + 1;
    EXPECT_EQ(html.mid(from, end - from).toStdString(), vx::keyTableHtml().toStdString());
    const QString generated = vx::keyTableHtml();
    EXPECT_TRUE(generated.contains("<td>Ctrl+Alt+Z</td><td>Left pitch, small step slower</td>"));
    EXPECT_TRUE(generated.contains("<td>F1</td><td>The manual</td>"));
}
