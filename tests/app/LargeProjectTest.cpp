// SPDX-License-Identifier: GPL-3.0-or-later
// A project of a few thousand entries looks in the window exactly as a small one does after
// it is loaded (at start-up or by Open), and after PLAYER is deleted: every list node shown in
// file order, every node that holds something open, the root selected in both lists and the
// commands enabled for that selection.

#include "ListTreeModel.h"
#include "ListTreeView.h"
#include "WorkflowFixture.h"

#include <QAction>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QProgressBar>
#include <QToolButton>

#include <cstdio>
#include <functional>

namespace {

// A list of a project file: level1 folders, each with level2 sub-folders of files media files
// (no sub-folders: the files stand directly in the level-1 folder).
struct ListShape {
    const char* prefix;
    int level1, level2, files;
    int Entries() const { return level1 * (level2 == 0 ? 1 : level2) * files; }
};

struct Case {
    const char* name;
    ListShape copy, remove;
    bool atStartUp; // else by Open, over a small project with a media file selected
};

const Case kCases[] = {
    {"small project at start-up", {"ROCK", 1, 1, 2}, {"OLD", 1, 0, 2}, true},
    {"3,000 entries at start-up", {"ARTIST", 3, 4, 250}, {"OLD", 2, 0, 100}, true},
    {"small project by Open", {"ROCK", 1, 1, 2}, {"OLD", 1, 0, 2}, false},
    {"3,000 entries by Open", {"ARTIST", 3, 4, 250}, {"OLD", 2, 0, 100}, false},
};

class LargeProjectTest : public WorkflowTest {
protected:
    static std::string FolderName(const char* prefix, int i) {
        char name[16];
        std::snprintf(name, sizeof name, "%s%d", prefix, i);
        return name;
    }
    static std::string FileName(int i) {
        char name[16];
        std::snprintf(name, sizeof name, "t%04d.mp3", i);
        return name;
    }

    // Writes the source files and the groups of one list; returns the groups' lines.
    std::string Groups(const ListShape& shape) {
        std::string lines;
        for (int a = 0; a < shape.level1; ++a)
            for (int b = 0; b < std::max(shape.level2, 1); ++b) {
                std::string folders = FolderName(shape.prefix, a) + "\\";
                if (shape.level2 > 0)
                    folders += FolderName("CD", b) + "\\";
                const std::string dir =
                    "src/" + FolderName(shape.prefix, a) + "-" + std::to_string(b) + "/";
                for (int f = 0; f < shape.files; ++f)
                    lines += WriteFile(dir + FileName(f), "") + "\r\nX\r\n" + folders + "\r\n";
            }
        return lines;
    }

    std::string WriteProject(const std::string& file, const std::string& name,
                             const ListShape& copy, const ListShape& remove) {
        const std::string groups = Groups(copy) + Groups(remove);
        return WriteFile(file, "Group Of Program File of KELVO\r\n*****\r\n" + name +
                                   "\r\n\r\n\r\n\r\n\r\n\r\n\r\n1\r\n...\r\n" + Folder() +
                                   "\r\n*****\r\n" + std::to_string(copy.Entries()) + "\r\n" +
                                   std::to_string(remove.Entries()) + "\r\n" + groups);
    }

    // The view shows the list of shape, in file order, with every node that holds something
    // open; the root is the current and only selected node.
    static void ExpectShown(ListTreeView& view, const ListShape& shape) {
        ListTreeModel& model = *view.Model();
        ASSERT_EQ(model.rowCount(), 1);
        const QModelIndex root = model.index(0, 0);
        EXPECT_EQ(root.data().toString(), QStringLiteral("PLAYER"));
        ASSERT_EQ(model.rowCount(root), shape.level1);
        if (shape.level1 > 0) {
            EXPECT_TRUE(view.isExpanded(root));
        }
        int shown = 0;
        for (int a = 0; a < shape.level1; ++a) {
            const QModelIndex folder = model.index(a, 0, root);
            EXPECT_EQ(folder.data().toString().toStdString(), FolderName(shape.prefix, a));
            EXPECT_TRUE(view.isExpanded(folder)) << a;
            std::vector<QModelIndex> holders{folder};
            if (shape.level2 > 0) {
                ASSERT_EQ(model.rowCount(folder), shape.level2);
                holders.clear();
                for (int b = 0; b < shape.level2; ++b) {
                    const QModelIndex sub = model.index(b, 0, folder);
                    EXPECT_EQ(sub.data().toString().toStdString(), FolderName("CD", b));
                    EXPECT_TRUE(view.isExpanded(sub)) << a << " " << b;
                    holders.push_back(sub);
                }
            }
            for (const QModelIndex& holder : holders) {
                ASSERT_EQ(model.rowCount(holder), shape.files);
                for (int f = 0; f < shape.files; ++f) {
                    const QModelIndex file = model.index(f, 0, holder);
                    if (file.data().toString() !=
                        QStringLiteral("T%1.MP3").arg(f, 4, 10, QLatin1Char('0')))
                        ADD_FAILURE()
                            << "entry " << f << " shows " << file.data().toString().toStdString();
                    ++shown;
                }
            }
        }
        EXPECT_EQ(shown, shape.Entries());
        EXPECT_EQ(view.currentIndex(), root);
        EXPECT_EQ(view.selectionModel()->selectedIndexes(), QModelIndexList{root});
        EXPECT_EQ(model.NodeAt(root), model.Tree().Selected());
    }

    // The command states for both roots selected.
    void ExpectCommandsForTheRoots() {
        for (QToolButton* enabled :
             {Parts().SpeedButton9, Parts().SpeedButton1, Parts().SpeedButton6,
              Parts().SpeedButton19, Parts().SpeedButton7, Parts().SpeedButton20})
            EXPECT_TRUE(enabled->isEnabled()) << enabled->objectName().toStdString();
        for (QAction* enabled : {Parts().Save1, Parts().SaveAs1, Parts().RenderScript1})
            EXPECT_TRUE(enabled->isEnabled()) << enabled->objectName().toStdString();
        for (QToolButton* disabled : {Parts().SpeedButton11, Parts().SpeedButton12})
            EXPECT_FALSE(disabled->isEnabled()) << disabled->objectName().toStdString();
    }

    // Clicks the row of index in view, as the user selects a node.
    static void ClickRow(ListTreeView& view, const QModelIndex& index) {
        view.scrollTo(index);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(index).center());
    }
};

TEST_F(LargeProjectTest, AfterALoadTheListsSelectionAndCommandsAreAsForASmallProject) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string project = WriteProject("big.scp", "Big", c.copy, c.remove);
        if (c.atStartUp) {
            WriteSettingsFile(project);
            Start();
        } else {
            // A small project with a media file selected in each list, so that the load has
            // to move both selections.
            const std::string small =
                WriteProject("small.scp", "Small", {"POP", 1, 0, 1}, {"GONE", 1, 0, 1});
            WriteSettingsFile(small);
            Start();
            ASSERT_EQ(Title(), QStringLiteral("KELVO Stavio : Small"));
            ListTreeModel& copy = *Parts().CopyModel;
            ClickRow(*Parts().TreeView1, copy.index(0, 0, copy.index(0, 0, copy.index(0, 0))));
            ListTreeModel& remove = *Parts().DeleteModel;
            ClickRow(*Parts().TreeView2,
                     remove.index(0, 0, remove.index(0, 0, remove.index(0, 0))));
            ASSERT_TRUE(State().CopyTree.Selected()->IsMediaFile());
            ASSERT_TRUE(Parts().SpeedButton11->isEnabled());
            ModalScript script;
            script.Then<QFileDialog>(Choose(project));
            Parts().Open1->trigger();
            EXPECT_TRUE(script.Finished());
        }
        QApplication::processEvents();

        EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : Big"));
        EXPECT_FALSE(State().IsModified());
        EXPECT_EQ(Project().CopyLinks.size(), size_t(c.copy.Entries()));
        EXPECT_EQ(Project().DeleteLinks.size(), size_t(c.remove.Entries()));
        ExpectShown(*Parts().TreeView1, c.copy);
        ExpectShown(*Parts().TreeView2, c.remove);
        ExpectCommandsForTheRoots();
        const int groups = c.copy.Entries() + c.remove.Entries();
        EXPECT_EQ(PartsOf(App().ProgressDialog()).ProgressBar1->maximum(), groups);
        EXPECT_EQ(PartsOf(App().ProgressDialog()).ProgressBar1->value(), groups);

        // The lists still follow the user: a media file clicked in the Copy List takes files.
        ListTreeModel& copy = *Parts().CopyModel;
        const QModelIndex firstFolder = copy.index(0, 0, copy.index(0, 0));
        const QModelIndex holder = c.copy.level2 > 0 ? copy.index(0, 0, firstFolder) : firstFolder;
        const QModelIndex lastFile = copy.index(c.copy.files - 1, 0, holder);
        ClickRow(*Parts().TreeView1, lastFile);
        EXPECT_EQ(State().CopyTree.Selected(), copy.NodeAt(lastFile));
        EXPECT_TRUE(Parts().SpeedButton11->isEnabled());
        EXPECT_FALSE(Parts().SpeedButton6->isEnabled());

        // Deleting PLAYER empties the list at once and leaves its root selected.
        ClickRow(*Parts().TreeView1, copy.index(0, 0));
        Parts().SpeedButton14->click();
        QApplication::processEvents();
        ExpectShown(*Parts().TreeView1, {"NONE", 0, 0, 0});
        EXPECT_TRUE(Project().CopyLinks.empty());
        ExpectCommandsForTheRoots();

        TearDown();
    }
}

} // namespace
