// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListOperations.h"
#include "ProgramState.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace stavio;
using stavio::test::TempDir;

namespace {

class ProjectModelTest : public ::testing::Test {
protected:
    TempDir dir;
    ProgramState state{"/opt/stavio/"};

    void SetUp() override {
        state.CopyTree.Select(state.CopyTree.Root());
        state.DeleteTree.Select(state.DeleteTree.Root());
        state.RecordSavedState();
    }
    ListNode* AddSong(const std::string& folder, const std::string& file) {
        ListTree& tree = state.CopyTree;
        tree.Select(tree.Root());
        tree.Select(AddFolderNode(folder, tree, state.CurrentProject->CopyLinks));
        return AddFileNode(dir.File(file, "x"), tree, state.CurrentProject->CopyLinks, state.Names);
    }
};

TEST(TProjectClassTest, NewProjectIsEmptyButForOneCommentLine) {
    TProjectClass p;
    for (const std::string* text : {&p.ProjectName, &p.Subject, &p.Author, &p.Copyright,
                                    &p.Customer, &p.CreationDate, &p.DiffusionDate})
        EXPECT_TRUE(text->empty());
    EXPECT_EQ(p.Comments, std::vector<std::string>{"..."});
    EXPECT_TRUE(p.TargetPath.empty());
    EXPECT_TRUE(p.CopyLinks.empty());
    EXPECT_TRUE(p.DeleteLinks.empty());
}

TEST_F(ProjectModelTest, StartStateIsANewProjectInTheProgramFolder) {
    EXPECT_EQ(state.CurrentProject->ProjectName, "New Project");
    EXPECT_EQ(state.CurrentProject->TargetPath, "/opt/stavio/");
    EXPECT_TRUE(state.ProjectFileName.empty());
    EXPECT_FALSE(state.IsModified());
}

TEST_F(ProjectModelTest, EveryTextAndCommentCounts) {
    std::string TProjectClass::*texts[] = {
        &TProjectClass::ProjectName,   &TProjectClass::Subject,   &TProjectClass::Author,
        &TProjectClass::Copyright,     &TProjectClass::Customer,  &TProjectClass::CreationDate,
        &TProjectClass::DiffusionDate, &TProjectClass::TargetPath};
    for (auto field : texts) {
        const std::string old = (*state.CurrentProject).*field;
        (*state.CurrentProject).*field = old + "x";
        EXPECT_TRUE(state.IsModified());
        (*state.CurrentProject).*field = old;
        EXPECT_FALSE(state.IsModified()) << "changed back: not modified";
    }
    state.CurrentProject->Comments = {"..."};
    EXPECT_FALSE(state.IsModified());
    state.CurrentProject->Comments = {"...", ""};
    EXPECT_TRUE(state.IsModified()) << "one more line";
    state.CurrentProject->Comments = {"Hello"};
    state.RecordSavedState();
    state.CurrentProject->Comments = {"hello"};
    EXPECT_TRUE(state.IsModified()) << "letter case counts";
}

TEST_F(ProjectModelTest, LinksCompareByIdentityNotBySource) {
    ListNode* song = AddSong("A", "song.mp3");
    EXPECT_TRUE(state.IsModified());
    state.RecordSavedState();
    EXPECT_FALSE(state.IsModified());

    state.CopyTree.Select(song);
    DeleteSelectedNode(state.CopyTree, state.CurrentProject->CopyLinks);
    EXPECT_TRUE(state.IsModified());
    AddFileNode(dir / "song.mp3", state.CopyTree, state.CurrentProject->CopyLinks, state.Names);
    ASSERT_EQ(state.CurrentProject->CopyLinks.size(), 1u);
    EXPECT_EQ(state.CurrentProject->CopyLinks[0]->SourcePath,
              state.SavedProject->CopyLinks[0]->SourcePath);
    EXPECT_TRUE(state.IsModified()) << "the same file again is a new link";
}

TEST_F(ProjectModelTest, SavedProjectKeepsLinksWhoseNodesAreGone) {
    AddSong("A", "one.mp3");
    AddSong("A", "two.mp3");
    state.RecordSavedState();
    state.CopyTree.Select(state.CopyTree.Root());
    DeleteSelectedNode(state.CopyTree, state.CurrentProject->CopyLinks);
    ASSERT_EQ(state.SavedProject->CopyLinks.size(), 2u);
    EXPECT_EQ(state.SavedProject->CopyLinks[1]->SourcePath, dir / "two.mp3");
    EXPECT_TRUE(state.IsModified());
}

TEST_F(ProjectModelTest, EmptyFoldersDoNotCount) {
    AddFolderNode("EMPTY", state.CopyTree, state.CurrentProject->CopyLinks);
    EXPECT_FALSE(state.IsModified());
    DeleteSelectedNode(state.CopyTree, state.CurrentProject->CopyLinks);
    EXPECT_FALSE(state.IsModified());
}

TEST_F(ProjectModelTest, DeleteListCountsLikeTheCopyList) {
    ListTree& tree = state.DeleteTree;
    AddFolderNode("OLD", tree, state.CurrentProject->DeleteLinks);
    AddFileNode(dir.File("old.mp3"), tree, state.CurrentProject->DeleteLinks, state.Names);
    EXPECT_TRUE(state.IsModified());
    EXPECT_TRUE(state.CurrentProject->CopyLinks.empty());
}

TEST_F(ProjectModelTest, ResetClearsBothTreesAndStartsAfresh) {
    AddSong("A", "song.mp3");
    state.CurrentProject->Author = "me";
    state.ProjectFileName = "/tmp/x.scp";
    state.ResetProject();
    EXPECT_EQ(state.CopyTree.Root()->ChildCount(), 0);
    EXPECT_EQ(state.CopyTree.Selected(), state.CopyTree.Root());
    EXPECT_EQ(state.DeleteTree.Selected(), state.DeleteTree.Root());
    EXPECT_EQ(state.CurrentProject->ProjectName, "New Project");
    EXPECT_TRUE(state.CurrentProject->Author.empty());
    EXPECT_EQ(state.CurrentProject->TargetPath, "/opt/stavio/");
    EXPECT_TRUE(state.ProjectFileName.empty());
    EXPECT_FALSE(state.IsModified());
}

} // namespace
