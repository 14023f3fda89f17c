#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "analysis/track_analysis.h"

namespace vx::analysis {

// Analyses files one after the other on a thread of its own at the lowest priority (idle scheduling where
// the system allows it), so that it only ever takes what the rest of the program leaves of one core; it
// shares nothing with the audio thread. Results arrive on the thread that created the worker, through
// queued signals. Cancelling and destroying return within one decoded packet.
class AnalysisWorker : public QObject {
    Q_OBJECT
  public:
    // `priority` above the lowest (tests on a busy machine) keeps the thread in the normal scheduling class.
    explicit AnalysisWorker(QObject* parent = nullptr, QThread::Priority priority = QThread::LowestPriority);
    ~AnalysisWorker() override;

    // Queues `path` unless it is being analysed already; `first` puts it at the head of the queue (a
    // song the DJ has just loaded goes before the playlist's), moving it there when it waits already.
    void enqueue(const QString& path, bool first = false);
    // Drops `path` from the queue, or stops its analysis (no signal follows for it).
    void cancel(const QString& path);
    void cancelAll();

  signals:
    void analysed(const QString& path, const vx::analysis::TrackAnalysis& result);
    void failed(const QString& path, const QString& error);

  private:
    void run(bool idle);  // the worker thread

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<QString> queue_;
    QString current_;
    bool quit_ = false;
    std::atomic<bool> cancelCurrent_{false};
    QThread* thread_ = nullptr;
};

}  // namespace vx::analysis

Q_DECLARE_METATYPE(vx::analysis::TrackAnalysis)
