// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Copy List and the Delete List: an ordered tree of named nodes below one root "PLAYER".
// Children keep the order in which they were added; names are unique among siblings.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace stavio {

// The node's kind is its image index, which the window also uses for the icons.
enum class NodeKind : int { Folder = 0, MediaFile = 1, Root = 3 };

class ListNode {
public:
    const std::string& Text() const { return text_; }
    NodeKind Kind() const { return kind_; }
    bool IsMediaFile() const { return kind_ == NodeKind::MediaFile; }
    int ImageIndex() const { return static_cast<int>(kind_); }
    int SelectedIndex() const { return kind_ == NodeKind::Folder ? 2 : ImageIndex(); }
    int Level() const { return level_; }
    ListNode* Parent() const { return parent_; }
    int Row() const { return row_; }
    int ChildCount() const { return static_cast<int>(children_.size()); }
    ListNode* Child(int row) const { return children_[row].get(); }
    ListNode* ChildNamed(const std::string& name) const;
    // The source path of a media file whose source was missing when it was added (so its
    // name is the one stored for it); null for every other node.
    const std::string* MissingSource() const { return IsMediaFile() ? source_.get() : nullptr; }
    // The host folder a list folder was made from, when it was added or dropped as a whole;
    // null for every other node. Kept in memory only: the project file has no room for it.
    const std::string* SourceFolder() const {
        return kind_ == NodeKind::Folder ? source_.get() : nullptr;
    }

private:
    friend class ListTree;
    ListNode(std::string text, NodeKind kind, ListNode* parent);

    std::string text_;
    NodeKind kind_;
    int level_;
    int row_ = 0;
    ListNode* parent_;
    std::vector<std::unique_ptr<ListNode>> children_;
    std::unordered_map<std::string, ListNode*> byName_;
    std::unique_ptr<const std::string> source_; // see MissingSource and SourceFolder
};

// Told about every change, before and after, so a view can follow without rebuilding.
// A bulk change (a load, a reset, emptying a list) is told as a whole instead: between
// BulkChangeBegins and BulkChangeEnded the observer hears nothing, and afterwards it takes
// the tree, its selection included, as it then is.
class ListTreeObserver {
public:
    virtual ~ListTreeObserver() = default;
    virtual void NodeAboutToBeInserted(ListNode* parent, int row) = 0;
    virtual void NodeInserted(ListNode* node) = 0;
    virtual void NodesAboutToBeRemoved(ListNode* parent, int first, int last) = 0;
    virtual void NodesRemoved(ListNode* parent, int first, int last) = 0;
    virtual void SelectionChanged(ListNode* selected) = 0;
    virtual void BulkChangeBegins() = 0;
    virtual void BulkChangeEnded() = 0;
    // How a node looks changed (its source went missing or came back); not its place.
    virtual void NodeChanged(ListNode* /*node*/) {}
};

// One change of a tree's shape as a history keeps it: the subtree that went in (added) or
// out at parent's row. Whichever way the tree stands, the subtree not in it is held here.
struct TreeEdit {
    bool added;
    ListNode* parent;
    int row;
    std::unique_ptr<ListNode> held;
};

class ListTree {
public:
    ListTree();
    ListTree(const ListTree&) = delete;
    ListTree& operator=(const ListTree&) = delete;

    ListNode* Root() const { return root_.get(); }
    ListNode* Selected() const { return selected_; }
    // Makes node (or none) the selected node; tells the observers when it changes.
    void Select(ListNode* node);

    // Appends a new last child; the caller has checked that the name is free.
    ListNode* AddChild(ListNode* parent, const std::string& text, NodeKind kind);
    // Marks a media file as one whose source is missing, or as one whose source is there
    // again; the observers hear of it when it changes. The tree owns every node it is given.
    void MarkSourceMissing(const ListNode* node, std::string sourcePath);
    void MarkSourceFound(const ListNode* node);
    // Notes the host folder a folder just added was made from.
    void SetSourceFolder(ListNode* node, std::string folderPath);
    // Removes node and everything below it; appends the media file nodes removed to removed.
    // The selection moves to the parent when it was inside the removed subtree.
    void Remove(ListNode* node, std::vector<const ListNode*>* removedMediaFiles = nullptr);
    // Removes every child of the root; the root stays.
    void Clear();
    // As Clear, but the children are handed out alive: a large list takes a moment to free,
    // which the caller may spend on another thread.
    std::vector<std::unique_ptr<ListNode>> TakeAll();
    // Moves every child of other's root below this empty tree's root, as one bulk change; the
    // nodes keep their addresses, so links to them stay good. Both roots end selected.
    void AdoptAll(ListTree& other);

    // Takes the subtree at parent's row out of the tree, alive, and gives it back in.
    std::unique_ptr<ListNode> Detach(ListNode* parent, int row);
    void Attach(ListNode* parent, int row, std::unique_ptr<ListNode> node);
    // While set, every add and remove is appended to journal, removed subtrees kept there.
    void SetJournal(std::vector<TreeEdit>* journal) { journal_ = journal; }

    void AddObserver(ListTreeObserver* observer);
    void RemoveObserver(ListTreeObserver* observer);

    // Makes every change of its lifetime one bulk change for the observers. Scopes nest; the
    // outermost one tells the observers, also when it is left by an exception.
    class BulkChange {
    public:
        explicit BulkChange(ListTree& tree);
        ~BulkChange();
        BulkChange(const BulkChange&) = delete;
        BulkChange& operator=(const BulkChange&) = delete;

    private:
        ListTree& tree_;
    };
    bool InBulkChange() const { return bulkDepth_ > 0; }

private:
    void NodeChanged(const ListNode* node);

    std::unique_ptr<ListNode> root_;
    ListNode* selected_ = nullptr;
    std::vector<ListTreeObserver*> observers_;
    int bulkDepth_ = 0;
    std::vector<TreeEdit>* journal_ = nullptr;
    // Observers that heard BulkChangeBegins; one added during a bulk change hears neither.
    std::vector<ListTreeObserver*> bulkObservers_;
};

} // namespace stavio
