// SPDX-License-Identifier: GPL-3.0-or-later
#include "NameMemory.h"

#include "LineEscape.h"
#include "SafeSave.h"
#include "ShortNames.h"
#include "TextFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace stavio {

namespace {

// First line of the file; a file with another one is not read.
constexpr std::string_view kHeader = "stavio short names 1";
constexpr std::string_view kTrailer = "end";

// Cuts "a\tb\tc" into at most four fields; gives their number.
size_t Fields(std::string_view line, std::string_view (&fields)[4]) {
    size_t count = 0;
    size_t start = 0;
    while (count < 4) {
        const size_t tab = line.find('\t', start);
        fields[count++] = line.substr(start, tab == std::string_view::npos ? tab : tab - start);
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    return count;
}

// The aliases the program hands out: upper case, a "~" number, 8.3.
bool IsAlias(const std::string& name) {
    for (const char c : name)
        if (c >= 'a' && c <= 'z')
            return false;
    return name.find('~') != std::string::npos && IsValidShortName(name);
}

bool UnescapeField(std::string_view text, std::string& out) {
    if (text.find('\\') == std::string_view::npos) {
        out.assign(text);
        return true;
    }
    return Unescape(text, out);
}

bool IsEntryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// An entry's own alias, or the MP3 name of a song of another format (ConvertedKey), which
// needs no "~" when its source's name is free of one.
bool IsRemembered(const std::string& longName, const std::string& alias) {
    const std::string suffix = ConvertedKey({});
    if (!longName.ends_with(suffix))
        return IsEntryName(longName) && IsAlias(alias);
    for (const char c : alias)
        if (c >= 'a' && c <= 'z')
            return false;
    return IsEntryName(longName.substr(0, longName.size() - suffix.size())) &&
           IsValidShortName(alias);
}

std::int64_t Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

// The lines of a file: each ends with "\n"; a last one without it was cut.
bool NextLine(std::string_view& rest, std::string_view& line) {
    const size_t newline = rest.find('\n');
    if (newline == std::string_view::npos)
        return false;
    line = rest.substr(0, newline);
    rest.remove_prefix(newline + 1);
    return true;
}

} // namespace

std::string DefaultStateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        return state;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return std::string(home) + "/.local/state";
    return {};
}

NameMemory::NameMemory(std::string file) : file_(std::move(file)) {
    if (const char* pause = std::getenv(kPauseVariable))
        pausePath_ = pause;
}

NameMemory::~NameMemory() {
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

void NameMemory::SetFile(std::string file) {
    std::lock_guard lock(mutex_);
    file_ = std::move(file);
    records_.clear();
    changed_.clear();
    readStamp_ = {};
    loaded_ = false;
    unreadable_ = false;
    const char* pause = std::getenv(kPauseVariable);
    pausePath_ = pause ? pause : "";
}

NameMemory::FileStamp NameMemory::StampOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

namespace {

// Reads up to size more bytes of fd onto bytes; false on a read error.
bool ReadInto(int fd, std::string& bytes, size_t size) {
    const size_t start = bytes.size();
    bytes.resize(start + size);
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, bytes.data() + start + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    bytes.resize(start + got);
    return true;
}

} // namespace

NameMemory::ReadResult NameMemory::ReadFile(const std::string& path, Records& records) {
    records.clear();
    // Without blocking: a pipe put in its place must not hold the program up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Unreadable;
    auto file = std::make_shared<std::string>();
    std::string& bytes = *file;
    struct stat st {};
    bool readable =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ReadInto(fd, bytes, kHeader.size() + 1);
    const bool ours = readable && bytes.size() == kHeader.size() + 1 &&
                      bytes.starts_with(kHeader) && bytes.back() == '\n';
    // A file of ours too large for a memory is refused once its header is seen.
    if (ours && static_cast<std::uint64_t>(st.st_size) > kMaxFileBytes)
        readable = false;
    if (ours && readable)
        readable = ReadInto(fd, bytes, static_cast<size_t>(st.st_size) + 1) &&
                   bytes.size() <= kMaxFileBytes;
    ::close(fd);
    if (!readable)
        return ReadResult::Unreadable;
    if (!ours)
        return ReadResult::Read; // another kind of file: nothing in it to keep

    // The frame is checked here (folder lines, trailer); the alias lines of a folder when
    // it is named (Parse). A damaged line costs only the folder it stands in. A folder is
    // taken once it is closed: by the next folder line, or by a trailer whose count says
    // the file is whole; a folder left open by a cut or a wrong count may have lost lines.
    std::string_view rest = bytes;
    rest.remove_prefix(kHeader.size() + 1);
    std::string open; // the folder being read; empty when none or when it is damaged
    std::unordered_set<std::string> twice;
    size_t folderLines = 0;
    std::string folder;
    std::string_view line;
    std::string_view fields[4];
    // A folder without alias lines is not one the program writes.
    const auto closeFolder = [&](bool keep) {
        if (!open.empty() && (!keep || records[open].lines.empty()))
            records.erase(open);
        open.clear();
    };
    while (NextLine(rest, line)) {
        if (!line.empty() && line[0] == '\t') {
            if (open.empty())
                continue;
            std::string_view& lines = records[open].lines;
            lines = lines.empty() ? std::string_view(line.data(), line.size() + 1)
                                  : std::string_view(lines.data(), lines.size() + line.size() + 1);
            continue;
        }
        const size_t count = Fields(line, fields);
        if (count == 3 && fields[0] == "D") {
            closeFolder(true);
            ++folderLines;
            char* end = nullptr;
            const std::string number(fields[1]);
            const long long listedAt = std::strtoll(number.c_str(), &end, 10);
            if (number.empty() || *end != '\0' || !UnescapeField(fields[2], folder) ||
                folder.empty() || folder[0] != '/')
                continue;
            // A folder found twice: neither can be told right.
            if (twice.count(folder) || records.count(folder)) {
                twice.insert(folder);
                records.erase(folder);
                continue;
            }
            FolderRecord& record = records[folder];
            record.listedAt = listedAt;
            record.parsed = false;
            record.file = file;
            open = folder;
        } else if (count == 2 && fields[0] == kTrailer) {
            closeFolder(fields[1] == std::to_string(folderLines));
            return ReadResult::Read;
        } else {
            closeFolder(false); // a damaged line: the folder it stands in is not taken
        }
    }
    // A cut file: the last folder read may be incomplete.
    if (!open.empty())
        records.erase(open);
    return ReadResult::Read;
}

void NameMemory::Parse(FolderRecord& record) {
    if (record.parsed)
        return;
    record.parsed = true;
    std::unordered_set<std::string_view> aliasesOfFolder; // all upper case
    std::string longName;
    std::string alias;
    std::string_view fields[4];
    std::string_view rest = record.lines;
    bool intact = true;
    while (intact && !rest.empty()) {
        const size_t newline = rest.find('\n');
        const std::string_view line = rest.substr(0, newline);
        rest.remove_prefix(newline + 1);
        intact = Fields(line, fields) == 3 && fields[0].empty();
        if (!intact)
            break;
        alias.assign(fields[1]);
        intact = UnescapeField(fields[2], longName) && IsRemembered(longName, alias) &&
                 aliasesOfFolder.insert(fields[1]).second &&
                 record.aliases.emplace(longName, alias).second;
    }
    // A damaged folder is taken as one named for the first time.
    if (!intact)
        record.aliases.clear();
    record.lines = {};
    record.file.reset();
}

void NameMemory::Refresh() {
    if (file_.empty()) {
        loaded_ = true;
        return;
    }
    const FileStamp stamp = StampOf(file_);
    if (loaded_ && stamp == readStamp_)
        return;
    Records disk;
    const ReadResult result = stamp.modifiedNs < 0 ? ReadResult::Missing : ReadFile(file_, disk);
    unreadable_ = result == ReadResult::Unreadable;
    readStamp_ = stamp;
    loaded_ = true;
    if (unreadable_)
        return; // what this process knows stays its own
    // What this process changed and has not written yet stays as it is here.
    for (const std::string& folder : changed_) {
        const auto mine = records_.find(folder);
        if (mine == records_.end())
            disk.erase(folder);
        else
            disk[folder] = std::move(mine->second);
    }
    records_ = std::move(disk);
}

const AliasTable* NameMemory::Find(const std::string& folder) {
    std::lock_guard lock(mutex_);
    Refresh();
    const auto it = records_.find(folder);
    if (it == records_.end())
        return nullptr;
    Parse(it->second);
    return it->second.aliases.empty() ? nullptr : &it->second.aliases;
}

// Other processes of the program wait here while this one decides and writes; the file is
// read afresh once the lock is taken. A lock that cannot be had (no state folder) leaves the
// memory to this process alone.
void NameMemory::Lock() {
    if (locked_)
        return;
    locked_ = true;
    if (!file_.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), ec);
        lockFd_ =
            ::open((file_ + ".lock").c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
        while (lockFd_ >= 0 && ::flock(lockFd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    Refresh();
}

void NameMemory::Unlock() {
    if (lockFd_ >= 0)
        ::close(lockFd_); // lets the lock go
    lockFd_ = -1;
    locked_ = false;
}

void NameMemory::Name(const std::string& folder, const Namer& name) {
    std::lock_guard lock(mutex_);
    Lock();
    const auto it = records_.find(folder);
    const AliasTable* remembered = nullptr;
    if (it != records_.end()) {
        Parse(it->second);
        if (!it->second.aliases.empty())
            remembered = &it->second.aliases;
    }
    std::optional<AliasTable> aliases = name(remembered);
    if (aliases)
        StoreLocked(folder, std::move(*aliases));
    else if (it != records_.end())
        it->second.listedAt = Now(); // kept in memory; written with the next change
    if (beforeWrite_)
        beforeWrite_();
    if (holds_ == 0) {
        if (!changed_.empty())
            Write();
        Unlock();
    }
}

void NameMemory::Store(const std::string& folder, AliasTable aliases) {
    std::lock_guard lock(mutex_);
    Lock();
    StoreLocked(folder, std::move(aliases));
    if (holds_ == 0) {
        if (!changed_.empty())
            Write();
        Unlock();
    }
}

void NameMemory::StoreLocked(const std::string& folder, AliasTable aliases) {
    const auto it = records_.find(folder);
    if (it != records_.end())
        Parse(it->second);
    if (aliases.empty()) {
        if (it == records_.end())
            return;
        records_.erase(it);
    } else if (it != records_.end() && it->second.aliases == aliases) {
        it->second.listedAt = Now(); // kept in memory; written with the next change
        return;
    } else {
        records_[folder] = {std::move(aliases), Now(), true, {}, nullptr};
    }
    changed_.insert(folder);
}

void NameMemory::SetBeforeWrite(std::function<void()> hook) {
    std::lock_guard lock(mutex_);
    beforeWrite_ = std::move(hook);
}

void NameMemory::Touch(const std::string& folder) {
    std::lock_guard lock(mutex_);
    if (const auto it = records_.find(folder); it != records_.end())
        it->second.listedAt = Now();
}

void NameMemory::Hold() {
    std::lock_guard lock(mutex_);
    ++holds_;
}

void NameMemory::Release() {
    std::lock_guard lock(mutex_);
    if (holds_ > 0 && --holds_ == 0) {
        if (!changed_.empty())
            Write();
        Unlock();
    }
}

void NameMemory::PauseForTests() const {
    if (pausePath_.empty())
        return;
    ::close(::open(pausePath_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    struct stat st;
    while (::stat(pausePath_.c_str(), &st) == 0 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// Called under the lock, with the file as last read.
void NameMemory::Write() {
    if (file_.empty() || unreadable_) {
        // Never replaced: a file that is there but could not be read may hold what this
        // process does not know. The names stay as they are in this process.
        if (file_.empty())
            changed_.clear();
        return;
    }
    PauseForTests();

    if (records_.size() > kMaxFolders) {
        std::vector<std::pair<std::int64_t, std::string>> byAge;
        byAge.reserve(records_.size());
        for (const auto& [folder, record] : records_)
            byAge.emplace_back(record.listedAt, folder);
        std::sort(byAge.begin(), byAge.end());
        for (size_t i = 0; i + kMaxFolders < byAge.size(); ++i)
            records_.erase(byAge[i].second);
    }

    std::string bytes(kHeader);
    bytes += '\n';
    size_t folders = 0;
    for (const auto& [folder, record] : records_) {
        if (record.parsed && record.aliases.empty())
            continue; // found damaged: named afresh the next time
        ++folders;
        bytes += "D\t";
        bytes += std::to_string(record.listedAt);
        bytes += '\t';
        AppendEscaped(bytes, folder);
        bytes += '\n';
        if (!record.parsed) {
            bytes += record.lines; // as read, not looked at yet
            continue;
        }
        for (const auto& [longName, alias] : record.aliases) {
            bytes += '\t';
            bytes += alias;
            bytes += '\t';
            AppendEscaped(bytes, longName);
            bytes += '\n';
        }
    }
    bytes += kTrailer;
    bytes += '\t';
    bytes += std::to_string(folders);
    bytes += '\n';

    try {
        SafeSave file(file_, 0600);
        file.Write(bytes);
        file.Commit();
    } catch (const FileError&) {
        return; // not kept this time; the names stay as they are in this process
    }
    readStamp_ = StampOf(file_);
    changed_.clear();
}

} // namespace stavio
