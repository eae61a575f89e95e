// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListHistory.h"

#include <cassert>

namespace stavio {

ListHistory::ListHistory(std::function<LinkList&(const ListTree&)> linksOf)
    : linksOf_(std::move(linksOf)) {}

ListHistory::~ListHistory() = default;

ListHistory::Edit::Edit(ListHistory& history, ListTree& tree) : history_(history) {
    if (history_.recording_)
        return;
    history_.recording_ = true;
    tree_ = &tree;
    before_ = history_.linksOf_(tree);
    selectedBefore_ = tree.Selected();
    tree.SetJournal(&journal_);
}

ListHistory::Edit::~Edit() {
    if (!tree_)
        return;
    tree_->SetJournal(nullptr);
    history_.recording_ = false;
    const LinkList& after = history_.linksOf_(*tree_);
    Step step{tree_, std::move(journal_), {}, {}, selectedBefore_, tree_->Selected()};
    // What is left of the links before, in their order, opens the list after; whatever does
    // not is gone, and the rest of the list after was added.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < before_.size(); ++i) {
        if (kept < after.size() && after[kept] == before_[i])
            ++kept;
        else
            step.removedLinks.emplace_back(i, std::move(before_[i]));
    }
    step.addedLinks.assign(after.begin() + static_cast<std::ptrdiff_t>(kept), after.end());
    if (step.edits.empty() && step.removedLinks.empty() && step.addedLinks.empty())
        return;
    history_.undone_.clear();
    history_.done_.push_back(std::move(step));
    if (history_.done_.size() > Depth)
        history_.done_.pop_front();
}

void ListHistory::Revert(Step& step, LinkList& links) {
    ListTree& tree = *step.tree;
    for (auto it = step.edits.rbegin(); it != step.edits.rend(); ++it) {
        if (it->added)
            it->held = tree.Detach(it->parent, it->row);
        else
            tree.Attach(it->parent, it->row, std::move(it->held));
    }
    links.resize(links.size() - step.addedLinks.size());
    // One pass, as a whole list may come back at once.
    LinkList restored;
    restored.reserve(links.size() + step.removedLinks.size());
    auto removed = step.removedLinks.begin();
    auto rest = links.begin();
    while (restored.size() < links.size() + step.removedLinks.size()) {
        if (removed != step.removedLinks.end() && removed->first == restored.size())
            restored.push_back((removed++)->second);
        else
            restored.push_back(*rest++);
    }
    links = std::move(restored);
    tree.Select(step.selectedBefore);
}

void ListHistory::Replay(Step& step, LinkList& links) {
    ListTree& tree = *step.tree;
    for (TreeEdit& edit : step.edits) {
        if (edit.added)
            tree.Attach(edit.parent, edit.row, std::move(edit.held));
        else
            edit.held = tree.Detach(edit.parent, edit.row);
    }
    LinkList remaining;
    remaining.reserve(links.size() - step.removedLinks.size() + step.addedLinks.size());
    auto removed = step.removedLinks.begin();
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (removed != step.removedLinks.end() && removed->first == i)
            ++removed;
        else
            remaining.push_back(links[i]);
    }
    remaining.insert(remaining.end(), step.addedLinks.begin(), step.addedLinks.end());
    links = std::move(remaining);
    tree.Select(step.selectedAfter);
}

void ListHistory::Undo() {
    assert(!recording_);
    if (done_.empty())
        return;
    Step& step = done_.back();
    Revert(step, linksOf_(*step.tree));
    undone_.push_back(std::move(step));
    done_.pop_back();
}

void ListHistory::Redo() {
    assert(!recording_);
    if (undone_.empty())
        return;
    Step& step = undone_.back();
    Replay(step, linksOf_(*step.tree));
    done_.push_back(std::move(step));
    undone_.pop_back();
}

void ListHistory::Clear() {
    done_.clear();
    undone_.clear();
}

} // namespace stavio
