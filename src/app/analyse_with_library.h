#pragma once

#include <QByteArray>
#include <QList>
#include <QTextStream>

namespace vx {

class Dialogs;

// `velumix --analyse FILE...` over the track database in `databaseFile`: a song it knows (by content,
// whatever its name now) is answered from it without being analysed again, and every song analysed is
// stored there. The database's troubles are told through `dialogs`.
int runAnalyseWithLibrary(const QList<QByteArray>& fileNames, QTextStream& out, const QString& databaseFile,
                          Dialogs& dialogs);

// Dialogs for a program without windows: messages go to standard error, file questions are declined.
Dialogs& consoleDialogs();

}  // namespace vx
