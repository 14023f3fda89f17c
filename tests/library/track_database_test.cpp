#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <thread>

#include "library/library_schema.h"
#include "library_fixture.h"

using vx::SortValues;
using vx::StoredAnalysis;
using vx::TrackDatabase;
using vx::test::LibraryFixture;

namespace {
// Runs SQL on `file` through a connection of the test's own, as another version or program would.
struct RawConnection {
    explicit RawConnection(const QString& file) {
        db = QSqlDatabase::addDatabase("QSQLITE", "raw");
        db.setDatabaseName(file);
        db.open();
    }
    ~RawConnection() {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("raw");
    }
    bool exec(const QString& sql) {
        QSqlQuery q(db);
        return q.exec(sql);
    }
    QSqlDatabase db;
};
}  // namespace

TEST_F(LibraryFixture, AnalysesAndHotCuesSurviveARestartAndComeFromAnyThread) {
    {
        TrackDatabase db(file, dialogs);
        ASSERT_EQ(db.opened(), TrackDatabase::Opened::Library);
        // A worker stores the analysis on a connection of its own.
        bool stored = false;
        std::thread worker([&] { stored = db.store("fp-a", "/music/a.mp3", analysis(128)); });
        worker.join();
        ASSERT_TRUE(stored);
        ASSERT_TRUE(db.store("fp-b", "/music/b.mp3", analysis(90)));
        EXPECT_TRUE(db.setHotCue("fp-a", 1, 12.5));
        EXPECT_TRUE(db.setHotCue("fp-a", 4, 60));
        EXPECT_TRUE(db.setHotCue("fp-a", 4, 61.25));  // set again: moved
        EXPECT_TRUE(db.setHotCue("fp-a", 2, 3));
        EXPECT_TRUE(db.clearHotCue("fp-a", 2));
        EXPECT_FALSE(db.setHotCue("fp-a", 0, 1));
        EXPECT_FALSE(db.setHotCue("fp-a", 5, 1));
        // A rename is noted without a new analysis; a new song at b's old path takes it over.
        EXPECT_TRUE(db.rememberPath("fp-b", "/music/renamed.mp3"));
        EXPECT_TRUE(db.store("fp-c", "/music/a.mp3", analysis(174)));
    }
    TrackDatabase db(file, dialogs);
    EXPECT_EQ(db.opened(), TrackDatabase::Opened::Library);
    const auto a = db.find("fp-a");
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->analysis, analysis(128));
    EXPECT_TRUE(a->path.isEmpty());  // fp-c was seen there since
    EXPECT_LE(qAbs(a->analysedAt.secsTo(QDateTime::currentDateTimeUtc())), 60);
    EXPECT_FALSE(db.find("fp-unknown").has_value());
    const vx::StoredHotCues cues = db.hotCues("fp-a");
    EXPECT_EQ(cues[0], 12.5);
    EXPECT_EQ(cues[1], std::nullopt);
    EXPECT_EQ(cues[2], std::nullopt);
    EXPECT_EQ(cues[3], 61.25);

    const auto values = db.valuesFor({"/music/a.mp3", "/music/renamed.mp3", "/music/b.mp3", "/nowhere.mp3"});
    ASSERT_EQ(values.size(), 2);
    EXPECT_EQ(values["/music/a.mp3"].bpm, 174);
    EXPECT_EQ(values["/music/renamed.mp3"].durationS, 270);
    EXPECT_EQ(values["/music/renamed.mp3"].lufs, -9.5);
    EXPECT_EQ(db.lookupPath("/music/renamed.mp3")->bpm, 90);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(LibraryFixture, AFileOfTheFirstVersionKeepsItsAnalysesWaveformsAndCues) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    {
        RawConnection raw(file);
        ASSERT_TRUE(raw.exec(
            "CREATE TABLE tracks (fingerprint TEXT PRIMARY KEY NOT NULL, path TEXT, size INTEGER,"
            " duration_s REAL, bpm REAL, beat_offset_s REAL, bpm_confidence REAL, lufs REAL,"
            " true_peak_dbtp REAL, audible_start_s REAL, audible_end_s REAL, waveform BLOB, analysed_at INTEGER)"));
        ASSERT_TRUE(raw.exec("CREATE TABLE hot_cues (fingerprint TEXT NOT NULL, slot INTEGER NOT NULL,"
                             " position_s REAL NOT NULL, PRIMARY KEY (fingerprint, slot)) WITHOUT ROWID"));
        ASSERT_TRUE(raw.exec("INSERT INTO tracks VALUES ('fp-old', '/music/old.mp3', 1000, 200, 122.5, 0.5,"
                             " 0.8, -11, -1, 0.1, 199, x'0102', 1700000000)"));
        ASSERT_TRUE(raw.exec("INSERT INTO hot_cues VALUES ('fp-old', 3, 42.5)"));
        ASSERT_TRUE(raw.exec("PRAGMA user_version=1"));
    }
    TrackDatabase db(file, dialogs);
    ASSERT_EQ(db.opened(), TrackDatabase::Opened::Library);
    const auto old = db.find("fp-old");
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->analysis.bpm, 122.5);
    EXPECT_EQ(old->analysis.waveform, QByteArray("\x01\x02"));
    EXPECT_EQ(old->analysedAt.toSecsSinceEpoch(), 1700000000);
    EXPECT_EQ(db.hotCues("fp-old")[2], 42.5);
    EXPECT_EQ(db.lookupPath("/music/old.mp3")->bpm, 122.5);
    EXPECT_TRUE(db.store("fp-new", "/music/new.mp3", analysis(100)));
    EXPECT_EQ(db.find("fp-new")->analysis, analysis(100));
    RawConnection raw(file);
    QSqlQuery q(raw.db);
    ASSERT_TRUE(q.exec("PRAGMA user_version") && q.next());
    EXPECT_EQ(q.value(0).toInt(), vx::latestLibraryVersion());
}

// Every fault ends the same way for the user: one message, and a database that works at once.
TEST_F(LibraryFixture, ADamagedLockedOrNewerFileGivesOneMessageAndAWorkingDatabase) {
    enum class Fault { Truncated, Garbage, SchemaOverwritten, Locked, Newer };
    const struct {
        Fault fault;
        TrackDatabase::Opened expected;
        const char* message;
    } rows[] = {
        {Fault::Truncated, TrackDatabase::Opened::Rebuilt, "damaged"},
        {Fault::Garbage, TrackDatabase::Opened::Rebuilt, "damaged"},
        {Fault::SchemaOverwritten, TrackDatabase::Opened::Rebuilt, "damaged"},
        {Fault::Locked, TrackDatabase::Opened::TemporaryWhileLocked, "in use by another program"},
        {Fault::Newer, TrackDatabase::Opened::TemporaryForNewer, "newer version"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(int(row.fault));
        QDir(dir.filePath("data")).removeRecursively();
        dialogs.shown.clear();
        {
            TrackDatabase db(file, dialogs);
            for (int i = 0; i < 200; ++i) {
                ASSERT_TRUE(db.store(QString("fp-%1").arg(i), QString("/m/%1.mp3").arg(i), analysis(i)));
            }
        }
        QByteArray content = bytes(file);
        ASSERT_GT(content.size(), 512 * 1024);
        if (row.fault == Fault::Truncated) content.truncate(content.size() / 2 / 4096 * 4096);  // on a page boundary
        if (row.fault == Fault::Garbage) content.fill('\x5A');
        if (row.fault == Fault::SchemaOverwritten) content.replace(100, 3900, QByteArray(3900, '\x5A'));
        writeBytes(file, content);

        std::optional<RawConnection> holder;
        if (row.fault == Fault::Locked) {
            holder.emplace(file);
            ASSERT_TRUE(holder->exec("PRAGMA locking_mode=EXCLUSIVE"));
            ASSERT_TRUE(holder->exec("BEGIN EXCLUSIVE"));
            ASSERT_TRUE(holder->exec("DELETE FROM hot_cues"));
        }
        if (row.fault == Fault::Newer) {
            RawConnection(file).exec("PRAGMA user_version=99");
            content = bytes(file);
        }

        QElapsedTimer timer;
        timer.start();
        TrackDatabase db(file, dialogs);
        EXPECT_LT(timer.elapsed(), 3000);
        EXPECT_EQ(db.opened(), row.expected);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_TRUE(dialogs.shown[0].text.contains(row.message)) << dialogs.shown[0].text.toStdString();
        EXPECT_FALSE(db.find("fp-1").has_value());
        EXPECT_TRUE(db.store("fp-x", "/m/x.mp3", analysis(140)));
        EXPECT_TRUE(db.setHotCue("fp-x", 2, 8));
        EXPECT_EQ(db.find("fp-x")->analysis, analysis(140));
        EXPECT_EQ(db.hotCues("fp-x")[1], 8);

        const QStringList aside = QDir(QFileInfo(file).absolutePath()).entryList({"library.sqlite.broken-*"});
        if (row.expected == TrackDatabase::Opened::Rebuilt) {
            EXPECT_EQ(db.file(), file);
            ASSERT_EQ(aside.size(), 1);
            EXPECT_TRUE(dialogs.shown[0].text.contains(aside[0]));
            EXPECT_EQ(bytes(QFileInfo(file).absolutePath() + "/" + aside[0]), content);
        } else {
            // The held file is its owner's: neither moved nor written.
            EXPECT_NE(db.file(), file);
            EXPECT_TRUE(aside.isEmpty());
            holder.reset();
            EXPECT_EQ(bytes(file), content);
        }
    }
}
