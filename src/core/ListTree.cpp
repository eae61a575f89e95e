// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListTree.h"

#include <algorithm>
#include <cassert>

namespace stavio {

ListNode::ListNode(std::string text, NodeKind kind, ListNode* parent)
    : text_(std::move(text)), kind_(kind), level_(parent ? parent->level_ + 1 : 0),
      parent_(parent) {}

ListNode* ListNode::ChildNamed(const std::string& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

ListTree::ListTree() : root_(new ListNode("PLAYER", NodeKind::Root, nullptr)) {}

void ListTree::Select(ListNode* node) {
    if (node == selected_)
        return;
    selected_ = node;
    if (InBulkChange())
        return;
    for (auto* o : observers_)
        o->SelectionChanged(node);
}

void ListTree::MarkSourceMissing(const ListNode* node, std::string sourcePath) {
    if (node->source_ && *node->source_ == sourcePath)
        return;
    const_cast<ListNode*>(node)->source_ =
        std::make_unique<const std::string>(std::move(sourcePath));
    NodeChanged(node);
}

void ListTree::MarkSourceFound(const ListNode* node) {
    if (!node->source_)
        return;
    const_cast<ListNode*>(node)->source_.reset();
    NodeChanged(node);
}

void ListTree::NodeChanged(const ListNode* node) {
    if (InBulkChange())
        return;
    for (auto* o : observers_)
        o->NodeChanged(const_cast<ListNode*>(node));
}

void ListTree::SetSourceFolder(ListNode* node, std::string folderPath) {
    node->source_ = std::make_unique<const std::string>(std::move(folderPath));
}

ListNode* ListTree::AddChild(ListNode* parent, const std::string& text, NodeKind kind) {
    assert(parent && !parent->ChildNamed(text));
    const int row = parent->ChildCount();
    const bool tell = !InBulkChange();
    if (tell)
        for (auto* o : observers_)
            o->NodeAboutToBeInserted(parent, row);
    auto* node = new ListNode(text, kind, parent);
    node->row_ = row;
    parent->children_.emplace_back(node);
    parent->byName_.emplace(text, node);
    if (tell)
        for (auto* o : observers_)
            o->NodeInserted(node);
    if (journal_)
        journal_->push_back({true, parent, row, nullptr});
    return node;
}

static void CollectMediaFiles(const ListNode* node, std::vector<const ListNode*>& out) {
    if (node->IsMediaFile())
        out.push_back(node);
    for (int i = 0; i < node->ChildCount(); ++i)
        CollectMediaFiles(node->Child(i), out);
}

static bool IsWithin(const ListNode* node, const ListNode* ancestor) {
    for (; node; node = node->Parent())
        if (node == ancestor)
            return true;
    return false;
}

void ListTree::Remove(ListNode* node, std::vector<const ListNode*>* removedMediaFiles) {
    assert(node && node != root_.get());
    if (removedMediaFiles)
        CollectMediaFiles(node, *removedMediaFiles);
    ListNode* parent = node->parent_;
    const int row = node->row_;
    std::unique_ptr<ListNode> gone = Detach(parent, row);
    if (journal_)
        journal_->push_back({false, parent, row, std::move(gone)});
}

std::unique_ptr<ListNode> ListTree::Detach(ListNode* parent, int row) {
    ListNode* node = parent->Child(row);
    // Move the selection off the subtree first, so no observer ever sees a dead selection.
    if (IsWithin(selected_, node))
        Select(parent);
    const bool tell = !InBulkChange();
    if (tell)
        for (auto* o : observers_)
            o->NodesAboutToBeRemoved(parent, row, row);
    std::unique_ptr<ListNode> held = std::move(parent->children_[row]);
    parent->byName_.erase(node->text_);
    parent->children_.erase(parent->children_.begin() + row);
    for (int i = row; i < parent->ChildCount(); ++i)
        parent->children_[i]->row_ = i;
    if (tell)
        for (auto* o : observers_)
            o->NodesRemoved(parent, row, row);
    return held;
}

void ListTree::Attach(ListNode* parent, int row, std::unique_ptr<ListNode> node) {
    assert(parent && node && node->parent_ == parent && !parent->ChildNamed(node->text_));
    const bool tell = !InBulkChange();
    if (tell)
        for (auto* o : observers_)
            o->NodeAboutToBeInserted(parent, row);
    ListNode* raw = node.get();
    parent->byName_.emplace(raw->text_, raw);
    parent->children_.insert(parent->children_.begin() + row, std::move(node));
    for (int i = row; i < parent->ChildCount(); ++i)
        parent->children_[i]->row_ = i;
    if (tell)
        for (auto* o : observers_)
            o->NodeInserted(raw);
}

void ListTree::Clear() {
    ListNode* root = root_.get();
    if (root->ChildCount() == 0) {
        if (selected_)
            Select(root);
        return;
    }
    // A whole library at once: the views rebuild once instead of following every row.
    const BulkChange bulk(*this);
    if (selected_)
        Select(root);
    if (journal_) {
        // From the last, so that giving them back in reverse order restores every row.
        for (int row = root->ChildCount() - 1; row >= 0; --row)
            journal_->push_back({false, root, row, Detach(root, row)});
        return;
    }
    root->children_.clear();
    root->byName_.clear();
}

std::vector<std::unique_ptr<ListNode>> ListTree::TakeAll() {
    ListNode* root = root_.get();
    if (root->ChildCount() == 0) {
        Select(root);
        return {};
    }
    const BulkChange bulk(*this);
    Select(root);
    std::vector<std::unique_ptr<ListNode>> taken = std::move(root->children_);
    root->children_.clear();
    root->byName_.clear();
    return taken;
}

void ListTree::AdoptAll(ListTree& other) {
    assert(root_->ChildCount() == 0);
    ListNode* root = root_.get();
    if (other.root_->ChildCount() == 0) {
        Select(root);
        return;
    }
    const BulkChange bulk(*this);
    for (std::unique_ptr<ListNode>& node : other.TakeAll()) {
        node->parent_ = root;
        node->row_ = root->ChildCount();
        root->byName_.emplace(node->text_, node.get());
        root->children_.push_back(std::move(node));
    }
    Select(root);
}

ListTree::BulkChange::BulkChange(ListTree& tree) : tree_(tree) {
    if (tree_.bulkDepth_++ > 0)
        return;
    tree_.bulkObservers_ = tree_.observers_;
    for (auto* o : tree_.bulkObservers_)
        o->BulkChangeBegins();
}

ListTree::BulkChange::~BulkChange() {
    if (--tree_.bulkDepth_ > 0)
        return;
    const std::vector<ListTreeObserver*> observers = std::move(tree_.bulkObservers_);
    tree_.bulkObservers_.clear();
    for (auto* o : observers)
        if (std::find(tree_.observers_.begin(), tree_.observers_.end(), o) !=
            tree_.observers_.end())
            o->BulkChangeEnded();
}

void ListTree::AddObserver(ListTreeObserver* observer) {
    observers_.push_back(observer);
}

void ListTree::RemoveObserver(ListTreeObserver* observer) {
    std::erase(observers_, observer);
}

} // namespace stavio
