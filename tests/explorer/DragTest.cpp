#include "ExplorerDrag.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(DragTest, DragDataCarriesOnlyTheExplorerFormat)
{
  std::unique_ptr<QMimeData> data(NewExplorerDragData());
  EXPECT_EQ(data->formats(), QStringList{QStringLiteral("application/x-stavio-explorer-drag")});
  EXPECT_TRUE(data->data(ExplorerDragFormat()).isEmpty());
  EXPECT_TRUE(IsExplorerDrag(data.get()));
  QMimeData other;
  other.setText(QStringLiteral("x"));
  EXPECT_FALSE(IsExplorerDrag(&other));
  EXPECT_FALSE(IsExplorerDrag(nullptr));
}

TEST(DragTest, FileListDragsOnlyWithASelection)
{
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

TEST(DragTest, PressingOnTheTreeSelectsTheFolderUnderThePointer)
{
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
