#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "analysis/analysis_worker.h"
#include "library/track_database.h"

namespace vx {

// What the program knows of its songs: the one track database and the one background analysis. A song
// asked for is fingerprinted and looked up on a thread of its own; a known one is delivered at once (and
// its new path remembered), an unknown one is analysed, stored, then delivered. Delivery hands the
// analysis to the deliverer (the decks holding that path) and then tells every listener. UI thread only.
class TrackLibrary : public QObject {
    Q_OBJECT
  public:
    using Found = std::shared_ptr<const analysis::TrackAnalysis>;

    // The database lives in `databaseFile` (its troubles are told through `dialogs`). `priority` above
    // the lowest keeps the analysis in the normal scheduling class (tests on a busy machine).
    TrackLibrary(const QString& databaseFile, Dialogs& dialogs,
                 QThread::Priority priority = QThread::LowestPriority);
    ~TrackLibrary() override;

    TrackDatabase& database() { return database_; }

    // Asks for the analysis of `path`; a path already under way is not asked for twice. A `soon` request
    // (a song loaded into a deck) goes before every other waiting one, also when it was asked for before.
    void request(const QString& path, bool soon = false);
    bool busy() const { return !underWay_.isEmpty(); }

    void setDeliverer(std::function<void(const QString& path, const Found&)> deliver) {
        deliver_ = std::move(deliver);
    }
    // Told after every delivery, with what was delivered (the playlist's columns). Answers an id for
    // removeListener().
    int addListener(std::function<void(const QString& path, const Found&)> listener);
    void removeListener(int id);

    // The hot cues of the song at `path` (slot 1..4), stored by its content; empty when it is unreadable.
    // A path not met yet this run is fingerprinted on the calling thread (a read of at most ~200 kB).
    StoredHotCues hotCues(const QString& path);
    bool setHotCue(const QString& path, int slot, double seconds);
    bool clearHotCue(const QString& path, int slot);

  private:
    void lookUp(const QString& path, bool soon);
    void lookedUp(const QString& path, const QString& fingerprint, std::optional<StoredTrack> found);
    void analysed(const QString& path, const analysis::TrackAnalysis& result);
    void deliver(const QString& path, const Found& found);
    QString fingerprintOf(const QString& path);

    TrackDatabase database_;
    analysis::AnalysisWorker worker_;
    QThreadPool pool_;  // lookups and stores, one at a time, never on the window's thread
    QHash<QString, QString> fingerprints_;  // path -> content fingerprint, of the songs met this run
    struct Asked {
        bool soon = false;
        bool lookedUp = false;  // the lookup answered: it is being analysed or stored now
    };
    QHash<QString, Asked> underWay_;
    std::function<void(const QString&, const Found&)> deliver_;
    std::map<int, std::function<void(const QString&, const Found&)>> listeners_;
    int nextListener_ = 1;
};

}  // namespace vx
