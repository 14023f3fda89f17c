#pragma once

#include <QByteArray>
#include <QList>
#include <QTextStream>

namespace vx::analysis {

// `velumix --analyse FILE...`, the files named by the file system's bytes. Needs no display. Prints one
// JSON line per file, {"file", "bpm", "beat_offset_s", "bpm_confidence", "lufs", "true_peak_dbtp",
// "audible_start_s", "audible_end_s"} or {"file", "error"}; the exit code is 1 when any file failed.
int runAnalyseCommand(const QList<QByteArray>& fileNames, QTextStream& out);

}  // namespace vx::analysis
