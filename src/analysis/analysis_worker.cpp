#include "analysis/analysis_worker.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>

#include "analysis/analyser.h"

namespace vx::analysis {
namespace {

// Idle scheduling: the thread runs only when a core would otherwise idle. Where that is refused, the
// weakest nice value at least.
void lowerThisThread() {
    sched_param none{};
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &none) != 0) {
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
    }
}

}  // namespace

AnalysisWorker::AnalysisWorker(QObject* parent, QThread::Priority priority) : QObject(parent) {
    qRegisterMetaType<TrackAnalysis>();
    const bool idle = priority <= QThread::LowestPriority;
    thread_ = QThread::create([this, idle] { run(idle); });
    thread_->setObjectName("analysis");
    thread_->start(priority);
}

AnalysisWorker::~AnalysisWorker() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        queue_.clear();
        cancelCurrent_.store(true);
    }
    wake_.notify_all();
    thread_->wait();
    delete thread_;
}

void AnalysisWorker::enqueue(const QString& path, bool first) {
    {
        const std::lock_guard lock(mutex_);
        if (path == current_) return;
        const auto waiting = std::find(queue_.begin(), queue_.end(), path);
        if (waiting != queue_.end()) {
            if (!first) return;
            queue_.erase(waiting);
        }
        if (first) {
            queue_.push_front(path);
        } else {
            queue_.push_back(path);
        }
    }
    wake_.notify_one();
}

void AnalysisWorker::cancel(const QString& path) {
    const std::lock_guard lock(mutex_);
    queue_.erase(std::remove(queue_.begin(), queue_.end(), path), queue_.end());
    if (path == current_) cancelCurrent_.store(true);
}

void AnalysisWorker::cancelAll() {
    const std::lock_guard lock(mutex_);
    queue_.clear();
    if (!current_.isEmpty()) cancelCurrent_.store(true);
}

void AnalysisWorker::run(bool idle) {
    if (idle) lowerThisThread();
    for (;;) {
        QString path;
        {
            std::unique_lock lock(mutex_);
            current_.clear();
            wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
            if (quit_) return;
            path = current_ = queue_.front();
            queue_.pop_front();
            cancelCurrent_.store(false);
        }
        std::string error;
        const std::optional<TrackAnalysis> result = analyseFile(path.toStdString(), &error, &cancelCurrent_);
        const std::lock_guard lock(mutex_);
        // A cancel that came after the last packet still keeps the result back.
        if (quit_ || cancelCurrent_.load()) continue;
        if (result) {
            emit analysed(path, *result);
        } else {
            emit failed(path, QString::fromStdString(error));
        }
    }
}

}  // namespace vx::analysis
