// SPDX-License-Identifier: GPL-3.0-or-later
// A project built, saved and rendered with the keyboard alone: Tab moves the focus, the tool
// buttons take it and Space presses them, the lists and the explorer have keys of their own.

#include "AppFixture.h"
#include "MakeScript.h"
#include "Settings.h"

#include <QFileDialog>

namespace {

class KeyboardTest : public AppFixture {
protected:
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        // The window manager gives the window back its activation when a dialog closes; the
        // offscreen platform does not, and a slow run may still name the closed dialog.
        QApplication::processEvents();
        if (QApplication::activeWindow() == nullptr || !QApplication::activeWindow()->isVisible()) {
            Form().activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
        }
        // The focus comes back with the activation; a slow machine may take a while, and
        // where it never does the window's chain is entered as a window manager would.
        if (QApplication::focusWidget() == nullptr &&
            !QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 500))
            for (QWidget* w = Form().nextInFocusChain(); w != &Form(); w = w->nextInFocusChain())
                if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) {
                    w->setFocus(Qt::TabFocusReason);
                    break;
                }
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &Form(), static_cast<Qt::Key>(key), modifiers);
    }
    // Presses Tab until the focus is in target, as a user would.
    void TabTo(QWidget* target) {
        for (int i = 0; i < 40 && !(target == QApplication::focusWidget() ||
                                    target->isAncestorOf(QApplication::focusWidget()));
             ++i)
            Key(Qt::Key_Tab);
        ASSERT_TRUE(target->isAncestorOf(QApplication::focusWidget()) ||
                    target == QApplication::focusWidget())
            << target->objectName().toStdString();
    }
};

TEST_F(KeyboardTest, BuildsSavesAndRendersAProjectWithKeysAlone) {
    stavio::SettingsValues settings;
    settings.lastExplorerDirectory = QFile::encodeName(album_).toStdString();
    stavio::WriteSettings(ExecutablePath(), settings);
    Start();
    // The album is listed in slices beside the window; a slow machine is still at it here.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Parts().LsFilelistView281->IsLoading(); }, 10000));
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
    const QString project = root_ + QStringLiteral("/keys.scp");
    const QString player = MakeFolder(QStringLiteral("player"));
    ModalScript script;
    script.Then(EnterFolderName(QStringLiteral("rock")))
        .Then<QFileDialog>([&](QFileDialog* dialog) {
            dialog->selectFile(project);
            static_cast<QDialog*>(dialog)->accept();
        })
        .Then<TOKBottomDlg6>([&](TOKBottomDlg6* dialog) {
            PartsOf(dialog).LsDirTree211->OpenPath(player); // as the arrow keys would
            QTest::keyClick(PartsOf(dialog).LsDirTree211, Qt::Key_Return);
        });

    TabTo(Parts().TreeView1); // the Copy List, on its root
    Key(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    TabTo(Parts().LsFilelistView281);
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    TabTo(Parts().LsDirTree211);
    Key(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    Key(Qt::Key_S, Qt::ControlModifier);
    TabTo(Parts().SpeedButton1); // Render Script
    Key(Qt::Key_Space);

    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty()) << script.Unexpected.join(u'|').toStdString();
    EXPECT_EQ(Name(Child(Copy().Root(), "ROCK")), QStringLiteral("ROCK"));
    EXPECT_EQ(CopyLinks().size(), 3u);
    EXPECT_EQ(DeleteLinks().size(), 3u);
    EXPECT_EQ(State().ProjectFileName, QFile::encodeName(project).toStdString());
    EXPECT_NE(ReadBytes(State().ProjectFileName).find("ONE.MP3"), std::string::npos);
    EXPECT_EQ(QDir(player + QStringLiteral("/00000001")).entryList(QDir::Files),
              (QStringList{QStringLiteral("ONE.MP3"), QStringLiteral("THREE.MP3"),
                           QStringLiteral("TWO.MP3")}));
    EXPECT_TRUE(QFileInfo::exists(player + QStringLiteral("/SYSTEM/SCRIPT.TXT")));
    // The explorer's context menu offers them too.
    EXPECT_EQ(Parts().LsDirTree211->actions().first()->text(),
              QStringLiteral("Add to the Copy List"));
}

} // namespace
