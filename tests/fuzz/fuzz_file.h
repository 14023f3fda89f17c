#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "services/file_system.h"

namespace vx::fuzz {

// The readers under test open a path, so each input is written to one file of this process, in the
// folder $VX_FUZZ_SCRATCH (scripts/fuzz.sh makes one on a RAM disk and removes it) or else a new one.
inline const QByteArray& scratchFolder() {
    static const QByteArray folder = [] {
        if (const char* given = std::getenv("VX_FUZZ_SCRATCH"); given && *given) return QByteArray(given);
        const char* tmp = std::getenv("TMPDIR");
        QByteArray pattern = QByteArray(tmp && *tmp ? tmp : "/tmp") + "/velumix-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return folder;
}

// Replaces the file `name` in the scratch folder with `data` and answers its path.
inline QString writeInput(const char* name, const std::uint8_t* data, std::size_t size) {
    const QByteArray path = scratchFolder() + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += std::size_t(n);
    }
    ::close(fd);
    return QString::fromLocal8Bit(path);
}

// The real file system without the flushes to disk: a scratch file need not survive a power cut, and
// an fsync per input would cap the fuzzer at a few hundred runs a second.
class UnsyncedFileSystem : public PosixFileSystem {
  public:
    int sync(int) override { return 0; }
    int syncFolder(const QByteArray&) override { return 0; }
};

}  // namespace vx::fuzz
