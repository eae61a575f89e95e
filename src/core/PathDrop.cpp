// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathDrop.h"

#include "AudioFormats.h"
#include "FileLayer.h"
#include "ListOperations.h"

#include <algorithm>
#include <sys/stat.h>

namespace stavio {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A folder from disk, given to AddFolderNode as the explorer would list it.
class DiskListing : public ExplorerListing {
public:
    DiskListing(std::string folder, bool otherFormats)
        : folder_(std::move(folder)), otherFormats_(otherFormats) {}
    std::string SelectedPath() const override { return folder_; }
    std::vector<std::string> ItemNames() const override {
        return AudioFilesIn(folder_, otherFormats_);
    }

private:
    std::string folder_;
    bool otherFormats_;
};

bool Fits(const DroppedItem& item, const ListNode* target) {
    return item.isFolder ? CanHoldFolders(target) : CanHoldFiles(target);
}

} // namespace

bool IsMp3Name(const std::string& name) {
    if (name.size() < 4)
        return false;
    std::string suffix = name.substr(name.size() - 4);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(), Lower);
    return suffix == ".mp3";
}

int CompareFileNames(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            // Numbers by value: "Track 2" before "Track 10"; leading zeros do not count.
            std::size_t ei = i, ej = j;
            while (ei < a.size() && IsDigit(a[ei]))
                ++ei;
            while (ej < b.size() && IsDigit(b[ej]))
                ++ej;
            std::size_t si = i, sj = j;
            while (si + 1 < ei && a[si] == '0')
                ++si;
            while (sj + 1 < ej && b[sj] == '0')
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj ? -1 : 1;
            const int c = a.compare(si, ei - si, b, sj, ej - sj);
            if (c != 0)
                return c < 0 ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        const char ca = Lower(a[i]), cb = Lower(b[j]);
        if (ca != cb)
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    // Names equal but for case or zeros: one fixed order all the same.
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::vector<std::string> AudioFilesIn(const std::string& folder, bool otherFormats) {
    std::vector<std::string> entries;
    std::vector<std::string> names;
    if (!ReadNames(folder, entries))
        return names;
    std::string base = folder;
    if (base.empty() || base.back() != '/')
        base += '/';
    for (const std::string& name : entries) {
        if (!IsTakenAudioName(name, otherFormats))
            continue;
        // Files only (links to files included), as the explorer lists them.
        struct stat st {};
        if (::stat((base + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return CompareFileNames(a, b) < 0;
    });
    return names;
}

std::vector<DroppedItem> PlanPathDrop(const std::vector<std::string>& paths, bool otherFormats) {
    std::vector<DroppedItem> drop;
    for (const std::string& path : paths) {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            drop.push_back({path, true});
        } else if (S_ISREG(st.st_mode)) {
            const auto slash = path.rfind('/');
            if (IsTakenAudioName(slash == std::string::npos ? path : path.substr(slash + 1),
                                 otherFormats))
                drop.push_back({path, false});
        }
    }
    return drop;
}

bool CanTakePathDrop(const std::vector<DroppedItem>& drop, const ListNode* target) {
    if (drop.empty())
        return false;
    return std::all_of(drop.begin(), drop.end(),
                       [target](const DroppedItem& item) { return Fits(item, target); });
}

void AddPathDrop(const std::vector<DroppedItem>& drop, ListTree& tree, LinkList& links,
                 NamingService& names, bool otherFormats) {
    ListNode* target = tree.Selected();
    if (!target)
        return;
    if (target->IsMediaFile())
        target = target->Parent();
    const ShortNameBatch naming(names);
    for (const DroppedItem& item : drop) {
        // Each item goes where the drop went, not into the folder the one before made.
        tree.Select(target);
        if (!Fits(item, target))
            continue;
        if (item.isFolder) {
            const DiskListing listing(item.path, otherFormats);
            AddFolderNode(names.ShortNameFromPath(item.path), tree, links, &listing, names);
        } else {
            AddFileNode(item.path, tree, links, names);
        }
    }
}

} // namespace stavio
