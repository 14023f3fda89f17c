// Songs read off the window thread: the deck is busy meanwhile, a newer load abandons an older one
// that hangs, and nothing of an abandoned load ever reaches the deck.

#include <QThread>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "app/wiring_fixture.h"

namespace vx {
namespace {

// Holds the preparing of one file until the test lets it go, as a slow disk or a hostile file would.
class Gate {
  public:
    // True when `path` was the one held.
    bool hold(const std::string& path) {
        std::unique_lock lock(mutex_);
        if (path != held_) return false;
        opened_.wait(lock, [this] { return open_; });
        return true;
    }
    void close(const std::string& path) { held_ = path; }
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable opened_;
    std::string held_;
    bool open_ = false;
};

class LoadingOffThread : public ::testing::Test, public test::ConsoleFixture {
  protected:
    void SetUp() override {
        test::ensureCoreApp();
        library.onPrepare = [this](const std::string& path) { released += gate.hold(path); };
        ASSERT_TRUE(start());
        console->readSongsOffThread();
    }
    void TearDown() override { gate.open(); }  // no worker left waiting when the console goes
    // Runs the window thread's events until `done`, or two seconds have passed.
    template <typename Done>
    static void runEventsUntil(Done done) {
        for (int i = 0; i < 2000 && !done(); ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
    }
    static void settle(const Deck& deck) { runEventsUntil([&] { return !deck.loading(); }); }
    // The gate opened: runs events until the held read has ended and what it sent back has been served.
    void drain() {
        runEventsUntil([&] { return released.load() > 0; });
        for (int i = 0; i < 50; ++i) runEventsUntil([] { return true; }), QThread::msleep(1);
        QCoreApplication::processEvents();
    }
    Gate gate;
    std::atomic<int> released{0};  // held reads let through
};

TEST_F(LoadingOffThread, ANewerLoadAbandonsOneThatHangsAndPlayWaitsForTheSong) {
    Deck& deck = console->deck(Side::Left);
    const QString slow = song("slow.mp3"), quick = song("quick.mp3");
    gate.close(slow.toStdString());

    ASSERT_TRUE(deck.loadSong(slow));
    EXPECT_TRUE(deck.loading());
    EXPECT_TRUE(deck.lcd().busy);
    EXPECT_EQ(deck.state().streamHandle, 0u);

    ASSERT_TRUE(deck.loadSong(quick));
    deck.play_Click();  // pressed while the song is still being read
    settle(deck);
    ASSERT_FALSE(deck.loading());
    ASSERT_NE(stream(Side::Left), nullptr);
    EXPECT_EQ(stream(Side::Left)->path, quick.toStdString());
    EXPECT_EQ(stream(Side::Left)->activity, audio::kPlaying);
    EXPECT_FALSE(deck.lcd().busy);

    gate.open();  // the abandoned read ends at last, and is dropped
    drain();
    EXPECT_EQ(library.streams.size(), 1u);
    EXPECT_EQ(stream(Side::Left)->path, quick.toStdString());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(LoadingOffThread, AFailedReadLeavesAnEmptyDeckWithTheMessage) {
    Deck& deck = console->deck(Side::Right);
    deck.loadSong(song("good.mp3"));
    settle(deck);
    const QString bad = dir.filePath("bad.mp3");  // on disk, but no decoder takes it
    QFile(bad).open(QIODevice::WriteOnly);
    deck.loadSong(bad);
    settle(deck);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.startsWith("The selected file could not be loaded."));
    EXPECT_EQ(deck.state().streamHandle, 0u);
    EXPECT_TRUE(deck.state().fileName.isEmpty());
    EXPECT_TRUE(deck.lcd().title.isEmpty());
    EXPECT_EQ(deck.lcd().lengthText, "00:00:00");
    EXPECT_FALSE(deck.lcd().busy);
}

TEST_F(LoadingOffThread, ASongStillBeingReadAtShutdownNeverBecomesAStream) {
    const QString slow = song("slow.mp3");
    gate.close(slow.toStdString());
    console->deck(Side::Left).loadSong(slow);
    console->shutDown();
    gate.open();
    drain();
    EXPECT_TRUE(library.streams.empty());
    EXPECT_FALSE(console->deck(Side::Left).lcd().busy);
}

}  // namespace
}  // namespace vx
