// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConversionCache.h"

#include "FileLayer.h"
#include "SongTags.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace stavio {

namespace fs = std::filesystem;

namespace {

constexpr const char* kEntryExtension = ".mp3";
constexpr const char* kKeyExtension = ".key";
constexpr const char* kTempMark = ".part-";
// What an interrupted conversion left is removed once this old; younger ones may still be
// in the works in another process.
constexpr std::int64_t kAbandonedSeconds = 24 * 3600;

// 64-bit FNV-1a: a name for the key, which the key file then confirms.
std::string Hash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hash));
    return name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::int64_t ModifiedSeconds(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec);
}

} // namespace

std::string ConversionCacheFolder() {
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    if (cacheHome && cacheHome[0] == '/')
        return std::string(cacheHome) + "/stavio/converted";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.cache/stavio/converted";
}

std::string ConversionIdentity(const ConversionSettings& settings) {
    // The cache limit changes no conversion.
    return "quality=" + QualityName(settings.quality) +
           " cover=" + (settings.embedCover ? "1" : "0") + " encoder=" + EncoderVersion();
}

ConversionCache::ConversionCache(std::string folder) : folder_(std::move(folder)) {}

ConversionCache::Key ConversionCache::KeyFor(const std::string& source,
                                             const ConversionSettings& settings,
                                             int* errnoValue) const {
    Key key;
    char resolved[PATH_MAX];
    struct stat st {};
    if (!::realpath(source.c_str(), resolved) || ::stat(resolved, &st) != 0) {
        if (errnoValue)
            *errnoValue = errno;
        return key;
    }
    key.text = "source=" + std::string(resolved) + "\nsize=" + std::to_string(st.st_size) +
               "\nmodified=" +
               std::to_string(static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL +
                              st.st_mtim.tv_nsec) +
               "\nconversion=" + ConversionIdentity(settings) + "\n";
    key.base = folder_ + "/" + Hash(key.text);
    return key;
}

// The key file holds the key and then the MP3's size, which a crash before the data reached
// the disk would not match.
bool ConversionCache::Complete(const Key& key) const {
    if (key.text.empty())
        return false;
    const std::string stored = ReadFile(key.base + kKeyExtension);
    struct stat st {};
    return stored.size() > key.text.size() && stored.compare(0, key.text.size(), key.text) == 0 &&
           ::stat((key.base + kEntryExtension).c_str(), &st) == 0 &&
           stored.substr(key.text.size()) == "bytes=" + std::to_string(st.st_size) + "\n";
}

bool ConversionCache::Contains(const std::string& source,
                               const ConversionSettings& settings) const {
    return Complete(KeyFor(source, settings));
}

std::optional<std::uint64_t> ConversionCache::EntrySize(const std::string& source,
                                                        const ConversionSettings& settings) const {
    const Key key = KeyFor(source, settings);
    struct stat info {};
    if (!Complete(key) || ::stat((key.base + kEntryExtension).c_str(), &info) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

std::uint64_t ConvertedSize(const ConversionCache& cache, const std::string& source,
                            const ConversionSettings& settings, bool* estimated) {
    const auto cached = cache.EntrySize(source, settings);
    if (estimated)
        *estimated = !cached;
    return cached ? *cached : EstimatedSize(SongLengthMs(source), settings.quality);
}

std::optional<std::string> ConversionCache::Find(const std::string& source,
                                                 const ConversionSettings& settings) {
    const Key key = KeyFor(source, settings);
    if (!Complete(key))
        return std::nullopt;
    // The key file's time is the entry's last use: access times are often not kept.
    ::utimensat(AT_FDCWD, (key.base + kKeyExtension).c_str(), nullptr, 0);
    return key.base + kEntryExtension;
}

ConversionCache::Entry ConversionCache::Convert(const std::string& source,
                                                const ConversionSettings& settings,
                                                const std::atomic<bool>& cancel) {
    Entry entry;
    int error = 0;
    const Key key = KeyFor(source, settings, &error);
    if (key.text.empty()) {
        entry.result.status = ConversionStatus::SourceUnreadable;
        entry.result.errnoValue = error;
        return entry;
    }
    entry.path = key.base + kEntryExtension;
    if (const auto found = Find(source, settings)) {
        struct stat st {};
        ::stat(found->c_str(), &st);
        entry.result.bytes = static_cast<std::uint64_t>(st.st_size);
        return entry;
    }
    std::error_code ignored;
    fs::create_directories(folder_, ignored);
    const std::string keyPath = key.base + kKeyExtension;
    ::unlink(keyPath.c_str()); // a damaged entry of the same key is replaced
    entry.converted = true;
    entry.result = ConvertToMp3(source, entry.path, settings, cancel);
    if (!entry.result.Ok())
        return entry;
    static std::atomic<unsigned> counter{0};
    BesideFile keyFile(keyPath, {.temporary = fs::path(keyPath).filename().string() + kTempMark +
                                              std::to_string(::getpid()) + "-" +
                                              std::to_string(counter.fetch_add(1)),
                                 .replace = Replace::Always,
                                 .flush = Flush::No});
    keyFile.Write(key.text + "bytes=" + std::to_string(entry.result.bytes) + "\n");
    if (const int error = keyFile.Place(); error != 0) {
        entry.result.status = ConversionStatus::WriteFailed;
        entry.result.errnoValue = error;
        ::unlink(entry.path.c_str());
    }
    return entry;
}

std::uint64_t ConversionCache::SizeBytes() const {
    std::uint64_t total = 0;
    std::error_code error;
    for (const auto& file : fs::directory_iterator(folder_, error)) {
        std::error_code sizeError;
        const auto size = file.file_size(sizeError);
        if (!sizeError)
            total += size;
    }
    return total;
}

int ConversionCache::Prune(std::uint64_t limitBytes, const std::vector<std::string>& keep) {
    struct Candidate {
        std::int64_t lastUsedNs;
        std::uint64_t bytes;
        std::string base;
    };
    std::vector<Candidate> entries;
    std::uint64_t total = 0;
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    std::error_code error;
    for (const auto& file : fs::directory_iterator(folder_, error)) {
        const std::string path = file.path().string();
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const bool abandoned = now - ModifiedSeconds(st) > kAbandonedSeconds;
        const std::string base = path.substr(0, path.rfind('.'));
        struct stat other {};
        if (path.find(kTempMark) != std::string::npos ||
            (EndsWith(path, kEntryExtension) &&
             ::stat((base + kKeyExtension).c_str(), &other) != 0)) {
            // A temporary file, or an MP3 whose key was never written.
            if (abandoned && ::unlink(path.c_str()) == 0)
                continue;
            total += static_cast<std::uint64_t>(st.st_size);
            continue;
        }
        if (EndsWith(path, kEntryExtension))
            continue; // counted with its key
        if (!EndsWith(path, kKeyExtension)) {
            total += static_cast<std::uint64_t>(st.st_size);
            continue;
        }
        const bool hasEntry = ::stat((base + kEntryExtension).c_str(), &other) == 0;
        const std::uint64_t bytes = static_cast<std::uint64_t>(st.st_size) +
                                    (hasEntry ? static_cast<std::uint64_t>(other.st_size) : 0);
        total += bytes;
        if (std::find(keep.begin(), keep.end(), base + kEntryExtension) == keep.end())
            entries.push_back(
                {static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
                 bytes, base});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Candidate& a, const Candidate& b) { return a.lastUsedNs < b.lastUsedNs; });
    int removed = 0;
    for (const Candidate& entry : entries) {
        if (total <= limitBytes)
            break;
        // The key goes first: an MP3 without its key is never taken for an entry.
        ::unlink((entry.base + kKeyExtension).c_str());
        ::unlink((entry.base + kEntryExtension).c_str());
        total -= entry.bytes;
        ++removed;
    }
    return removed;
}

void ConversionCache::Clear() {
    Prune(0);
}

} // namespace stavio
