#include "library/track_database.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <atomic>

#include "library/database_file.h"
#include "library/library_schema.h"

namespace vx {

namespace {
std::atomic<quint64> serials{0};

// The connections this thread made, closed when it ends: a connection belongs to one thread only.
struct ThreadConnections {
    const quint64 serial = ++serials;
    QStringList names;
    ~ThreadConnections() {
        for (const QString& name : names) QSqlDatabase::removeDatabase(name);
    }
};
thread_local ThreadConnections thisThread;

// How every message about a library that cannot be used ends.
const QString kTemporaryMeanwhile =
    QStringLiteral("Until Velumix closes, analyses and hot cues are kept in a temporary library.");

const char* const kTrackColumns =
    "t.fingerprint, t.path, t.size, t.duration_s, t.bpm, t.beat_offset_s, t.bpm_confidence, t.lufs,"
    " t.true_peak_dbtp, t.audible_start_s, t.audible_end_s, t.analysed_at, w.data";

StoredTrack trackFrom(const QSqlQuery& q) {
    StoredTrack t;
    t.fingerprint = q.value(0).toString();
    t.path = q.value(1).toString();
    t.size = q.value(2).toLongLong();
    StoredAnalysis& a = t.analysis;
    double* const fields[] = {&a.durationS, &a.bpm, &a.beatOffsetS, &a.bpmConfidence, &a.lufs,
                              &a.truePeakDbtp, &a.audibleStartS, &a.audibleEndS};
    for (int i = 0; i < 8; ++i) *fields[i] = q.value(3 + i).toDouble();
    t.analysedAt = QDateTime::fromSecsSinceEpoch(q.value(11).toLongLong(), Qt::UTC);
    a.waveform = q.value(12).toByteArray();
    return t;
}

bool validSlot(int slot) {
    return slot >= 1 && slot <= kHotCueSlots;
}
}  // namespace

TrackDatabase::TrackDatabase(const QString& file, Dialogs& dialogs) : dialogs_(dialogs) {
    openLibrary(file);
}

TrackDatabase::~TrackDatabase() {
    dropConnections();
}

void TrackDatabase::openLibrary(const QString& file) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    // SQLite itself tells garbage, and a file shorter than the page count in its header.
    Attempt attempt = tryOpen(file);
    const bool rebuilt = attempt == Attempt::Damaged;
    if (rebuilt) {
        dropConnections();
        const QString aside = setDatabaseAside(file, QDateTime::currentDateTime());
        tell((aside.isEmpty() ? QStringLiteral("The track library was damaged and has been removed.")
                              : QStringLiteral("The track library was damaged and has been set aside as \"%1\".")
                                    .arg(aside)) +
             QStringLiteral(" A new, empty library takes its place; songs are analysed again as they are played."));
        attempt = tryOpen(file);
    }
    switch (attempt) {
    case Attempt::Ready:
        opened_ = rebuilt ? Opened::Rebuilt : Opened::Library;
        return;
    case Attempt::Locked:
        tell(QStringLiteral("The track library \"%1\" is in use by another program and is left to it. ").arg(file) +
             kTemporaryMeanwhile);
        opened_ = Opened::TemporaryWhileLocked;
        break;
    case Attempt::Newer:
        tell(QStringLiteral("The track library \"%1\" was written by a newer version of Velumix and is left "
                            "as it is. ")
                 .arg(file) +
             kTemporaryMeanwhile);
        opened_ = Opened::TemporaryForNewer;
        break;
    case Attempt::Damaged:
    case Attempt::Failed:
        tell(QStringLiteral("The track library \"%1\" cannot be opened. ").arg(file) + kTemporaryMeanwhile);
        opened_ = Opened::Unusable;
        break;
    }
    useTemporary();
}

void TrackDatabase::useTemporary() {
    dropConnections();
    temporary_ = std::make_unique<QTemporaryDir>();
    if (temporary_->isValid() && tryOpen(temporary_->filePath("library.sqlite")) == Attempt::Ready) return;
    dropConnections();
    opened_ = Opened::Unusable;
    file_.clear();
}

TrackDatabase::Attempt TrackDatabase::tryOpen(const QString& file) {
    file_ = file;
    prefix_ = QStringLiteral("vx-library-%1-").arg(quintptr(this)) + QString::number(++serials) + "-";
    QSqlDatabase db = connection();
    switch (prepareLibrarySchema(db).status) {
    case SchemaOutcome::Status::Ready: return Attempt::Ready;
    case SchemaOutcome::Status::Locked: return Attempt::Locked;
    case SchemaOutcome::Status::Damaged: return Attempt::Damaged;
    case SchemaOutcome::Status::Newer: return Attempt::Newer;
    case SchemaOutcome::Status::Failed: break;
    }
    return Attempt::Failed;
}

void TrackDatabase::tell(const QString& text) {
    dialogs_.message(text, QString(), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}

QSqlDatabase TrackDatabase::connection() const {
    QString name;
    {
        const QMutexLocker lock(&mutex_);
        if (file_.isEmpty()) return {};
        name = prefix_ + QString::number(thisThread.serial);
        if (QSqlDatabase::contains(name)) return QSqlDatabase::database(name);
        names_.append(name);
    }
    thisThread.names.append(name);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(file_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=500"));
    if (db.open()) {
        QSqlQuery q(db);
        q.exec("PRAGMA synchronous=NORMAL");  // with WAL: durable at each checkpoint, consistent always
    }
    return db;
}

void TrackDatabase::dropConnections() {
    const QMutexLocker lock(&mutex_);
    for (const QString& name : std::as_const(names_)) QSqlDatabase::removeDatabase(name);
    names_.clear();
}

bool TrackDatabase::write(const std::function<bool(QSqlDatabase&)>& body) {
    QSqlDatabase db = connection();
    if (!db.isOpen()) return false;
    QSqlQuery q(db);
    if (!q.exec("BEGIN IMMEDIATE")) return false;
    if (body(db) && q.exec("COMMIT")) return true;
    q.exec("ROLLBACK");
    return false;
}

std::optional<StoredTrack> TrackDatabase::find(const QString& fingerprint) const {
    QSqlQuery q(connection());
    q.prepare(QStringLiteral("SELECT %1 FROM tracks t LEFT JOIN waveforms w USING (fingerprint)"
                             " WHERE t.fingerprint = ?")
                  .arg(kTrackColumns));
    q.addBindValue(fingerprint);
    if (!q.exec() || !q.next()) return std::nullopt;
    return trackFrom(q);
}

bool TrackDatabase::store(const QString& fingerprint, const QString& path, const StoredAnalysis& a) {
    const qint64 size = QFileInfo(path).size();
    return write([&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.prepare("UPDATE tracks SET path = NULL WHERE path = ? AND fingerprint <> ?");
        q.addBindValue(path);
        q.addBindValue(fingerprint);
        if (!q.exec()) return false;
        q.prepare(
            "INSERT OR REPLACE INTO tracks (fingerprint, path, size, duration_s, bpm, beat_offset_s,"
            " bpm_confidence, lufs, true_peak_dbtp, audible_start_s, audible_end_s, analysed_at)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (const QVariant& v : {QVariant(fingerprint), QVariant(path), QVariant(size), QVariant(a.durationS),
                                  QVariant(a.bpm), QVariant(a.beatOffsetS), QVariant(a.bpmConfidence),
                                  QVariant(a.lufs), QVariant(a.truePeakDbtp), QVariant(a.audibleStartS),
                                  QVariant(a.audibleEndS),
                                  QVariant(QDateTime::currentSecsSinceEpoch())}) {
            q.addBindValue(v);
        }
        if (!q.exec()) return false;
        q.prepare("INSERT OR REPLACE INTO waveforms (fingerprint, data) VALUES (?, ?)");
        q.addBindValue(fingerprint);
        q.addBindValue(a.waveform.isNull() ? QByteArray("") : a.waveform);
        return q.exec();
    });
}

bool TrackDatabase::rememberPath(const QString& fingerprint, const QString& path) {
    return write([&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.prepare("UPDATE tracks SET path = NULL WHERE path = ? AND fingerprint <> ?");
        q.addBindValue(path);
        q.addBindValue(fingerprint);
        if (!q.exec()) return false;
        q.prepare("UPDATE tracks SET path = ? WHERE fingerprint = ?");
        q.addBindValue(path);
        q.addBindValue(fingerprint);
        return q.exec() && q.numRowsAffected() == 1;
    });
}

StoredHotCues TrackDatabase::hotCues(const QString& fingerprint) const {
    StoredHotCues cues;
    QSqlQuery q(connection());
    q.prepare("SELECT slot, position_s FROM hot_cues WHERE fingerprint = ?");
    q.addBindValue(fingerprint);
    if (!q.exec()) return cues;
    while (q.next()) {
        const int slot = q.value(0).toInt();
        if (validSlot(slot)) cues[size_t(slot - 1)] = q.value(1).toDouble();
    }
    return cues;
}

bool TrackDatabase::setHotCue(const QString& fingerprint, int slot, double positionS) {
    if (!validSlot(slot) || !(positionS >= 0)) return false;
    return write([&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.prepare("INSERT OR REPLACE INTO hot_cues (fingerprint, slot, position_s) VALUES (?, ?, ?)");
        q.addBindValue(fingerprint);
        q.addBindValue(slot);
        q.addBindValue(positionS);
        return q.exec();
    });
}

bool TrackDatabase::clearHotCue(const QString& fingerprint, int slot) {
    if (!validSlot(slot)) return false;
    return write([&](QSqlDatabase& db) {
        QSqlQuery q(db);
        q.prepare("DELETE FROM hot_cues WHERE fingerprint = ? AND slot = ?");
        q.addBindValue(fingerprint);
        q.addBindValue(slot);
        return q.exec();
    });
}

std::optional<SortValues> TrackDatabase::lookupPath(const QString& path) const {
    const QHash<QString, SortValues> found = valuesFor({path});
    if (found.isEmpty()) return std::nullopt;
    return found.begin().value();
}

QHash<QString, SortValues> TrackDatabase::valuesFor(const QStringList& paths) const {
    QHash<QString, SortValues> values;
    QSqlDatabase db = connection();
    if (!db.isOpen()) return values;
    values.reserve(paths.size());
    QSqlQuery q(db);
    q.exec("BEGIN");  // one snapshot for the whole list, and one lock instead of one per path
    q.prepare("SELECT bpm, duration_s, lufs FROM tracks WHERE path = ? LIMIT 1");
    for (const QString& path : paths) {
        q.addBindValue(path);
        if (q.exec() && q.next()) {
            values.insert(path, SortValues{q.value(0).toDouble(), q.value(1).toDouble(), q.value(2).toDouble()});
        }
        q.finish();
    }
    QSqlQuery(db).exec("COMMIT");
    return values;
}

}  // namespace vx
