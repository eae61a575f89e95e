// SPDX-License-Identifier: GPL-3.0-or-later
// Rules of the file list that decide which files a command acts on: Find's patterns, the
// order of the names.
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAction>
#include <QInputDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class FileListRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        music = MakeDir(QDir(tmp.path()).canonicalPath(), QStringLiteral("music"));
    }
    void TearDown() override { ModalScript::CloseStray(); }

    QTemporaryDir tmp;
    QString music;
    TLsFilelistView28 list;
};

TEST_F(FileListRulesTest, FindTakesOnlyStarAndQuestionMarkAsWildcards) {
    for (const char* name : {"[Live] Intro.mp3", "a.mp3", "b.mp3", "L.mp3", "i.mp3", "v.mp3",
                             "e.mp3", "a+b (1).mp3", "x.mp3.mp3"})
        MakeFile(music, QString::fromUtf8(name));
    list.SetDirectory(music);
    struct Case {
        const char* pattern;
        QStringList found; // empty: "No file found."
    };
    const Case cases[] = {
        {"[Live]", {QStringLiteral("[Live] Intro.mp3")}},
        {"[a-b]*", {}},
        {"a+b (1)", {QStringLiteral("a+b (1).mp3")}},
        {"?.mp3",
         {QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("e.mp3"),
          QStringLiteral("i.mp3"), QStringLiteral("L.mp3"), QStringLiteral("v.mp3")}},
        {"*intro*", {QStringLiteral("[Live] Intro.mp3")}},
        {"x.mp3", {QStringLiteral("x.mp3.mp3")}},
        {"x.mp3*", {QStringLiteral("x.mp3.mp3")}},
        {"^a", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        list.SelectCaptions({});
        ModalScript answers;
        answers.Otherwise([&](QWidget* modal) {
            if (auto* input = qobject_cast<QInputDialog*>(modal)) {
                input->setTextValue(QString::fromUtf8(c.pattern));
                input->accept();
            } else {
                qobject_cast<QDialog*>(modal)->reject();
            }
        });
        list.findChild<QAction*>(QStringLiteral("actionFind"))->trigger();
        QStringList selected = list.SelectedCaptions();
        selected.sort(Qt::CaseInsensitive);
        EXPECT_EQ(selected, c.found);
        EXPECT_EQ(answers.Texts(), c.found.isEmpty() ? QStringList{QStringLiteral("No file found.")}
                                                     : QStringList());
    }
}

TEST_F(FileListRulesTest, NamesSortAsPeopleReadThemInTheListAndTheTree) {
    const char* const names[] = {"Zebra", "Track 10", "Émile", "Track 2", "Emil", "track 1"};
    const QStringList files = {QStringLiteral("Emil.mp3"),     QString::fromUtf8("Émile.mp3"),
                               QStringLiteral("track 1.mp3"),  QStringLiteral("Track 2.mp3"),
                               QStringLiteral("Track 10.mp3"), QStringLiteral("Zebra.mp3")};
    for (const char* name : names) {
        MakeFile(music, QString::fromUtf8(name) + QStringLiteral(".mp3"));
        MakeDir(music, QStringLiteral("folders/") + QString::fromUtf8(name));
    }
    list.SetDirectory(music);
    EXPECT_EQ(list.ItemCaptions(), files);
    // The same order for the rows of equal size, and reversed when the column is.
    list.SetViewStyle(3);
    auto* details = qobject_cast<QTreeView*>(list.CurrentView());
    details->sortByColumn(1, Qt::AscendingOrder);
    EXPECT_EQ(list.ItemCaptions(), files);
    details->sortByColumn(0, Qt::DescendingOrder);
    QStringList reversed = files;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(list.ItemCaptions(), reversed);

    TLsDirTree21 tree;
    tree.OpenPath(music + QStringLiteral("/folders"));
    ASSERT_NE(tree.currentItem(), nullptr);
    tree.currentItem()->setExpanded(true);
    QStringList folders;
    for (int i = 0; i < tree.currentItem()->childCount(); ++i)
        folders << tree.currentItem()->child(i)->text(0);
    QStringList expected;
    for (const QString& file : files)
        expected << file.chopped(4);
    EXPECT_EQ(folders, expected);
}

TEST_F(FileListRulesTest, RefreshKeepsTheWholeSelectionOfABigFolder) {
    constexpr int kCount = 12000;
    for (int i = 0; i < kCount; ++i)
        QFile(music + QStringLiteral("/t%1.mp3").arg(i)).open(QIODevice::WriteOnly);
    list.SetDirectory(music);
    list.show();
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    list.CurrentView()->setFocus();
    QTest::keyClick(list.CurrentView(), Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(list.SelectedCaptions().size(), kCount);
    list.SelectCaptions(list.SelectedCaptions().mid(0, kCount - 1)); // all but the last one
    QTest::keyClick(list.CurrentView(), Qt::Key_F5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !list.IsLoading(); }, 20000));
    const QStringList selected = list.SelectedCaptions();
    EXPECT_EQ(selected.size(), kCount - 1);
    EXPECT_FALSE(selected.contains(QStringLiteral("t%1.mp3").arg(kCount - 1)));
}

} // namespace
