// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ctrl+C as a request to stop: while an InterruptGuard lives, SIGINT sets a flag that a long
// job watches instead of ending the process.

#include <atomic>
#include <csignal>

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
        ::sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptGuard() { ::sigaction(SIGINT, &previous_, nullptr); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    const std::atomic<bool>& Interrupted() const { return Flag(); }

private:
    static std::atomic<bool>& Flag() {
        static std::atomic<bool> interrupted{false};
        return interrupted;
    }
    struct sigaction previous_ {};
};

} // namespace stavio::cli
