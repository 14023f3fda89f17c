#include "services/song_opener.h"

#include <QMetaObject>

namespace vx {

SongOpener::SongOpener(Streams& streams) : streams_(streams) {}

SongOpener::~SongOpener() {
    std::vector<Worker> workers;
    {
        std::lock_guard lock(mutex_);
        workers.swap(workers_);
    }
    for (Worker& w : workers) w.thread.join();
    // Results still queued die with the receiver, their files unopened.
}

void SongOpener::open(const QString& path, std::function<bool()> stillWanted,
                      std::function<void(Streams::Opened)> done) {
    reapFinished();
    auto finished = std::make_shared<bool>(false);
    audio::SoundLibrary& library = streams_.library();
    QObject* receiver = &receiver_;
    std::thread thread([this, &library, receiver, path, finished, stillWanted = std::move(stillWanted),
                        done = std::move(done)]() mutable {
        auto prepared = std::make_shared<Streams::Preparation>(Streams::prepare(library, path));
        QMetaObject::invokeMethod(
            receiver,
            [this, path, prepared, stillWanted = std::move(stillWanted), done = std::move(done)] {
                if (stillWanted()) done(streams_.adopt(std::move(*prepared), path));
            },
            Qt::QueuedConnection);
        std::lock_guard lock(mutex_);
        *finished = true;
    });
    std::lock_guard lock(mutex_);
    workers_.push_back({std::move(thread), std::move(finished)});
}

void SongOpener::reapFinished() {
    std::vector<Worker> done;
    {
        std::lock_guard lock(mutex_);
        for (auto it = workers_.begin(); it != workers_.end();) {
            if (*it->finished) {
                done.push_back(std::move(*it));
                it = workers_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (Worker& w : done) w.thread.join();
}

}  // namespace vx
