// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileLayer.h"

#include "TargetFolder.h"
#include "TextFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <unistd.h>

namespace stavio {

namespace {

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr std::string_view kRandomMark = "XXXXXX";

int OpenTemporary(int folder, const std::string& name, bool beneath, unsigned mode) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL;
    return beneath ? OpenBeneath(folder, name, flags, mode)
                   : ::openat(folder, name.c_str(), flags | O_CLOEXEC, mode);
}

bool ReadEntries(DIR* dir, std::vector<std::string>& names) {
    if (dir == nullptr)
        return false;
    while (const dirent* entry = ::readdir(dir)) {
        const char* n = entry->d_name;
        if (std::strcmp(n, ".") != 0 && std::strcmp(n, "..") != 0)
            names.emplace_back(n);
    }
    ::closedir(dir);
    return true;
}

// The rename step of a placement; the temporary file stays where it fails.
int RenameInto(int folder, const std::string& temporary, const std::string& name,
               const PlacePolicy& policy) {
    if (policy.beforeRename)
        policy.beforeRename();
    const int result = policy.replace == Replace::Never
                           ? RenameNoReplaceAt(folder, temporary.c_str(), folder, name.c_str())
                           : ::renameat(folder, temporary.c_str(), folder, name.c_str());
    return result == 0 ? 0 : errno;
}

} // namespace

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

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

int WriteAllAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<size_t>(n));
        offset += n;
    }
    return 0;
}

int SyncFile(int fd) {
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        return errno;
    return 0;
}

int FollowLinks(const std::string& path, std::string& target) {
    target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
        if (length <= 0)
            return 0;
        link.resize(static_cast<size_t>(length));
        target = link.front() == '/' ? link : ParentFolder(target) + "/" + link;
    }
    return ELOOP;
}

bool ReadNames(const std::string& folder, std::vector<std::string>& names) {
    return ReadEntries(::opendir(folder.c_str()), names);
}

bool ReadNamesAt(int folderFd, std::vector<std::string>& names) {
    // A descriptor of its own: the listing moves and closes it.
    UniqueFd listing(::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing.Valid())
        return false;
    DIR* dir = ::fdopendir(listing.Get());
    if (dir != nullptr)
        (void)listing.Release();
    return ReadEntries(dir, names);
}

int RenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
#endif
    // A file system without the flag: a hard link fails on an existing name. Folders and
    // file systems without hard links fall back to a check just before the rename.
    if (::linkat(fromFolder, from, toFolder, to, 0) == 0)
        return ::unlinkat(fromFolder, from, 0);
    if (errno == EEXIST)
        return -1;
    struct stat st {};
    if (::fstatat(toFolder, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::renameat(fromFolder, from, toFolder, to);
}

void RemoveLeftover(int folderFd, const char* name) {
    struct stat info {};
    if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
        ::unlinkat(folderFd, name, 0);
}

int PlaceFinished(int folderFd, const std::string& temporary, const std::string& name,
                  const PlacePolicy& policy) {
    const int error = RenameInto(folderFd, temporary, name, policy);
    if (error != 0) {
        ::unlinkat(folderFd, temporary.c_str(), 0);
        return error;
    }
    if (policy.flush == Flush::FileAndFolder)
        ::fsync(folderFd); // best effort: some file systems cannot sync a folder
    return 0;
}

BesideFile::BesideFile(const std::string& path, PlacePolicy policy) : policy_(std::move(policy)) {
    std::string target = path;
    if (policy_.followLastLink && (error_ = FollowLinks(path, target)) != 0)
        return;
    const std::string folder = ParentFolder(target);
    ownFolder_ = UniqueFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder that may be written but not read still takes files by name.
    if (!ownFolder_.Valid() && errno == EACCES)
        ownFolder_ = UniqueFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!ownFolder_.Valid()) {
        error_ = errno;
        return;
    }
    folder_ = ownFolder_.Get();
    name_ = BaseName(target);
    Create(false);
}

BesideFile::BesideFile(int folderFd, const std::string& name, PlacePolicy policy)
    : policy_(std::move(policy)), folder_(folderFd), name_(name) {
    Create(true);
}

BesideFile::~BesideFile() {
    if (!placed_)
        Discard();
}

void BesideFile::Create(bool beneath) {
    temporary_ = policy_.temporary.empty() ? "." + name_ + "." + std::string(kRandomMark)
                                           : policy_.temporary;
    const size_t mark = temporary_.find(kRandomMark);
    if (mark == std::string::npos) {
        file_ = UniqueFd(OpenTemporary(folder_, temporary_, beneath, policy_.newFileMode));
        if (!file_.Valid() && errno == EEXIST) {
            RemoveLeftover(folder_, temporary_.c_str());
            file_ = UniqueFd(OpenTemporary(folder_, temporary_, beneath, policy_.newFileMode));
        }
        if (!file_.Valid())
            error_ = errno;
        return;
    }
    static thread_local std::mt19937 random(std::random_device{}() ^
                                            static_cast<unsigned>(::getpid()) ^
                                            static_cast<unsigned>(std::time(nullptr)));
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = 0; i < kRandomMark.size(); ++i)
            temporary_[mark + i] = kLetters[pick(random)];
        file_ = UniqueFd(OpenTemporary(folder_, temporary_, beneath, policy_.newFileMode));
        if (!file_.Valid()) {
            if (errno == EEXIST)
                continue;
            error_ = errno;
            return;
        }
        // A temporary file that can be locked is one left by a write that was killed; another
        // writer may take ours for that before the lock: then another name.
        struct stat mine {
        }, named{};
        if (::flock(file_.Get(), LOCK_EX | LOCK_NB) == 0 && ::fstat(file_.Get(), &mine) == 0 &&
            ::fstatat(folder_, temporary_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            mine.st_ino == named.st_ino && mine.st_dev == named.st_dev) {
            locked_ = true;
            return;
        }
        file_.Reset();
    }
    error_ = EEXIST;
}

int BesideFile::Fail(int error) {
    error_ = error;
    Discard();
    return error;
}

void BesideFile::Discard() {
    const bool made = file_.Valid() || finished_;
    file_.Reset();
    if (made && !placed_)
        ::unlinkat(folder_, temporary_.c_str(), 0);
    finished_ = false;
}

int BesideFile::Write(std::string_view bytes) {
    if (error_ != 0)
        return error_;
    if (!file_.Valid() || finished_)
        return Fail(EBADF);
    const int error = WriteAll(file_.Get(), bytes);
    return error != 0 ? Fail(error) : 0;
}

int BesideFile::WriteAt(std::string_view bytes, off_t offset) {
    if (error_ != 0)
        return error_;
    if (!file_.Valid() || finished_)
        return Fail(EBADF);
    const int error = WriteAllAt(file_.Get(), bytes, offset);
    return error != 0 ? Fail(error) : 0;
}

int BesideFile::Finish() {
    if (error_ != 0 || finished_)
        return error_;
    if (!file_.Valid())
        return Fail(EBADF);
    if (policy_.stampFrom != nullptr) {
        const struct timespec times[2] = {policy_.stampFrom->st_atim, policy_.stampFrom->st_mtim};
        ::futimens(file_.Get(), times);
    }
    int error = 0;
    if (policy_.flush == Flush::Start)
        ::sync_file_range(file_.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    else if (policy_.flush != Flush::No)
        error = SyncFile(file_.Get());
    if (error != 0)
        return Fail(error);
    finished_ = true;
    return 0;
}

int BesideFile::Leave() {
    if (Finish() != 0)
        return error_;
    if (file_.Close() != 0)
        return Fail(errno);
    placed_ = true; // the temporary file is the caller's now
    return 0;
}

int BesideFile::Place() {
    if (Finish() != 0)
        return error_;
    struct stat existing {};
    if ((policy_.onlyOverFiles || policy_.keepOwnerAndMode) &&
        ::fstatat(folder_, name_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        // Checked again: a pipe or device may have come since the write began.
        if (policy_.onlyOverFiles && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode) &&
            !S_ISLNK(existing.st_mode))
            return Fail(FileError::NotRegularFile);
        if (policy_.keepOwnerAndMode && S_ISREG(existing.st_mode)) {
            // Owner first: a change of owner clears the set-id bits the mode then restores.
            if (::fchown(file_.Get(), existing.st_uid, existing.st_gid) != 0)
                (void)::fchown(file_.Get(), static_cast<uid_t>(-1), existing.st_gid);
            ::fchmod(file_.Get(), existing.st_mode & 07777);
        }
    }
    // A locked temporary file stays locked until it has its name, so that no other writer
    // takes it for a leftover; an unlocked one is closed first, as a late write-back error
    // shows there.
    if (!locked_ && file_.Close() != 0)
        return Fail(errno);
    if (const int error = RenameInto(folder_, temporary_, name_, policy_); error != 0)
        return Fail(error);
    placed_ = true;
    file_.Reset();
    if (policy_.flush == Flush::FileAndFolder)
        ::fsync(folder_); // best effort: some file systems cannot sync a folder
    return 0;
}

} // namespace stavio
