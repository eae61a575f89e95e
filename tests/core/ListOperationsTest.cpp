// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListOperations.h"
#include "TempDir.h"
#include "TreeRecorder.h"

#include <gtest/gtest.h>

using namespace stavio;
using stavio::test::TempDir;

namespace {

class FakeListing : public ExplorerListing {
public:
    std::string folder;
    std::vector<std::string> items;
    std::string SelectedPath() const override { return folder; }
    std::vector<std::string> ItemNames() const override { return items; }
};

using Recorder = stavio::test::TreeRecorder;

class ListOperationsTest : public ::testing::Test {
protected:
    TempDir dir;
    TempDir state;
    NamingService names{state.Path()};
    ListTree tree;
    LinkList links;

    void SetUp() override { tree.Select(tree.Root()); }
    std::string Mp3(const std::string& name) { return dir.File("music/" + name, "x"); }
};

TEST_F(ListOperationsTest, FreshTreeHasOnlyThePlayerRoot) {
    EXPECT_EQ(tree.Root()->Text(), "PLAYER");
    EXPECT_EQ(tree.Root()->Level(), 0);
    EXPECT_EQ(tree.Root()->ImageIndex(), 3);
    EXPECT_EQ(tree.Root()->ChildCount(), 0);
}

TEST_F(ListOperationsTest, FoldersGoUnderRootAndLevelOneOnly) {
    ListNode* a = AddFolderNode("A", tree, links);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(tree.Selected(), a);
    EXPECT_EQ(a->Level(), 1);
    EXPECT_EQ(a->ImageIndex(), 0);
    EXPECT_EQ(a->SelectedIndex(), 2);
    ListNode* b = AddFolderNode("B", tree, links);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Parent(), a);
    EXPECT_EQ(AddFolderNode("C", tree, links), nullptr) << "no folder at level 3";
    EXPECT_EQ(tree.Selected(), b);
}

TEST_F(ListOperationsTest, ExistingFolderIsHandedBackWithoutSelectingIt) {
    ListNode* a = AddFolderNode("A", tree, links);
    tree.Select(tree.Root());
    EXPECT_EQ(AddFolderNode("A", tree, links), a);
    EXPECT_EQ(tree.Selected(), tree.Root());
    EXPECT_EQ(tree.Root()->ChildCount(), 1);
    EXPECT_NE(AddFolderNode("a", tree, links), a) << "names compare case-sensitively";
}

TEST_F(ListOperationsTest, FolderUnderSelectedMediaFileGoesBesideItsParentAndMovesSelection) {
    ListNode* a = AddFolderNode("A", tree, links);
    ListNode* song = AddFileNode(Mp3("song.mp3"), tree, links, names);
    ASSERT_NE(song, nullptr);
    tree.Select(song);
    ListNode* b = AddFolderNode("B", tree, links);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Parent(), a);
}

TEST_F(ListOperationsTest, SelectionMoveToParentHappensEvenWhenFolderIsRefused) {
    AddFolderNode("A", tree, links);
    ListNode* b = AddFolderNode("B", tree, links);
    ListNode* song = AddFileNode(Mp3("song.mp3"), tree, links, names);
    tree.Select(song);
    EXPECT_EQ(AddFolderNode("C", tree, links), nullptr);
    EXPECT_EQ(tree.Selected(), b);
}

TEST_F(ListOperationsTest, FilesNeedAFolderAndUniqueNames) {
    const std::string song = Mp3("song.mp3");
    EXPECT_EQ(AddFileNode(song, tree, links, names), nullptr) << "never directly under the root";
    AddFolderNode("A", tree, links);
    ListNode* first = AddFileNode(song, tree, links, names);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Text(), "SONG.MP3");
    EXPECT_EQ(first->ImageIndex(), 1);
    EXPECT_EQ(first->SelectedIndex(), 1);
    EXPECT_EQ(first->Level(), 2);
    EXPECT_NE(tree.Selected(), first) << "a new file is not selected";
    EXPECT_EQ(AddFileNode(song, tree, links, names), nullptr) << "same name in the same folder";
    ASSERT_EQ(links.size(), 1u);
    EXPECT_TRUE(links[0]->HasNode(first));
    EXPECT_EQ(links[0]->SourcePath, song);
}

TEST_F(ListOperationsTest, FileBesideSelectedFileAndAtLevelThree) {
    AddFolderNode("A", tree, links);
    AddFolderNode("B", tree, links);
    ListNode* one = AddFileNode(Mp3("one.mp3"), tree, links, names);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->Level(), 3);
    tree.Select(one);
    ListNode* two = AddFileNode(Mp3("two.mp3"), tree, links, names);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->Parent(), one->Parent());
    EXPECT_EQ(tree.Selected(), one) << "adding a file never moves the selection";
}

TEST_F(ListOperationsTest, MissingSourceIsAddedOnceUnderTheEmptyName) {
    AddFolderNode("A", tree, links);
    ListNode* gone = AddFileNode(dir / "gone.mp3", tree, links, names);
    ASSERT_NE(gone, nullptr);
    EXPECT_EQ(gone->Text(), "");
    EXPECT_EQ(AddFileNode(dir / "gone-too.mp3", tree, links, names), nullptr);
    EXPECT_EQ(links.size(), 1u);
}

TEST_F(ListOperationsTest, SameSourceInTwoFoldersGivesTwoLinks) {
    const std::string song = Mp3("song.mp3");
    AddFolderNode("A", tree, links);
    AddFileNode(song, tree, links, names);
    tree.Select(tree.Root());
    AddFolderNode("B", tree, links);
    AddFileNode(song, tree, links, names);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_NE(links[0], links[1]);
    EXPECT_EQ(links[0]->SourcePath, links[1]->SourcePath);
}

TEST_F(ListOperationsTest, DirectoryWithFilesFillsOnlyANewFolder) {
    FakeListing listing;
    listing.folder = dir.Folder("music") + "/";
    listing.items = {"b.mp3", "a.mp3"};
    Mp3("a.mp3");
    Mp3("b.mp3");
    ListNode* folder = AddFolderNode("MUSIC", tree, links, &listing, names);
    ASSERT_NE(folder, nullptr);
    ASSERT_EQ(folder->ChildCount(), 2);
    EXPECT_EQ(folder->Child(0)->Text(), "B.MP3") << "display order kept";
    EXPECT_EQ(links[0]->SourcePath, dir / "music/b.mp3") << "one separator between the parts";

    Mp3("c.mp3");
    listing.items.push_back("c.mp3");
    tree.Select(tree.Root());
    EXPECT_EQ(AddFolderNode("MUSIC", tree, links, &listing, names), folder);
    EXPECT_EQ(folder->ChildCount(), 2) << "an existing folder is not filled again";
}

TEST_F(ListOperationsTest, DeleteMediaFileRemovesItsLinkOnly) {
    AddFolderNode("A", tree, links);
    ListNode* one = AddFileNode(Mp3("one.mp3"), tree, links, names);
    AddFileNode(Mp3("two.mp3"), tree, links, names);
    AddFileNode(Mp3("three.mp3"), tree, links, names);
    tree.Select(one);
    DeleteSelectedNode(tree, links);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0]->SourcePath, dir / "music/two.mp3");
    EXPECT_EQ(links[1]->SourcePath, dir / "music/three.mp3");
    ASSERT_NE(tree.Selected(), nullptr);
    EXPECT_EQ(tree.Selected()->Text(), "A");
}

TEST_F(ListOperationsTest, DeleteFolderRemovesLinksBelowAndKeepsOrderOfOthers) {
    ListNode* a = AddFolderNode("A", tree, links);
    AddFolderNode("X", tree, links);
    AddFileNode(Mp3("x1.mp3"), tree, links, names);
    tree.Select(tree.Root());
    AddFolderNode("B", tree, links);
    AddFileNode(Mp3("b1.mp3"), tree, links, names);
    tree.Select(a);
    AddFolderNode("Y", tree, links);
    AddFileNode(Mp3("y1.mp3"), tree, links, names);
    tree.Select(a);
    DeleteSelectedNode(tree, links);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0]->SourcePath, dir / "music/b1.mp3");
    EXPECT_EQ(tree.Root()->ChildCount(), 1);
    EXPECT_EQ(tree.Root()->Child(0)->Row(), 0) << "rows follow the removal";
    EXPECT_EQ(tree.Selected(), tree.Root());
}

TEST_F(ListOperationsTest, DeleteRootEmptiesTreeAndLinksButKeepsRoot) {
    AddFolderNode("A", tree, links);
    AddFileNode(Mp3("one.mp3"), tree, links, names);
    tree.Select(tree.Root());
    DeleteSelectedNode(tree, links);
    EXPECT_TRUE(links.empty());
    EXPECT_EQ(tree.Root()->ChildCount(), 0);
    EXPECT_EQ(tree.Root()->Text(), "PLAYER");
    tree.Select(nullptr);
    DeleteSelectedNode(tree, links); // nothing selected: nothing happens
}

TEST_F(ListOperationsTest, CanHoldFoldersAndFiles) {
    EXPECT_FALSE(CanHoldFolders(nullptr));
    EXPECT_FALSE(CanHoldFiles(nullptr));
    EXPECT_TRUE(CanHoldFolders(tree.Root()));
    EXPECT_FALSE(CanHoldFiles(tree.Root()));

    ListNode* a = AddFolderNode("A", tree, links);
    EXPECT_TRUE(CanHoldFolders(a));
    EXPECT_TRUE(CanHoldFiles(a)) << "an empty folder takes either";
    ListNode* song = AddFileNode(Mp3("song.mp3"), tree, links, names);
    EXPECT_FALSE(CanHoldFolders(a));
    EXPECT_TRUE(CanHoldFiles(a));
    EXPECT_TRUE(CanHoldFiles(song)) << "a media file stands for its folder";
    EXPECT_FALSE(CanHoldFolders(song)) << "level 2: too deep, whatever its folder holds";

    tree.Select(tree.Root());
    ListNode* b = AddFolderNode("B", tree, links);
    ListNode* c = AddFolderNode("C", tree, links);
    EXPECT_FALSE(CanHoldFiles(b)) << "holds a folder";
    EXPECT_FALSE(CanHoldFolders(c)) << "level 2";
    EXPECT_TRUE(CanHoldFiles(c));
    ListNode* deep = AddFileNode(Mp3("deep.mp3"), tree, links, names);
    EXPECT_TRUE(CanHoldFiles(deep));
    EXPECT_FALSE(CanHoldFolders(deep));
}

TEST_F(ListOperationsTest, ObserverFollowsEveryChange) {
    Recorder recorder;
    tree.AddObserver(&recorder);
    AddFolderNode("A", tree, links);
    AddFolderNode("B", tree, links);
    tree.Select(tree.Root()->Child(0));
    DeleteSelectedNode(tree, links);
    tree.RemoveObserver(&recorder);
    const std::vector<std::string> expected = {"about-insert PLAYER 0",
                                               "inserted A",
                                               "selected A",
                                               "about-insert A 0",
                                               "inserted B",
                                               "selected B",
                                               "selected A",
                                               "selected PLAYER",
                                               "about-remove PLAYER 0-0",
                                               "removed PLAYER 0-0"};
    EXPECT_EQ(recorder.events, expected);
}

} // namespace
