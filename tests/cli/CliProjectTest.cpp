// SPDX-License-Identifier: GPL-3.0-or-later
// stavio-cli script / render / tree / resave, run as a user runs them.

#include "../core/ProjectTestSupport.h"
#include "../core/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace stavio {
namespace {

using test::Lines;
using test::Quoted;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args) {
    TempDir scratch;
    std::string command = Quoted(STAVIO_CLI);
    for (const std::string& arg : args)
        command += " " + Quoted(arg);
    command += " 2>" + Quoted(scratch / "err");
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadBytes(scratch / "err");
    return run;
}

class CliProjectTest : public ::testing::Test {
protected:
    CliProjectTest() {
        song1 = dir.File("music/SONG1.MP3", "one");
        take1 = dir.File("music/live/TAKE1.MP3", "take");
        song2 = dir.File("music/Song_2.mp3", "two");
        old = dir.File("old/track01.mp3");
        target = dir.Folder("player");
    }
    // A project file aimed at the test's player: its head, then the groups of three lines
    // (source, stored name, folder), copies first.
    std::string ProjectBytes(const std::string& name, int copies, int deletes,
                             const std::vector<std::string>& groups) const {
        std::vector<std::string> lines = {"Group Of Program File of KELVO",
                                          "*****",
                                          name,
                                          "",
                                          "",
                                          "",
                                          "",
                                          "",
                                          "",
                                          "0",
                                          target + "/",
                                          "*****",
                                          std::to_string(copies),
                                          std::to_string(deletes)};
        lines.insert(lines.end(), groups.begin(), groups.end());
        return Lines(lines);
    }
    // The script's worked example: SONG1 in ROCK, TAKE1 in JAZZ\LIVE, SONG2 in ROCK, and
    // TRACK01 in OLD to delete.
    std::string WriteProject(const std::string& wrongName = "NAME") {
        const std::string path = dir / "p.scp";
        WriteBytes(path, ProjectBytes("My Player", 3, 1,
                                      {song1, wrongName, "ROCK\\", take1, wrongName, "JAZZ\\LIVE\\",
                                       song2, wrongName, "ROCK\\", old, wrongName, "OLD\\"}));
        return path;
    }

    TempDir dir;
    std::string song1, take1, song2, old, target;
};

TEST_F(CliProjectTest, ScriptPrintsTheExactBytes) {
    const ToolRun run = RunTool({"script", WriteProject()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, Lines({"[DF]", "\\OLD\\TRACK01.MP3", "[CD]", "\\00000001 \\ROCK",
                              "\\00000002 \\JAZZ\\LIVE", "\\00000003 \\ROCK", "[ES]"}));
    EXPECT_EQ(run.err, "");
}

TEST_F(CliProjectTest, ScriptTooBigStillPrintsAndExitsOne) {
    // One source file in 1100 Delete List folders: 1100 lines like \F0000001\S.MP3.
    std::vector<std::string> lines = {"", "", "",  "",   "",      "",  "",
                                      "", "", "0", "/t", "*****", "0", "1100"};
    const std::string source = dir.File("s.mp3");
    for (int i = 0; i < 1100; ++i) {
        char folder[32];
        std::snprintf(folder, sizeof folder, "F%07d\\", i);
        lines.insert(lines.end(), {source, "", folder});
    }
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    WriteBytes(dir / "big.scp", bytes);
    const ToolRun run = RunTool({"script", dir / "big.scp"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.size(), 12u + 1100 * 17); // count 8 + 1100 * 15 = 16508
    EXPECT_NE(run.err.find("Impossible to create script file : Script File too big!"),
              std::string::npos);
}

TEST_F(CliProjectTest, RenderWritesTheScriptAndCopiesTheMedia) {
    const ToolRun run = RunTool({"render", WriteProject()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(target + "/SYSTEM/SCRIPT.TXT"), RunTool({"script", dir / "p.scp"}).out);
    EXPECT_EQ(ReadBytes(target + "/00000001/SONG1.MP3"), "one");
    EXPECT_EQ(ReadBytes(target + "/00000002/TAKE1.MP3"), "take");
    EXPECT_EQ(ReadBytes(target + "/00000003/SONG-2.MP3"), "two");
    EXPECT_EQ(run.out.rfind("Script created: 3 files copied (0.0 MB), 0 unchanged, 0 stale files "
                            "removed, in ",
                            0),
              0u)
        << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
}

TEST_F(CliProjectTest, RenderIntoAnotherTargetAndReportFailedCopies) {
    const std::string project = WriteProject();
    std::filesystem::remove(take1);
    const std::string elsewhere = dir / "elsewhere";
    const ToolRun run = RunTool({"render", project, elsewhere});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(take1 + ": Fichier introuvable"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(elsewhere + "/00000003/SONG-2.MP3"), "two");
    EXPECT_TRUE(std::filesystem::exists(elsewhere + "/SYSTEM/SCRIPT.TXT"));
    EXPECT_FALSE(std::filesystem::exists(target + "/SYSTEM"));
    EXPECT_EQ(run.out.rfind("Script created: 2 files copied (0.0 MB), ", 0), 0u) << run.out;
}

TEST_F(CliProjectTest, UnreadableProjectOrWrongCallExitsTwo) {
    ToolRun run = RunTool({"render", dir / "none.scp"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("Fichier introuvable"), std::string::npos);
    EXPECT_NE(run.err.find(dir / "none.scp"), std::string::npos);

    WriteBytes(dir / "bad.scp", Lines({"", "", "", "", "", "", "", "", "", "x1"}));
    run = RunTool({"tree", dir / "bad.scp"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("'x1' n'est pas une valeur entière correcte"), std::string::npos);

    EXPECT_EQ(RunTool({"script"}).exitCode, 2);
    EXPECT_EQ(RunTool({"render", "a", "b", "c"}).exitCode, 2);
}

TEST_F(CliProjectTest, TreePrintsBothLists) {
    const ToolRun run = RunTool({"tree", WriteProject()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "[Copy List]\nPLAYER\n  ROCK\\\n    SONG1.MP3\t" + song1 +
                           "\n    SONG-2.MP3\t" + song2 +
                           "\n  JAZZ\\\n    LIVE\\\n      TAKE1.MP3\t" + take1 +
                           "\n[Delete List]\nPLAYER\n  OLD\\\n    TRACK01.MP3\t" + old + "\n");
}

TEST_F(CliProjectTest, ResaveDerivesTheNamesAfresh) {
    const std::string project = WriteProject("STALE.MP3");
    const std::string out = dir / "out.scp";
    EXPECT_EQ(RunTool({"resave", project, out}).exitCode, 0);
    EXPECT_EQ(ReadBytes(out),
              ProjectBytes("My Player", 3, 1,
                           {song1, "SONG1.MP3", "ROCK\\", take1, "TAKE1.MP3", "JAZZ\\LIVE\\", song2,
                            "SONG-2.MP3", "ROCK\\", old, "TRACK01.MP3", "OLD\\"}));
    EXPECT_EQ(RunTool({"resave", project}).exitCode, 0);
    EXPECT_EQ(ReadBytes(project), ReadBytes(out));
}

// The player is not mounted: its file to delete and one copy source are missing. Their
// stored names stand in; a group whose stored name is unusable is left out and reported,
// and every command still does its work and exits 1.
TEST_F(CliProjectTest, MissingSourcesKeepTheirStoredNamesAndLeftOutGroupsAreReported) {
    std::filesystem::remove(old);
    const std::string share = dir / "share/Gone.mp3";
    const std::string unnamed = dir / "share/Unnamed.mp3";
    const std::string project = dir / "p.scp";
    const std::string bytes = ProjectBytes("P", 3, 1,
                                           {song1, "X", "ROCK\\", share, "GONE~1.MP3", "ROCK\\",
                                            unnamed, "", "ROCK\\", old, "TRACK01.MP3", "OLD\\"});
    const std::string report = "stavio-cli: Entries left out (source file missing and stored "
                               "name unusable): 1\nstavio-cli: " +
                               unnamed + "\n";
    struct Case {
        std::vector<std::string> args;
        std::string out; // empty: not compared
    };
    const Case cases[] = {
        {{"tree", project},
         "[Copy List]\nPLAYER\n  ROCK\\\n    SONG1.MP3\t" + song1 + "\n    GONE~1.MP3\t" + share +
             "\t(missing)\n[Delete List]\nPLAYER\n  OLD\\\n    TRACK01.MP3\t" + old +
             "\t(missing)\n"},
        {{"script", project},
         "[DF]\r\n\\OLD\\TRACK01.MP3\r\n[CD]\r\n\\00000001 \\ROCK\r\n[ES]\r\n"},
        {{"resave", project, dir / "out.scp"}, ""},
        {{"render", project}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        WriteBytes(project, bytes);
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.starts_with(report)) << run.err;
        if (!c.out.empty()) {
            EXPECT_EQ(run.out, c.out);
        }
    }
    // resave kept the two named entries with their names; render copied what exists.
    EXPECT_NE(ReadBytes(dir / "out.scp").find(share + "\r\nGONE~1.MP3\r\nROCK\\\r\n"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(dir / "out.scp").find(unnamed), std::string::npos);
    EXPECT_EQ(ReadBytes(target + "/00000001/SONG1.MP3"), "one");
    EXPECT_EQ(ReadBytes(target + "/SYSTEM/SCRIPT.TXT"),
              "[DF]\r\n\\OLD\\TRACK01.MP3\r\n[CD]\r\n\\00000001 \\ROCK\r\n[ES]\r\n");
}

} // namespace
} // namespace stavio
