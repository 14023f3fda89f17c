#include "playlist/tag_loader.h"

#include <QMetaObject>

namespace vx::playlist {

TagLoader::TagLoader(tags::TagTextCache& cache, int threads) : cache_(cache) {
    if (threads <= 0) threads = int(std::max(1u, std::thread::hardware_concurrency()));
    for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { work(); });
}

TagLoader::~TagLoader() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

void TagLoader::request(std::vector<Job> jobs) {
    {
        std::lock_guard lock(mutex_);
        for (Job& job : jobs) jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void TagLoader::cancelAll() {
    std::lock_guard lock(mutex_);
    jobs_.clear();
    results_.clear();
    ++generation_;
}

// Worker thread: takes one job at a time, reads it outside the lock, queues the result and posts a
// delivery to the UI thread when none is pending.
void TagLoader::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        const quint64 generation = generation_;
        ++busy_;
        lock.unlock();
        QString text = cache_.texts(job.path).playlist;
        lock.lock();
        --busy_;
        if (generation == generation_) results_.push_back({job.id, job.row, std::move(text)});
        if (!deliveryPosted_ && !results_.empty()) {
            deliveryPosted_ = true;
            QMetaObject::invokeMethod(
                this, [this] { deliver(); }, Qt::QueuedConnection);
        }
        if (jobs_.empty() && busy_ == 0) idle_.notify_all();
    }
}

void TagLoader::deliver() {
    std::vector<Result> batch;
    {
        std::lock_guard lock(mutex_);
        const size_t take = std::min(results_.size(), size_t(std::max(1, batchSize_)));
        batch.assign(std::make_move_iterator(results_.begin()),
                     std::make_move_iterator(results_.begin() + take));
        results_.erase(results_.begin(), results_.begin() + take);
        deliveryPosted_ = !results_.empty();
        if (deliveryPosted_)
            QMetaObject::invokeMethod(
                this, [this] { deliver(); }, Qt::QueuedConnection);
    }
    if (!batch.empty() && handler_) handler_(batch);
}

void TagLoader::waitAndDeliver() {
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return jobs_.empty() && busy_ == 0; });
    }
    std::vector<Result> all;
    {
        std::lock_guard lock(mutex_);
        all.swap(results_);
    }
    if (!all.empty() && handler_) handler_(all);
}

}  // namespace vx::playlist
