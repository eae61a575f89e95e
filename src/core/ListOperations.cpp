// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListOperations.h"

#include <algorithm>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>

namespace stavio {

std::string JoinExplorerPath(const std::string& folder, const std::string& name) {
    std::string path = folder;
    if (!path.empty() && path.back() == '/')
        path.pop_back();
    path += '/';
    path += name;
    return path;
}

namespace {

// The folder name under the selected node (or under the folder of a selected file), made and
// selected when new; null where no folder can stand.
ListNode* FolderAtSelection(const std::string& name, ListTree& tree, bool& made) {
    made = false;
    ListNode* target = tree.Selected();
    if (!target)
        return nullptr;
    if (target->IsMediaFile()) {
        target = target->Parent();
        tree.Select(target);
    }
    // Folders stand at levels 1 and 2 only.
    if (target->Level() >= 2)
        return nullptr;
    if (ListNode* existing = target->ChildNamed(name))
        return existing;
    ListNode* folder = tree.AddChild(target, name, NodeKind::Folder);
    tree.Select(folder);
    made = true;
    return folder;
}

} // namespace

ListNode* AddFolderNode(const std::string& name, ListTree& tree, LinkList& /*links*/) {
    bool made;
    return FolderAtSelection(name, tree, made);
}

ListNode* AddFolderNode(const std::string& name, ListTree& tree, LinkList& links,
                        const ExplorerListing* withFiles, NamingService& names) {
    bool made;
    ListNode* folder = FolderAtSelection(name, tree, made);
    if (made && withFiles) {
        const ShortNameBatch naming(names);
        const std::string directory = withFiles->SelectedPath();
        tree.SetSourceFolder(folder, directory);
        for (const std::string& item : withFiles->ItemNames())
            AddFileNode(JoinExplorerPath(directory, item), tree, links, names);
    }
    return folder;
}

ListNode* AddFileNodeNamed(const std::string& sourcePath, const std::string& name,
                           bool sourceMissing, ListTree& tree, LinkList& links) {
    ListNode* target = tree.Selected();
    if (!target)
        return nullptr;
    if (target->IsMediaFile())
        target = target->Parent();
    if (target->Level() != 1 && target->Level() != 2)
        return nullptr;
    if (target->ChildNamed(name))
        return nullptr;
    ListNode* node = tree.AddChild(target, name, NodeKind::MediaFile);
    // An empty name is what a source gives that vanished before it could be named.
    if (sourceMissing || name.empty())
        tree.MarkSourceMissing(node, sourcePath);
    links.push_back(std::make_shared<const TNodeFileLink>(node, sourcePath));
    return node;
}

ListNode* AddFileNode(const std::string& sourcePath, ListTree& tree, LinkList& links,
                      NamingService& names) {
    return AddFileNodeNamed(sourcePath, names.ListNameFromPath(sourcePath), false, tree, links);
}

bool IsUsableListName(const std::string& name) {
    // A name goes into the script as it is: a line end would start a line of its own, and
    // "*" or "?" would make it a pattern on the player.
    return !name.empty() && name.size() <= 12 && name != "." && name != ".." &&
           std::none_of(name.begin(), name.end(), [](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return byte < 0x20 || byte == 0x7F || c == '\\' || c == '/' || c == '*' || c == '?';
           });
}

void DeleteSelectedNode(ListTree& tree, LinkList& links) {
    ListNode* selected = tree.Selected();
    if (!selected)
        return;
    if (selected == tree.Root()) {
        links.clear();
        tree.Clear();
        return;
    }
    std::vector<const ListNode*> removed;
    if (selected->IsMediaFile()) {
        removed.push_back(selected);
    } else {
        tree.Remove(selected, &removed);
        selected = nullptr;
    }
    // Links are matched on node identity only; the nodes may already be gone.
    if (removed.size() == 1) {
        const ListNode* node = removed.front();
        for (auto it = links.begin(); it != links.end(); ++it)
            if ((*it)->HasNode(node)) {
                links.erase(it);
                break;
            }
    } else if (!removed.empty()) {
        const std::unordered_set<const ListNode*> dead(removed.begin(), removed.end());
        std::erase_if(links, [&](const LinkPtr& link) { return dead.count(link->Node) != 0; });
    }
    if (selected)
        tree.Remove(selected);
}

bool CanHoldFolders(const ListNode* node) {
    if (!node)
        return false;
    if (node->Level() != 0 && node->Level() != 1)
        return false;
    if (node->IsMediaFile())
        node = node->Parent();
    for (int i = 0; i < node->ChildCount(); ++i)
        if (node->Child(i)->IsMediaFile())
            return false;
    return true;
}

bool CanHoldFiles(const ListNode* node) {
    if (!node)
        return false;
    if (node->Level() < 1 || node->Level() > 3)
        return false;
    if (node->IsMediaFile())
        node = node->Parent();
    for (int i = 0; i < node->ChildCount(); ++i)
        if (!node->Child(i)->IsMediaFile())
            return false;
    return true;
}

int RecheckSources(ListTree& tree, const LinkList& links, const std::vector<std::string>& paths) {
    // The length of the path that source is or lies below, without its final "/"; npos: none.
    auto below = [&](const std::string& source) {
        for (const std::string& path : paths) {
            const std::size_t length = path.ends_with('/') ? path.size() - 1 : path.size();
            if (source.compare(0, length, path, 0, length) == 0 &&
                (source.size() == length || source[length] == '/'))
                return length;
        }
        return std::string::npos;
    };
    auto exists = [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    };
    // A folder that holds a whole library may change often: a source deeper down is taken as
    // there while the first folder on its way is, so the disk is asked once per such folder.
    std::unordered_map<std::string, bool> folders;
    int changed = 0;
    for (const LinkPtr& link : links) {
        const std::string& source = link->SourcePath;
        const std::size_t length = below(source);
        if (length == std::string::npos)
            continue;
        const ListNode* node = link->Node;
        const std::size_t slash = source.find('/', length + 1);
        bool missing;
        if (slash == std::string::npos || node->MissingSource()) {
            missing = !exists(source);
        } else {
            const auto [folder, fresh] = folders.try_emplace(source.substr(0, slash));
            if (fresh)
                folder->second = exists(folder->first);
            missing = !folder->second;
        }
        // An entry named for a source that had gone keeps no name to render with.
        if (missing && !node->MissingSource()) {
            tree.MarkSourceMissing(node, source);
            ++changed;
        } else if (!missing && node->MissingSource() && !node->Text().empty()) {
            tree.MarkSourceFound(node);
            ++changed;
        }
    }
    return changed;
}

} // namespace stavio
