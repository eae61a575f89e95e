// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An item model over one list tree of the core. The tree stays the only copy: the model turns
// its notifications into row insertions and removals, and keeps a selection model in step
// with the tree's selected node, both ways.

#include "ListTree.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <functional>

class QItemSelectionModel;

class ListTreeModel : public QAbstractItemModel, private stavio::ListTreeObserver {
    Q_OBJECT
public:
    explicit ListTreeModel(stavio::ListTree& tree, QObject* parent = nullptr);
    ~ListTreeModel() override;

    stavio::ListTree& Tree() const { return tree_; }
    QModelIndex IndexOf(const stavio::ListNode* node) const;
    stavio::ListNode* NodeAt(const QModelIndex& index) const;

    // The selection model of the view that shows this model. A current-index change there
    // selects the node in the tree; a selection change in the tree moves the current index.
    void SetSelectionModel(QItemSelectionModel* selection);
    // What a node's tooltip says (empty: none); the main window knows the sources.
    void SetToolTips(std::function<QString(const stavio::ListNode*)> toolTips);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Images of the lists: 0 closed folder, 1 media file, 2 open folder, 3 player.
    static QIcon ListImage(int index);

signals:
    // The tree's selected node changed (by the program or by the user).
    void SelectedNodeChanged();

private:
    void NodeAboutToBeInserted(stavio::ListNode* parent, int row) override;
    void NodeInserted(stavio::ListNode* node) override;
    void NodesAboutToBeRemoved(stavio::ListNode* parent, int first, int last) override;
    void NodesRemoved(stavio::ListNode* parent, int first, int last) override;
    void SelectionChanged(stavio::ListNode* selected) override;
    void BulkChangeBegins() override;
    void BulkChangeEnded() override;
    void NodeChanged(stavio::ListNode* node) override;

    void CurrentChanged(const QModelIndex& current);
    // Shows selected as the current node of the selection model and tells the window.
    void ShowSelection(stavio::ListNode* selected);

    stavio::ListTree& tree_;
    QItemSelectionModel* selection_ = nullptr;
    stavio::ListNode* shownSelected_ = nullptr; // drawn with its selected image
    bool syncing_ = false;
    // During a bulk change of the tree the model shows the root alone, so a view that paints
    // meanwhile never meets a node that is about to go or not yet announced.
    bool bulk_ = false;
    std::function<QString(const stavio::ListNode*)> toolTips_;
};
