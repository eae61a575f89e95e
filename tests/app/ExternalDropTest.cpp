// SPDX-License-Identifier: GPL-3.0-or-later
// Files and folders dragged from another program (text/uri-list, no source widget) onto the
// lists, through the real drag events of the views; and the Delete key of the lists.

#include "AppFixture.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

// Copy List: PLAYER / A (ONE.MP3), B / C (empty).
class ExternalDropTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        Start();
        Form().resize(800, 600);
        QApplication::processEvents();
    }

    void BuildCopyList() {
        Copy().Select(Copy().Root());
        stavio::DeleteSelectedNode(Copy(), CopyLinks());
        a_ = stavio::AddFolderNode("A", Copy(), CopyLinks());
        one_ = stavio::AddFileNode(Host(album_ + QStringLiteral("/one.mp3")), Copy(), CopyLinks(),
                                   State().Names);
        Copy().Select(Copy().Root());
        b_ = stavio::AddFolderNode("B", Copy(), CopyLinks());
        c_ = stavio::AddFolderNode("C", Copy(), CopyLinks());
        Copy().Select(Copy().Root());
        QApplication::processEvents();
    }

    static std::string Host(const QString& path) { return QFile::encodeName(path).toStdString(); }

    // The pointer over node's row in view (nullptr: below the last row).
    static QPoint Over(ListTreeView* view, const stavio::ListNode* node) {
        if (!node)
            return {20, view->viewport()->height() - 5};
        return view->visualRect(view->Model()->IndexOf(node)).center();
    }

    // Drags data over the node and drops it there when the view accepts; returns whether it
    // accepted.
    static bool DragAndDrop(ListTreeView* view, const stavio::ListNode* node,
                            const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QWidget* viewport = view->viewport();
        const QPoint pos = Over(view, node);
        // A file manager offers a move as well, and proposes it with Shift held; the lists
        // only ever copy.
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(pos, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(pos, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(viewport, &move);
        if (!move.isAccepted())
            return false;
        EXPECT_EQ(move.dropAction(), Qt::CopyAction);
        QDropEvent drop(pos, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QApplication::sendEvent(viewport, &drop);
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
        return true;
    }

    // The names below node, depth first: "B/OTHER/FOUR.MP3".
    static QStringList Names(const stavio::ListNode* node, const QString& prefix = {}) {
        QStringList names;
        for (int i = 0; i < node->ChildCount(); ++i) {
            const stavio::ListNode* child = node->Child(i);
            const QString name = prefix + QString::fromStdString(child->Text());
            names << name;
            names << Names(child, name + QLatin1Char('/'));
        }
        return names;
    }

    QUrl File(const QString& relative) { return QUrl::fromLocalFile(root_ + relative); }

    stavio::ListNode *a_ = nullptr, *one_ = nullptr, *b_ = nullptr, *c_ = nullptr;
};

TEST_F(ExternalDropTest, FilesFoldersAndRemoteUrlsOntoEachKindOfNode) {
    const QList<QUrl> files = {File(QStringLiteral("/music/Album/two.mp3")),
                               File(QStringLiteral("/music/Album/notes.txt")),
                               File(QStringLiteral("/music/Album/three.mp3"))};
    const QList<QUrl> folder = {File(QStringLiteral("/music/Other/"))};
    const QList<QUrl> remote = {QUrl(QStringLiteral("https://example.org/song.mp3"))};
    const QList<QUrl> mixed = {File(QStringLiteral("/music/Album/two.mp3")), remote.front()};
    const QString a = QStringLiteral("A"), one = QStringLiteral("A/ONE.MP3"),
                  b = QStringLiteral("B"), c2 = QStringLiteral("B/C");
    const QStringList before = {a, one, b, c2};
    const QStringList otherAtRoot = {a,
                                     one,
                                     b,
                                     c2,
                                     QStringLiteral("OTHER"),
                                     QStringLiteral("OTHER/FOUR.MP3"),
                                     QStringLiteral("OTHER/ONE.MP3")};
    const QStringList filesInA = {
        a, one, QStringLiteral("A/TWO.MP3"), QStringLiteral("A/THREE.MP3"), b, c2};
    enum Target { BelowLast, Root, FolderOfFolders, Level2Folder, FolderOfFiles, MediaFile };
    struct Case {
        const char* what;
        Target target;
        QList<QUrl> urls;
        bool accepted;
        QStringList after; // the Copy List's names afterwards, depth first
        std::size_t newLinks;
    };
    const Case cases[] = {
        {"files below the last node", BelowLast, files, false, before, 0},
        {"files onto the root", Root, files, false, before, 0},
        {"files onto a folder of folders", FolderOfFolders, files, false, before, 0},
        {"files onto an empty level-2 folder, in the order given, MP3 only",
         Level2Folder,
         files,
         true,
         {a, one, b, c2, QStringLiteral("B/C/TWO.MP3"), QStringLiteral("B/C/THREE.MP3")},
         2},
        {"files onto a folder of files", FolderOfFiles, files, true, filesInA, 2},
        {"files onto a media file", MediaFile, files, true, filesInA, 2},
        {"a folder below the last node", BelowLast, folder, true, otherAtRoot, 2},
        {"a folder onto the root", Root, folder, true, otherAtRoot, 2},
        {"a folder onto a folder of folders",
         FolderOfFolders,
         folder,
         true,
         {a, one, b, c2, QStringLiteral("B/OTHER"), QStringLiteral("B/OTHER/FOUR.MP3"),
          QStringLiteral("B/OTHER/ONE.MP3")},
         2},
        {"a folder onto a level-2 folder", Level2Folder, folder, false, before, 0},
        {"a folder onto a folder of files", FolderOfFiles, folder, false, before, 0},
        {"a folder onto a media file", MediaFile, folder, false, before, 0},
        {"a remote URL below the last node", BelowLast, remote, false, before, 0},
        {"a remote URL onto the root", Root, remote, false, before, 0},
        {"a remote URL onto a folder of folders", FolderOfFolders, remote, false, before, 0},
        {"a remote URL onto a level-2 folder", Level2Folder, remote, false, before, 0},
        {"a remote URL onto a folder of files", FolderOfFiles, remote, false, before, 0},
        {"a remote URL onto a media file", MediaFile, remote, false, before, 0},
        {"a file and a remote URL", Level2Folder, mixed, false, before, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildCopyList();
        const stavio::ListNode* nodes[] = {nullptr, Copy().Root(), b_, c_, a_, one_};
        EXPECT_EQ(DragAndDrop(Parts().TreeView1, nodes[c.target], c.urls), c.accepted);
        EXPECT_EQ(Names(Copy().Root()), c.after);
        EXPECT_EQ(CopyLinks().size(), 1 + c.newLinks);
        EXPECT_TRUE(DeleteLinks().empty());
        // The command states follow the target, as after the tool buttons.
        EXPECT_EQ(Parts().SpeedButton11->isEnabled(), stavio::CanHoldFiles(Copy().Selected()));
    }
}

TEST_F(ExternalDropTest, DropsOnTheDeleteListFillTheDeleteList) {
    EXPECT_TRUE(DragAndDrop(Parts().TreeView2, nullptr, {File(QStringLiteral("/music/Other"))}));
    EXPECT_EQ(Names(Delete().Root()),
              (QStringList{QStringLiteral("OTHER"), QStringLiteral("OTHER/FOUR.MP3"),
                           QStringLiteral("OTHER/ONE.MP3")}));
    EXPECT_EQ(DeleteLinks().size(), 2u);
    EXPECT_TRUE(CopyLinks().empty());
}

TEST_F(ExternalDropTest, TheDeleteKeyRunsTheListsDeleteButton) {
    struct Case {
        const char* what;
        ListTreeView* view;
        QToolButton* button;
        Qt::KeyboardModifiers modifiers;
        bool buttonEnabled;
        bool deletes;
    };
    const Case cases[] = {
        {"Copy List", Parts().TreeView1, Parts().SpeedButton14, Qt::NoModifier, true, true},
        {"Delete List", Parts().TreeView2, Parts().SpeedButton15, Qt::NoModifier, true, true},
        {"Copy List, button disabled", Parts().TreeView1, Parts().SpeedButton14, Qt::NoModifier,
         false, false},
        {"Delete List, button disabled", Parts().TreeView2, Parts().SpeedButton15, Qt::NoModifier,
         false, false},
        {"Shift+Delete", Parts().TreeView1, Parts().SpeedButton14, Qt::ShiftModifier, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        stavio::ListTree& tree = c.view->Model()->Tree();
        stavio::LinkList& links = c.view == Parts().TreeView1 ? CopyLinks() : DeleteLinks();
        tree.Select(tree.Root());
        stavio::DeleteSelectedNode(tree, links);
        stavio::ListNode* folder = stavio::AddFolderNode("A", tree, links);
        stavio::ListNode* song = stavio::AddFileNode(Host(album_ + QStringLiteral("/two.mp3")),
                                                     tree, links, State().Names);
        tree.Select(song);
        c.button->setEnabled(c.buttonEnabled);
        c.view->setFocus();
        QTest::keyClick(c.view, Qt::Key_Delete, c.modifiers);
        EXPECT_EQ(folder->ChildCount(), c.deletes ? 0 : 1);
        EXPECT_EQ(links.size(), c.deletes ? 0u : 1u);
        c.button->setEnabled(true);
    }
}

} // namespace
