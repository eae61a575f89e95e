// SPDX-License-Identifier: GPL-3.0-or-later
// The item model over a core list tree, checked by Qt's own model tester while the tree
// changes, and its selection kept in step with a view's both ways.

#include "ListTreeModel.h"
#include "ListOperations.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using stavio::ListNode;
using stavio::NodeKind;

TEST(ListTreeModelTest, FollowsInsertionsAndRemovalsUnderTheModelTester) {
    stavio::ListTree tree;
    stavio::LinkList links;
    ListTreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QItemSelectionModel selection(&model);
    model.SetSelectionModel(&selection);

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    tree.Select(tree.Root());
    ListNode* a = stavio::AddFolderNode("A", tree, links);
    ListNode* b = stavio::AddFolderNode("B", tree, links);
    ListNode* f1 = tree.AddChild(b, "F1.MP3", NodeKind::MediaFile);
    tree.AddChild(b, "F2.MP3", NodeKind::MediaFile);
    EXPECT_EQ(inserted.size(), 4);
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowCount(root), 1);
    EXPECT_EQ(model.IndexOf(b), model.index(0, 0, model.IndexOf(a)));
    EXPECT_EQ(model.index(1, 0, model.IndexOf(b)).data().toString(), QStringLiteral("F2.MP3"));
    EXPECT_EQ(model.parent(model.IndexOf(f1)), model.IndexOf(b));

    tree.Select(f1);
    tree.Remove(f1);
    EXPECT_EQ(removed.size(), 1);
    EXPECT_EQ(model.rowCount(model.IndexOf(b)), 1);
    EXPECT_EQ(tree.Selected(), b);
    EXPECT_EQ(selection.currentIndex(), model.IndexOf(b));

    tree.Clear();
    EXPECT_EQ(model.rowCount(root), 0);
    EXPECT_EQ(selection.currentIndex(), root);
}

TEST(ListTreeModelTest, ABulkChangeIsOneResetAndShowsTheRootAloneMeanwhile) {
    stavio::ListTree tree;
    ListTreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QItemSelectionModel selection(&model);
    model.SetSelectionModel(&selection);
    tree.Select(tree.Root());
    ListNode* old = tree.AddChild(tree.Root(), "OLD", NodeKind::Folder);
    tree.AddChild(old, "A.MP3", NodeKind::MediaFile);

    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &ListTreeModel::SelectedNodeChanged);
    ListNode* live = nullptr;
    {
        const stavio::ListTree::BulkChange bulk(tree);
        // A view that paints meanwhile meets the root alone, never a node gone or unannounced.
        EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
        tree.Clear();
        ListNode* rock = tree.AddChild(tree.Root(), "ROCK", NodeKind::Folder);
        live = tree.AddChild(rock, "LIVE", NodeKind::Folder);
        tree.AddChild(live, "B.MP3", NodeKind::MediaFile);
        tree.Select(live);
        EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
        EXPECT_EQ(changed.size(), 0);
    }
    EXPECT_EQ(inserted.size(), 0);
    EXPECT_EQ(removed.size(), 0);
    EXPECT_EQ(resets.size(), 2); // into the root alone, and out of it
    const QModelIndex root = model.index(0, 0);
    ASSERT_EQ(model.rowCount(root), 1);
    EXPECT_EQ(model.index(0, 0, root).data().toString(), QStringLiteral("ROCK"));
    EXPECT_EQ(model.rowCount(model.IndexOf(live)), 1);
    EXPECT_EQ(selection.currentIndex(), model.IndexOf(live));
    EXPECT_TRUE(selection.isSelected(model.IndexOf(live)));
    EXPECT_EQ(model.IndexOf(live).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
              ListTreeModel::ListImage(2).cacheKey()); // the selected folder shows open
    EXPECT_EQ(changed.size(), 1);
}

TEST(ListTreeModelTest, SelectionGoesBothWays) {
    stavio::ListTree tree;
    ListTreeModel model(tree);
    QItemSelectionModel selection(&model);
    model.SetSelectionModel(&selection);
    QSignalSpy changed(&model, &ListTreeModel::SelectedNodeChanged);
    ListNode* a = tree.AddChild(tree.Root(), "A", NodeKind::Folder);

    tree.Select(a);
    EXPECT_EQ(selection.currentIndex(), model.IndexOf(a));
    EXPECT_TRUE(selection.isSelected(model.IndexOf(a)));
    EXPECT_EQ(changed.size(), 1);

    selection.setCurrentIndex(model.index(0, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(tree.Selected(), tree.Root());
    EXPECT_EQ(changed.size(), 2);
}

TEST(ListTreeModelTest, ShowsWindows1252TextsAndTheListImages) {
    stavio::ListTree tree;
    ListTreeModel model(tree);
    QItemSelectionModel selection(&model);
    model.SetSelectionModel(&selection);
    ListNode* folder = tree.AddChild(tree.Root(), "CAF\xC9", NodeKind::Folder);
    ListNode* song = tree.AddChild(folder, "\x80.MP3", NodeKind::MediaFile);
    EXPECT_EQ(model.IndexOf(folder).data().toString(), QString::fromUtf8("CAFÉ"));
    EXPECT_EQ(model.IndexOf(song).data().toString(), QString::fromUtf8("€.MP3"));

    auto imageOf = [&](const ListNode* node) {
        return model.IndexOf(node).data(Qt::DecorationRole).value<QIcon>().cacheKey();
    };
    EXPECT_EQ(imageOf(song), ListTreeModel::ListImage(1).cacheKey());
    EXPECT_EQ(imageOf(tree.Root()), ListTreeModel::ListImage(3).cacheKey());
    EXPECT_EQ(imageOf(folder), ListTreeModel::ListImage(0).cacheKey());
    QSignalSpy dataChanged(&model, &QAbstractItemModel::dataChanged);
    tree.Select(folder); // the selected folder shows open
    EXPECT_EQ(imageOf(folder), ListTreeModel::ListImage(2).cacheKey());
    EXPECT_GE(dataChanged.size(), 1);
    EXPECT_FALSE(ListTreeModel::ListImage(0).isNull());
    EXPECT_FALSE(model.flags(model.IndexOf(folder)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.flags(model.IndexOf(folder)) & Qt::ItemIsDragEnabled);
}

} // namespace
