// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ctrl+C as a request to stop: while an InterruptGuard lives, SIGINT, and the requests to end
// of the system (SIGTERM) and of a closed terminal (SIGHUP), set a flag that a long job
// watches instead of ending the process.

#include <atomic>
#include <csignal>
#include <iterator>

namespace stavio::cli {

// Exit code of a job stopped by Ctrl+C, as a shell reports a process ended by SIGINT.
constexpr int kInterruptedExit = 130;

class InterruptGuard {
public:
    InterruptGuard() {
        Flag() = false;
        struct sigaction action {};
        action.sa_handler = [](int) { Flag() = true; };
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < std::size(kSignals); ++i)
            ::sigaction(kSignals[i], &action, &previous_[i]);
    }
    ~InterruptGuard() {
        for (size_t i = 0; i < std::size(kSignals); ++i)
            ::sigaction(kSignals[i], &previous_[i], nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    const std::atomic<bool>& Interrupted() const { return Flag(); }

private:
    static_assert(std::atomic<bool>::is_always_lock_free);
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    static std::atomic<bool>& Flag() {
        static std::atomic<bool> interrupted{false};
        return interrupted;
    }
    struct sigaction previous_[std::size(kSignals)]{};
};

} // namespace stavio::cli
