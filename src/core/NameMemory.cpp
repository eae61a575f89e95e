#include "NameMemory.h"

#include "ShortNames.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace stavio {

namespace {

// First line of the file; a file with another one is not read.
constexpr std::string_view kHeader = "stavio short names 1";
constexpr std::string_view kTrailer = "end";

// Names and paths may hold any byte but "/" and NUL; the four below would break the lines.
void AppendEscaped(std::string& out, const std::string& text) {
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return false;
        }
    }
    return true;
}

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

std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool IsEntryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::int64_t Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

class LockFile {
public:
    explicit LockFile(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ >= 0)
            ::flock(fd_, LOCK_EX);
    }
    ~LockFile() {
        if (fd_ >= 0)
            ::close(fd_); // releases the lock
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

private:
    int fd_;
};

} // namespace

std::string DefaultStateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        return state;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return std::string(home) + "/.local/state";
    return {};
}

NameMemory::NameMemory(std::string file) : file_(std::move(file)) {}

void NameMemory::SetFile(std::string file) {
    std::lock_guard lock(mutex_);
    file_ = std::move(file);
    records_.clear();
    changed_.clear();
    readStamp_ = {};
    loaded_ = false;
}

NameMemory::FileStamp NameMemory::StampOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

bool NameMemory::ReadFile(const std::string& path, Records& records) {
    records.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    auto file = std::make_shared<std::string>();
    std::string& bytes = *file;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);

    // The frame is checked here (header, folder lines, trailer); the alias lines of a folder
    // when it is named (Parse). A flaw in the frame sets the whole file aside.
    std::string_view rest = bytes;
    if (!rest.starts_with(kHeader) || rest.size() == kHeader.size() || rest[kHeader.size()] != '\n')
        return false;
    rest.remove_prefix(kHeader.size() + 1);
    bool ended = false;
    FolderRecord* current = nullptr;
    std::string folder;
    std::string_view fields[4];
    while (!rest.empty()) {
        const size_t newline = rest.find('\n');
        if (newline == std::string_view::npos || ended)
            return false; // a last line without its end, or text after the trailer
        const std::string_view line = rest.substr(0, newline + 1);
        rest.remove_prefix(newline + 1);
        if (line[0] == '\t') {
            if (!current)
                return false;
            if (current->lines.empty())
                current->lines = line;
            else
                current->lines =
                    std::string_view(current->lines.data(), current->lines.size() + line.size());
            continue;
        }
        const size_t count = Fields(line.substr(0, newline), fields);
        if (count == 3 && fields[0] == "D") {
            if (current && current->lines.empty())
                return false;
            char* end = nullptr;
            const std::string number(fields[1]);
            const long long listedAt = std::strtoll(number.c_str(), &end, 10);
            if (number.empty() || *end != '\0' || !UnescapeField(fields[2], folder) ||
                folder.empty() || folder[0] != '/')
                return false;
            auto [it, inserted] = records.try_emplace(folder);
            if (!inserted)
                return false;
            current = &it->second;
            current->listedAt = listedAt;
            current->parsed = false;
            current->file = file;
        } else if (count == 2 && fields[0] == kTrailer) {
            if (fields[1] != std::to_string(records.size()))
                return false;
            ended = true;
        } else {
            return false;
        }
    }
    if (!ended || (current && current->lines.empty()))
        return false;
    return true;
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
        intact = IsAlias(alias) && UnescapeField(fields[2], longName) && IsEntryName(longName) &&
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
    if (stamp.modifiedNs < 0 || !ReadFile(file_, disk))
        disk.clear();
    // What this process changed and has not written yet stays as it is here.
    for (const std::string& folder : changed_) {
        const auto mine = records_.find(folder);
        if (mine == records_.end())
            disk.erase(folder);
        else
            disk[folder] = std::move(mine->second);
    }
    records_ = std::move(disk);
    readStamp_ = stamp;
    loaded_ = true;
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

void NameMemory::Store(const std::string& folder, AliasTable aliases) {
    std::lock_guard lock(mutex_);
    if (!loaded_)
        Refresh();
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
        records_[folder] = {std::move(aliases), Now()};
    }
    changed_.insert(folder);
    if (holds_ == 0)
        Write();
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
    if (holds_ > 0 && --holds_ == 0 && !changed_.empty())
        Write();
}

void NameMemory::Write() {
    if (file_.empty()) {
        changed_.clear();
        return;
    }
    const std::filesystem::path path(file_);
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    // Another process of the program may write at the same time: under the lock, its
    // changes are read in first, so neither loses the other's folders.
    const LockFile lock(file_ + ".lock");
    Refresh();

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

    std::string temp = file_ + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return; // not kept this time; the names stay as they are in this process
    struct stat st {};
    const bool written = WriteAll(fd, bytes) && ::fstat(fd, &st) == 0;
    ::close(fd);
    if (!written || ::rename(temp.c_str(), file_.c_str()) != 0) {
        ::unlink(temp.c_str());
        return;
    }
    readStamp_ = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                  static_cast<std::uint64_t>(st.st_size),
                  static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 +
                      st.st_mtim.tv_nsec};
    changed_.clear();
}

} // namespace stavio
