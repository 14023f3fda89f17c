#pragma once

#include <QSqlDatabase>
#include <QString>

namespace vx {

// The track database's tables, versioned with PRAGMA user_version: each migration takes the file from
// one version to the next, all of them in one write transaction, so a failure leaves the file as it was.
int latestLibraryVersion();

struct SchemaOutcome {
    enum class Status {
        Ready,    // the file is at the latest version, in WAL mode
        Locked,   // another connection or process holds the file
        Damaged,  // SQLite found the file corrupt or not a database
        Newer,    // written by a later version of the program: left untouched
        Failed,   // anything else (the folder cannot be written, the disk is full): see `error`
    };
    Status status = Status::Failed;
    QString error;
};

// Brings the open connection's file to the latest version.
SchemaOutcome prepareLibrarySchema(QSqlDatabase& db);

}  // namespace vx
