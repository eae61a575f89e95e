// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file descriptor that closes itself.

#include <unistd.h>
#include <utility>

namespace stavio {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    void Reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    // Closes now and returns what close said (0 or -1 with errno): a late write-back error
    // shows here.
    int Close() { return ::close(std::exchange(fd_, -1)); }
    // Gives the descriptor up to whoever closes it now.
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};

} // namespace stavio
