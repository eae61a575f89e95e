// SPDX-License-Identifier: GPL-3.0-or-later
#include "TargetFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>

namespace stavio {

namespace {

constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;
constexpr long kFuseMagic = 0x65735546;

// openat2 is missing from older kernels; once it said so, it is not asked again.
bool openat2Missing = false;

int OpenWithoutLinks(int dirFd, const char* name, int flags, mode_t mode) {
    if (!openat2Missing) {
        open_how how{};
        how.flags = static_cast<std::uint64_t>(flags);
        how.mode = (flags & O_CREAT) != 0 ? mode : 0;
        how.resolve =
            RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_XDEV | RESOLVE_NO_MAGICLINKS;
        const long fd = ::syscall(SYS_openat2, dirFd, name, &how, sizeof how);
        if (fd >= 0 || errno != ENOSYS)
            return static_cast<int>(fd);
        openat2Missing = true;
    }
    UniqueFd fd(::openat(dirFd, name, flags | O_NOFOLLOW, mode));
    if (!fd.Valid())
        return -1;
    struct stat parent {};
    struct stat opened {};
    if (::fstat(dirFd, &parent) != 0 || ::fstat(fd.Get(), &opened) != 0 ||
        parent.st_dev != opened.st_dev) {
        fd.Reset();
        errno = EXDEV;
        return -1;
    }
    return fd.Release();
}

// The file system type of the mount with this device number, from the mount table: FUSE
// hides it behind its own magic ("fuse.fusefat").
std::string MountType(dev_t device) {
    std::ifstream table("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::string line;
    while (std::getline(table, line)) {
        // "36 35 0:45 / /mnt ... - fuse.fusefat /dev/loop0 rw"
        const size_t first = line.find(' ');
        const size_t second = line.find(' ', first + 1);
        const size_t third = line.find(' ', second + 1);
        if (third == std::string::npos || line.compare(second + 1, third - second - 1, wanted) != 0)
            continue;
        const size_t dash = line.find(" - ");
        if (dash == std::string::npos)
            return {};
        const size_t end = line.find(' ', dash + 3);
        return line.substr(dash + 3, end == std::string::npos ? end : end - dash - 3);
    }
    return {};
}

} // namespace

int OpenBeneath(int dirFd, const std::string& name, int flags, mode_t mode) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        errno = EINVAL;
        return -1;
    }
    return OpenWithoutLinks(dirFd, name.c_str(), flags | O_CLOEXEC, mode);
}

bool IsFatFileSystem(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0)
        return false;
    if (info.f_type == kMsdosMagic || info.f_type == kExfatMagic)
        return true;
    struct stat st {};
    if (info.f_type != kFuseMagic || ::fstat(fd, &st) != 0)
        return false;
    const std::string type = MountType(st.st_dev);
    return type.find("fat") != std::string::npos;
}

std::uint64_t AllocationUnitOf(int fd) {
    struct statvfs info {};
    if (::fstatvfs(fd, &info) != 0)
        return 4096;
    const std::uint64_t unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
    return unit != 0 ? unit : 4096;
}

std::optional<TargetFolder> TargetFolder::Open(const std::string& path, int& error) {
    TargetFolder target;
    target.path_ = path.empty() ? "/" : path;
    target.fd_ = UniqueFd(::open(target.path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st {};
    if (!target.fd_.Valid() || ::fstat(target.fd_.Get(), &st) != 0) {
        error = errno;
        return std::nullopt;
    }
    target.device_ = st.st_dev;
    target.inode_ = st.st_ino;
    target.fat_ = IsFatFileSystem(target.fd_.Get());
    target.unit_ = AllocationUnitOf(target.fd_.Get());
    return target;
}

bool TargetFolder::StillThere() const {
    struct stat st {};
    return ::stat(path_.c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
}

UniqueFd TargetFolder::OpenFolder(const std::string& name, bool create, int& error,
                                  bool* created) const {
    if (created != nullptr)
        *created = false;
    if (create) {
        if (::mkdirat(fd_.Get(), name.c_str(), 0777) == 0) {
            if (created != nullptr)
                *created = true;
        } else if (errno != EEXIST) {
            error = errno;
            return UniqueFd();
        }
    }
    UniqueFd folder(OpenBeneath(fd_.Get(), name, O_RDONLY | O_DIRECTORY));
    if (!folder.Valid())
        error = errno;
    return folder;
}

std::optional<std::uint64_t> TargetFolder::FreeBytes() const {
    struct statvfs info {};
    if (::fstatvfs(fd_.Get(), &info) != 0 || info.f_blocks == 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.f_bavail) *
           (info.f_frsize ? info.f_frsize : info.f_bsize);
}

} // namespace stavio
