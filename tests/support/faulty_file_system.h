#pragma once

#include <QString>
#include <cerrno>

#include "services/file_system.h"

namespace vx::test {

// The real file system with one chosen call failing: every create, open for writing, write, truncate, sync,
// folder sync and rename is a fault point, counted from 1. Reads, closes and removals never fail, so that
// what a writer does to clean up after the fault can be checked.
class FaultyFileSystem : public PosixFileSystem {
  public:
    int failAt = 0;      // the fault point that fails; 0: none
    int error = ENOSPC;  // what it fails with
    int points = 0;      // fault points passed so far
    QString failed;      // the name of the call that failed, empty while none has

    void reset(int failPoint) {
        failAt = failPoint;
        points = 0;
        failed.clear();
    }

    int create(const QByteArray& path, mode_t mode, int& fd) override;
    int openForWrite(const QByteArray& path, int& fd) override;
    int write(int fd, const char* data, qint64 size) override;
    int truncate(int fd, qint64 size) override;
    int sync(int fd) override;
    int syncFolder(const QByteArray& path) override;
    int rename(const QByteArray& from, const QByteArray& to) override;

  private:
    int fault(const char* name);
};

}  // namespace vx::test
