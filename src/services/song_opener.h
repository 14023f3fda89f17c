#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "services/streams.h"

namespace vx {

// Opens songs for the decks off the window thread: the file is read and probed on a worker, and the
// stream is made of it back on the window thread, so a slow or hostile file never freezes the console.
// A load the deck has given up (a newer load, the deck released) is dropped without a stream or a
// message. Window thread only; the destructor waits for the workers still reading.
class SongOpener {
  public:
    explicit SongOpener(Streams& streams);
    ~SongOpener();
    SongOpener(const SongOpener&) = delete;
    SongOpener& operator=(const SongOpener&) = delete;

    // Reads `path` on a worker. Back on the window thread, once it is read: if `stillWanted()` answers
    // true, `done` gets the opened stream (handle 0 after the usual failure message); otherwise the
    // read file is let go.
    void open(const QString& path, std::function<bool()> stillWanted, std::function<void(Streams::Opened)> done);

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<bool> finished;
    };
    void reapFinished();

    Streams& streams_;
    QObject receiver_;  // lives on the window thread; results are queued to it
    std::mutex mutex_;
    std::vector<Worker> workers_;
};

}  // namespace vx
