// SPDX-License-Identifier: GPL-3.0-or-later
#include "SafeSave.h"

#include "FileLayer.h"
#include "TextFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stavio {

namespace {

constexpr size_t kChunkSize = 64 * 1024;
constexpr std::string_view kLetters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr size_t kTempSuffix = 6;

void Check(int error) {
    if (error != 0)
        throw FileError(error, {});
}

bool IsTempName(const std::string& entry, const std::string& prefix) {
    if (entry.size() != prefix.size() + kTempSuffix || entry.compare(0, prefix.size(), prefix))
        return false;
    for (size_t i = prefix.size(); i < entry.size(); ++i)
        if (kLetters.find(entry[i]) == std::string_view::npos)
            return false;
    return true;
}

// A save holds a lock on its temporary file while it runs: one that can be locked was left
// by a save that was killed.
void RemoveStaleTemps(const std::string& target) {
    const std::string folder = ParentFolder(target);
    const std::string prefix = "." + BaseName(target) + ".";
    std::vector<std::string> names;
    if (!ReadNames(folder, names))
        return;
    for (const std::string& name : names) {
        if (!IsTempName(name, prefix))
            continue;
        const std::string temp = folder + "/" + name;
        UniqueFd fd(::open(temp.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
        struct stat st;
        if (fd.Valid() && ::fstat(fd.Get(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0)
            ::unlink(temp.c_str());
    }
}

} // namespace

SafeSave::SafeSave(const std::string& path, unsigned newFileMode) : path_(path) {
    if (const int error = FollowLinks(path, target_); error != 0)
        throw FileError(error, path_);
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
    file_ = std::make_unique<BesideFile>(target_, PlacePolicy{.flush = Flush::FileAndFolder,
                                                              .keepOwnerAndMode = true,
                                                              .onlyOverFiles = true,
                                                              .newFileMode = newFileMode});
    if (const int error = file_->Error(); error != 0) {
        file_.reset();
        // A folder the user cannot write, holding a file the user can: nothing else can be
        // done than rewrite that file.
        if (exists && S_ISREG(st.st_mode) && (error == EACCES || error == EPERM)) {
            inPlace_ = true;
            return;
        }
        throw FileError(error, path_);
    }
    buffer_.reserve(kChunkSize + 1024);
}

SafeSave::~SafeSave() {
    Drop();
}

void SafeSave::Drop() {
    file_.reset();
    buffer_.clear();
}

void SafeSave::Write(std::string_view bytes) {
    if (committed_ || (!file_ && !inPlace_))
        throw FileError(EBADF, path_);
    buffer_ += bytes;
    if (!inPlace_ && buffer_.size() >= kChunkSize)
        Flush();
}

void SafeSave::Flush() {
    if (const int error = file_->Write(buffer_); error != 0) {
        Drop();
        throw FileError(error, path_);
    }
    buffer_.clear();
}

void SafeSave::Commit() {
    if (committed_ || (!file_ && !inPlace_))
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
    Check(file_->Write(buffer_));
    buffer_.clear();
    Check(file_->Place());
}

void SafeSave::CommitInPlace() {
    const UniqueFd fd(::open(target_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid())
        throw FileError(errno, {});
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0)
        throw FileError(errno, {});
    if (!S_ISREG(st.st_mode))
        throw FileError(FileError::NotRegularFile, {});

    std::string old(static_cast<size_t>(st.st_size), '\0');
    size_t got = 0;
    while (got < old.size()) {
        const ssize_t n =
            ::pread(fd.Get(), old.data() + got, old.size() - got, static_cast<off_t>(got));
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
        ::fallocate(fd.Get(), FALLOC_FL_KEEP_SIZE, 0, newSize) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS && errno != EINVAL)
        throw FileError(errno, {});
    try {
        Check(WriteAllAt(fd.Get(), buffer_, 0));
        if (::ftruncate(fd.Get(), newSize) != 0)
            throw FileError(errno, {});
        Check(SyncFile(fd.Get()));
    } catch (const FileError&) {
        (void)WriteAllAt(fd.Get(), old, 0);
        (void)::ftruncate(fd.Get(), static_cast<off_t>(old.size()));
        ::fsync(fd.Get());
        throw;
    }
}

} // namespace stavio
