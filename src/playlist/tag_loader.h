#pragma once

#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "tags/tag_cache.h"

namespace vx::playlist {

// Reads the playlist texts of many files on worker threads and hands them back to the UI thread in
// batches, so that a long playlist opens without freezing the window. Created and used on the UI thread;
// results arrive through the event loop.
class TagLoader : public QObject {
    Q_OBJECT
  public:
    struct Job {
        quint64 id = 0;
        int row = 0;  // where the entry stood when asked: a hint, checked against the id
        QString path;
    };
    struct Result {
        quint64 id = 0;
        int row = 0;
        QString text;
    };

    // threads = 0: one per processor core.
    explicit TagLoader(tags::TagTextCache& cache, int threads = 0);
    ~TagLoader() override;

    // Called on the UI thread with each batch of results, at most `batchSize` at a time.
    void setResultHandler(std::function<void(const std::vector<Result>&)> handler) {
        handler_ = std::move(handler);
    }
    void setBatchSize(int size) { batchSize_ = size; }

    void request(std::vector<Job> jobs);
    // Drops every job not yet started and every result not yet handed out.
    void cancelAll();
    // Blocks until every requested job is read, then hands out all results (for tests and benchmarks).
    void waitAndDeliver();

  private:
    void work();  // worker threads
    void deliver();

    tags::TagTextCache& cache_;
    std::function<void(const std::vector<Result>&)> handler_;
    int batchSize_ = 500;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> jobs_;
    std::vector<Result> results_;
    int busy_ = 0;
    bool deliveryPosted_ = false;
    bool stopping_ = false;
    quint64 generation_ = 0;
    std::vector<std::thread> workers_;
};

}  // namespace vx::playlist
