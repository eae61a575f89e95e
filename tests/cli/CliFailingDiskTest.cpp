// SPDX-License-Identifier: GPL-3.0-or-later
// stavio-cli render on a disk that fills up part way: the error is printed, the files that
// fit are copied, and the tool ends with its failure code instead of a crash.

#include "../core/ProjectTestSupport.h"
#include "../core/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace stavio {
namespace {

using test::Quoted;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Runs the tool with files limited to blocks of 512 bytes and SIGXFSZ ignored, as a full
// disk would behave; returns the exit code and fills err.
int RunWithFileSizeLimit(int blocks, const std::vector<std::string>& args, std::string& err,
                         const TempDir& scratch) {
    std::string command =
        "trap '' XFSZ; ulimit -f " + std::to_string(blocks) + "; exec " + Quoted(STAVIO_CLI);
    for (const std::string& arg : args)
        command += " " + Quoted(arg);
    command += " >/dev/null 2>" + Quoted(scratch / "err");
    const int status = std::system(("sh -c " + Quoted(command)).c_str());
    err = ReadBytes(scratch / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliFailingDiskTest, RenderOnAFullDiskPrintsTheErrorsAndCopiesWhatFits) {
    TempDir dir;
    const std::string small = dir.File("music/small.mp3", std::string(2000, 's'));
    const std::string big = dir.File("music/big.mp3", std::string(300 * 1024, 'b'));
    dir.Folder("player"); // plugged in: a render never makes the project's own target
    std::string lines;
    for (const std::string& line : {std::string("Group Of Program File of KELVO"),
                                    std::string("*****"),
                                    std::string("P"),
                                    std::string(),
                                    std::string(),
                                    std::string(),
                                    std::string(),
                                    std::string(),
                                    std::string(),
                                    std::string("0"),
                                    dir / "player",
                                    std::string("*****"),
                                    std::string("2"),
                                    std::string("0"),
                                    big,
                                    std::string("BIG.MP3"),
                                    std::string("ROCK\\"),
                                    small,
                                    std::string("SMALL.MP3"),
                                    std::string("ROCK\\")})
        lines += line + "\r\n";
    WriteBytes(dir / "p.scp", lines);

    std::string err;
    // 64 blocks of 512 bytes: room for the script and the small file only, whatever size
    // the shell counts its blocks in.
    const int code = RunWithFileSizeLimit(64, {"render", dir / "p.scp"}, err, dir);
    EXPECT_EQ(code, 1) << err;
    EXPECT_NE(err.find(big + ": Disque plein"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(dir / "player/00000001/BIG.MP3"));
    EXPECT_EQ(ReadBytes(dir / "player/00000001/SMALL.MP3"), std::string(2000, 's'));
    EXPECT_TRUE(std::filesystem::exists(dir / "player/SYSTEM/SCRIPT.TXT"));

    // A resave of a large project under the same limit keeps the file as it was.
    WriteBytes(dir / "big.scp", "Group Of Program File of KELVO\r\n*****\r\n\r\n\r\n\r\n\r\n\r\n"
                                "\r\n\r\n1\r\n" +
                                    std::string(100 * 1024, 'x') + "\r\n/t\r\n*****\r\n0\r\n0\r\n");
    const std::string before = ReadBytes(dir / "big.scp");
    EXPECT_EQ(RunWithFileSizeLimit(64, {"resave", dir / "big.scp"}, err, dir), 2);
    EXPECT_NE(err.find("Disque plein"), std::string::npos) << err;
    EXPECT_TRUE(ReadBytes(dir / "big.scp") == before);
}

} // namespace
} // namespace stavio
