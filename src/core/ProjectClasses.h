// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project and the link that ties a media-file node of a list to its source file.

#include <memory>
#include <string>
#include <vector>

namespace stavio {

class ListNode;

class TNodeFileLink {
public:
    TNodeFileLink(const ListNode* node, std::string sourcePath)
        : Node(node), SourcePath(std::move(sourcePath)) {}
    bool HasNode(const ListNode* node) const { return Node == node; }

    // Never dereferenced once the node is gone: the saved project may still hold the link,
    // and only its identity counts there.
    const ListNode* const Node;
    const std::string SourcePath; // host path, exactly as given
};

// Links are shared by identity between the current and the saved project.
using LinkPtr = std::shared_ptr<const TNodeFileLink>;
using LinkList = std::vector<LinkPtr>;

class TProjectClass {
public:
    // Texts are Windows-1252 bytes; TargetPath is a host path.
    std::string ProjectName;
    std::string Subject;
    std::string Author;
    std::string Copyright;
    std::string Customer;
    std::string CreationDate;
    std::string DiffusionDate;
    std::vector<std::string> Comments{"..."};
    std::string TargetPath;
    LinkList CopyLinks;
    LinkList DeleteLinks;
};

} // namespace stavio
