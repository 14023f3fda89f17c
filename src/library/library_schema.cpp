#include "library/library_schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace vx {

namespace {
// Entry i takes a file from version i to i + 1. Never edit an entry once released: add one.
const std::vector<QStringList>& migrations() {
    static const std::vector<QStringList> list = {
        {
            "CREATE TABLE tracks (fingerprint TEXT PRIMARY KEY NOT NULL, path TEXT, size INTEGER,"
            " duration_s REAL, bpm REAL, beat_offset_s REAL, bpm_confidence REAL, lufs REAL,"
            " true_peak_dbtp REAL, audible_start_s REAL, audible_end_s REAL, waveform BLOB,"
            " analysed_at INTEGER)",
            "CREATE TABLE hot_cues (fingerprint TEXT NOT NULL, slot INTEGER NOT NULL CHECK (slot BETWEEN 1 AND 4),"
            " position_s REAL NOT NULL, PRIMARY KEY (fingerprint, slot)) WITHOUT ROWID",
        },
        // The waveforms move to a table of their own, so that reading the sort values of thousands of
        // songs walks a small table; the path gets an index for those lookups.
        {
            "CREATE TABLE waveforms (fingerprint TEXT PRIMARY KEY NOT NULL, data BLOB NOT NULL)",
            "INSERT INTO waveforms SELECT fingerprint, waveform FROM tracks WHERE waveform IS NOT NULL",
            "ALTER TABLE tracks DROP COLUMN waveform",
            "CREATE INDEX tracks_by_path ON tracks (path)",
        },
    };
    return list;
}

SchemaOutcome outcome(SchemaOutcome::Status status, const QString& error = {}) {
    return SchemaOutcome{status, error};
}

SchemaOutcome failure(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xFF;  // the primary SQLite result code
    const QString text = error.text();
    if (ok && (code == 5 || code == 6)) return outcome(SchemaOutcome::Status::Locked, text);   // BUSY, LOCKED
    if (ok && (code == 11 || code == 26)) return outcome(SchemaOutcome::Status::Damaged, text);  // CORRUPT, NOTADB
    return outcome(SchemaOutcome::Status::Failed, text);
}
}  // namespace

int latestLibraryVersion() {
    return int(migrations().size());
}

SchemaOutcome prepareLibrarySchema(QSqlDatabase& db) {
    if (!db.isOpen()) return failure(db.lastError());
    QSqlQuery q(db);
    // journal_mode reads the file: the first place a damaged or locked one shows.
    if (!q.exec("PRAGMA journal_mode=WAL")) return failure(q.lastError());
    // IMMEDIATE even with nothing to migrate: a file some other process keeps us from writing to is
    // found now, not at the first hot cue.
    if (!q.exec("BEGIN IMMEDIATE")) return failure(q.lastError());
    const auto rollBack = [&q](const QSqlError& error) {
        q.finish();
        q.exec("ROLLBACK");
        return failure(error);
    };
    if (!q.exec("PRAGMA user_version") || !q.next()) return rollBack(q.lastError());
    const int found = q.value(0).toInt();
    q.finish();
    if (found > latestLibraryVersion()) {
        q.exec("ROLLBACK");
        return outcome(SchemaOutcome::Status::Newer);
    }
    // The schema is read here too: a damaged page of it fails this rather than a later query.
    if (!q.exec("SELECT count(*) FROM sqlite_schema") || !q.next()) return rollBack(q.lastError());
    q.finish();
    for (int v = found; v < latestLibraryVersion(); ++v) {
        for (const QString& statement : migrations()[size_t(v)]) {
            if (!q.exec(statement)) return rollBack(q.lastError());
        }
    }
    if (found != latestLibraryVersion() &&
        !q.exec(QStringLiteral("PRAGMA user_version=%1").arg(latestLibraryVersion()))) {
        return rollBack(q.lastError());
    }
    if (!q.exec("COMMIT")) return rollBack(q.lastError());
    return outcome(SchemaOutcome::Status::Ready);
}

}  // namespace vx
