#include "app/analyse_with_library.h"

#include <cstdio>

#include "analysis/analyse_command.h"
#include "app/analysis_record.h"
#include "library/content_fingerprint.h"
#include "library/track_database.h"

namespace vx {

namespace {

class DatabaseAnalyses : public analysis::KnownAnalyses {
  public:
    explicit DatabaseAnalyses(TrackDatabase& db) : db_(db) {}
    std::optional<analysis::TrackAnalysis> find(const QString& path) override {
        fingerprint_ = contentFingerprint(path);
        if (fingerprint_.isEmpty()) return std::nullopt;
        const std::optional<StoredTrack> track = db_.find(fingerprint_);
        if (!track) return std::nullopt;
        if (track->path != path) db_.rememberPath(fingerprint_, path);
        return fromStored(track->analysis);
    }
    // Called right after find() for the same file.
    void store(const QString& path, const analysis::TrackAnalysis& found) override {
        if (!fingerprint_.isEmpty()) db_.store(fingerprint_, path, toStored(found));
    }

  private:
    TrackDatabase& db_;
    QString fingerprint_;
};

class ConsoleDialogs : public Dialogs {
  public:
    Answer message(const QString& text, const QString& title, Icon, Buttons) override {
        std::fprintf(stderr, "velumix: %s%s%s\n", qPrintable(title), title.isEmpty() ? "" : ": ", qPrintable(text));
        return Answer::Ok;
    }
    std::optional<QString> openFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QStringList> openFiles(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileRequest&) override { return std::nullopt; }
};

}  // namespace

Dialogs& consoleDialogs() {
    static ConsoleDialogs dialogs;
    return dialogs;
}

int runAnalyseWithLibrary(const QList<QByteArray>& fileNames, QTextStream& out, const QString& databaseFile,
                          Dialogs& dialogs) {
    TrackDatabase db(databaseFile, dialogs);
    DatabaseAnalyses known(db);
    return analysis::runAnalyseCommand(fileNames, out, &known);
}

}  // namespace vx
