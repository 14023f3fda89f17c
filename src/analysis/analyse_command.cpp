#include "analysis/analyse_command.h"

#include <QFile>
#include <optional>
#include <string>

#include "analysis/analyser.h"
#include "services/json_text.h"

namespace vx::analysis {
namespace {

QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

}  // namespace

int runAnalyseCommand(const QList<QByteArray>& fileNames, QTextStream& out, KnownAnalyses* known) {
    int exitCode = 0;
    for (const QByteArray& name : fileNames) {
        const QString head = "{\"file\":" + jsonText(QFile::decodeName(name));
        std::string error;
        const QString path = QFile::decodeName(name);
        std::optional<TrackAnalysis> a = known ? known->find(path) : std::nullopt;
        if (!a) {
            a = analyseFile(name.toStdString(), &error);
            if (a && known) known->store(path, *a);
        }
        if (!a) {
            out << head << ",\"error\":" << jsonText(QString::fromStdString(error)) << "}\n";
            exitCode = 1;
            continue;
        }
        out << head << ",\"bpm\":" << number(a->bpm, 1) << ",\"beat_offset_s\":" << number(a->beatOffsetS, 3)
            << ",\"bpm_confidence\":" << number(a->bpmConfidence, 2) << ",\"lufs\":" << number(a->lufs, 2)
            << ",\"true_peak_dbtp\":" << number(a->truePeakDbtp, 2)
            << ",\"audible_start_s\":" << number(a->audibleStartS, 3)
            << ",\"audible_end_s\":" << number(a->audibleEndS, 3) << "}\n";
        out.flush();
    }
    return exitCode;
}

}  // namespace vx::analysis
