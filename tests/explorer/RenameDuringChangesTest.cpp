// SPDX-License-Identifier: GPL-3.0-or-later
// A name being edited (F2) survives files changed in the folder by other programs: the list
// reads the folder again once the rename is confirmed, whichever selected file is renamed.
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(RenameDuringChangesTest, TheEditorStaysOpenWhileOtherProgramsChangeTheFolder) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString music = MakeDir(QDir(tmp.path()).canonicalPath(), QStringLiteral("music"));
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        MakeFile(music, QString::fromLatin1(name));
    TLsFilelistView28 list;
    list.show();
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    list.SetDirectory(music);
    struct Case {
        const char* what;
        int current; // the row of the current item
        QStringList selected;
        const char* renamed; // the file F2 edits
    };
    const Case cases[] = {
        {"the current file selected", 0, {QStringLiteral("a.mp3")}, "a.mp3"},
        // A Ctrl+click took the current file out of the selection: F2 edits the first selected.
        {"the current file not selected",
         2,
         {QStringLiteral("a.mp3"), QStringLiteral("b.mp3")},
         "a.mp3"},
    };
    int made = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list.SelectCaptions(c.selected);
        QAbstractItemView* view = list.CurrentView();
        view->selectionModel()->setCurrentIndex(view->model()->index(c.current, 0),
                                                QItemSelectionModel::NoUpdate);
        view->setFocus();
        QTest::keyClick(view, Qt::Key_F2);
        auto* editor = view->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(editor->text(), QString::fromLatin1(c.renamed));
        MakeFile(music, QStringLiteral("other %1.mp3").arg(++made));
        QTest::qWait(600); // the list reads a changed folder after 200 ms of quiet
        ASSERT_EQ(view->viewport()->findChild<QLineEdit*>(), editor);
        editor->setText(QStringLiteral("renamed %1").arg(made));
        QTest::keyClick(editor, Qt::Key_Return);
        const QString now = QStringLiteral("renamed %1.mp3").arg(made);
        // The editor hands the name over on the next turn of the event loop.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return QFileInfo::exists(music + QLatin1Char('/') + now); }, 3000));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return list.ItemCaptions().contains(now) &&
                       list.ItemCaptions().contains(QStringLiteral("other %1.mp3").arg(made));
            },
            3000));
        QFile::rename(music + QLatin1Char('/') + now, music + QStringLiteral("/a.mp3"));
        QTest::qWait(400);
    }
}

} // namespace
