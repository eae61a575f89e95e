#include "ListOperations.h"

#include "ShortNames.h"

#include <algorithm>
#include <string_view>
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

ListNode* AddFolderNode(const std::string& name, ListTree& tree, LinkList& links,
                        const ExplorerListing* withFiles) {
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
    if (withFiles) {
        const ShortNameBatch naming;
        const std::string directory = withFiles->SelectedPath();
        tree.SetSourceFolder(folder, directory);
        for (const std::string& item : withFiles->ItemNames())
            AddFileNode(JoinExplorerPath(directory, item), tree, links);
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

ListNode* AddFileNode(const std::string& sourcePath, ListTree& tree, LinkList& links) {
    return AddFileNodeNamed(sourcePath, ShortNameFromPath(sourcePath), false, tree, links);
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

} // namespace stavio
