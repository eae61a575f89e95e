// SPDX-License-Identifier: GPL-3.0-or-later
#include "Render.h"

#include "AudioFormats.h"
#include "ConversionBatch.h"
#include "PathDrop.h"
#include "RenderSteps.h"
#include "Script.h"
#include "TextFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>

namespace stavio {

using namespace render;

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

// The list name must name a file inside its numbered folder: an empty name (a source that
// was missing when the project was loaded) would stand for the folder itself.
bool NamesAFile(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), Lower);
    return text;
}

using Inode = std::pair<dev_t, ino_t>;

// A link or another file system where a folder of ours was expected is refused as such.
int RefusalOf(int error) {
    return error == ELOOP || error == EXDEV || error == EMLINK ? EACCES : error;
}

// The numbered and SYSTEM folders of one render, each opened once below the target.
class Folders {
public:
    explicit Folders(const TargetFolder& target) : target_(target) {}
    // -1 with error set when the folder is missing (and create is not set), a link, a
    // mount point or cannot be made.
    int Open(const std::string& name, bool create, int& error, bool* created = nullptr) {
        auto found = open_.find(name);
        if (found != open_.end() && (found->second.Valid() || !create))
            return found->second.Get();
        UniqueFd fd = target_.OpenFolder(name, create, error, created);
        const int result = fd.Get();
        open_[name] = std::move(fd);
        return result;
    }

private:
    const TargetFolder& target_;
    std::map<std::string, UniqueFd> open_;
};

// The (folder, lower-cased name) pairs this render writes: a recorded file of such a name is
// replaced, not removed, also where the volume ignores case.
std::set<std::pair<std::string, std::string>> WrittenNames(const RenderPlan& plan) {
    std::set<std::pair<std::string, std::string>> names;
    for (const RenderItem& item : plan.items)
        names.insert({NumberedFolderName(plan.runs[item.run].number), Lowered(item.name)});
    return names;
}

std::set<Inode> SourceInodes(const RenderPlan& plan) {
    std::set<Inode> inodes;
    for (const RenderItem& item : plan.items) {
        struct stat info {};
        if (::stat(item.source.c_str(), &info) == 0)
            inodes.insert({info.st_dev, info.st_ino});
    }
    return inodes;
}

// The recorded files this render may remove: still as written, not written again by this
// render, and not a source of it.
template <typename Each>
void ForEachRemovable(const RenderRecord& record, const RenderPlan& plan, Folders& folders,
                      Each&& each) {
    const auto written = WrittenNames(plan);
    const auto sources = SourceInodes(plan);
    for (const auto& [key, recorded] : record) {
        if (written.count({key.first, Lowered(key.second)}) != 0)
            continue;
        int error = 0;
        const int folder = folders.Open(key.first, false, error);
        struct stat info {};
        if (folder < 0 || ::fstatat(folder, key.second.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !StillAsRecorded(info, recorded) || sources.count({info.st_dev, info.st_ino}) != 0)
            continue;
        each(folder, key, info);
    }
}

// Bar steps of the copy job; the last one is the flush.
constexpr int kBarSteps = 1000;
// Each file weighs this many bytes on the bar besides its size, so small files move it too.
constexpr std::uint64_t kFileWeight = 64 * 1024;
// What one line of the record takes, besides the source's path.
constexpr std::uint64_t kRecordLineBytes = 80;

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

enum class Outcome {
    Copied,
    Unchanged,
    Adopted,
    ConversionFailed,
    SourceFailed,
    DestinationFailed,
    TargetFailed,
    Cancelled
};

// The script is flushed before the copy starts and takes its name when the copy is complete.
PlacePolicy ScriptPolicy() {
    return {.temporary = kTemporaryScript, .replace = Replace::Always, .flush = Flush::File};
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
        if (::statvfs(path.c_str(), &info) == 0) {
            if (info.f_blocks == 0)
                return std::nullopt; // a file system that tells no size
            return static_cast<std::uint64_t>(info.f_bavail) *
                   (info.f_frsize != 0 ? info.f_frsize : info.f_bsize);
        }
        const size_t slash = path.find_last_of('/');
        if (path == "/" || path == ".")
            return std::nullopt;
        path = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    }
}

RenderPipeline::RenderPipeline(ProgramState& state, FreeSpaceProbe freeSpace)
    : state_(state), freeSpace_(std::move(freeSpace)), plan_(MakeRenderPlan(*state.CurrentProject)),
      conversion_(LoadConversionSettings()), cacheFolder_(ConversionCacheFolder()) {
    summary_.filesPlanned = static_cast<int>(plan_.items.size());
    summary_.targetPath = state.CurrentProject->TargetPath;
    startNs_ = NowNs();
}

RenderPipeline::~RenderPipeline() {
    if (scriptWritten_ && !copyRan_)
        Abandon();
}

void RenderPipeline::SetConversion(const ConversionSettings& settings, std::string cacheFolder,
                                   int workers) {
    conversion_ = settings;
    cacheFolder_ = std::move(cacheFolder);
    workers_ = workers;
}

bool RenderPipeline::OpenTarget(int& error) {
    if (!target_)
        target_ = TargetFolder::Open(plan_.target, error);
    return target_.has_value();
}

bool RenderPipeline::TargetExists() const {
    struct stat info {};
    return ::stat(plan_.target.empty() ? "/" : plan_.target.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

RenderSurvey RenderPipeline::Survey() const {
    RenderSurvey survey;
    int error = 0;
    const std::optional<TargetFolder> target = TargetFolder::Open(plan_.target, error);
    const std::uint64_t unit = target ? target->AllocationUnit() : 4096;
    const bool fat = target && target->IsFat();
    std::optional<Folders> folders;
    std::optional<RenderRecord> record;
    bool systemExists = false;
    if (target) {
        folders.emplace(*target);
        const int system = folders->Open(kSystemFolder, false, error);
        systemExists = system >= 0;
        if (systemExists)
            record = ReadRecord(system);
    }

    std::int64_t needed = 0;
    std::set<std::size_t> newFolders;
    std::uint64_t recordBytes = 0;
    const ConversionCache cache(cacheFolder_);
    const std::string conversionId = ConversionIdentity(conversion_);
    std::set<std::string> toConvert; // a song listed twice is converted once
    for (const RenderItem& item : plan_.items) {
        struct stat source {};
        if (::stat(item.source.c_str(), &source) != 0 || !S_ISREG(source.st_mode))
            continue; // it will fail; it adds nothing
        const bool converts = IsOtherAudioName(item.source);
        recordBytes += kRecordLineBytes + item.source.size();
        const std::string folderName = NumberedFolderName(plan_.runs[item.run].number);
        const int folder = folders ? folders->Open(folderName, false, error) : -1;
        struct stat destination {};
        const bool exists =
            folder >= 0 && NamesAFile(item.name) &&
            ::fstatat(folder, item.name.c_str(), &destination, AT_SYMLINK_NOFOLLOW) == 0;
        if (folder < 0)
            newFolders.insert(item.run);
        if (exists) {
            const RecordedFile* recorded = nullptr;
            if (record) {
                const auto found = record->find({folderName, item.name});
                recorded = found != record->end() ? &found->second : nullptr;
            }
            const bool itself =
                destination.st_dev == source.st_dev && destination.st_ino == source.st_ino;
            if (itself ||
                (!copyAll_ && IsUnchanged(source, IdentityOf(item.source, source), destination,
                                          recorded, fat, converts ? conversionId : ""))) {
                ++survey.filesUnchanged;
                continue;
            }
        }
        // A song to convert counts by its estimate until the cache gives its true size.
        std::uint64_t size = static_cast<std::uint64_t>(source.st_size);
        if (converts) {
            bool estimated = false;
            size = ConvertedSize(cache, item.source, conversion_, &estimated);
            if (estimated && toConvert.insert(item.source).second) {
                ++survey.songsToConvert;
                survey.bytesToConvert += size;
            }
        }
        ++survey.filesToCopy;
        survey.bytesToCopy += size;
        needed += static_cast<std::int64_t>(RoundUp(size, unit));
        if (exists && S_ISREG(destination.st_mode))
            needed -= static_cast<std::int64_t>(
                RoundUp(static_cast<std::uint64_t>(destination.st_size), unit));
    }
    // What the render removes makes room; what it adds besides the songs takes some.
    if (record && folders)
        ForEachRemovable(*record, plan_, *folders, [&](int, const auto&, const struct stat& info) {
            needed -=
                static_cast<std::int64_t>(RoundUp(static_cast<std::uint64_t>(info.st_size), unit));
        });
    std::uint64_t scriptBytes = 0;
    for (const std::string& line : ScriptLines(*state_.CurrentProject))
        scriptBytes += line.size() + 2;
    needed += static_cast<std::int64_t>(RoundUp(scriptBytes, unit) + RoundUp(recordBytes, unit) +
                                        unit * (newFolders.size() + (systemExists ? 0 : 1)));
    survey.bytesNeeded = needed > 0 ? static_cast<std::uint64_t>(needed) : 0;
    if (freeSpace_)
        survey.bytesFree = freeSpace_(plan_.target);
    return survey;
}

int RenderPipeline::WriteScript(ProgressDisplay& progress) {
    startNs_ = NowNs();
    const std::string scriptFile = ScriptFileName(plan_.target);
    summary_.scriptFailed = true; // until the copy puts it in place
    int error = 0;
    if (!OpenTarget(error))
        throw FileError(error, scriptFile);
    bool made = false;
    UniqueFd system = target_->OpenFolder(kSystemFolder, true, error, &made);
    madeSystem_ = made;
    if (!system.Valid())
        throw FileError(RefusalOf(error), scriptFile);
    // A SCRIPT.TXT that is not a plain file is not ours to replace.
    struct stat existing {};
    if (::fstatat(system.Get(), kScriptName, &existing, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(existing.st_mode))
        throw FileError(EACCES, scriptFile);

    const ScriptText text =
        MakeScriptText(*state_.CurrentProject, plan_, state_.CurrentLanguage, progress);
    // Written and flushed now; it takes its name only when the copy is complete.
    BesideFile file(system.Get(), kScriptName, ScriptPolicy());
    if (file.Error() != 0)
        throw FileError(RefusalOf(file.Error()), scriptFile);
    file.Write(text.bytes);
    if (file.Leave() != 0)
        throw FileError(file.Error(), scriptFile);
    scriptWritten_ = true;
    return text.count;
}

void RenderPipeline::Abandon() {
    int error = 0;
    if (!target_ && !OpenTarget(error))
        return;
    UniqueFd system = target_->OpenFolder(kSystemFolder, false, error);
    if (system.Valid())
        ::unlinkat(system.Get(), kTemporaryScript, 0);
    if (madeSystem_)
        ::unlinkat(target_->Fd(), kSystemFolder, AT_REMOVEDIR);
    scriptWritten_ = false;
    madeSystem_ = false;
}

bool RenderPipeline::ConvertAhead(ProgressDisplay& progress, const std::atomic<bool>& cancel,
                                  const std::function<bool(const RenderItem&)>& onTarget,
                                  std::vector<std::optional<ConversionCache::Entry>>& entries) {
    std::vector<std::string> sources;
    std::vector<std::size_t> indices;
    for (std::size_t i = 0; i < plan_.items.size(); ++i) {
        const RenderItem& item = plan_.items[i];
        if (IsOtherAudioName(item.source) && !onTarget(item)) {
            sources.push_back(item.source);
            indices.push_back(i);
        }
    }
    if (sources.empty())
        return !cancel.load();

    const Language language = state_.CurrentLanguage;
    // The workers run beside this thread, which keeps the display (and its Cancel) alive.
    std::atomic<int> done{0};
    std::atomic<int> total{-1};
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false; // under mutex
    std::vector<SongConversion> songs;
    ConversionCache cache(cacheFolder_);
    std::thread batch([&] {
        songs = ConvertSongs(
            cache, sources, conversion_, cancel,
            [&](int converted, int toConvert) {
                done = converted;
                total = toConvert;
            },
            workers_);
        {
            const std::lock_guard lock(mutex);
            finished = true;
        }
        ended.notify_one();
    });
    const std::int64_t start = NowNs();
    int shownTotal = -1;
    for (bool last = false; !last;) {
        {
            // Wakes at once when the batch ends: songs all in the cache cost no wait.
            std::unique_lock lock(mutex);
            last = ended.wait_for(lock, std::chrono::milliseconds(40), [&] { return finished; });
        }
        const int n = total.load();
        if (n <= 0)
            continue; // all in the cache: no stage to show
        if (n != shownTotal) {
            progress.SetCaption(TextUtf8(ConversionStageTexts, language, 0));
            progress.SetMaximum(shownTotal = n);
        }
        const int k = done.load();
        progress.SetPosition(k);
        std::string line =
            FillText(ConversionStageTexts, language, 1, {std::to_string(k), std::to_string(n)});
        if (k > 0 && k < n)
            line += " \xC2\xB7 " + Duration(static_cast<double>(NowNs() - start) / 1e9 / k *
                                            static_cast<double>(n - k));
        progress.SetDetailText(line);
    }
    batch.join();
    for (std::size_t j = 0; j < indices.size(); ++j)
        entries[indices[j]] = std::move(songs[j].entry);
    if (cancel.load())
        return false;
    if (shownTotal > 0) {
        progress.SetCaption(TextUtf8(ProgressTexts, language, 4));
        progress.SetMaximum(plan_.items.empty() ? 0 : kBarSteps);
        progress.SetPosition(0);
        progress.SetDetailText(""); // the copy's figures follow with its first block
    }
    return true;
}

void RenderPipeline::CopyMedia(ProgressDisplay& progress, const std::atomic<bool>& cancel) {
    copyRan_ = true;
    const Language language = state_.CurrentLanguage;
    progress.SetCaption(TextUtf8(ProgressTexts, language, 4));
    progress.SetPosition(0);
    progress.ShowLabel(false);
    progress.ShowBar(true);
    progress.SetMaximum(plan_.items.empty() ? 0 : kBarSteps);
    progress.SetPosition(0);
    summary_.scriptFailed = true; // until it is in place
    auto finish = [&] { summary_.seconds = static_cast<double>(NowNs() - startNs_) / 1e9; };

    int error = 0;
    if (!OpenTarget(error) || !target_->StillThere()) {
        (target_ ? summary_.targetGone : summary_.targetMissing) = true;
        summary_.failures.push_back(
            {std::string(), plan_.target, FileError::TextFor(target_ ? ENOENT : error)});
        finish();
        return;
    }
    const TargetFolder& target = *target_;
    Folders folders(target);
    int system = folders.Open(kSystemFolder, false, error);
    const std::optional<RenderRecord> record =
        system >= 0 ? ReadRecord(system) : std::optional<RenderRecord>();
    RenderRecord written; // what this render wrote or found as it would have written it

    // Songs of other formats are converted before anything on the target changes, so that a
    // Cancel meanwhile leaves its songs as they were; the script goes, as after any Cancel.
    const std::string conversionId = ConversionIdentity(conversion_);
    std::vector<std::optional<ConversionCache::Entry>> entries(plan_.items.size());
    const auto onTarget = [&](const RenderItem& item) {
        // Made from this source with these settings by an earlier render, and still as written.
        const std::string folderName = NumberedFolderName(plan_.runs[item.run].number);
        const int folder = folders.Open(folderName, false, error);
        struct stat source {};
        struct stat destination {};
        if (copyAll_ || !record || folder < 0 || !NamesAFile(item.name) ||
            ::stat(item.source.c_str(), &source) != 0 ||
            ::fstatat(folder, item.name.c_str(), &destination, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        const auto found = record->find({folderName, item.name});
        return found != record->end() &&
               IsUnchanged(source, IdentityOf(item.source, source), destination, &found->second,
                           target.IsFat(), conversionId);
    };
    if (!ConvertAhead(progress, cancel, onTarget, entries)) {
        summary_.cancelled = true;
        struct stat script {};
        if (system >= 0 && ::fstatat(system, kScriptName, &script, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(script.st_mode) && ::unlinkat(system, kScriptName, 0) == 0)
            ::fsync(system);
        Abandon();
        finish();
        return;
    }

    // The old script goes before the first file on the target changes: a player must not
    // act on a script whose folders are being rewritten.
    struct stat info {};
    if (system >= 0 && ::fstatat(system, kScriptName, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode) && ::unlinkat(system, kScriptName, 0) == 0)
        ::fsync(system);

    // Files of earlier renders that this one does not write, then their emptied folders.
    std::set<std::pair<std::string, std::string>> removed;
    if (record) {
        ForEachRemovable(*record, plan_, folders, [&](int folder, const auto& key, const auto&) {
            if (::unlinkat(folder, key.second.c_str(), 0) == 0) {
                ++summary_.staleRemoved;
                removed.insert(key);
            }
        });
        std::set<std::string> used;
        for (const RenderRun& run : plan_.runs)
            used.insert(NumberedFolderName(run.number));
        for (const auto& entry : *record) {
            const std::string& folderName = entry.first.first;
            if (used.count(folderName) != 0)
                continue;
            if (const int folder = folders.Open(folderName, false, error); folder >= 0)
                RemoveLeftover(folder, kTemporarySong);
            ::unlinkat(target.Fd(), folderName.c_str(), AT_REMOVEDIR); // only when empty
        }
    }

    // The bar's whole: every file's weight and the bytes of those that will be copied.
    std::uint64_t totalBytes = 0;
    for (std::size_t i = 0; i < plan_.items.size(); ++i) {
        struct stat source {};
        if (entries[i])
            totalBytes += entries[i]->result.Ok() ? entries[i]->result.bytes : 0;
        else if (::stat(plan_.items[i].source.c_str(), &source) == 0 && S_ISREG(source.st_mode))
            totalBytes += static_cast<std::uint64_t>(source.st_size);
    }
    const std::uint64_t whole = totalBytes + kFileWeight * plan_.items.size();
    std::uint64_t moved = 0; // in bar units: bytes plus file weights
    std::uint64_t bytesDone = 0;
    const std::int64_t copyStart = NowNs();
    std::int64_t lastDetail = 0;
    auto show = [&](bool force) {
        if (whole == 0)
            return;
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

    const std::set<Inode> sources = SourceInodes(plan_);
    // One file: written under the temporary name, stamped and renamed over its list name.
    std::string conversionFailure;
    auto copyOne = [&](const RenderItem& item, int folder, const std::string& folderName,
                       int& failure) -> Outcome {
        const bool converts = IsOtherAudioName(item.source);
        const std::string settings = converts ? conversionId : std::string();
        UniqueFd source(::open(item.source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        struct stat sourceInfo {};
        if (!source.Valid() || ::fstat(source.Get(), &sourceInfo) != 0) {
            failure = errno;
            return Outcome::SourceFailed;
        }
        if (!S_ISREG(sourceInfo.st_mode)) { // a folder, a pipe, a device: nothing to copy
            failure = S_ISDIR(sourceInfo.st_mode) ? EISDIR : EACCES;
            return Outcome::SourceFailed;
        }
        if (!NamesAFile(item.name)) {
            failure = ENOENT; // the source was missing when the entry was made: it has no name
            return Outcome::SourceFailed;
        }
        const SourceIdentity identity = IdentityOf(item.source, sourceInfo);
        const std::pair<std::string, std::string> key{folderName, item.name};
        struct stat destination {};
        if (::fstatat(folder, item.name.c_str(), &destination, AT_SYMLINK_NOFOLLOW) == 0) {
            // The source itself: an earlier render used as the source.
            if (destination.st_dev == sourceInfo.st_dev && destination.st_ino == sourceInfo.st_ino)
                return Outcome::Unchanged;
            const RecordedFile* recorded = nullptr;
            if (record) {
                const auto found = record->find(key);
                recorded = found != record->end() ? &found->second : nullptr;
            }
            if (!copyAll_ && IsUnchanged(sourceInfo, identity, destination, recorded,
                                         target.IsFat(), settings)) {
                written[key] = RecordOf(destination, identity, settings);
                return recorded != nullptr ? Outcome::Unchanged : Outcome::Adopted;
            }
            // Another entry's source stands there: replacing it would lose that song.
            if (sources.count({destination.st_dev, destination.st_ino}) != 0) {
                failure = EACCES;
                return Outcome::DestinationFailed;
            }
        }
        // A converted song is copied from its file in the cache, with its source's time.
        struct stat copied = sourceInfo;
        if (converts) {
            const auto& entry = entries[static_cast<std::size_t>(&item - plan_.items.data())];
            if (!entry || !entry->result.Ok()) {
                conversionFailure = entry ? ConversionFailureText(entry->result, language)
                                          : FileError::TextFor(ENOENT);
                return Outcome::ConversionFailed;
            }
            source = UniqueFd(::open(entry->path.c_str(), O_RDONLY | O_CLOEXEC));
            if (!source.Valid() || ::fstat(source.Get(), &copied) != 0) {
                failure = errno;
                return Outcome::SourceFailed;
            }
        }
        // The player's copy carries the song's own time, as the platform's file copy does;
        // the next render recognises it by that. Its write-out starts at once, while the next
        // ones are copied; the flush at the end then has little left to wait for.
        BesideFile out(folder, item.name,
                       {.temporary = kTemporarySong,
                        .replace = Replace::Always,
                        .flush = Flush::Start,
                        .stampFrom = &sourceInfo});
        if (out.Error() != 0) {
            failure = RefusalOf(out.Error());
            return IsTargetError(failure) ? Outcome::TargetFailed : Outcome::DestinationFailed;
        }
        bool destinationFailed = false;
        bool gone = false;
        failure = KernelCopy(
            source.Get(), out.Fd(), static_cast<std::uint64_t>(copied.st_size),
            [&](std::uint64_t n) {
                moved += n;
                bytesDone += n;
                show(false);
                gone = !target.StillThere();
                return !gone && !cancel.load();
            },
            destinationFailed);
        if (failure == 0) {
            failure = out.Place();
            destinationFailed = true;
        }
        if (failure != 0) {
            out.Discard(); // nothing half-written stays
            if (gone) {
                summary_.targetGone = true;
                return Outcome::Cancelled;
            }
            if (failure == ECANCELED)
                return Outcome::Cancelled;
            if (!destinationFailed)
                return Outcome::SourceFailed;
            return IsTargetError(failure) ? Outcome::TargetFailed : Outcome::DestinationFailed;
        }
        struct stat placed {};
        if (::fstatat(folder, item.name.c_str(), &placed, AT_SYMLINK_NOFOLLOW) == 0)
            written[key] = RecordOf(placed, identity, settings);
        summary_.bytesCopied += static_cast<std::uint64_t>(copied.st_size);
        return Outcome::Copied;
    };

    std::set<std::size_t> usedRuns;
    std::size_t openRun = plan_.items.empty() ? 0 : plan_.items.front().run + 1; // none yet
    int folder = -1;
    int folderError = 0;
    for (const RenderItem& item : plan_.items) {
        if (cancel.load()) {
            summary_.cancelled = true;
            break;
        }
        if (!target.StillThere()) {
            summary_.targetGone = true;
            break;
        }
        const std::string folderName = NumberedFolderName(plan_.runs[item.run].number);
        if (item.run != openRun) {
            openRun = item.run;
            folderError = 0;
            folder = folders.Open(folderName, true, folderError);
            if (folder >= 0) {
                usedRuns.insert(item.run);
                RemoveLeftover(folder, kTemporarySong);
            } else if (IsTargetError(folderError) || folderError == EACCES ||
                       folderError == EPERM) {
                // The target itself takes no folder: nothing else would go either.
                summary_.targetFailed = true;
                summary_.failures.push_back(
                    {item.source, plan_.runs[item.run].folder, FileError::TextFor(folderError)});
                break;
            }
        }
        progress.SetCopyFile(item.source.substr(item.source.rfind('/') + 1));
        int failure = RefusalOf(folderError);
        const Outcome outcome =
            folder >= 0 ? copyOne(item, folder, folderName, failure) : Outcome::DestinationFailed;
        switch (outcome) {
        case Outcome::Copied:
            ++summary_.filesCopied;
            break;
        case Outcome::Unchanged:
        case Outcome::Adopted:
            ++summary_.filesUnchanged;
            break;
        case Outcome::ConversionFailed:
            summary_.failures.push_back({item.source, item.destination, conversionFailure});
            break;
        case Outcome::SourceFailed:
        case Outcome::DestinationFailed:
            summary_.failures.push_back(
                {item.source, item.destination, FileError::TextFor(failure)});
            break;
        case Outcome::TargetFailed:
            summary_.targetFailed = true;
            summary_.failures.push_back(
                {item.source, item.destination, FileError::TextFor(failure)});
            break;
        case Outcome::Cancelled:
            if (!summary_.targetGone)
                summary_.cancelled = true;
            break;
        }
        if (summary_.cancelled || summary_.targetFailed || summary_.targetGone)
            break;
        moved += kFileWeight;
        show(false);
    }

    if (summary_.targetGone) {
        // Nothing more is written: the path may lead to another disk now. What is reached
        // through the descriptors is still the player, if it can be reached at all.
        if (system >= 0)
            ::unlinkat(system, kTemporaryScript, 0);
        scriptWritten_ = false;
        summary_.failures.push_back({std::string(), plan_.target, FileError::TextFor(ENOENT)});
        finish();
        return;
    }

    // The user unplugs the player as soon as the bar is full: the data must be on it by then,
    // and before the script says it is complete.
    if (::syncfs(target.Fd()) != 0 && IsTargetError(errno)) {
        summary_.targetFailed = true;
        summary_.failures.push_back({std::string(), plan_.target, FileError::TextFor(errno)});
    }
    const bool complete = !summary_.cancelled && !summary_.targetFailed;
    if (system >= 0 && scriptWritten_) {
        if (complete && PlaceFinished(system, kTemporaryScript, kScriptName, ScriptPolicy()) == 0)
            summary_.scriptFailed = false;
        else
            ::unlinkat(system, kTemporaryScript, 0);
        ::fsync(system);
        scriptWritten_ = false;
    }

    // The record: what this render wrote, and what earlier ones wrote that is still there.
    if (record)
        for (const auto& [key, recorded] : *record) {
            if (written.count(key) != 0 || removed.count(key) != 0)
                continue;
            const int recordedFolder = folders.Open(key.first, false, error);
            struct stat now {};
            if (recordedFolder >= 0 &&
                ::fstatat(recordedFolder, key.second.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
                StillAsRecorded(now, recorded))
                written[key] = recorded;
        }
    if (record || !written.empty()) {
        if (system < 0)
            system = folders.Open(kSystemFolder, true, error);
        if (system >= 0 && WriteRecord(system, written) != 0)
            ::unlinkat(system, kRecordName, 0); // a record that is not true must not stay
    }

    // Songs in the folders used that no render of ours wrote stay where they are.
    for (const std::size_t run : usedRuns) {
        const std::string folderName = NumberedFolderName(plan_.runs[run].number);
        const int fd = folders.Open(folderName, false, error);
        if (fd < 0)
            continue;
        std::vector<std::string> names;
        if (!ReadNamesAt(fd, names))
            continue;
        std::set<std::string> ours; // by lower-cased name: a FAT volume may show another case
        for (auto it = written.lower_bound({folderName, std::string()});
             it != written.end() && it->first.first == folderName; ++it)
            ours.insert(Lowered(it->first.second));
        for (const std::string& name : names) {
            if (!IsMp3Name(name) || ours.count(Lowered(name)) != 0)
                continue;
            struct stat song {};
            if (::fstatat(fd, name.c_str(), &song, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(song.st_mode))
                ++summary_.foreignSongs;
        }
    }

    show(true);
    if (complete && !plan_.items.empty())
        progress.SetPosition(kBarSteps);
    finish();
}

} // namespace stavio
