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
    for (auto* o : observers_)
        o->SelectionChanged(node);
}

void ListTree::MarkSourceMissing(ListNode* node, std::string sourcePath) {
    node->missingSource_ = std::make_unique<const std::string>(std::move(sourcePath));
}

ListNode* ListTree::AddChild(ListNode* parent, const std::string& text, NodeKind kind) {
    assert(parent && !parent->ChildNamed(text));
    const int row = parent->ChildCount();
    for (auto* o : observers_)
        o->NodeAboutToBeInserted(parent, row);
    auto* node = new ListNode(text, kind, parent);
    node->row_ = row;
    parent->children_.emplace_back(node);
    parent->byName_.emplace(text, node);
    for (auto* o : observers_)
        o->NodeInserted(node);
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
    ListNode* parent = node->parent_;
    if (removedMediaFiles)
        CollectMediaFiles(node, *removedMediaFiles);
    // Move the selection off the subtree first, so no observer ever sees a dead selection.
    if (IsWithin(selected_, node))
        Select(parent);
    const int row = node->row_;
    for (auto* o : observers_)
        o->NodesAboutToBeRemoved(parent, row, row);
    parent->byName_.erase(node->text_);
    parent->children_.erase(parent->children_.begin() + row);
    for (int i = row; i < parent->ChildCount(); ++i)
        parent->children_[i]->row_ = i;
    for (auto* o : observers_)
        o->NodesRemoved(parent, row, row);
}

void ListTree::Clear() {
    ListNode* root = root_.get();
    if (selected_ && selected_ != root)
        Select(root);
    const int count = root->ChildCount();
    if (count == 0)
        return;
    for (auto* o : observers_)
        o->NodesAboutToBeRemoved(root, 0, count - 1);
    root->children_.clear();
    root->byName_.clear();
    for (auto* o : observers_)
        o->NodesRemoved(root, 0, count - 1);
}

void ListTree::AddObserver(ListTreeObserver* observer) {
    observers_.push_back(observer);
}

void ListTree::RemoveObserver(ListTreeObserver* observer) {
    std::erase(observers_, observer);
}

} // namespace stavio
