// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and Redo of the lists from the keyboard, and New forgetting them.

#include "AppFixture.h"
#include "ProjetProperty.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

namespace {

using UndoTest = AppFixture;

TEST_F(UndoTest, CtrlZAndCtrlShiftZFollowTheListEditsUntilNew) {
    Start();
    QAbstractItemModelTester tester(Parts().CopyModel,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto press = [this](Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(Parts().TreeView1, Qt::Key_Z, modifiers);
    };
    const Qt::KeyboardModifiers undo = Qt::ControlModifier;
    const Qt::KeyboardModifiers redo = Qt::ControlModifier | Qt::ShiftModifier;
    EXPECT_FALSE(Parts().Undo1->isEnabled());
    Browse(album_);
    Parts().SpeedButton6->click();
    stavio::ListNode* folder = Child(Copy().Root(), "ALBUM");
    ASSERT_NE(folder, nullptr);
    const stavio::LinkList added = CopyLinks();
    Parts().SpeedButton14->click(); // the folder, selected, with its three files
    ASSERT_EQ(Copy().Root()->ChildCount(), 0);

    const QSignalSpy inserted(Parts().CopyModel, &QAbstractItemModel::rowsInserted);
    press(undo);
    EXPECT_EQ(inserted.size(), 1); // the view is told, not left to find out
    EXPECT_EQ(Child(Copy().Root(), "ALBUM"), folder);
    EXPECT_EQ(CopyLinks(), added);
    EXPECT_TRUE(Parts().Redo1->isEnabled());
    press(redo);
    EXPECT_EQ(Copy().Root()->ChildCount(), 0);
    press(undo);
    press(undo);
    EXPECT_EQ(Copy().Root()->ChildCount(), 0);
    EXPECT_FALSE(State().IsModified());
    EXPECT_FALSE(Parts().Undo1->isEnabled());
    EXPECT_TRUE(Parts().Redo1->isEnabled());

    ModalScript script;
    script.Then<TForm3>([](TForm3* form) { PartsOf(form).mxFlatButton1->click(); });
    Parts().New2->trigger();
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(Parts().Redo1->isEnabled());
    press(redo);
    EXPECT_EQ(Copy().Root()->ChildCount(), 0);
}

} // namespace
