#pragma once

#include <pthread.h>
#include <sched.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace vx::test {

// Watches the machine itself: one real-time thread on each processor wakes every millisecond and
// notes when a wake-up came more than 1.5 ms late, so that any stall of 2.5 ms or more is seen. A virtual machine whose processor is taken
// away for milliseconds stalls every program on it; this tells such stalls from a program's own
// lateness, since nothing else can make these threads late.
class MachineWatch {
  public:
    using Clock = std::chrono::steady_clock;

    MachineWatch() {
        const unsigned cpus = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned cpu = 0; cpu < cpus; ++cpu) {
            threads_.emplace_back([this] { run(); });
            cpu_set_t set;
            CPU_ZERO(&set);
            CPU_SET(cpu, &set);
            pthread_setaffinity_np(threads_.back().native_handle(), sizeof set, &set);
            sched_param p{};
            p.sched_priority = 20;  // above a JACK server's threads: where they stall, one of these has
            realTime_ = pthread_setschedparam(threads_.back().native_handle(), SCHED_FIFO, &p) == 0 &&
                        realTime_;
        }
    }
    ~MachineWatch() {
        quit_.store(true);
        for (std::thread& t : threads_) t.join();
    }
    bool realTime() const { return realTime_; }
    std::size_t stalls() const { return std::min(count_.load(), kMaxStalls); }
    // Whether a stall was seen between `from` and `to`.
    bool stalledBetween(Clock::time_point from, Clock::time_point to) const {
        for (std::size_t i = 0; i < stalls(); ++i) {
            const Clock::time_point t{Clock::duration{times_[i].load()}};
            if (t >= from && t <= to) return true;
        }
        return false;
    }

  private:
    static constexpr std::size_t kMaxStalls = 4096;
    static constexpr std::chrono::microseconds kTick{1000}, kLate{1500};

    void run() {
        auto next = Clock::now();
        while (!quit_.load()) {
            next += kTick;
            std::this_thread::sleep_until(next);
            const auto now = Clock::now();
            if (now - next > kLate) {
                const std::size_t i = count_.fetch_add(1);
                if (i < kMaxStalls) times_[i].store(next.time_since_epoch().count());
                next = now;
            }
        }
    }

    std::atomic<bool> quit_{false};
    bool realTime_ = true;
    std::atomic<std::size_t> count_{0};
    std::array<std::atomic<Clock::rep>, kMaxStalls> times_{};
    std::vector<std::thread> threads_;
};

}  // namespace vx::test
