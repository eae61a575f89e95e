// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExplorerDrag.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(DragTest, DragDataCarriesTheExplorerFormatAndTheFilesAsUris) {
    std::unique_ptr<QMimeData> data(NewExplorerDragData());
    EXPECT_EQ(data->formats(), QStringList{QStringLiteral("application/x-stavio-explorer-drag")});
    EXPECT_TRUE(data->data(ExplorerDragFormat()).isEmpty());
    EXPECT_TRUE(IsExplorerDrag(data.get()));
    data.reset(NewExplorerDragData({QUrl::fromLocalFile(QStringLiteral("/music/a b.mp3"))}));
    EXPECT_EQ(data->formats(), (QStringList{QStringLiteral("application/x-stavio-explorer-drag"),
                                            QStringLiteral("text/uri-list")}));
    EXPECT_EQ(data->data(QStringLiteral("text/uri-list")), "file:///music/a%20b.mp3\r\n");
    EXPECT_TRUE(IsExplorerDrag(data.get()));
    QMimeData other;
    other.setText(QStringLiteral("x"));
    EXPECT_FALSE(IsExplorerDrag(&other));
    EXPECT_FALSE(IsExplorerDrag(nullptr));
}

TEST(DragTest, FileListDragsOnlyWithASelection) {
    QTemporaryDir tmp;
    MakeFile(tmp.path(), QStringLiteral("a.mp3"));
    TLsFilelistView28 list;
    list.SetDirectory(tmp.path());
    EXPECT_FALSE(list.CanStartDrag());
    list.StartDrag(); // without a selection: returns at once, no drag loop
    list.SelectCaptions({QStringLiteral("a.mp3")});
    EXPECT_TRUE(list.CanStartDrag());
    list.SelectCaptions({});
    EXPECT_FALSE(list.CanStartDrag());
}

TEST(DragTest, PressingOnTheTreeSelectsTheFolderUnderThePointer) {
    QTemporaryDir tmp;
    const QString root = QDir(tmp.path()).canonicalPath();
    MakeDir(root, QStringLiteral("A"));
    MakeDir(root, QStringLiteral("B"));
    MakeFile(root, QStringLiteral("B/song.mp3"));
    TLsDirTree21 tree;
    TLsFilelistView28 list;
    tree.SetFileList(&list);
    tree.resize(400, 600);
    tree.show();
    tree.OpenPath(root + QStringLiteral("/A"));
    QTreeWidgetItem* b = tree.currentItem()->parent()->child(1);
    ASSERT_EQ(TLsDirTree21::PathOf(b), root + QStringLiteral("/B"));

    QSignalSpy changes(&tree, &TLsDirTree21::OnDirChange);
    const QRect rect = tree.visualItemRect(b);
    ASSERT_TRUE(rect.isValid());
    QTest::mousePress(tree.viewport(), Qt::LeftButton, {}, rect.center());
    // Selected on the press already, before any release or drag.
    EXPECT_EQ(tree.SelectedPath(), root + QStringLiteral("/B"));
    EXPECT_EQ(changes.size(), 1);
    EXPECT_EQ(list.ItemCaptions(), QStringList{QStringLiteral("song.mp3")});
    QTest::mouseRelease(tree.viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

namespace {

TEST(DragTest, DragsNameTheComponentItselfAsTheirSource) {
    QTemporaryDir tmp;
    const QString root = QDir(tmp.path()).canonicalPath();
    MakeFile(root, QStringLiteral("a.mp3"));

    TLsFilelistView28 list;
    list.resize(300, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    MakeFile(root, QStringLiteral("b c.mp3"));
    list.SetDirectory(root);
    // A drag begun on the inner view, in every view style, is started by the list itself.
    QDrag* drag = nullptr;
    for (int style : {0, 1, 2, 3}) {
        list.SetViewStyle(style);
        QAbstractItemView* view = list.CurrentView();
        list.SelectCaptions({QStringLiteral("a.mp3"), QStringLiteral("b c.mp3")});
        QTest::qWait(50); // lets the view lay its items out
        DragFrom(view->viewport(), view->visualRect(view->model()->index(0, 0)).center());
        drag = LastDrag(&list);
        ASSERT_NE(drag, nullptr) << style;
        EXPECT_EQ(drag->source(), &list);
        EXPECT_TRUE(IsExplorerDrag(drag->mimeData()));
        // Other programs take the selected files.
        EXPECT_EQ(drag->mimeData()->urls(),
                  (QList<QUrl>{QUrl::fromLocalFile(root + QStringLiteral("/a.mp3")),
                               QUrl::fromLocalFile(root + QStringLiteral("/b c.mp3"))}));
        EXPECT_EQ(drag->supportedActions(), Qt::CopyAction);
        delete drag;
    }

    TLsDirTree21 tree;
    tree.resize(300, 400);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    tree.OpenPath(root);
    DragFrom(tree.viewport(), tree.visualItemRect(tree.currentItem()).center());
    drag = LastDrag(&tree);
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->source(), &tree);
    EXPECT_TRUE(IsExplorerDrag(drag->mimeData()));
    EXPECT_EQ(drag->mimeData()->urls(), QList<QUrl>{QUrl::fromLocalFile(root)});
}

} // namespace
