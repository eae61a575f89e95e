// SPDX-License-Identifier: GPL-3.0-or-later
// Drops from the explorer onto the two list trees: the node under the pointer becomes the
// target, and the drop is refused where the matching command would be disabled.

#include "AppFixture.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

namespace {

// Copy List: PLAYER / A (ONE.MP3), B / C (empty).
class DragDropTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        Start();
        Form().resize(800, 600);
        a_ = stavio::AddFolderNode("A", Copy(), CopyLinks());
        Browse(other_);
        Parts().LsFilelistView281->SelectCaptions({QStringLiteral("one.mp3")});
        Form().SpeedButton11Click();
        one_ = a_->Child(0);
        Copy().Select(Copy().Root());
        b_ = stavio::AddFolderNode("B", Copy(), CopyLinks());
        c_ = stavio::AddFolderNode("C", Copy(), CopyLinks());
        Copy().Select(Copy().Root());
        QApplication::processEvents();
        Browse(album_);
    }

    // The pointer over node's row (nullptr: below the last row).
    QPoint Over(const stavio::ListNode* node) {
        ListTreeView* view = Parts().TreeView1;
        if (!node)
            return {20, view->viewport()->height() - 5};
        const QRect rect = view->visualRect(Parts().CopyModel->IndexOf(node));
        EXPECT_TRUE(rect.isValid());
        return rect.center();
    }
    bool Accepts(QObject* source, const stavio::ListNode* node) {
        bool accept = true;
        Form().TreeView1DragOver(Parts().TreeView1, source, Over(node), accept);
        return accept;
    }
    QObject* DirTree() { return Parts().LsDirTree211; }
    QObject* FileList() { return Parts().LsFilelistView281; }

    stavio::ListNode *a_, *one_, *b_, *c_;
};

TEST_F(DragDropTest, DragOverSelectsTheNodeUnderThePointerForReal) {
    Accepts(DirTree(), b_);
    EXPECT_EQ(Copy().Selected(), b_);
    Accepts(DirTree(), one_); // a media file: its folder
    EXPECT_EQ(Copy().Selected(), a_);
    EXPECT_TRUE(Parts().SpeedButton11->isEnabled()); // the command states followed
    Accepts(FileList(), nullptr);                    // below the last node: the root
    EXPECT_EQ(Copy().Selected(), Copy().Root());
}

TEST_F(DragDropTest, DirectoryDragsAreAcceptedWhereFoldersMayGo) {
    EXPECT_TRUE(Accepts(DirTree(), nullptr)); // the root
    EXPECT_TRUE(Accepts(DirTree(), b_));      // a folder holding folders
    EXPECT_TRUE(Accepts(DirTree(), Copy().Root()));
    EXPECT_FALSE(Accepts(DirTree(), one_)); // the folder of a media file
    EXPECT_FALSE(Accepts(DirTree(), c_));   // level 2 is too deep
}

TEST_F(DragDropTest, FileDragsAreAcceptedWhereFilesMayGo) {
    EXPECT_FALSE(Accepts(FileList(), nullptr)); // the root takes no files
    EXPECT_FALSE(Accepts(FileList(), b_));      // holds a folder
    EXPECT_TRUE(Accepts(FileList(), c_));
    EXPECT_TRUE(Accepts(FileList(), one_));
    // A drag from anywhere else is never refused.
    QObject stranger;
    EXPECT_TRUE(Accepts(&stranger, one_));
    EXPECT_TRUE(Accepts(nullptr, nullptr));
}

TEST_F(DragDropTest, DroppingFilesOntoAMediaFileAddsThemToItsFolder) {
    Parts().LsFilelistView281->SelectCaptions(
        {QStringLiteral("three.mp3"), QStringLiteral("two.mp3")});
    ASSERT_TRUE(Accepts(FileList(), one_));
    Form().TreeView1DragDrop(Parts().TreeView1, FileList(), Over(one_));
    ASSERT_EQ(a_->ChildCount(), 3);
    EXPECT_EQ(Name(a_->Child(1)), QStringLiteral("THREE.MP3"));
    EXPECT_EQ(Name(a_->Child(2)), QStringLiteral("TWO.MP3"));
    EXPECT_EQ(CopyLinks().size(), 3u);
}

TEST_F(DragDropTest, DroppingADirectoryBelowTheLastNodeAddsItUnderTheRoot) {
    ASSERT_TRUE(Accepts(DirTree(), nullptr));
    Form().TreeView1DragDrop(Parts().TreeView1, DirTree(), Over(nullptr));
    stavio::ListNode* album = Child(Copy().Root(), "ALBUM");
    ASSERT_NE(album, nullptr);
    EXPECT_EQ(album->ChildCount(), 3);

    // Again: the name is taken, nothing happens.
    Accepts(DirTree(), nullptr);
    Form().TreeView1DragDrop(Parts().TreeView1, DirTree(), Over(nullptr));
    EXPECT_EQ(Copy().Root()->ChildCount(), 3);
    EXPECT_EQ(CopyLinks().size(), 4u);
}

TEST_F(DragDropTest, DropsOnTheDeleteListFillTheDeleteList) {
    bool accept = true;
    Form().TreeView1DragOver(Parts().TreeView2, DirTree(), {5, 5}, accept);
    ASSERT_TRUE(accept);
    Form().TreeView1DragDrop(Parts().TreeView2, DirTree(), {5, 5});
    EXPECT_NE(Child(Delete().Root(), "ALBUM"), nullptr);
    EXPECT_EQ(DeleteLinks().size(), 3u);
    EXPECT_EQ(CopyLinks().size(), 1u);
}

TEST_F(DragDropTest, ADriveIsAcceptedButAddsNothing) {
    SelectDrive();
    ASSERT_TRUE(Accepts(DirTree(), b_));
    Form().TreeView1DragDrop(Parts().TreeView1, DirTree(), Over(b_));
    EXPECT_EQ(b_->ChildCount(), 1);
}

TEST_F(DragDropTest, ADropFromElsewhereDoesNothing) {
    Parts().LsFilelistView281->SelectCaptions({QStringLiteral("two.mp3")});
    QObject stranger;
    Form().TreeView1DragDrop(Parts().TreeView1, &stranger, Over(c_));
    EXPECT_EQ(c_->ChildCount(), 0);
    EXPECT_EQ(CopyLinks().size(), 1u);
}

TEST_F(DragDropTest, DragEventsOnTheViewportReachTheHandlers) {
    // Events built here carry no drag source, like a drag from another program: accepted,
    // the selection follows the pointer, and the drop adds nothing.
    QMimeData data;
    data.setData(QStringLiteral("application/x-stavio-explorer-drag"), {});
    QWidget* viewport = Parts().TreeView1->viewport();
    const QPoint pos = Over(c_);
    QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(Copy().Selected(), c_);
    QDropEvent drop(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(c_->ChildCount(), 0);
    EXPECT_EQ(Copy().Selected(), c_);
}

TEST_F(DragDropTest, RealDragMovesAreRefusedWhereTheCommandIsDisabled) {
    // The offscreen platform runs no drag of its own: the view is told who started it.
    struct Case {
        const char* what;
        QObject* source;
        const stavio::ListNode* over;
        bool accepted;
    };
    const Case cases[] = {
        {"files below the last node", FileList(), nullptr, false},
        {"files onto a folder of folders", FileList(), b_, false},
        {"files onto an empty level-2 folder", FileList(), c_, true},
        {"a directory onto a level-2 folder", DirTree(), c_, false},
        {"a directory onto a media file's folder", DirTree(), one_, false},
        {"a directory below the last node", DirTree(), nullptr, true},
    };
    QMimeData data;
    data.setData(QStringLiteral("application/x-stavio-explorer-drag"), {});
    QWidget* viewport = Parts().TreeView1->viewport();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Parts().TreeView1->SetDragSourceReader([&c](const QDropEvent*) { return c.source; });
        const QPoint pos = Over(c.over);
        QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        EXPECT_EQ(move.isAccepted(), c.accepted);
    }
}

TEST_F(DragDropTest, TheListsAreNeverDragSourcesNorEditable) {
    for (ListTreeView* view : {Parts().TreeView1, Parts().TreeView2}) {
        EXPECT_FALSE(view->dragEnabled());
        EXPECT_TRUE(view->acceptDrops());
        EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        EXPECT_EQ(view->indentation(), 19);
    }
}

} // namespace
