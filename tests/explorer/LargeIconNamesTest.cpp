// SPDX-License-Identifier: GPL-3.0-or-later
// Large icons show whole names, over up to three lines, whatever names the folder holds; the
// small icons and the list end a name longer than the view in "..." instead of cutting it.
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QListView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(LargeIconNamesTest, EveryItemHasRoomForThreeLinesOfItsName) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = QDir(tmp.path()).canonicalPath();
    // A long name sorts first, short ones after it; the view measures one of them.
    const QStringList names = {
        QStringLiteral("A song with a really long name that takes three lines.mp3"),
        QStringLiteral("Track 1.mp3"), QStringLiteral("Track 10.mp3"), QStringLiteral("Zz.mp3")};
    for (const QString& name : names)
        MakeFile(dir, name);
    TLsFilelistView28 list;
    list.resize(340, 330);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.SetDirectory(dir);
    list.SetViewStyle(0);
    QTest::qWait(50); // lets the view lay its items out
    auto* view = qobject_cast<QListView*>(list.CurrentView());
    ASSERT_NE(view, nullptr);
    const QFontMetrics metrics = view->fontMetrics();
    const int threeLines = view->iconSize().height() + 3 * metrics.lineSpacing();
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        const QModelIndex index = view->model()->index(row, 0);
        const QString name = index.data().toString();
        SCOPED_TRACE(name.toStdString());
        const QRect rect = view->visualRect(index);
        EXPECT_GE(rect.height(), threeLines);
        // A name that fits on a line shows whole on one.
        if (metrics.horizontalAdvance(name) < 100) {
            EXPECT_GT(rect.width(), metrics.horizontalAdvance(name));
        }
    }
}

TEST(LargeIconNamesTest, SmallIconsAndListKeepEachNameInsideTheView) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = QDir(tmp.path()).canonicalPath();
    MakeFile(dir, QStringLiteral("A song with a name far longer than the pane is wide.mp3"));
    MakeFile(dir, QStringLiteral("Short.mp3"));
    TLsFilelistView28 list;
    list.resize(200, 300);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.SetDirectory(dir);
    for (const int style : {1, 2}) {
        SCOPED_TRACE(style);
        list.SetViewStyle(style);
        QTest::qWait(50); // lets the view lay its items out
        QAbstractItemView* view = list.CurrentView();
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            const QRect rect = view->visualRect(view->model()->index(row, 0));
            EXPECT_GE(rect.left(), 0) << row;
            EXPECT_LE(rect.right(), view->viewport()->width()) << row;
        }
    }
}

} // namespace
