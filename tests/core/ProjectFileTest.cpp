// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProjectFile.h"

#include "ProjectTestSupport.h"
#include "RecordingProgress.h"
#include "TempDir.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace stavio {
namespace {

using test::AddEntry;
using test::Lines;
using test::ReadBytes;
using test::RecordingProgress;
using test::TempDir;
using test::WriteBytes;

std::vector<std::string> ChildNames(const ListNode* node) {
    std::vector<std::string> names;
    for (int i = 0; i < node->ChildCount(); ++i)
        names.push_back(node->Child(i)->Text());
    return names;
}

class ProjectFileTest : public ::testing::Test {
protected:
    ProjectFileTest() : state(dir.Path() + "/") { state.ResetProject(); }

    // Loads bytes written to a file; returns the ConvertError or FileError text, or "".
    std::string LoadText(const std::string& bytes) {
        const std::string path = dir / "load.scp";
        WriteBytes(path, bytes);
        try {
            LoadProjectFile(state, path, progress);
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }

    TempDir dir;
    ProgramState state;
    RecordingProgress progress;
};

// The worked example: ROCK holds SONG-1.MP3, ROCK\LIVE holds TRACK.MP3.
TEST_F(ProjectFileTest, SavesTheWorkedExampleByteForByte) {
    const std::string song = dir.File("music/Song_1.mp3", "x");
    const std::string track = dir.File("music/live/track.mp3", "y");
    TProjectClass& project = *state.CurrentProject;
    project.ProjectName = "My Player";
    project.Author = "Me";
    project.Comments = {"first comment", "second comment"};
    project.TargetPath = "/media/player/";
    AddEntry(state.CopyTree, project.CopyLinks, "ROCK", song, state.Names);
    AddEntry(state.CopyTree, project.CopyLinks, "ROCK/LIVE", track, state.Names);

    const std::string path = dir / "example.scp";
    SaveProjectFile(state, path, progress);

    EXPECT_EQ(ReadBytes(path), Lines({"Group Of Program File of KELVO",
                                      "*****",
                                      "My Player",
                                      "",
                                      "Me",
                                      "",
                                      "",
                                      "",
                                      "",
                                      "2",
                                      "first comment",
                                      "second comment",
                                      "/media/player/",
                                      "*****",
                                      "2",
                                      "0",
                                      song,
                                      "SONG-1.MP3",
                                      "ROCK\\",
                                      track,
                                      "TRACK.MP3",
                                      "ROCK\\LIVE\\"}));
    EXPECT_FALSE(state.IsModified());
    EXPECT_EQ(progress.captions.back(), "Save Project... : " + path);
    EXPECT_FALSE(progress.labelVisible);
    EXPECT_TRUE(progress.barVisible);
    EXPECT_EQ(progress.maximum, 2);
    EXPECT_EQ(progress.position, 2);
}

TEST_F(ProjectFileTest, EmptyProjectIsFourteenLinesAndANewOneKeepsItsComment) {
    TProjectClass& project = *state.CurrentProject;
    project = TProjectClass();
    project.Comments.clear();
    project.TargetPath = "/out/";
    const std::string path = dir / "empty.scp";
    SaveProjectFile(state, path, progress);
    EXPECT_EQ(ReadBytes(path), Lines({"Group Of Program File of KELVO", "*****", "", "", "", "", "",
                                      "", "", "0", "/out/", "*****", "0", "0"}));

    state.ResetProject();
    SaveProjectFile(state, path, progress);
    EXPECT_EQ(ReadBytes(path),
              Lines({"Group Of Program File of KELVO", "*****", "New Project", "", "", "", "", "",
                     "", "1", "...", dir.Path() + "/", "*****", "0", "0"}));
}

TEST_F(ProjectFileTest, LoadsTheWorkedExampleIntoBothTrees) {
    const std::string song = dir.File("music/Song_1.mp3");
    const std::string track = dir.File("music/live/track.mp3");
    const std::string old = dir.File("old/OLD.MP3");
    const std::string path = dir / "example.scp";
    WriteBytes(path, Lines({"Group Of Program File of KELVO",
                            "*****",
                            "My Player",
                            "S",
                            "A",
                            "C",
                            "Cu",
                            "1.1.2004",
                            "2.2.2004",
                            "2",
                            "one",
                            "two",
                            "/media/player/",
                            "*****",
                            "2",
                            "1",
                            song,
                            "IGNORED",
                            "ROCK\\",
                            track,
                            "IGNORED",
                            "ROCK\\LIVE\\",
                            old,
                            "OLD.MP3",
                            "GONE\\"}));
    LoadProjectFile(state, path, progress);

    const TProjectClass& project = *state.CurrentProject;
    EXPECT_EQ(project.ProjectName, "My Player");
    EXPECT_EQ(project.DiffusionDate, "2.2.2004");
    EXPECT_EQ(project.Comments, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(project.TargetPath, "/media/player/");

    const ListNode* rock = state.CopyTree.Root()->ChildNamed("ROCK");
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(ChildNames(rock), (std::vector<std::string>{"SONG-1.MP3", "LIVE"}));
    EXPECT_EQ(ChildNames(rock->ChildNamed("LIVE")), std::vector<std::string>{"TRACK.MP3"});
    ASSERT_EQ(project.CopyLinks.size(), 2u);
    EXPECT_EQ(project.CopyLinks[0]->SourcePath, song);
    EXPECT_EQ(project.CopyLinks[1]->Node, rock->ChildNamed("LIVE")->Child(0));
    ASSERT_EQ(project.DeleteLinks.size(), 1u);
    EXPECT_EQ(project.DeleteLinks[0]->Node->Parent()->Text(), "GONE");

    EXPECT_EQ(state.CopyTree.Selected(), state.CopyTree.Root());
    EXPECT_EQ(state.DeleteTree.Selected(), state.DeleteTree.Root());
    EXPECT_FALSE(state.IsModified());
    EXPECT_EQ(progress.captions.back(), "Open Project... : " + path);
    EXPECT_EQ(progress.maximum, 3);
    EXPECT_EQ(progress.position, 3);
}

TEST_F(ProjectFileTest, ReloadKeepsFirstUseOrderAndDropsEmptyFolders) {
    TProjectClass& project = *state.CurrentProject;
    ListTree& tree = state.CopyTree;
    tree.Select(tree.Root());
    AddFolderNode("EMPTY", tree, project.CopyLinks);
    AddEntry(tree, project.CopyLinks, "POP", dir.File("a/b.mp3"), state.Names);
    AddEntry(tree, project.CopyLinks, "JAZZ", dir.File("a/c.mp3"), state.Names);
    AddEntry(tree, project.CopyLinks, "POP", dir.File("a/d.mp3"), state.Names);
    const std::string path = dir / "p.scp";
    SaveProjectFile(state, path, progress);

    ProgramState reloaded(dir.Path() + "/");
    reloaded.ResetProject();
    LoadProjectFile(reloaded, path, progress);
    EXPECT_EQ(ChildNames(reloaded.CopyTree.Root()), (std::vector<std::string>{"POP", "JAZZ"}));
    EXPECT_EQ(ChildNames(reloaded.CopyTree.Root()->Child(0)),
              (std::vector<std::string>{"B.MP3", "D.MP3"}));
}

TEST_F(ProjectFileTest, FolderPathLinesAreCutIntoFolderNames) {
    const std::string song = dir.File("s.mp3");
    // A dotted or long folder comes back as a folder name; a third level drops the file.
    EXPECT_EQ(LoadText(Lines({"",      "",          "",         "",      "",
                              "",      "",          "",         "",      "0",
                              "/t",    "*****",     "3",        "0",     song,
                              "S.MP3", "abc.def\\", song,       "S.MP3", "LongFolderName\\sub\\",
                              song,    "S.MP3",     "A\\B\\C\\"})),
              "");
    const ListNode* root = state.CopyTree.Root();
    EXPECT_EQ(ChildNames(root), (std::vector<std::string>{"ABC0DEF", "LONGFOLD", "A"}));
    EXPECT_EQ(ChildNames(root->Child(1)), std::vector<std::string>{"SUB"});
    EXPECT_EQ(ChildNames(root->Child(2)), std::vector<std::string>{"B"});
    EXPECT_EQ(root->Child(2)->Child(0)->ChildCount(), 0);
    EXPECT_EQ(state.CurrentProject->CopyLinks.size(), 2u);
}

TEST_F(ProjectFileTest, AnyHeaderLoadsAndZeroCommentsSaveBackAsZero) {
    EXPECT_EQ(LoadText(Lines({"Not a KELVO file", "-----", "Name", "", "", "", "", "", "", "0",
                              "/target/", "", "0", "0"})),
              "");
    EXPECT_EQ(state.CurrentProject->ProjectName, "Name");
    EXPECT_TRUE(state.CurrentProject->Comments.empty());
    EXPECT_EQ(state.CurrentProject->TargetPath, "/target/");

    const std::string path = dir / "again.scp";
    SaveProjectFile(state, path, progress);
    EXPECT_EQ(ReadBytes(path), Lines({"Group Of Program File of KELVO", "*****", "Name", "", "", "",
                                      "", "", "", "0", "/target/", "*****", "0", "0"}));
}

TEST_F(ProjectFileTest, NegativeCommentCountReadsNoLine) {
    EXPECT_EQ(LoadText(Lines({"", "", "", "", "", "", "", "", "", "-3", "/t/", "*****", "0", "0"})),
              "");
    EXPECT_TRUE(state.CurrentProject->Comments.empty());
    EXPECT_EQ(state.CurrentProject->TargetPath, "/t/");
}

TEST_F(ProjectFileTest, BadCountStopsTheLoadAndKeepsWhatWasRead) {
    EXPECT_EQ(LoadText(Lines({"H", "*****", "Kept", "", "", "", "", "", "", "1", "comment",
                              "/kept/", "*****", "2", "two"})),
              "'two' n'est pas une valeur entière correcte");
    const TProjectClass& project = *state.CurrentProject;
    EXPECT_EQ(project.ProjectName, "Kept");
    EXPECT_EQ(project.Comments, std::vector<std::string>{"comment"});
    EXPECT_EQ(project.TargetPath, "/kept/");
    EXPECT_TRUE(state.IsModified()); // the saved state was not recorded
}

TEST_F(ProjectFileTest, FileWithLineFeedsOnlyIsOneLongLine) {
    EXPECT_EQ(LoadText("Group Of Program File of KELVO\n*****\nName\n\n\n\n\n\n\n0\n/t\n"),
              "'' n'est pas une valeur entière correcte");
    EXPECT_EQ(state.CurrentProject->ProjectName, "");
}

TEST_F(ProjectFileTest, MissingFileIsReported) {
    try {
        LoadProjectFile(state, dir / "none.scp", progress);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Fichier introuvable");
    }
}

// A huge count in a short file stops at the end of the file instead of counting on (a
// spin would run into the test timeout).
TEST_F(ProjectFileTest, HugeCountsStopAtTheEndOfTheFile) {
    EXPECT_EQ(LoadText(Lines({"", "", "", "", "", "", "", "", "", "2000000000", "one", "two"})),
              "'' n'est pas une valeur entière correcte");
    EXPECT_EQ(state.CurrentProject->Comments, (std::vector<std::string>{"one", "two"}));

    state.ResetProject();
    const std::string song = dir.File("s.mp3");
    EXPECT_EQ(LoadText(Lines({"", "", "", "", "", "", "", "", "", "0", "/t", "*****", "2000000000",
                              "2000000000", song, "S.MP3", "ROCK\\"})),
              "");
    EXPECT_EQ(state.CurrentProject->CopyLinks.size(), 1u);
    EXPECT_TRUE(state.CurrentProject->DeleteLinks.empty());
    EXPECT_FALSE(state.IsModified());
}

// A save that fails leaves the previous file as it was and no temporary file behind.
TEST_F(ProjectFileTest, FailedSaveKeepsThePreviousFile) {
    state.CurrentProject->ProjectName = "Changed";
    const std::string folder = dir.Folder("project.scp"); // a folder stands where the file goes
    dir.File("project.scp/inside", "keep");
    EXPECT_THROW(SaveProjectFile(state, folder, progress), FileError);
    EXPECT_EQ(ReadBytes(folder + "/inside"), "keep");
    EXPECT_TRUE(state.IsModified());
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 1);

    EXPECT_THROW(SaveProjectFile(state, dir / "missing/p.scp", progress), FileError);
    EXPECT_TRUE(state.IsModified());
}

TEST_F(ProjectFileTest, SaveOverwritesAnExistingFile) {
    const std::string path = dir.File("p.scp", std::string(10000, 'x'));
    SaveProjectFile(state, path, progress);
    EXPECT_EQ(ReadBytes(path).substr(0, 32), "Group Of Program File of KELVO\r\n");
    EXPECT_LT(ReadBytes(path).size(), 200u);
}

} // namespace
} // namespace stavio
