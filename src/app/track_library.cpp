#include "app/track_library.h"

#include <QPointer>

#include "app/analysis_record.h"
#include "library/content_fingerprint.h"

namespace vx {

TrackLibrary::TrackLibrary(const QString& databaseFile, Dialogs& dialogs, QThread::Priority priority)
    : database_(databaseFile, dialogs), worker_(nullptr, priority) {
    pool_.setMaxThreadCount(1);
    pool_.setExpiryTimeout(-1);  // one thread for the run: each thread holds a database connection
    connect(&worker_, &analysis::AnalysisWorker::analysed, this, &TrackLibrary::analysed);
    connect(&worker_, &analysis::AnalysisWorker::failed, this,
            [this](const QString& path, const QString&) { underWay_.remove(path); });
}

// The pool's tasks reach back through queued calls to this object, which Qt drops once it is gone; the
// database they use outlives them (the pool is emptied first).
TrackLibrary::~TrackLibrary() {
    worker_.cancelAll();
    pool_.waitForDone();
}

void TrackLibrary::request(const QString& path, bool soon) {
    if (path.isEmpty()) return;
    const auto it = underWay_.find(path);
    if (it == underWay_.end()) {
        underWay_.insert(path, {soon, false});
        lookUp(path, soon);
    } else if (soon && !it->soon) {
        // Waiting behind the playlist's songs: looked up again ahead of them (the later answer is
        // dropped), or put first in the analysis queue if it waits there.
        it->soon = true;
        if (it->lookedUp) {
            worker_.enqueue(path, true);
        } else {
            lookUp(path, true);
        }
    }
}

void TrackLibrary::lookUp(const QString& path, bool soon) {
    pool_.start([this, path] {
        const QString fingerprint = contentFingerprint(path);
        std::optional<StoredTrack> found;
        if (!fingerprint.isEmpty()) found = database_.find(fingerprint);
        if (found && found->path != path) database_.rememberPath(fingerprint, path);
        QMetaObject::invokeMethod(
            this, [this, path, fingerprint, found] { lookedUp(path, fingerprint, found); }, Qt::QueuedConnection);
    }, soon ? 1 : 0);
}

void TrackLibrary::lookedUp(const QString& path, const QString& fingerprint, std::optional<StoredTrack> found) {
    const auto asked = underWay_.find(path);
    if (asked == underWay_.end() || asked->lookedUp) return;  // answered already
    asked->lookedUp = true;
    if (fingerprint.isEmpty()) {  // unreadable: the analysis could not read it either
        underWay_.remove(path);
        return;
    }
    fingerprints_.insert(path, fingerprint);
    const std::optional<analysis::TrackAnalysis> known = found ? fromStored(found->analysis) : std::nullopt;
    if (!known) {
        worker_.enqueue(path, asked->soon);
        return;
    }
    underWay_.remove(path);
    deliver(path, std::make_shared<const analysis::TrackAnalysis>(*known));
}

void TrackLibrary::analysed(const QString& path, const analysis::TrackAnalysis& result) {
    const QString fingerprint = fingerprints_.value(path);
    auto found = std::make_shared<const analysis::TrackAnalysis>(result);
    // Stored before it is delivered, so that a listener reading the database finds it there.
    pool_.start([this, path, fingerprint, found] {
        database_.store(fingerprint, path, toStored(*found));
        QMetaObject::invokeMethod(
            this,
            [this, path, found] {
                underWay_.remove(path);
                deliver(path, found);
            },
            Qt::QueuedConnection);
    });
}

void TrackLibrary::deliver(const QString& path, const Found& found) {
    if (deliver_) deliver_(path, found);
    const auto listeners = listeners_;  // a listener may remove itself
    for (const auto& [id, listener] : listeners) listener(path, found);
}

int TrackLibrary::addListener(std::function<void(const QString&, const Found&)> listener) {
    listeners_.emplace(nextListener_, std::move(listener));
    return nextListener_++;
}

void TrackLibrary::removeListener(int id) {
    listeners_.erase(id);
}

QString TrackLibrary::fingerprintOf(const QString& path) {
    auto it = fingerprints_.find(path);
    if (it == fingerprints_.end()) {
        const QString fingerprint = contentFingerprint(path);
        if (fingerprint.isEmpty()) return {};
        it = fingerprints_.insert(path, fingerprint);
    }
    return *it;
}

StoredHotCues TrackLibrary::hotCues(const QString& path) {
    const QString fingerprint = fingerprintOf(path);
    return fingerprint.isEmpty() ? StoredHotCues{} : database_.hotCues(fingerprint);
}

bool TrackLibrary::setHotCue(const QString& path, int slot, double seconds) {
    const QString fingerprint = fingerprintOf(path);
    return !fingerprint.isEmpty() && database_.setHotCue(fingerprint, slot, seconds);
}

bool TrackLibrary::clearHotCue(const QString& path, int slot) {
    const QString fingerprint = fingerprintOf(path);
    return !fingerprint.isEmpty() && database_.clearHotCue(fingerprint, slot);
}

}  // namespace vx
