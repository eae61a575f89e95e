// SPDX-License-Identifier: GPL-3.0-or-later
// What the file list offers and says: actions enabled only when they can act, the context
// menu of empty space, a folder it cannot read, and opening songs.
#include "../core/TempDir.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class FileListFeedbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        music = MakeDir(QDir(tmp.path()).canonicalPath(), QStringLiteral("music"));
        for (int i = 1; i <= 12; ++i)
            MakeFile(music, QStringLiteral("song %1.mp3").arg(i));
        list.SetDirectory(music);
        list.show();
    }
    void TearDown() override { ModalScript::CloseStray(); }

    QStringList Enabled() const {
        QStringList names;
        for (QAction* action : list.findChildren<QAction*>()) {
            if (action->isEnabled())
                names << action->objectName();
        }
        names.sort();
        return names;
    }

    QTemporaryDir tmp;
    QString music;
    TLsFilelistView28 list;
};

TEST_F(FileListFeedbackTest, ActionsAreEnabledOnlyWhenTheyCanAct) {
    struct Case {
        const char* what;
        bool inFolder;
        bool selection;
        bool filesOnClipboard;
        QStringList enabled;
    };
    const QStringList always = {QStringLiteral("actionView")};
    const QStringList folder = {QStringLiteral("actionFind"), QStringLiteral("actionNewFolder"),
                                QStringLiteral("actionRefresh"), QStringLiteral("actionSelectAll"),
                                QStringLiteral("actionUpOneLevel")};
    const QStringList selected = {QStringLiteral("actionCopy"), QStringLiteral("actionCut"),
                                  QStringLiteral("actionDelete"), QStringLiteral("actionOpen"),
                                  QStringLiteral("actionRename")};
    const Case cases[] = {
        {"my computer", false, false, true, always},
        {"folder, text on the clipboard", true, false, false, always + folder},
        {"folder, files on the clipboard", true, false, true,
         always + folder + QStringList{QStringLiteral("actionPaste")}},
        {"selection", true, true, false, always + folder + selected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* data = new QMimeData;
        if (c.filesOnClipboard)
            data->setUrls({QUrl::fromLocalFile(music + QStringLiteral("/song 1.mp3"))});
        else
            data->setText(QStringLiteral("just text"));
        QGuiApplication::clipboard()->setMimeData(data);
        list.SetDirectory(c.inFolder ? music : TLsFilelistView28::MyComputer());
        list.SelectCaptions(c.selection ? QStringList{QStringLiteral("song 2.mp3")}
                                        : QStringList());
        QStringList expected = c.enabled;
        expected.sort();
        EXPECT_EQ(Enabled(), expected);
    }
}

TEST_F(FileListFeedbackTest, ARightClickBesideTheItemsClearsTheSelection) {
    list.resize(500, 600);
    list.SetViewStyle(3);
    QApplication::processEvents();
    list.SelectCaptions({QStringLiteral("song 1.mp3")});
    QAbstractItemView* view = list.CurrentView();
    QStringList menu;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : popup->actions()) {
                if (action->isEnabled() && !action->isSeparator())
                    menu << action->objectName();
            }
            popup->close();
        }
    });
    closer.start(10);
    const QPoint empty(view->viewport()->width() / 2, view->viewport()->height() - 3);
    ASSERT_FALSE(view->indexAt(empty).isValid());
    QContextMenuEvent event(QContextMenuEvent::Mouse, empty, view->viewport()->mapToGlobal(empty));
    QApplication::sendEvent(view->viewport(), &event);
    EXPECT_FALSE(list.HasSelection());
    EXPECT_FALSE(menu.contains(QStringLiteral("actionDelete")));
    EXPECT_TRUE(menu.contains(QStringLiteral("actionNewFolder")));
}

TEST_F(FileListFeedbackTest, EnterOrADoubleClickOpensAndManyFilesAreAskedFor) {
    struct Case {
        int files;
        const char* answer; // "" when no question is expected
        int opened;
    };
    const Case cases[] = {{1, "", 1}, {10, "", 10}, {11, "&Non", 0}, {12, "&Oui", 12}};
    QList<QUrl> opened;
    list.SetUrlOpener([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    QAbstractItemView* view = list.CurrentView();
    view->setFocus();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files);
        opened.clear();
        list.SelectCaptions(list.ItemCaptions().mid(0, c.files));
        const QString answer = QString::fromUtf8(c.answer);
        ModalScript boxes;
        boxes.Otherwise([&](QWidget* box) { ModalScript::Press(box, answer); });
        QTest::keyClick(view, Qt::Key_Return);
        EXPECT_EQ(opened.size(), c.opened);
        EXPECT_EQ(boxes.Texts(),
                  answer.isEmpty()
                      ? QStringList()
                      : QStringList{QStringLiteral("Open these %1 files?").arg(c.files)});
    }
    // A double click opens the file clicked.
    opened.clear();
    list.SelectCaptions({});
    const QModelIndex third = view->model()->index(2, 0);
    const QPoint at = view->visualRect(third).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(opened,
              QList<QUrl>{QUrl::fromLocalFile(music + QLatin1Char('/') + third.data().toString())});
}

TEST_F(FileListFeedbackTest, LargeIconsHaveRoomForThreeLinesOfName) {
    list.SetViewStyle(0);
    auto* view = qobject_cast<QListView*>(list.CurrentView());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->wordWrap());
    EXPECT_GE(view->gridSize().height(),
              view->iconSize().height() + 3 * view->fontMetrics().lineSpacing());
}

TEST_F(FileListFeedbackTest, AFolderThatCannotBeReadSaysSo) {
    const QString locked = MakeDir(QDir(tmp.path()).canonicalPath(), QStringLiteral("locked"));
    MakeFile(locked, QStringLiteral("hidden.mp3"));
    QFile::setPermissions(locked, QFileDevice::ExeOwner | QFileDevice::ExeOther);
    // The super-user reads every folder: look as an ordinary user.
    QFile::setPermissions(tmp.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                          QFileDevice::ExeOther);
    QString shown;
    if (!stavio::test::AsOrdinaryUser([&] {
            list.SetDirectory(locked);
            shown = list.Directory();
        }))
        GTEST_SKIP() << "cannot act as an ordinary user";
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    auto* notice = list.findChild<QLabel*>(QStringLiteral("readNotice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(shown, locked);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(), QStringLiteral("This folder cannot be read: Accès refusé"));
    list.SetDirectory(music);
    EXPECT_FALSE(notice->isVisible());
}

} // namespace
