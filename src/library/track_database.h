#pragma once

#include <QHash>
#include <QMutex>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "library/stored_analysis.h"
#include "services/dialogs.h"

class QTemporaryDir;

namespace vx {

// The analyses and hot cues of every song met, in an SQLite file keyed by content fingerprint, so a
// renamed or moved song keeps them. Every thread that uses it gets a connection of its own; the file is
// in WAL mode, so readers never wait for a writer, and every write is one transaction.
//
// Opening never fails and never waits long (a busy timeout of 500 ms):
// - a damaged file (garbage, truncated, or found corrupt by SQLite) is moved aside as
//   <file>.broken-<time>, the user is told once, and a fresh database takes its place;
// - a file another process holds locked, or one written by a newer version, is left as it is for its
//   owner: the user is told once and this run keeps its findings in a fresh database in a temporary
//   folder, gone when the program closes.
// Any call may come from any thread; the object must outlive the threads that use it.
class TrackDatabase {
public:
    enum class Opened { Library, Rebuilt, TemporaryWhileLocked, TemporaryForNewer, Unusable };

    TrackDatabase(const QString& file, Dialogs& dialogs);
    ~TrackDatabase();
    TrackDatabase(const TrackDatabase&) = delete;
    TrackDatabase& operator=(const TrackDatabase&) = delete;

    Opened opened() const { return opened_; }
    QString file() const { return file_; }  // the file in use (the temporary one while the library is held)

    std::optional<StoredTrack> find(const QString& fingerprint) const;
    // Keeps the analysis, the file's path and size and the time; the path is taken from any other song
    // last seen there. False when it could not be written.
    bool store(const QString& fingerprint, const QString& path, const StoredAnalysis& analysis);
    // Notes where a known song is now (after a rename or move), without a new analysis.
    bool rememberPath(const QString& fingerprint, const QString& path);

    StoredHotCues hotCues(const QString& fingerprint) const;
    bool setHotCue(const QString& fingerprint, int slot, double positionS);  // slot 1..4
    bool clearHotCue(const QString& fingerprint, int slot);

    // Sort values of the song last seen at `path`, nullopt when none is known.
    std::optional<SortValues> lookupPath(const QString& path) const;
    // The same for many paths in one read; paths without a known song are left out.
    QHash<QString, SortValues> valuesFor(const QStringList& paths) const;

private:
    enum class Attempt { Ready, Locked, Damaged, Newer, Failed };
    Attempt tryOpen(const QString& file);
    void openLibrary(const QString& file);
    void useTemporary();
    void tell(const QString& text);
    QSqlDatabase connection() const;
    void dropConnections();
    bool write(const std::function<bool(QSqlDatabase&)>& body);

    Dialogs& dialogs_;
    QString file_;
    QString prefix_;
    Opened opened_ = Opened::Unusable;
    std::unique_ptr<QTemporaryDir> temporary_;
    mutable QMutex mutex_;
    mutable QStringList names_;  // every connection made, for closing them all
};

}  // namespace vx
