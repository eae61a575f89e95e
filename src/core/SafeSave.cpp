// SPDX-License-Identifier: GPL-3.0-or-later
#include "SafeSave.h"

#include "TextFile.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stavio {

namespace {

constexpr size_t kChunkSize = 64 * 1024;
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr size_t kTempSuffix = 6;

std::string ParentFolder(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path stands for once its symbolic links are followed. A link to a missing file
// gives that file's path, which the save then creates.
std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length <= 0)
            return current;
        target.resize(static_cast<size_t>(length));
        current = target.front() == '/' ? target : ParentFolder(current) + "/" + target;
    }
    throw FileError(ELOOP, path);
}

void WriteAllAt(int fd, const char* data, size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw FileError(written < 0 ? errno : EIO, {});
        data += written;
        size -= static_cast<size_t>(written);
        offset += written;
    }
}

void WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw FileError(written < 0 ? errno : EIO, {});
        data += written;
        size -= static_cast<size_t>(written);
    }
}

// fsync on a file system that cannot sync is not an error of the file.
void SyncFile(int fd) {
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        throw FileError(errno, {});
}

void SyncFolderOf(const std::string& path) {
    const int fd = ::open(ParentFolder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: some file systems cannot sync a folder
        ::close(fd);
    }
}

bool IsTempName(const std::string& entry, const std::string& prefix) {
    if (entry.size() != prefix.size() + kTempSuffix || entry.compare(0, prefix.size(), prefix))
        return false;
    for (size_t i = prefix.size(); i < entry.size(); ++i)
        if (std::string_view(kLetters).find(entry[i]) == std::string_view::npos)
            return false;
    return true;
}

// A save holds a lock on its temporary file while it runs: one that can be locked was left
// by a save that was killed.
void RemoveStaleTemps(const std::string& target) {
    const std::string folder = ParentFolder(target);
    const std::string prefix = "." + BaseName(target) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTempName(entry->d_name, prefix))
            continue;
        const std::string temp = folder + "/" + entry->d_name;
        const int fd = ::open(temp.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(temp.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

// Creates a unique hidden file beside target, locked, and gives its descriptor.
int CreateTempBeside(const std::string& target, unsigned mode, std::string& tempPath) {
    const std::string stem = ParentFolder(target) + "/." + BaseName(target) + ".";
    std::random_device device;
    std::mt19937 random(device() ^ static_cast<unsigned>(::getpid()) ^
                        static_cast<unsigned>(std::time(nullptr)));
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = stem;
        for (size_t i = 0; i < kTempSuffix; ++i)
            temp += kLetters[pick(random)];
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            throw FileError(errno, {});
        }
        // Another save may have taken it for stale before the lock: then try another name.
        struct stat mine, named;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &mine) == 0 &&
            ::stat(temp.c_str(), &named) == 0 && mine.st_ino == named.st_ino &&
            mine.st_dev == named.st_dev) {
            tempPath = std::move(temp);
            return fd;
        }
        ::close(fd);
    }
    throw FileError(EEXIST, {});
}

} // namespace

SafeSave::SafeSave(const std::string& path, unsigned newFileMode)
    : path_(path), target_(FollowLinks(path)), newFileMode_(newFileMode) {
    struct stat st;
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    // A folder stays as it is and fails at the commit, as it always did.
    if (exists && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        throw FileError(FileError::NotRegularFile, path_);
    // A file the user may not write is refused, although the folder would let us replace it.
    if (exists && S_ISREG(st.st_mode) &&
        ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
        throw FileError(errno, path_);
    RemoveStaleTemps(target_);
    try {
        fd_ = CreateTempBeside(target_, newFileMode_, tempPath_);
    } catch (const FileError& error) {
        // A folder the user cannot write, holding a file the user can: nothing else can be
        // done than rewrite that file.
        if (exists && S_ISREG(st.st_mode) && (error.Errno() == EACCES || error.Errno() == EPERM)) {
            inPlace_ = true;
            return;
        }
        throw FileError(error.Errno(), path_);
    }
    buffer_.reserve(kChunkSize + 1024);
}

SafeSave::~SafeSave() {
    Drop();
}

void SafeSave::Drop() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        if (!committed_)
            ::unlink(tempPath_.c_str());
    }
    buffer_.clear();
}

void SafeSave::Write(std::string_view bytes) {
    if (committed_ || (fd_ < 0 && !inPlace_))
        throw FileError(EBADF, path_);
    buffer_ += bytes;
    if (!inPlace_ && buffer_.size() >= kChunkSize)
        Flush();
}

void SafeSave::Flush() {
    try {
        WriteAll(fd_, buffer_.data(), buffer_.size());
    } catch (const FileError& error) {
        Drop();
        throw FileError(error.Errno(), path_);
    }
    buffer_.clear();
}

void SafeSave::Commit() {
    if (committed_ || (fd_ < 0 && !inPlace_))
        throw FileError(EBADF, path_);
    try {
        if (inPlace_)
            CommitInPlace();
        else
            CommitBeside();
    } catch (const FileError& error) {
        Drop();
        throw FileError(error.Errno(), path_);
    }
    committed_ = true;
    Drop();
}

void SafeSave::CommitBeside() {
    WriteAll(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
    SyncFile(fd_);
    struct stat st;
    if (::stat(target_.c_str(), &st) == 0) {
        // Checked again: a pipe or device may have come since the save began.
        if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
            throw FileError(FileError::NotRegularFile, {});
        // Owner first: a change of owner clears the set-id bits the mode then restores.
        if (::fchown(fd_, st.st_uid, st.st_gid) != 0)
            (void)::fchown(fd_, static_cast<uid_t>(-1), st.st_gid);
        ::fchmod(fd_, st.st_mode & 07777);
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0)
        throw FileError(errno, {});
    committed_ = true;
    SyncFolderOf(target_);
}

void SafeSave::CommitInPlace() {
    const int fd = ::open(target_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw FileError(errno, {});
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0)
        throw FileError(errno, {});
    if (!S_ISREG(st.st_mode))
        throw FileError(FileError::NotRegularFile, {});

    std::string old(static_cast<size_t>(st.st_size), '\0');
    size_t got = 0;
    while (got < old.size()) {
        const ssize_t n = ::pread(fd, old.data() + got, old.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileError(errno, {});
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    old.resize(got);

    // The space is taken before a byte of the old file changes; where the file system
    // cannot reserve it, the old bytes written back still undo a write that fails.
    const off_t newSize = static_cast<off_t>(buffer_.size());
    if (newSize > static_cast<off_t>(old.size()) &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, newSize) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS && errno != EINVAL)
        throw FileError(errno, {});
    try {
        WriteAllAt(fd, buffer_.data(), buffer_.size(), 0);
        if (::ftruncate(fd, newSize) != 0)
            throw FileError(errno, {});
        SyncFile(fd);
    } catch (const FileError&) {
        try {
            WriteAllAt(fd, old.data(), old.size(), 0);
        } catch (const FileError&) {
        }
        (void)::ftruncate(fd, static_cast<off_t>(old.size()));
        ::fsync(fd);
        throw;
    }
}

} // namespace stavio
