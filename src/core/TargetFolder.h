// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The render's target, opened once. Every folder and file below it is reached relative to
// that descriptor, one name at a time, never through a link and never into another file
// system, so nothing is written outside the player; and the path is checked against it, so
// a player that was unplugged or unmounted is noticed at once.

#include "UniqueFd.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

namespace stavio {

// openat for one name directly below dirFd that follows no link and does not cross into
// another file system (openat2 where the kernel has it). -1 with errno ELOOP for a link,
// EXDEV for a mount point.
int OpenBeneath(int dirFd, const std::string& name, int flags, mode_t mode = 0);

class TargetFolder {
public:
    // Opens the existing folder path (links in the path itself are followed: the user chose
    // it). Returns nothing, with error set, when it cannot.
    static std::optional<TargetFolder> Open(const std::string& path, int& error);

    int Fd() const { return fd_.Get(); }
    const std::string& Path() const { return path_; }
    dev_t Device() const { return device_; }

    // The path still leads to the folder opened, on the same file system.
    bool StillThere() const;

    // The folder name (one component) below the target, made first when create is set.
    // Invalid with error set when it is a link, a mount point or cannot be made.
    UniqueFd OpenFolder(const std::string& name, bool create, int& error,
                        bool* created = nullptr) const;

    // A FAT volume keeps times to two seconds and ignores case.
    bool IsFat() const { return fat_; }
    // Files take whole allocation units (clusters on FAT).
    std::uint64_t AllocationUnit() const { return unit_; }
    // Nothing when the file system reports no size.
    std::optional<std::uint64_t> FreeBytes() const;

private:
    TargetFolder() = default;
    UniqueFd fd_;
    std::string path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    bool fat_ = false;
    std::uint64_t unit_ = 4096;
};

// The allocation unit and FAT-ness of the file system holding fd.
bool IsFatFileSystem(int fd);
std::uint64_t AllocationUnitOf(int fd);

// size rounded up to whole units.
inline std::uint64_t RoundUp(std::uint64_t size, std::uint64_t unit) {
    return unit == 0 ? size : (size + unit - 1) / unit * unit;
}

} // namespace stavio
