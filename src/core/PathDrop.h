// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files and folders dropped onto a list from another program (a file manager): the same
// rules as the explorer's drops. A folder is added like the explorer's folder, with the audio
// files it holds on disk; files are added like the explorer's selected files.

#include "ListTree.h"
#include "NamingService.h"
#include "ProjectClasses.h"

#include <string>
#include <vector>

namespace stavio {

struct DroppedItem {
    std::string path; // host path, as dropped
    bool isFolder = false;
};

// The dropped paths that count, in the order given: existing folders, and files whose
// names the lists take (IsTakenAudioName, AudioFormats.h). Anything else is left out.
std::vector<DroppedItem> PlanPathDrop(const std::vector<std::string>& paths,
                                      bool otherFormats = false);

// Whether target may take the drop: folders need CanHoldFolders, files CanHoldFiles. A drop
// with nothing that counts is refused.
bool CanTakePathDrop(const std::vector<DroppedItem>& drop, const ListNode* target);

// Adds the drop into the tree's selected node, item by item in order; an item the target can
// no longer take (a file after a folder went in) is skipped.
// A folder brings the files of the formats otherFormats takes. Names come from names.
void AddPathDrop(const std::vector<DroppedItem>& drop, ListTree& tree, LinkList& links,
                 NamingService& names, bool otherFormats = false);

bool IsMp3Name(const std::string& name);

// The names of the files of a folder on disk that the lists take (sub-folders are not
// visited), in the explorer's order: by name without regard to case, runs of digits by their
// value.
std::vector<std::string> AudioFilesIn(const std::string& folder, bool otherFormats);
inline std::vector<std::string> Mp3FilesIn(const std::string& folder) {
    return AudioFilesIn(folder, false);
}

// The order of AudioFilesIn: negative, zero or positive.
int CompareFileNames(const std::string& a, const std::string& b);

} // namespace stavio
