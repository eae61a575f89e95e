#include "MediaCopy.h"

#include "Script.h"
#include "TextFile.h"
#include "text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stavio {

namespace {

std::string WithoutTrailingSlash(const std::string& path) {
    if (!path.empty() && path.back() == '/')
        return path.substr(0, path.size() - 1);
    return path;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now and reports the error a close can bring (late write-back failures).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

// Moves size bytes inside the kernel: copy_file_range where the file systems allow it
// (a reflink or server-side copy on some), sendfile otherwise. Returns 0 or an errno value.
int KernelCopy(int from, int to, std::uint64_t size) {
    bool rangeCopy = true;
    std::uint64_t done = 0;
    while (done < size) {
        const size_t chunk = static_cast<size_t>(std::min<std::uint64_t>(size - done, 1u << 30));
        ssize_t n;
        if (rangeCopy) {
            n = ::copy_file_range(from, nullptr, to, nullptr, chunk, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                          errno == EOPNOTSUPP || errno == EPERM)) {
                rangeCopy = false; // not across these file systems: the offsets did not move
                continue;
            }
        } else {
            n = ::sendfile(to, from, nullptr, chunk);
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break; // the source shrank while we copied
        done += static_cast<std::uint64_t>(n);
    }
    return 0;
}

enum class CopyResult { Copied, AlreadyInPlace, Failed };

// The list name must name a file inside its numbered folder: an empty name (a source that
// was missing when the project was loaded) would stand for the folder itself.
bool NamesAFileInItsFolder(const MediaCopyItem& item) {
    if (item.destination.size() <= item.destinationFolder.size() + 1)
        return false;
    const std::string name = item.destination.substr(item.destinationFolder.size() + 1);
    return name != "." && name != ".." && name.find('/') == std::string::npos;
}

CopyResult CopyOneFile(const MediaCopyItem& item, std::uint64_t& bytes, int& error) {
    // O_NONBLOCK: a named pipe under a media name must not hold the render up forever.
    FileDescriptor source(::open(item.source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat sourceInfo {};
    if (!source.Valid() || ::fstat(source.Get(), &sourceInfo) != 0) {
        error = errno;
        return CopyResult::Failed;
    }
    if (!S_ISREG(sourceInfo.st_mode)) { // a folder, a pipe, a device: nothing to copy
        error = S_ISDIR(sourceInfo.st_mode) ? EISDIR : EACCES;
        return CopyResult::Failed;
    }
    if (!NamesAFileInItsFolder(item)) {
        error = ENOENT; // the source was missing when the entry was made: it has no name
        return CopyResult::Failed;
    }
    // Opening the destination for writing would empty it: when it is the source itself
    // (an earlier render used as the source), leave it as it is.
    struct stat destinationInfo {};
    if (::stat(item.destination.c_str(), &destinationInfo) == 0 &&
        destinationInfo.st_dev == sourceInfo.st_dev && destinationInfo.st_ino == sourceInfo.st_ino)
        return CopyResult::AlreadyInPlace;

    FileDescriptor destination(
        ::open(item.destination.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!destination.Valid()) {
        // The numbered folder is missing: say so rather than blame the file.
        error = errno == ENOENT ? ENOTDIR : errno;
        return CopyResult::Failed;
    }
    error =
        KernelCopy(source.Get(), destination.Get(), static_cast<std::uint64_t>(sourceInfo.st_size));
    // Start writing this file out now, while the next ones are copied; the flush at the end
    // then has little left to wait for.
    if (error == 0)
        ::sync_file_range(destination.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    if (error == 0 && destination.Close() != 0)
        error = errno;
    if (error != 0) {
        ::unlink(item.destination.c_str()); // no truncated media on the player
        return CopyResult::Failed;
    }
    bytes = static_cast<std::uint64_t>(sourceInfo.st_size);
    return CopyResult::Copied;
}

// Puts everything written to the target's file system on the disk; 0 or an errno value.
int FlushTarget(const std::string& folder) {
    FileDescriptor target(
        ::open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!target.Valid()) {
        ::sync();
        return 0;
    }
    return ::syncfs(target.Get()) == 0 ? 0 : errno;
}

} // namespace

std::vector<MediaCopyItem> MediaCopyPlan(const TProjectClass& project) {
    std::vector<MediaCopyItem> plan;
    plan.reserve(project.CopyLinks.size());
    const std::string target = WithoutTrailingSlash(project.TargetPath);
    int number = 0;
    std::string previous;
    std::string folder;
    for (const LinkPtr& link : project.CopyLinks) {
        std::string path = EntryFolderPath(link->Node);
        if (path != previous) {
            ++number;
            previous = std::move(path);
            char digits[16];
            std::snprintf(digits, sizeof digits, "%.8d", number);
            folder = target + "/" + digits;
        }
        plan.push_back({link->SourcePath, folder, folder + "/" + link->Node->Text()});
    }
    return plan;
}

CopyReport CopyMedia(ProgramState& state, ProgressDisplay& progress) {
    const TProjectClass& project = *state.CurrentProject;
    progress.SetCaption(TextUtf8(ProgressTexts, state.CurrentLanguage, 4));
    progress.SetPosition(0);
    progress.ShowLabel(false);
    progress.ShowBar(true);

    CopyReport report;
    const std::vector<MediaCopyItem> plan = MediaCopyPlan(project);
    // One step per file and a last one once the files are on the disk.
    progress.SetMaximum(plan.empty() ? 0 : static_cast<int>(plan.size()) + 1);
    progress.SetPosition(0);
    if (plan.empty())
        return report;

    const std::string* createdFolder = nullptr;
    for (const MediaCopyItem& item : plan) {
        if (createdFolder == nullptr || *createdFolder != item.destinationFolder) {
            ::mkdir(item.destinationFolder.c_str(), 0777); // may exist; the copies decide
            createdFolder = &item.destinationFolder;
        }
        std::uint64_t bytes = 0;
        int error = 0;
        switch (CopyOneFile(item, bytes, error)) {
        case CopyResult::Copied:
            ++report.filesCopied;
            report.bytesCopied += bytes;
            break;
        case CopyResult::AlreadyInPlace:
            ++report.filesCopied; // the file is on the target; nothing was written
            break;
        case CopyResult::Failed:
            report.failures.push_back({item.source, item.destination, FileError::TextFor(error)});
            break;
        }
        progress.StepIt();
    }

    // The user unplugs the player as soon as the bar is full: the data must be on it by then.
    const std::string target = WithoutTrailingSlash(project.TargetPath);
    if (const int error = FlushTarget(target); error != 0)
        report.failures.push_back({std::string(), target, FileError::TextFor(error)});
    progress.StepIt();
    return report;
}

} // namespace stavio
