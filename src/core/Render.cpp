#include "Render.h"

#include "Script.h"
#include "TextFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <unordered_set>

namespace stavio {

namespace {

std::string WithoutTrailingSlash(const std::string& path) {
    if (!path.empty() && path.back() == '/')
        return path.substr(0, path.size() - 1);
    return path;
}

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
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

// FAT keeps modification times to 2 s; a copy made by an earlier render may differ by that.
constexpr std::int64_t kSameTimeNs = 2'000'000'000;

std::int64_t TimeNs(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// A destination the copy would leave as it is: a regular file (not a link) of the source's
// size whose modification time is the source's, to FAT's resolution.
bool IsUnchanged(const struct stat& source, const struct stat& destination) {
    if (!S_ISREG(destination.st_mode) || destination.st_size != source.st_size)
        return false;
    const std::int64_t difference = TimeNs(destination.st_mtim) - TimeNs(source.st_mtim);
    return difference <= kSameTimeNs && difference >= -kSameTimeNs;
}

// The list name must name a file inside its numbered folder: an empty name (a source that
// was missing when the project was loaded) would stand for the folder itself.
bool NamesAFile(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool EndsInMp3(const std::string& name) {
    if (name.size() < 4)
        return false;
    std::string suffix = name.substr(name.size() - 4);
    for (char& c : suffix)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return suffix == ".mp3";
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
               return lower(x) == lower(y);
           });
}

// Removes the regular *.mp3 files of one numbered folder that keep does not name, without
// following links; an emptied surplus folder goes too. Returns the number of files removed.
int CleanNumberedFolder(int targetFd, const std::string& folderName,
                        const std::unordered_set<std::string>* keep, bool removeWhenEmpty) {
    const int fd =
        ::openat(targetFd, folderName.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return 0; // missing, not a folder, or a link: none of ours
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return 0;
    }
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!EndsInMp3(name) || (keep != nullptr && keep->count(name) != 0))
            continue;
        struct stat info {};
        if (::fstatat(fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
            continue;
        // On a FAT player "song.mp3" and "SONG.MP3" are one file, which this render keeps.
        bool kept = false;
        if (keep != nullptr) {
            for (const std::string& keptName : *keep) {
                struct stat keptInfo {};
                if (EqualIgnoringCase(keptName, name) &&
                    ::fstatat(fd, keptName.c_str(), &keptInfo, AT_SYMLINK_NOFOLLOW) == 0 &&
                    keptInfo.st_ino == info.st_ino && keptInfo.st_dev == info.st_dev) {
                    kept = true;
                    break;
                }
            }
        }
        if (!kept)
            stale.push_back(name);
    }
    int removed = 0;
    for (const std::string& name : stale)
        if (::unlinkat(fd, name.c_str(), 0) == 0)
            ++removed;
    ::closedir(dir); // closes fd
    if (removeWhenEmpty)
        ::unlinkat(targetFd, folderName.c_str(), AT_REMOVEDIR); // fails while anything is left
    return removed;
}

bool IsNumberedFolderName(const std::string& name) {
    return name.size() == 8 &&
           std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Moves size bytes inside the kernel in blocks: copy_file_range where the file systems allow
// it, sendfile otherwise. After each block, moved(bytes) tells whether to go on. Returns 0,
// ECANCELED when stopped, or an errno value.
template <typename Moved> int KernelCopy(int from, int to, std::uint64_t size, Moved&& moved) {
    constexpr std::uint64_t kBlock = 8u << 20;
    bool rangeCopy = true;
    std::uint64_t done = 0;
    while (done < size) {
        const size_t chunk = static_cast<size_t>(std::min<std::uint64_t>(size - done, kBlock));
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
        if (!moved(static_cast<std::uint64_t>(n)))
            return ECANCELED;
    }
    return 0;
}

enum class CopyResult { Copied, Unchanged, Failed, Cancelled };

template <typename Moved>
CopyResult CopyOneFile(const RenderItem& item, std::uint64_t& bytes, int& error, Moved&& moved) {
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
    if (!NamesAFile(item.name)) {
        error = ENOENT; // the source was missing when the entry was made: it has no name
        return CopyResult::Failed;
    }
    struct stat destinationInfo {};
    if (::lstat(item.destination.c_str(), &destinationInfo) == 0) {
        // The source itself (an earlier render used as the source), or a copy already made.
        if ((destinationInfo.st_dev == sourceInfo.st_dev &&
             destinationInfo.st_ino == sourceInfo.st_ino) ||
            IsUnchanged(sourceInfo, destinationInfo))
            return CopyResult::Unchanged;
        // A link in the player's folder is replaced, never written through.
        if (S_ISLNK(destinationInfo.st_mode))
            ::unlink(item.destination.c_str());
    }

    FileDescriptor destination(::open(item.destination.c_str(),
                                      O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!destination.Valid()) {
        // The numbered folder is missing: say so rather than blame the file.
        error = errno == ENOENT ? ENOTDIR : errno;
        return CopyResult::Failed;
    }
    error = KernelCopy(source.Get(), destination.Get(),
                       static_cast<std::uint64_t>(sourceInfo.st_size), moved);
    if (error == 0) {
        // The player's copy carries the song's own time, as the platform's file copy does;
        // the next render recognises it by that.
        const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
        ::futimens(destination.Get(), times);
        // Start writing this file out now, while the next ones are copied; the flush at the
        // end then has little left to wait for.
        ::sync_file_range(destination.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
        if (destination.Close() != 0)
            error = errno;
    }
    if (error != 0) {
        ::unlink(item.destination.c_str()); // no truncated media on the player
        return error == ECANCELED ? CopyResult::Cancelled : CopyResult::Failed;
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

// Bar steps of the copy job; the last one is the flush.
constexpr int kBarSteps = 1000;
// Each file weighs this many bytes on the bar besides its size, so small files move it too.
constexpr std::uint64_t kFileWeight = 64 * 1024;

std::string WithOneDecimal(double value, Language language) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string result = text;
    if (language != Language::English)
        std::replace(result.begin(), result.end(), '.', ',');
    return result;
}

std::string Duration(double seconds) {
    const long total = static_cast<long>(seconds + 0.5);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

} // namespace

std::string NumberedFolderName(int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%.8d", number);
    return digits;
}

RenderPlan MakeRenderPlan(const TProjectClass& project) {
    RenderPlan plan;
    plan.target = WithoutTrailingSlash(project.TargetPath);
    plan.items.reserve(project.CopyLinks.size());
    // Only consecutive entries with the same player folder share a number.
    for (const LinkPtr& link : project.CopyLinks) {
        std::string folder = EntryFolderPath(link->Node);
        if (plan.runs.empty() || plan.runs.back().playerFolder != folder) {
            const int number = static_cast<int>(plan.runs.size()) + 1;
            plan.runs.push_back(
                {number, std::move(folder), plan.target + "/" + NumberedFolderName(number)});
        }
        const RenderRun& run = plan.runs.back();
        const std::string& name = link->Node->Text();
        plan.items.push_back(
            {link->SourcePath, name, plan.runs.size() - 1, run.folder + "/" + name});
    }
    return plan;
}

std::optional<std::uint64_t> FileSystemFreeSpace(const std::string& folder) {
    // A target not made yet lies on the file system of its nearest existing parent.
    std::string path = folder.empty() ? "/" : folder;
    for (;;) {
        struct statvfs info {};
        if (::statvfs(path.c_str(), &info) == 0)
            return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
        const size_t slash = path.find_last_of('/');
        if (path == "/" || path == ".")
            return std::nullopt;
        path = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    }
}

int RemoveStaleSongs(const RenderPlan& plan) {
    const std::string target = plan.target.empty() ? "/" : plan.target;
    FileDescriptor targetFd(::open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!targetFd.Valid())
        return 0;
    std::vector<std::unordered_set<std::string>> keep(plan.runs.size());
    for (const RenderItem& item : plan.items)
        keep[item.run].insert(item.name);
    int removed = 0;
    for (size_t i = 0; i < plan.runs.size(); ++i)
        removed += CleanNumberedFolder(targetFd.Get(), NumberedFolderName(plan.runs[i].number),
                                       &keep[i], false);

    // Numbered folders an earlier, longer render left behind.
    std::vector<std::string> surplus;
    if (DIR* dir = ::opendir(target.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (IsNumberedFolderName(name) &&
                std::stoll(name) > static_cast<long long>(plan.runs.size()))
                surplus.push_back(name);
        }
        ::closedir(dir);
    }
    for (const std::string& name : surplus)
        removed += CleanNumberedFolder(targetFd.Get(), name, nullptr, true);
    return removed;
}

RenderPipeline::RenderPipeline(ProgramState& state, FreeSpaceProbe freeSpace)
    : state_(state), freeSpace_(std::move(freeSpace)),
      plan_(MakeRenderPlan(*state.CurrentProject)) {
    summary_.filesPlanned = static_cast<int>(plan_.items.size());
    startNs_ = NowNs();
}

RenderSurvey RenderPipeline::Survey() const {
    RenderSurvey survey;
    std::int64_t needed = 0;
    for (const RenderItem& item : plan_.items) {
        struct stat source {};
        if (::stat(item.source.c_str(), &source) != 0 || !S_ISREG(source.st_mode))
            continue; // it will fail; it adds nothing
        struct stat destination {};
        const bool exists = ::lstat(item.destination.c_str(), &destination) == 0;
        if (exists &&
            ((destination.st_dev == source.st_dev && destination.st_ino == source.st_ino) ||
             IsUnchanged(source, destination))) {
            ++survey.filesUnchanged;
            continue;
        }
        ++survey.filesToCopy;
        survey.bytesToCopy += static_cast<std::uint64_t>(source.st_size);
        needed += source.st_size;
        if (exists && S_ISREG(destination.st_mode))
            needed -= destination.st_size;
    }
    survey.bytesNeeded = needed > 0 ? static_cast<std::uint64_t>(needed) : 0;
    if (freeSpace_)
        survey.bytesFree = freeSpace_(plan_.target);
    return survey;
}

int RenderPipeline::WriteScript(ProgressDisplay& progress) {
    startNs_ = NowNs();
    try {
        return stavio::WriteScript(state_, plan_, ScriptFileName(plan_.target), progress);
    } catch (...) {
        summary_.scriptFailed = true;
        throw;
    }
}

void RenderPipeline::RemoveStaleSongs() {
    summary_.staleRemoved += stavio::RemoveStaleSongs(plan_);
}

void RenderPipeline::CopyMedia(ProgressDisplay& progress, const std::atomic<bool>& cancel) {
    const Language language = state_.CurrentLanguage;
    progress.SetCaption(TextUtf8(ProgressTexts, language, 4));
    progress.SetPosition(0);
    progress.ShowLabel(false);
    progress.ShowBar(true);
    progress.SetMaximum(plan_.items.empty() ? 0 : kBarSteps);
    progress.SetPosition(0);

    // The numbered folders hold exactly what the script describes: old songs go first.
    RemoveStaleSongs();
    if (plan_.items.empty()) {
        summary_.seconds = static_cast<double>(NowNs() - startNs_) / 1e9;
        return;
    }

    // The bar's whole: every file's weight and the bytes of those that will be copied.
    std::uint64_t totalBytes = 0;
    for (const RenderItem& item : plan_.items) {
        struct stat source {};
        if (::stat(item.source.c_str(), &source) == 0 && S_ISREG(source.st_mode))
            totalBytes += static_cast<std::uint64_t>(source.st_size);
    }
    const std::uint64_t whole = totalBytes + kFileWeight * plan_.items.size();
    std::uint64_t moved = 0; // in bar units: bytes plus file weights
    std::uint64_t bytesDone = 0;
    const std::int64_t copyStart = NowNs();
    std::int64_t lastDetail = 0;
    auto show = [&](bool force) {
        const int position = static_cast<int>(static_cast<double>(moved) /
                                              static_cast<double>(whole) * (kBarSteps - 1));
        if (position != progress.Position())
            progress.SetPosition(std::min(position, kBarSteps - 1));
        const std::int64_t now = NowNs();
        if (!force && now - lastDetail < 200'000'000)
            return;
        lastDetail = now;
        const double seconds = static_cast<double>(now - copyStart) / 1e9;
        const double rate = seconds > 0 ? static_cast<double>(bytesDone) / seconds : 0;
        std::string line = FormatSize(bytesDone, language) + " / " +
                           FormatSize(totalBytes, language) + " \xC2\xB7 " +
                           FormatSize(static_cast<std::uint64_t>(rate), language) + "/s";
        if (rate > 0 && totalBytes > bytesDone)
            line += " \xC2\xB7 " + Duration(static_cast<double>(totalBytes - bytesDone) / rate);
        progress.SetDetailText(line);
    };
    show(true);

    std::size_t createdRun = plan_.items.front().run + 1; // none yet
    for (const RenderItem& item : plan_.items) {
        if (cancel.load()) {
            summary_.cancelled = true;
            break;
        }
        if (item.run != createdRun) {
            ::mkdir(plan_.runs[item.run].folder.c_str(), 0777); // may exist; the copies decide
            createdRun = item.run;
        }
        std::uint64_t bytes = 0;
        int error = 0;
        const CopyResult result = CopyOneFile(item, bytes, error, [&](std::uint64_t n) {
            moved += n;
            bytesDone += n;
            show(false);
            return !cancel.load();
        });
        switch (result) {
        case CopyResult::Copied:
            ++summary_.filesCopied;
            summary_.bytesCopied += bytes;
            break;
        case CopyResult::Unchanged:
            ++summary_.filesUnchanged;
            break;
        case CopyResult::Failed:
            summary_.failures.push_back({item.source, item.destination, FileError::TextFor(error)});
            break;
        case CopyResult::Cancelled:
            summary_.cancelled = true;
            break;
        }
        if (summary_.cancelled)
            break;
        moved += kFileWeight;
        show(false);
    }

    // A half-copied target must not be acted on: the player reads no script then.
    if (summary_.cancelled)
        ::unlink(ScriptFileName(plan_.target).c_str());

    // The user unplugs the player as soon as the bar is full: the data must be on it by then.
    if (const int error = FlushTarget(plan_.target); error != 0)
        summary_.failures.push_back({std::string(), plan_.target, FileError::TextFor(error)});
    show(true);
    if (!summary_.cancelled)
        progress.SetPosition(kBarSteps);
    summary_.seconds = static_cast<double>(NowNs() - startNs_) / 1e9;
}

std::string FormatSize(std::uint64_t bytes, Language language) {
    constexpr double kMB = 1024.0 * 1024.0;
    constexpr double kGB = kMB * 1024.0;
    const double value = static_cast<double>(bytes);
    // Below 1000 MB in MB, above in GB: the figure never needs four digits before the point.
    if (value < 1000 * kMB)
        return WithOneDecimal(value / kMB, language) + " MB";
    return WithOneDecimal(value / kGB, language) + " GB";
}

std::string FillText(const TextTable& table, Language language, int k,
                     const std::vector<std::string>& args) {
    const std::string text = TextUtf8(table, language, k);
    std::string result;
    result.reserve(text.size() + 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const size_t index = static_cast<size_t>(text[i + 1] - '1');
            if (index < args.size()) {
                result += args[index];
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

std::string SummaryText(const RenderSummary& summary, Language language) {
    if (summary.cancelled)
        return FillText(RenderStatusTexts, language, 2,
                        {std::to_string(summary.filesCopied + summary.filesUnchanged),
                         std::to_string(summary.filesPlanned)});
    return FillText(RenderStatusTexts, language, summary.scriptFailed ? 4 : 1,
                    {std::to_string(summary.filesCopied), FormatSize(summary.bytesCopied, language),
                     std::to_string(summary.filesUnchanged), std::to_string(summary.staleRemoved),
                     WithOneDecimal(summary.seconds, language)});
}

} // namespace stavio
