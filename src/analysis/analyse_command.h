#pragma once

#include <QByteArray>
#include <QList>
#include <QTextStream>
#include <optional>

#include "analysis/track_analysis.h"

namespace vx::analysis {

// `velumix --analyse FILE...`, the files named by the file system's bytes. Needs no display. Prints one
// JSON line per file, {"file", "bpm", "beat_offset_s", "bpm_confidence", "lufs", "true_peak_dbtp",
// "audible_start_s", "audible_end_s"} or {"file", "error"}; the exit code is 1 when any file failed.
// With `known`, a file it knows is answered from it and a file analysed is handed to it.
class KnownAnalyses {
  public:
    virtual ~KnownAnalyses() = default;
    virtual std::optional<TrackAnalysis> find(const QString& path) = 0;
    virtual void store(const QString& path, const TrackAnalysis& found) = 0;
};
int runAnalyseCommand(const QList<QByteArray>& fileNames, QTextStream& out, KnownAnalyses* known = nullptr);

}  // namespace vx::analysis
