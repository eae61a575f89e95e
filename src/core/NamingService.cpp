// SPDX-License-Identifier: GPL-3.0-or-later
#include "NamingService.h"

#include "AudioFormats.h"
#include "ShortNames.h"

#include <climits>
#include <cstdlib>
#include <optional>
#include <sys/stat.h>

namespace stavio {

namespace {

// File systems stamp times with a coarse clock: a change made just after a listing may bear
// the same modification time. A table is trusted only when the folder's time lies clearly
// before the listing, so a change can no longer hide behind an equal stamp.
constexpr long long kTimestampSlackNs = 50'000'000;
constexpr size_t kMaxFolders = 1024;

long long Nanoseconds(const timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

std::string MemoryFileIn(const std::string& stateFolder) {
    return stateFolder.empty() ? std::string() : stateFolder + "/stavio/short-names";
}

// The folder's path without links, "." or "..": the key of its remembered aliases.
std::string CanonicalFolder(const std::string& folder) {
    char resolved[PATH_MAX];
    return ::realpath(folder.c_str(), resolved) ? std::string(resolved) : std::string();
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::string NameAlone(const std::string& name, const AliasTable* remembered, bool converted) {
    std::vector<std::string> convertedNames;
    std::vector<std::string> shortNames =
        NameDirectory({name}, nullptr, remembered, &convertedNames);
    return converted ? convertedNames.front() : shortNames.front();
}

} // namespace

NamingService::NamingService() : NamingService(DefaultStateFolder()) {}

NamingService::NamingService(const std::string& stateFolder, FolderReader& reader)
    : memory_(MemoryFileIn(stateFolder)), reader_(reader) {}

bool NamingService::IsCurrent(const FolderTable& table, const struct stat& st) {
    return table.device == st.st_dev && table.inode == st.st_ino &&
           SameTime(table.modified, st.st_mtim) &&
           Nanoseconds(table.modified) + kTimestampSlackNs < Nanoseconds(table.listedAt);
}

void NamingService::SetBeforeMemoryWrite(std::function<void()> hook) {
    memory_.SetBeforeWrite(std::move(hook));
}

std::string NamingService::Lookup(const std::string& folder, const std::string& name,
                                  const std::string& fullPath, bool converted) {
    std::lock_guard lock(mutex_);
    auto found = tables_.find(folder);
    // Inside a batch, a folder already checked in this batch is taken as it was.
    const bool checkedInBatch = batchDepth_ > 0 && found != tables_.end() && batch_.count(folder);
    struct stat st;
    if (!checkedInBatch && ::stat(folder.c_str(), &st) != 0)
        return {};
    if (checkedInBatch || (found != tables_.end() && IsCurrent(found->second, st))) {
        const auto& names = converted ? found->second.convertedOf : found->second.shortOf;
        const auto entry = names.find(name);
        if (entry != names.end())
            return entry->second;
        if (!Exists(fullPath)) // a missing file: no need to list the folder again
            return {};
        if (checkedInBatch && ::stat(folder.c_str(), &st) != 0)
            return {};
    }
    if (batchDepth_ > 0)
        batch_.insert(folder);
    // Not known yet (or the folder changed): list it again.
    FolderTable table;
    table.device = st.st_dev;
    table.inode = st.st_ino;
    table.modified = st.st_mtim;
    ::clock_gettime(CLOCK_REALTIME, &table.listedAt);
    std::vector<FolderEntry> entries;
    const std::string key = CanonicalFolder(folder);
    if (!reader_.List(folder, entries)) { // searchable but not readable
        if (!Exists(fullPath))
            return {};
        const AliasTable* remembered = key.empty() ? nullptr : memory_.Find(key);
        return NameAlone(name, remembered, converted);
    }
    NameEntries(key, entries, table);
    const auto& names = converted ? table.convertedOf : table.shortOf;
    const auto entry = names.find(name);
    std::string result;
    if (entry != names.end())
        result = entry->second;
    else if (Exists(fullPath)) // made after the listing
        result = NameAlone(name, nullptr, converted);
    if (tables_.size() >= kMaxFolders && found == tables_.end())
        tables_.clear();
    tables_[folder] = std::move(table);
    return result;
}

void NamingService::NameEntries(const std::string& key, std::vector<FolderEntry>& entries,
                                FolderTable& table) {
    std::vector<std::string> names;
    names.reserve(entries.size());
    std::vector<std::string> fixed;
    bool onVolume = false;
    for (FolderEntry& entry : entries) {
        onVolume = onVolume || !entry.shortName.empty();
        names.push_back(std::move(entry.name));
    }
    if (onVolume) {
        fixed.reserve(entries.size());
        for (FolderEntry& entry : entries)
            fixed.push_back(std::move(entry.shortName));
    }
    std::vector<std::string> shortNames;
    std::vector<std::string> converted;
    if (onVolume || key.empty()) {
        shortNames = NameDirectory(names, onVolume ? &fixed : nullptr, nullptr, &converted);
    } else {
        // Decided under the memory's lock: another process naming this folder meanwhile
        // waits, then starts from these aliases.
        memory_.Name(key, [&](const AliasTable* remembered) -> std::optional<AliasTable> {
            shortNames = NameDirectory(names, nullptr, remembered, &converted);
            // Most listings change nothing remembered: no table is built for those.
            size_t aliasCount = 0;
            bool same = true;
            const auto check = [&](const std::string& key, const std::string& alias) {
                ++aliasCount;
                if (same) {
                    const auto it =
                        remembered ? remembered->find(key) : AliasTable::const_iterator();
                    same = remembered && it != remembered->end() && it->second == alias;
                }
            };
            for (size_t i = 0; i < names.size(); ++i) {
                if (shortNames[i] != names[i])
                    check(names[i], shortNames[i]);
                if (!converted[i].empty())
                    check(ConvertedKey(names[i]), converted[i]);
            }
            if (same && aliasCount == (remembered ? remembered->size() : 0))
                return std::nullopt;
            AliasTable aliases;
            aliases.reserve(aliasCount);
            for (size_t i = 0; i < names.size(); ++i) {
                if (shortNames[i] != names[i])
                    aliases.emplace(names[i], shortNames[i]);
                if (!converted[i].empty())
                    aliases.emplace(ConvertedKey(names[i]), converted[i]);
            }
            return aliases;
        });
    }
    table.shortOf.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        if (!converted[i].empty())
            table.convertedOf.emplace(names[i], converted[i]);
        table.shortOf.emplace(std::move(names[i]), shortNames[i]);
    }
}

void NamingService::BeginBatch() {
    std::lock_guard lock(mutex_);
    ++batchDepth_;
    memory_.Hold();
}

void NamingService::EndBatch() {
    std::lock_guard lock(mutex_);
    if (--batchDepth_ == 0)
        batch_.clear();
    memory_.Release();
}

std::string NamingService::ListNameOf(const std::string& path, bool converted) {
    std::string full = path;
    if (!full.empty() && full.back() == '/')
        full.pop_back();
    if (full.empty())
        return {};

    size_t slash = full.find_last_of('/');
    std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
    if (name == "." || name == "..") {
        // Name the folder these stand for.
        char resolved[PATH_MAX];
        if (!::realpath(full.c_str(), resolved))
            return {};
        full = resolved;
        slash = full.find_last_of('/');
        name = full.substr(slash + 1);
    }
    if (name.empty())
        return {}; // the root, or a path that still ends with "/"
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : full.substr(0, slash);

    std::string listName = Lookup(folder, name, full, converted);
    for (char& c : listName)
        c = c == '_' ? '-' : (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return listName;
}

std::string NamingService::ShortNameFromPath(const std::string& path) {
    return ListNameOf(path, false);
}

std::string NamingService::ListNameFromPath(const std::string& path) {
    return ListNameOf(path, IsOtherAudioName(path));
}

ShortNameBatch::ShortNameBatch(NamingService& names) : names_(names) {
    names_.BeginBatch();
}

ShortNameBatch::~ShortNameBatch() {
    names_.EndBatch();
}

} // namespace stavio
