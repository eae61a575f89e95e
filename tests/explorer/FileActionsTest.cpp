// SPDX-License-Identifier: GPL-3.0-or-later
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class FileActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = QDir(tmp.path()).canonicalPath();
        music = MakeDir(dir, QStringLiteral("music"));
        other = MakeDir(dir, QStringLiteral("other"));
        MakeFile(music, QStringLiteral("a.mp3"), 10);
        MakeFile(music, QStringLiteral("b.mp3"), 20);
        MakeFile(music, QStringLiteral("c.mp3"), 30);
        list.SetDirectory(music);
        list.show();
    }
    void TearDown() override { ModalScript::CloseStray(); }

    QAction* Action(const char* name) {
        auto* action = list.findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }

    static void Type(QWidget* dialog, const QString& text) {
        auto* edit = dialog->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->setText(text);
        qobject_cast<QDialog*>(dialog)->accept();
    }

    static void Click(QWidget* dialog, QMessageBox::StandardButton which) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        box->button(which)->click();
    }

    QTemporaryDir tmp;
    QString dir, music, other;
    TLsFilelistView28 list;
};

TEST_F(FileActionsTest, ActionsCarryTheirKeysAndLocalizedTexts) {
    const std::pair<const char*, QKeySequence> keys[] = {
        {"actionCopy", QKeySequence(QStringLiteral("Ctrl+C"))},
        {"actionPaste", QKeySequence(QStringLiteral("Ctrl+V"))},
        {"actionCut", QKeySequence(QStringLiteral("Ctrl+X"))},
        {"actionOpen", QKeySequence()}, // Ctrl+O and Ctrl+N belong to the main window
        {"actionView", QKeySequence(QStringLiteral("Ctrl+F"))},
        {"actionNewFolder", QKeySequence()},
        {"actionSelectAll", QKeySequence(QStringLiteral("Ctrl+A"))},
        {"actionDelete", QKeySequence(QStringLiteral("Del"))},
        {"actionUpOneLevel", QKeySequence(QStringLiteral("Backspace"))},
        {"actionRename", QKeySequence(QStringLiteral("F2"))},
        {"actionFind", QKeySequence(QStringLiteral("F3"))},
        {"actionRefresh", QKeySequence(QStringLiteral("F5"))},
    };
    for (const auto& [name, key] : keys) {
        QAction* action = Action(name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut(), key) << name;
    }
    EXPECT_EQ(Action("actionCopy")->text(), QStringLiteral("&Copy"));
    list.SetLanguage(ExplorerLanguage::lnItalian);
    EXPECT_EQ(Action("actionCopy")->text(), QStringLiteral("&Copia"));
    EXPECT_EQ(Action("actionDelete")->text(), QStringLiteral("&Elimina"));
}

TEST_F(FileActionsTest, KeysReachTheActionsWhileTheListHasFocus) {
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    list.CurrentView()->setFocus();
    QTest::keyClick(list.CurrentView(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list.SelectedCaptions().size(), 3);
    QTest::keyClick(list.CurrentView(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(list.ViewStyle(), 3);
    QTest::keyClick(list.CurrentView(), Qt::Key_Backspace);
    EXPECT_EQ(list.Directory(), dir);
}

TEST_F(FileActionsTest, SelectAllSelectsEveryItem) {
    list.SelectAll();
    EXPECT_EQ(list.SelectedCaptions(), list.ItemCaptions());
    list.SetViewStyle(3);
    list.SelectAll();
    EXPECT_EQ(list.SelectedCaptions(), list.ItemCaptions());
}

TEST_F(FileActionsTest, CopyThenPasteDuplicatesTheFiles) {
    list.SelectCaptions({QStringLiteral("a.mp3"), QStringLiteral("b.mp3")});
    Action("actionCopy")->trigger();
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->urls().size(), 2);

    list.SetDirectory(other);
    Action("actionPaste")->trigger();
    EXPECT_EQ(list.ItemCaptions(), (QStringList{QStringLiteral("a.mp3"), QStringLiteral("b.mp3")}));
    EXPECT_EQ(list.SelectedCaptions(), list.ItemCaptions());
    EXPECT_TRUE(QFile::exists(music + QStringLiteral("/a.mp3")));
    EXPECT_EQ(QFileInfo(other + QStringLiteral("/b.mp3")).size(), 20);

    // Pasting again into the same folder keeps both under free names.
    Action("actionPaste")->trigger();
    EXPECT_EQ(list.ItemCaptions(),
              (QStringList{QStringLiteral("a (2).mp3"), QStringLiteral("a.mp3"),
                           QStringLiteral("b (2).mp3"), QStringLiteral("b.mp3")}));
}

TEST_F(FileActionsTest, CutThenPasteMovesTheFilesOnce) {
    list.SelectCaptions({QStringLiteral("c.mp3")});
    Action("actionCut")->trigger();
    list.SetDirectory(other);
    Action("actionPaste")->trigger();
    EXPECT_EQ(list.ItemCaptions(), QStringList{QStringLiteral("c.mp3")});
    EXPECT_FALSE(QFile::exists(music + QStringLiteral("/c.mp3")));
    // The clipboard no longer names the moved file: a second paste does nothing.
    Action("actionPaste")->trigger();
    EXPECT_EQ(list.ItemCaptions(), QStringList{QStringLiteral("c.mp3")});
}

TEST_F(FileActionsTest, PasteAcceptsFoldersFromOtherProgramsButNotIntoThemselves) {
    const QString album = MakeDir(other, QStringLiteral("album"));
    MakeFile(album, QStringLiteral("inner/t.mp3"));
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(album)});
    QGuiApplication::clipboard()->setMimeData(data);
    Action("actionPaste")->trigger();
    EXPECT_TRUE(QFile::exists(music + QStringLiteral("/album/inner/t.mp3")));

    // A folder pasted into itself is refused with a message.
    list.SetDirectory(album);
    ModalScript script;
    script.Then([](QWidget* box) { qobject_cast<QMessageBox*>(box)->accept(); });
    Action("actionPaste")->trigger();
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(QFileInfo::exists(album + QStringLiteral("/album")));
}

TEST_F(FileActionsTest, OpenHandsEachSelectedFileToTheDesktop) {
    QList<QUrl> opened;
    list.SetUrlOpener([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    Action("actionOpen")->trigger();
    EXPECT_TRUE(opened.isEmpty());
    list.SelectCaptions({QStringLiteral("b.mp3"), QStringLiteral("c.mp3")});
    Action("actionOpen")->trigger();
    EXPECT_EQ(opened, (QList<QUrl>{QUrl::fromLocalFile(music + QStringLiteral("/b.mp3")),
                                   QUrl::fromLocalFile(music + QStringLiteral("/c.mp3"))}));
}

TEST_F(FileActionsTest, NewFolderAsksForANameAndCreatesIt) {
    QSignalSpy created(&list, &TLsFilelistView28::FolderCreated);
    QString proposed;
    ModalScript script;
    script.Then([&](QWidget* dialog) {
        proposed = dialog->findChild<QLineEdit*>()->text();
        Type(dialog, QStringLiteral("Live"));
    });
    Action("actionNewFolder")->trigger();
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(proposed, QStringLiteral("New Folder"));
    EXPECT_TRUE(QFileInfo(music + QStringLiteral("/Live")).isDir());
    ASSERT_EQ(created.size(), 1);
    EXPECT_EQ(created[0][0].toString(), music + QStringLiteral("/Live"));
    EXPECT_EQ(list.ItemCaptions().size(), 3); // folders are not listed

    // Cancelled: nothing is made.
    script.Then([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    EXPECT_EQ(list.CreateNewFolder(), QString());
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(created.size(), 1);
}

TEST_F(FileActionsTest, DeleteAsksAndMovesTheFilesToTheTrash) {
    list.SelectCaptions({QStringLiteral("a.mp3"), QStringLiteral("c.mp3")});

    ModalScript script;
    script.Box(QStringLiteral("&Non"));
    Action("actionDelete")->trigger();
    ASSERT_TRUE(script.Finished());
    const QString question = script.Texts().value(0);
    EXPECT_TRUE(question.contains(QStringLiteral("2"))) << question.toStdString();
    EXPECT_EQ(list.ItemCaptions().size(), 3);

    script.Box(QStringLiteral("&Oui"));
    Action("actionDelete")->trigger();
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(list.ItemCaptions(), QStringList{QStringLiteral("b.mp3")});
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                          QStringLiteral("/Trash");
    EXPECT_TRUE(trash.startsWith(QDir::homePath())) << trash.toStdString();
    EXPECT_EQ(QFileInfo(trash + QStringLiteral("/files/a.mp3")).size(), 10);
    EXPECT_EQ(QFileInfo(trash + QStringLiteral("/files/c.mp3")).size(), 30);
    EXPECT_TRUE(QFile::exists(trash + QStringLiteral("/info/a.mp3.trashinfo")));
}

TEST_F(FileActionsTest, UpOneLevelClimbsToMyComputer) {
    list.UpOneLevel();
    EXPECT_EQ(list.Directory(), dir);
    list.SetDirectory(QStringLiteral("/"));
    list.UpOneLevel();
    EXPECT_EQ(list.Directory(), TLsFilelistView28::MyComputer());
    list.UpOneLevel();
    EXPECT_EQ(list.Directory(), TLsFilelistView28::MyComputer());
}

TEST_F(FileActionsTest, RenameEditsTheNameInPlace) {
    for (int style : {2, 3}) {
        list.SetViewStyle(style);
        const QString from = style == 2 ? QStringLiteral("b.mp3") : QStringLiteral("z.mp3");
        const QString to = style == 2 ? QStringLiteral("z.mp3") : QStringLiteral("y.MP3");
        list.SelectCaptions({from});
        Action("actionRename")->trigger();
        auto* editor = list.CurrentView()->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr) << style;
        editor->setText(to);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on the next turn of the event loop.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return QFile::exists(music + QLatin1Char('/') + to); }, 5000));
        EXPECT_FALSE(QFile::exists(music + QLatin1Char('/') + from)) << style;
        EXPECT_TRUE(list.ItemCaptions().contains(to));
    }
    // A name that leaves the mask takes the file out of the list.
    QAbstractItemModel* model = list.CurrentView()->model();
    EXPECT_TRUE(model->setData(model->index(0, 0), QStringLiteral("notes.txt")));
    EXPECT_TRUE(QFile::exists(music + QStringLiteral("/notes.txt")));
    EXPECT_EQ(list.ItemCaptions().size(), 2);
}

TEST_F(FileActionsTest, FindSelectsTheMatchingFiles) {
    MakeFile(music, QStringLiteral("Best Of.mp3"));
    list.Refresh();
    ModalScript script;
    script.Then([](QWidget* dialog) { Type(dialog, QStringLiteral("BEST")); });
    Action("actionFind")->trigger();
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(list.SelectedCaptions(), QStringList{QStringLiteral("Best Of.mp3")});

    script.Then([](QWidget* dialog) { Type(dialog, QStringLiteral("?.mp3")); });
    list.FindFile();
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(
        list.SelectedCaptions(),
        (QStringList{QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3")}));

    script.Then([](QWidget* dialog) { Type(dialog, QStringLiteral("nothing")); })
        .Then([](QWidget* box) { Click(box, QMessageBox::Ok); });
    list.FindFile();
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(script.Texts(), QStringList{QStringLiteral("No file found.")});
}

TEST_F(FileActionsTest, RefreshPicksUpChangesMadeOutside) {
    MakeFile(music, QStringLiteral("new.mp3"));
    QFile::remove(music + QStringLiteral("/a.mp3"));
    Action("actionRefresh")->trigger();
    EXPECT_EQ(list.ItemCaptions(), (QStringList{QStringLiteral("b.mp3"), QStringLiteral("c.mp3"),
                                                QStringLiteral("new.mp3")}));
}

} // namespace
