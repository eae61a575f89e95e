// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers for the tests of the project file, the script and the media copy.

#include "ListOperations.h"
#include "ProgramState.h"
#include "TempDir.h"

#include <fstream>
#include <sstream>
#include <string>

namespace stavio::test {

// Adds source below the folders of folderPath ("ROCK" or "ROCK/LIVE") as the list commands
// do, and leaves the root selected. Returns the new file node, or null when refused.
inline ListNode* AddEntry(ListTree& tree, LinkList& links, const std::string& folderPath,
                          const std::string& source, NamingService& naming) {
    tree.Select(tree.Root());
    std::istringstream names(folderPath);
    std::string name;
    while (std::getline(names, name, '/'))
        tree.Select(AddFolderNode(name, tree, links));
    ListNode* node = AddFileNode(source, tree, links, naming);
    tree.Select(tree.Root());
    return node;
}

} // namespace stavio::test
