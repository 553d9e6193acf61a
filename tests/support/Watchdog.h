// A time limit for a call that would block for ever if the code under test regressed (opening a
// FIFO without a writer, reading /dev/zero): the call runs on its own thread; when it is not done
// within the limit, the test fails and the process ends at once (std::_Exit), since the blocked
// thread would otherwise keep it alive until CTest's own, much longer, time-out.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>

namespace corvel::test {

template <class Call>
auto WithinSeconds(const std::string& what, Call&& call, std::chrono::seconds limit = std::chrono::seconds(5)) {
    auto done = std::async(std::launch::async, std::forward<Call>(call));
    if (done.wait_for(limit) != std::future_status::ready) {
        ADD_FAILURE() << what << ": not done within " << limit.count() << " s";
        std::fprintf(stderr, "%s: not done within %lld s, the test process stops here\n", what.c_str(),
                     static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::_Exit(1);
    }
    return done.get();
}

}  // namespace corvel::test
