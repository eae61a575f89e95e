// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Undo and Redo of list edits. A step gives back the very nodes and links it took away, at
// the rows and positions they held, so that the project compares equal to its saved record
// again when the edits that followed a save are undone.

#include "ListTree.h"
#include "ProjectClasses.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace stavio {

class ListHistory {
public:
    // The oldest steps go beyond this many.
    static constexpr std::size_t Depth = 100;

    // linksOf: the link list that goes with a tree.
    explicit ListHistory(std::function<LinkList&(const ListTree&)> linksOf);
    ~ListHistory();
    ListHistory(const ListHistory&) = delete;
    ListHistory& operator=(const ListHistory&) = delete;

    // Every change to tree and its links during its lifetime makes one step; a change that
    // leaves both as they were makes none. An edit begun inside another belongs to it.
    class Edit {
    public:
        Edit(ListHistory& history, ListTree& tree);
        ~Edit();
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;

    private:
        ListHistory& history_;
        ListTree* tree_ = nullptr; // none when nested
        LinkList before_;
        ListNode* selectedBefore_ = nullptr;
        std::vector<TreeEdit> journal_;
    };

    bool CanUndo() const { return !done_.empty(); }
    bool CanRedo() const { return !undone_.empty(); }
    void Undo();
    void Redo();
    // Forgets every step, as a new or opened project starts with none.
    void Clear();

private:
    struct Step {
        ListTree* tree;
        std::vector<TreeEdit> edits;
        std::vector<std::pair<std::size_t, LinkPtr>> removedLinks; // position before the step
        LinkList addedLinks;                                       // appended after them
        ListNode* selectedBefore;
        ListNode* selectedAfter;
    };
    static void Revert(Step& step, LinkList& links);
    static void Replay(Step& step, LinkList& links);

    std::function<LinkList&(const ListTree&)> linksOf_;
    std::deque<Step> done_;
    std::vector<Step> undone_;
    bool recording_ = false;
};

} // namespace stavio
