// SPDX-License-Identifier: GPL-3.0-or-later
#include "Script.h"

#include "ProjectTestSupport.h"
#include "RecordingProgress.h"
#include "TempDir.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace stavio {
namespace {

using test::AddEntry;
using test::ReadBytes;
using test::RecordingProgress;
using test::TempDir;

class ScriptTest : public ::testing::Test {
protected:
    ScriptTest() : state(dir.Path() + "/") {
        state.ResetProject();
        project().TargetPath = dir.Folder("player") + "/";
    }
    TProjectClass& project() { return *state.CurrentProject; }
    std::string Source(const std::string& name) { return dir.File("src/" + name); }
    void Copy(const std::string& folders, const std::string& name) {
        ASSERT_NE(AddEntry(state.CopyTree, project().CopyLinks, folders, Source(name), state.Names),
                  nullptr);
    }
    void Delete(const std::string& folders, const std::string& name) {
        ASSERT_NE(
            AddEntry(state.DeleteTree, project().DeleteLinks, folders, Source(name), state.Names),
            nullptr);
    }
    std::string Write() {
        const std::string file = ScriptFileName(project().TargetPath);
        count = WriteScript(state, file, progress);
        return ReadBytes(file);
    }
    // Appends a delete entry named name in folder A directly, so lengths can be chosen freely.
    void DeleteNamed(const std::string& name) {
        ListTree& tree = state.DeleteTree;
        ListNode* folder = tree.Root()->ChildNamed("A");
        if (folder == nullptr)
            folder = tree.AddChild(tree.Root(), "A", NodeKind::Folder);
        ListNode* node = tree.AddChild(folder, name, NodeKind::MediaFile);
        project().DeleteLinks.push_back(std::make_shared<const TNodeFileLink>(node, "/x"));
    }

    TempDir dir;
    ProgramState state;
    RecordingProgress progress;
    int count = -1;
};

TEST_F(ScriptTest, WorkedExampleByteForByte) {
    Delete("OLD", "TRACK01.MP3");
    Delete("DEMO/LIVE", "INTRO.MP3");
    Copy("ROCK", "SONG1.MP3");
    Copy("JAZZ/LIVE", "TAKE1.MP3");
    Copy("ROCK", "SONG2.MP3");

    const std::string bytes = Write();
    EXPECT_EQ(bytes, "[DF]\r\n\\OLD\\TRACK01.MP3\r\n\\DEMO\\LIVE\\INTRO.MP3\r\n[CD]\r\n"
                     "\\00000001 \\ROCK\r\n\\00000002 \\JAZZ\\LIVE\r\n\\00000003 \\ROCK\r\n"
                     "[ES]\r\n");
    EXPECT_EQ(count, 98);
    EXPECT_EQ(bytes.size(), 114u);
    EXPECT_EQ(progress.captions.back(), "Generate Script file : 'SCRIPT.TXT'...");
    EXPECT_TRUE(progress.barVisible);
    EXPECT_FALSE(progress.labelVisible);
    EXPECT_EQ(progress.maximum, 5);
    EXPECT_EQ(progress.position, 5);
}

TEST_F(ScriptTest, ConsecutiveMediaOfOneFolderShareANumber) {
    Copy("ROCK", "SONG1.MP3");
    Copy("ROCK", "SONG2.MP3");
    Copy("JAZZ/LIVE", "TAKE1.MP3");
    EXPECT_EQ(
        ScriptLines(project()),
        (std::vector<std::string>{"[CD]", "\\00000001 \\ROCK", "\\00000002 \\JAZZ\\LIVE", "[ES]"}));
}

TEST_F(ScriptTest, SectionsAppearOnlyWithEntries) {
    EXPECT_EQ(ScriptLines(project()), std::vector<std::string>{"[ES]"});
    Delete("OLD", "A.MP3");
    Delete("NEW", "A.MP3"); // same name elsewhere: its own line
    EXPECT_EQ(ScriptLines(project()),
              (std::vector<std::string>{"[DF]", "\\OLD\\A.MP3", "\\NEW\\A.MP3", "[ES]"}));
}

TEST_F(ScriptTest, FolderPathsOfEachLevel) {
    ListTree& tree = state.CopyTree;
    ListNode* a = tree.AddChild(tree.Root(), "A", NodeKind::Folder);
    ListNode* b = tree.AddChild(a, "B", NodeKind::Folder);
    ListNode* file = tree.AddChild(b, "NAME.EXT", NodeKind::MediaFile);
    EXPECT_EQ(EntryFolderPath(tree.Root()), "");
    EXPECT_EQ(EntryFolderPath(a), "");
    EXPECT_EQ(EntryFolderPath(b), "\\A");
    EXPECT_EQ(EntryFolderPath(file), "\\A\\B");
    EXPECT_EQ(EntryPlayerPath(file), "\\A\\B\\NAME.EXT");
}

TEST_F(ScriptTest, FileNameHasOneSlashBetweenTheParts) {
    EXPECT_EQ(ScriptFileName("/media/player/"), "/media/player/SYSTEM/SCRIPT.TXT");
    EXPECT_EQ(ScriptFileName("/media/player"), "/media/player/SYSTEM/SCRIPT.TXT");
    EXPECT_EQ(ScriptFileName("/"), "/SYSTEM/SCRIPT.TXT");
}

// 4 + 1091 lines of 15 + one of 11 + 4 = 16384 passes; a last line one longer is too big.
TEST_F(ScriptTest, CountLimitBoundary) {
    for (const std::string last : {"G0000001", "G00000012"}) {
        state.ResetProject();
        project().TargetPath = dir.Path() + "/player";
        for (int i = 0; i < 1091; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "F%07d.MP3", i);
            DeleteNamed(name);
        }
        DeleteNamed(last);
        const std::string bytes = Write();
        const int expected = 16384 + static_cast<int>(last.size()) - 8;
        EXPECT_EQ(count, expected);
        EXPECT_EQ(ScriptCount(ScriptLines(project())), expected);
        EXPECT_EQ(bytes.size(), static_cast<size_t>(expected) + 2 * 1094); // CR LF per line
    }
    EXPECT_GT(count, MaxScriptCount);
    EXPECT_EQ(MaxScriptCount, 16384);
}

TEST_F(ScriptTest, ReplacesAnExistingScriptAndReusesTheSystemFolder) {
    const std::string system = project().TargetPath + "SYSTEM";
    std::filesystem::create_directory(system);
    test::WriteBytes(system + "/SCRIPT.TXT", std::string(5000, 'z'));
    test::WriteBytes(system + "/OTHER", "other");
    EXPECT_EQ(Write(), "[ES]\r\n");
    EXPECT_EQ(ReadBytes(system + "/OTHER"), "other");
    int entries = 0; // no temporary file left beside the script
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(system))
        ++entries;
    EXPECT_EQ(entries, 2);
}

TEST_F(ScriptTest, UnwritableTargetThrowsAFileError) {
    project().TargetPath = dir.File("a-file");
    try {
        WriteScript(state, ScriptFileName(project().TargetPath), progress);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.Errno(), ENOTDIR);
    }
}

} // namespace
} // namespace stavio
