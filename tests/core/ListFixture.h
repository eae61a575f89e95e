// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A program state with an empty project and a temporary folder for the songs that the Copy
// List's entries are made from.

#include "ProgramState.h"
#include "TempDir.h"

namespace stavio::test {

struct ListFixture {
    TempDir dir;
    ProgramState state;
    ListTree& tree = state.CopyTree;
    LinkList& links() { return state.CurrentProject->CopyLinks; }
};

} // namespace stavio::test
