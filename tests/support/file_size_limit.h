#pragma once

#include <sys/resource.h>

#include <csignal>

namespace vx::test {

// While it lives, the process may not write files past `bytes` (a write beyond fails with EFBIG, as on a
// full disk, for root too); the limit and SIGXFSZ's handling are restored when it goes.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        applied_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool applied() const { return applied_; }

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool applied_ = false;
};

}  // namespace vx::test
