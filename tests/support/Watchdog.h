// A time limit for test code that would block for ever if the code under test regressed (opening a
// FIFO without a writer, reading /dev/zero, waiting for a socket): a watching thread ends the
// process at once when the limit passes, since the blocked thread would otherwise keep it alive
// until CTest's own, much longer, time-out.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace corvel::test {

// Ends the process with a message when it is still alive `limit` after its construction.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit, std::string what = "the test")
        : what_(std::move(what)), thread_([this, limit] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (done_.wait_for(lock, limit, [this] { return finished_; })) return;
              std::fprintf(stderr, "watchdog: %s is not done within %lld s, the test process stops here\n",
                           what_.c_str(), static_cast<long long>(limit.count()));
              std::fflush(stderr);
              std::_Exit(1);
          }) {}
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::string what_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;  // last: it starts once the rest is ready
};

// The result of `call`, made under a Watchdog of `limit`.
template <class Call>
auto WithinSeconds(const std::string& what, Call&& call, std::chrono::seconds limit = std::chrono::seconds(5)) {
    const Watchdog watchdog(limit, what);
    return std::forward<Call>(call)();
}

}  // namespace corvel::test
