// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operations that add and remove list entries and keep the link list in step.

#include "ListTree.h"
#include "NamingService.h"
#include "ProjectClasses.h"

#include <string>
#include <vector>

namespace stavio {

// What AddFolderNode reads from the explorer when it adds a directory with its files:
// the directory tree's selected folder and the file list's items in display order.
class ExplorerListing {
public:
    virtual ~ExplorerListing() = default;
    virtual std::string SelectedPath() const = 0;
    virtual std::vector<std::string> ItemNames() const = 0;
};

// The host path of an explorer item: the folder without a trailing "/", "/", the name.
std::string JoinExplorerPath(const std::string& folder, const std::string& name);

ListNode* AddFolderNode(const std::string& name, ListTree& tree, LinkList& links);
// withFiles: when given, a newly made folder receives every listed file, named by names.
ListNode* AddFolderNode(const std::string& name, ListTree& tree, LinkList& links,
                        const ExplorerListing* withFiles, NamingService& names);
ListNode* AddFileNode(const std::string& sourcePath, ListTree& tree, LinkList& links,
                      NamingService& names);
// The same with the name given: the one derived already, or, for a source that is missing
// (sourceMissing), the name kept for it; such an entry is marked as missing.
ListNode* AddFileNodeNamed(const std::string& sourcePath, const std::string& name,
                           bool sourceMissing, ListTree& tree, LinkList& links);
// Whether a name kept for a missing source can stand in a list: 1 to 12 bytes, no "\" or
// "/" (nor NUL), not "." or "..".
bool IsUsableListName(const std::string& name);
void DeleteSelectedNode(ListTree& tree, LinkList& links);
bool CanHoldFolders(const ListNode* node);
bool CanHoldFiles(const ListNode* node);
// Looks again at the sources that are one of paths or lie below one of them (files or folders
// deleted, moved or renamed, folders whose entries changed): an entry whose source is gone is
// marked missing, one whose source is back is marked found. One pass over the links; the
// disk is asked only about the sources concerned. Returns how many entries changed.
int RecheckSources(ListTree& tree, const LinkList& links, const std::vector<std::string>& paths);

} // namespace stavio
