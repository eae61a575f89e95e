#pragma once
// Files and folders dropped onto a list from another program (a file manager): the same
// rules as the explorer's drops. A folder is added like the explorer's folder, with the MP3
// files it holds on disk; files are added like the explorer's selected files.

#include "ListTree.h"
#include "ProjectClasses.h"

#include <string>
#include <vector>

namespace stavio {

struct DroppedItem {
    std::string path; // host path, as dropped
    bool isFolder = false;
};

// The dropped paths that count, in the order given: existing folders, and files whose
// names end in ".mp3" in any case. Anything else is left out.
std::vector<DroppedItem> PlanPathDrop(const std::vector<std::string>& paths);

// Whether target may take the drop: folders need CanHoldFolders, files CanHoldFiles. A drop
// with nothing that counts is refused.
bool CanTakePathDrop(const std::vector<DroppedItem>& drop, const ListNode* target);

// Adds the drop into the tree's selected node, item by item in order; an item the target can
// no longer take (a file after a folder went in) is skipped.
void AddPathDrop(const std::vector<DroppedItem>& drop, ListTree& tree, LinkList& links);

bool IsMp3Name(const std::string& name);

// The names of the MP3 files of a folder on disk (sub-folders are not visited), in the
// explorer's order: by name without regard to case, runs of digits by their value.
std::vector<std::string> Mp3FilesIn(const std::string& folder);

// The order of Mp3FilesIn: negative, zero or positive.
int CompareFileNames(const std::string& a, const std::string& b);

} // namespace stavio
