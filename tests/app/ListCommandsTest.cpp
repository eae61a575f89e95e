// SPDX-License-Identifier: GPL-3.0-or-later
// The list pane and explorer commands of the main window, with their enabling rules.

#include "AppFixture.h"

#include "NamingService.h"

#include <QAction>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

using ListCommandsTest = AppFixture;

std::string Host(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

TEST_F(ListCommandsTest, AddingADirectoryMakesOneFolderWithItsMediaFiles) {
    Start();
    Browse(album_);
    Parts().SpeedButton6->click();

    const std::string folderName = State().Names.ShortNameFromPath(Host(album_));
    ASSERT_EQ(folderName, "ALBUM");
    stavio::ListNode* folder = Child(Copy().Root(), "ALBUM");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(Copy().Selected(), folder);
    // Only the MP3 files of the file list, in display order; never the text file.
    ASSERT_EQ(folder->ChildCount(), 3);
    ASSERT_EQ(CopyLinks().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(folder->Child(i)->IsMediaFile());
        EXPECT_EQ(CopyLinks()[i]->Node, folder->Child(i));
        EXPECT_EQ(CopyLinks()[i]->SourcePath,
                  Host(album_ + QLatin1Char('/') + Parts().LsFilelistView281->ItemCaptions()[i]));
    }
    EXPECT_TRUE(DeleteLinks().empty());
    EXPECT_EQ(Delete().Root()->ChildCount(), 0);

    // The folder holds files now: no more folders into it, files yes.
    EXPECT_FALSE(Parts().SpeedButton6->isEnabled());
    EXPECT_FALSE(Parts().SpeedButton19->isEnabled());
    EXPECT_TRUE(Parts().SpeedButton11->isEnabled());
    EXPECT_TRUE(State().IsModified());
}

// A file whose name is not UTF-8 is added with its own bytes as source.
TEST_F(ListCommandsTest, FilesNamedInAnyBytesAreAddedWithTheirOwnName) {
    const QByteArray raw = QFile::encodeName(album_) + "/caf\xE9.mp3";
    std::FILE* file = std::fopen(raw.constData(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    Start();
    Browse(album_);
    Parts().SpeedButton6->click();
    std::vector<std::string> sources;
    for (const auto& link : CopyLinks())
        sources.push_back(link->SourcePath);
    EXPECT_NE(std::find(sources.begin(), sources.end(), raw.toStdString()), sources.end());
    ::unlink(raw.constData());
}

TEST_F(ListCommandsTest, TheSameDirectoryTwiceAddsNothingTheSecondTime) {
    Start();
    Browse(album_);
    Parts().SpeedButton7->click();
    ASSERT_EQ(DeleteLinks().size(), 3u);
    MakeFile(album_ + QStringLiteral("/late.mp3"));
    Parts().LsFilelistView281->Refresh();
    Delete().Select(Delete().Root());
    Parts().SpeedButton7->click();
    EXPECT_EQ(Delete().Root()->ChildCount(), 1);
    EXPECT_EQ(DeleteLinks().size(), 3u);             // the new file is not picked up
    EXPECT_EQ(Delete().Selected(), Delete().Root()); // the existing folder is not selected
}

TEST_F(ListCommandsTest, ADriveOrTheComputerIsNotADirectoryToAdd) {
    Start();
    SelectDrive();
    Form().SpeedButton6Click();
    EXPECT_EQ(Copy().Root()->ChildCount(), 0);
    Parts().LsDirTree211->Reload(); // nothing selected
    Form().SpeedButton6Click();
    EXPECT_EQ(Copy().Root()->ChildCount(), 0);
}

TEST_F(ListCommandsTest, SelectedFilesGoIntoTheSelectedFolderOrThatOfTheSelectedFile) {
    Start();
    Browse(other_);
    Parts().SpeedButton6->click(); // OTHER with FOUR.MP3, ONE.MP3
    stavio::ListNode* otherFolder = Child(Copy().Root(), "OTHER");
    ASSERT_NE(otherFolder, nullptr);
    Copy().Select(otherFolder->Child(0)); // a media file: its folder is the target

    Browse(album_);
    Parts().LsFilelistView281->SelectCaptions(
        {QStringLiteral("two.mp3"), QStringLiteral("one.mp3")});
    Parts().SpeedButton11->click();
    // ONE.MP3 is taken already and is skipped silently; TWO.MP3 comes after the others.
    ASSERT_EQ(otherFolder->ChildCount(), 3);
    EXPECT_EQ(Name(otherFolder->Child(2)), QStringLiteral("TWO.MP3"));
    EXPECT_EQ(CopyLinks().back()->SourcePath, Host(album_ + QStringLiteral("/two.mp3")));
    EXPECT_EQ(CopyLinks().size(), 3u);
    // The selection did not move.
    EXPECT_EQ(Copy().Selected(), otherFolder->Child(0));
}

TEST_F(ListCommandsTest, FilesNeedASelectionAndAFolderTarget) {
    Start();
    Browse(album_);
    Parts().LsFilelistView281->SelectCaptions({QStringLiteral("one.mp3")});
    Copy().Select(Copy().Root());
    EXPECT_FALSE(Parts().SpeedButton11->isEnabled());
    Form().SpeedButton11Click(); // the root takes no media files
    EXPECT_EQ(Copy().Root()->ChildCount(), 0);

    Parts().LsFilelistView281->SelectCaptions({});
    stavio::AddFolderNode("EMPTY", Copy(), CopyLinks());
    Form().SpeedButton11Click(); // no file selected
    EXPECT_EQ(Child(Copy().Root(), "EMPTY")->ChildCount(), 0);
}

TEST_F(ListCommandsTest, EnablingFollowsTheSelectionOfEachList) {
    Start();
    auto states = [this] {
        return std::vector<bool>{
            Parts().SpeedButton6->isEnabled(),  Parts().SpeedButton19->isEnabled(),
            Parts().SpeedButton11->isEnabled(), Parts().SpeedButton7->isEnabled(),
            Parts().SpeedButton20->isEnabled(), Parts().SpeedButton12->isEnabled()};
    };
    using V = std::vector<bool>;
    // Both roots: folders yes, files no.
    EXPECT_EQ(states(), (V{true, true, false, true, true, false}));

    stavio::ListNode* a = stavio::AddFolderNode("A", Copy(), CopyLinks()); // empty level 1
    EXPECT_EQ(states(), (V{true, true, true, true, true, false}));
    stavio::ListNode* b = stavio::AddFolderNode("B", Copy(), CopyLinks()); // level 2
    EXPECT_EQ(Copy().Selected(), b);
    EXPECT_EQ(states(), (V{false, false, true, true, true, false}));
    Copy().Select(a); // holds a folder: no files
    EXPECT_EQ(states(), (V{true, true, false, true, true, false}));

    // The Delete List has its own rules: a media file in a level-1 folder.
    stavio::AddFolderNode("C", Delete(), DeleteLinks());
    Browse(album_);
    Parts().LsFilelistView281->SelectCaptions({QStringLiteral("one.mp3")});
    Parts().SpeedButton12->click();
    Delete().Select(Child(Delete().Root(), "C")->Child(0));
    EXPECT_EQ(states(), (V{true, true, false, false, false, true}));

    // The buttons that are never disabled.
    for (QToolButton* button :
         {Parts().SpeedButton4, Parts().SpeedButton5, Parts().SpeedButton13, Parts().SpeedButton14,
          Parts().SpeedButton15, Parts().SpeedButton1, Parts().SpeedButton9})
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
}

// Copy List: PLAYER / A (ONE.MP3, TWO.MP3), B / OTHER (FOUR.MP3, ONE.MP3).
class DeleteTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        Start();
        Browse(album_);
        Parts().LsFilelistView281->SelectCaptions(
            {QStringLiteral("one.mp3"), QStringLiteral("two.mp3")});
        stavio::AddFolderNode("A", Copy(), CopyLinks());
        Form().SpeedButton11Click();
        Copy().Select(Copy().Root());
        stavio::AddFolderNode("B", Copy(), CopyLinks());
        Browse(other_);
        Form().SpeedButton6Click();
        ASSERT_EQ(CopyLinks().size(), 4u);
    }
    std::vector<std::string> LinkedNames() {
        std::vector<std::string> names;
        for (const auto& link : CopyLinks())
            names.push_back(link->Node->Text());
        return names;
    }
};

TEST_F(DeleteTest, AMediaFileTakesItsLinkAlong) {
    stavio::ListNode* a = Child(Copy().Root(), "A");
    Copy().Select(Child(a, "ONE.MP3"));
    Parts().SpeedButton14->click();
    EXPECT_EQ(a->ChildCount(), 1);
    EXPECT_EQ(LinkedNames(), (std::vector<std::string>{"TWO.MP3", "FOUR.MP3", "ONE.MP3"}));
    EXPECT_EQ(Copy().Selected(), a);
    EXPECT_EQ(Parts().CopyModel->rowCount(Parts().CopyModel->IndexOf(a)), 1);
}

TEST_F(DeleteTest, AFolderTakesEverythingBelowIt) {
    stavio::ListNode* b = Child(Copy().Root(), "B");
    Copy().Select(Child(b, "OTHER"));
    Parts().SpeedButton14->click();
    EXPECT_EQ(b->ChildCount(), 0);
    EXPECT_EQ(LinkedNames(), (std::vector<std::string>{"ONE.MP3", "TWO.MP3"}));
    EXPECT_EQ(Copy().Selected(), b);
    // Now the empty level-1 folder takes folders again.
    EXPECT_TRUE(Parts().SpeedButton19->isEnabled());

    Copy().Select(Child(Copy().Root(), "A"));
    Parts().SpeedButton14->click();
    EXPECT_TRUE(CopyLinks().empty());
    EXPECT_EQ(Copy().Root()->ChildCount(), 1);
}

TEST_F(DeleteTest, TheRootEmptiesTheListButStays) {
    Copy().Select(Copy().Root());
    Parts().SpeedButton14->click();
    EXPECT_EQ(Copy().Root()->ChildCount(), 0);
    EXPECT_TRUE(CopyLinks().empty());
    EXPECT_EQ(Parts().CopyModel->rowCount(), 1);
    EXPECT_EQ(Parts().CopyModel->rowCount(Parts().CopyModel->IndexOf(Copy().Root())), 0);
    // The Delete List is another list.
    Parts().SpeedButton15->click();
    EXPECT_EQ(Delete().Root()->ChildCount(), 0);
}

TEST_F(ListCommandsTest, RefreshReopensTheLastFolderAndRelistsIt) {
    Start();
    Browse(album_);
    MakeFile(album_ + QStringLiteral("/zz.mp3"));
    Parts().SpeedButton5->click();
    EXPECT_EQ(Parts().LsDirTree211->SelectedPath(), album_);
    EXPECT_EQ(Parts().LastExplorerDirectory, album_);
    EXPECT_TRUE(Parts().LsFilelistView281->ItemCaptions().contains(QStringLiteral("zz.mp3")));
}

TEST_F(ListCommandsTest, TheViewButtonCyclesFromListToDetails) {
    Start();
    EXPECT_EQ(Parts().LsFilelistView281->ViewStyle(), 2);
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i) {
        Parts().SpeedButton13->click();
        EXPECT_EQ(Parts().LsFilelistView281->ViewStyle(), Parts().FileListViewStyle);
        seen.push_back(Parts().FileListViewStyle);
    }
    EXPECT_EQ(seen, (std::vector<int>{3, 0, 1, 2, 3}));
}

TEST_F(ListCommandsTest, TheDirectoryTreeFollowsLastExplorerDirectory) {
    Start();
    Browse(other_);
    EXPECT_EQ(Parts().LastExplorerDirectory, other_);
}

// The highlighted node and the node the commands act on are always one and the same.
TEST_F(ListCommandsTest, ClicksAndKeysNeverLeaveAListWithoutItsSelectedNode) {
    Start();
    for (ListTreeView* view : {Parts().TreeView1, Parts().TreeView2}) {
        stavio::ListTree& tree = view->Model()->Tree();
        stavio::LinkList links;
        stavio::ListNode* a = stavio::AddFolderNode("A", tree, links);
        tree.Select(tree.Root());
        QApplication::processEvents();
        auto click = [view](const stavio::ListNode* node, Qt::KeyboardModifiers modifiers) {
            return [view, node, modifiers] {
                const QPoint at =
                    node ? view->visualRect(view->Model()->IndexOf(node)).center()
                         : QPoint(20, view->viewport()->height() - 5); // below the last node
                QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, at);
            };
        };
        struct Case {
            const char* what;
            std::function<void()> act;
            const stavio::ListNode* selected;
        };
        const Case cases[] = {
            {"Ctrl+click on the selected root", click(tree.Root(), Qt::ControlModifier),
             tree.Root()},
            {"a click on A", click(a, Qt::NoModifier), a},
            {"Ctrl+click on the selected A", click(a, Qt::ControlModifier), a},
            {"a click below the last node", click(nullptr, Qt::NoModifier), a},
            {"Ctrl+click below the last node", click(nullptr, Qt::ControlModifier), a},
            {"Ctrl+Space", [view] { QTest::keyClick(view, Qt::Key_Space, Qt::ControlModifier); },
             a},
            {"Ctrl+click on the root", click(tree.Root(), Qt::ControlModifier), tree.Root()},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(view->objectName().toStdString() + ": " + c.what);
            c.act();
            EXPECT_EQ(Name(tree.Selected()), Name(c.selected));
            EXPECT_EQ(view->selectionModel()->selectedIndexes(),
                      QModelIndexList{view->Model()->IndexOf(c.selected)});
        }
    }
}

// Options > "Other audio formats": the explorer lists the song, the tool button adds it
// under the name of the MP3 file it becomes, and the item stays set for the next start.
TEST_F(ListCommandsTest, OtherAudioFormatsReachTheExplorerAndTheListsAndStaySet) {
    MakeFile(album_ + QStringLiteral("/five.flac"));
    const auto listed = [&] {
        return Parts().LsFilelistView281->ItemCaptions().contains(QStringLiteral("five.flac"));
    };
    Start();
    Browse(album_);
    ASSERT_FALSE(Parts().OtherAudioFormats1->isChecked());
    EXPECT_FALSE(listed());
    Parts().OtherAudioFormats1->trigger();
    ASSERT_TRUE(QTest::qWaitFor(listed, 2000));
    Parts().SpeedButton6->click();
    stavio::ListNode* folder = Child(Copy().Root(), "ALBUM");
    EXPECT_EQ(folder ? folder->ChildCount() : 0, 4);
    EXPECT_NE(Child(folder, "FIVE~1.MP3"), nullptr); // its own short form is FIVE~1.FLA

    app_.reset();
    Start();
    EXPECT_TRUE(Parts().OtherAudioFormats1->isChecked());
    Browse(album_);
    EXPECT_TRUE(QTest::qWaitFor(listed, 2000));
    Parts().OtherAudioFormats1->trigger(); // off again, as the other tests expect
    EXPECT_TRUE(QTest::qWaitFor([&] { return !listed(); }, 2000));
}

} // namespace
