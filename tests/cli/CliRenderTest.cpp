// SPDX-License-Identifier: GPL-3.0-or-later
// stavio-cli render on a target that is too small, stopped by Ctrl+C, and stavio-cli info.

#include "../core/ProjectTestSupport.h"
#include "../core/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace stavio {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Starts the tool with its output in files of scratch; returns its process id.
pid_t Start(const std::vector<std::string>& args, const TempDir& scratch) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open((scratch / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open((scratch / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        std::vector<char*> argv = {const_cast<char*>(STAVIO_CLI)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(STAVIO_CLI, argv.data());
        ::_exit(127);
    }
    return pid;
}

ToolResult Finish(pid_t pid, const TempDir& scratch) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    ToolResult run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadBytes(scratch / "out");
    run.err = ReadBytes(scratch / "err");
    return run;
}

ToolResult Tool(const std::vector<std::string>& args) {
    TempDir scratch;
    return Finish(Start(args, scratch), scratch);
}

class CliRenderTest : public ::testing::Test {
protected:
    // A song of the given size that takes no room where it lies.
    std::string Song(const std::string& name, off_t size) {
        const std::string path = dir.File("music/" + name);
        EXPECT_EQ(::truncate(path.c_str(), size), 0);
        return path;
    }
    // A project whose songs lie in ROCK (the first half) and JAZZ, rendering into target.
    std::string Project(const std::vector<std::string>& songs, const std::string& target) {
        std::string bytes;
        auto line = [&](const std::string& text) { bytes += text + "\r\n"; };
        for (const char* text :
             {"Group Of Program File of KELVO", "*****", "P", "", "", "", "", "", "", "0"})
            line(text);
        line(target);
        line("*****");
        line(std::to_string(songs.size()));
        line("0");
        for (size_t i = 0; i < songs.size(); ++i) {
            line(songs[i]);
            line("NAME");
            line(i < (songs.size() + 1) / 2 ? "ROCK\\" : "JAZZ\\");
        }
        WriteBytes(dir / "p.scp", bytes);
        return dir / "p.scp";
    }

    TempDir dir;
};

TEST_F(CliRenderTest, ATargetTooSmallStopsBeforeAnythingIsWritten) {
    // Should the check let the render through, no 10 TB land on the disk.
    const std::string target = dir.Folder("player");
    const std::string huge = dir.File("music/HUGE.MP3");
    if (::truncate(huge.c_str(), off_t(10) << 40) != 0)
        GTEST_SKIP() << "no sparse file of 10 TB here";
    const ToolResult run = Tool({"render", Project({huge}, target)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("not enough free space on the target: 10240.0 GB needed, "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(" free (--force renders all the same)"), std::string::npos);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(fs::is_empty(target));
}

// The project's own target is a player that must be there; only a folder named on the
// command line is made. --all copies what is unchanged too.
TEST_F(CliRenderTest, TargetsThatAreNotThereAndCopyingAll) {
    struct Case {
        const char* what;
        std::vector<std::string> args; // after the project
        std::string stored;            // the project's target
        int exitCode;
        std::string output; // in the standard error, or the summary's start
    };
    const std::string player = dir / "player";
    const std::vector<Case> cases = {
        {"unplugged", {}, player, 1, "stavio-cli: Player not found: " + player},
        {"a path of another system", {}, "E:\\", 1, "stavio-cli: Player not found: E:\\"},
        {"named on the command line", {player}, "E:\\", 0, "Script created: 1 file copied"},
        {"again", {player}, "E:\\", 0, "Script created: 0 files copied (0.0 MB), 1 unchanged"},
        {"all", {player, "--all"}, "E:\\", 0, "Script created: 1 file copied"},
    };
    const std::string song = Song("A.MP3", 1000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"render", Project({song}, c.stored)};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ToolResult run = Tool(args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ((c.exitCode == 0 ? run.out : run.err).rfind(c.output, 0), 0u)
            << run.out << run.err;
        EXPECT_EQ(fs::exists(player), c.exitCode == 0);
    }
}

// A song that cannot be decoded fails alone, with its reason; info counts it to convert.
TEST_F(CliRenderTest, ADamagedSongFailsAloneWithItsReason) {
    const std::string player = dir.Folder("player");
    const std::string project = Project({Song("A.MP3", 1000), dir.File("music/B.flac", "?")}, "");
    EXPECT_NE(Tool({"info", project, player}).out.find("To convert: 1 file"), std::string::npos);
    const ToolResult run = Tool({"render", project, player});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("B.flac: Unreadable audio format or damaged file"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.out.rfind("Script created: 1 file copied", 0), 0u) << run.out;
}

// On a file system of 4 MB: refused, then forced, where the disk fills up.
TEST_F(CliRenderTest, ForceRendersAllTheSame) {
    const std::string target = dir.Folder("small");
    if (::geteuid() != 0 || ::mount("tmpfs", target.c_str(), "tmpfs", 0, "size=4m") != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    const std::string project = Project({Song("BIG.MP3", 6 << 20)}, target);

    ToolResult run = Tool({"render", project});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("6.0 MB needed, 4.0 MB free"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_empty(target));

    run = Tool({"render", "--force", project});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("BIG.MP3: Disque plein"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.rfind("Script not created: 0 files copied", 0), 0u) << run.out;
    EXPECT_FALSE(fs::exists(target + "/SYSTEM/SCRIPT.TXT")); // the player is not complete
    EXPECT_FALSE(fs::exists(target + "/00000001/BIG.MP3"));
    ::umount(target.c_str());
}

// Ctrl+C, and a request to end from the system or a closed terminal.
TEST_F(CliRenderTest, CtrlCStopsTheCopyAndRemovesTheScript) {
    constexpr off_t kSize = 64 << 20;
    std::vector<std::string> songs;
    for (int i = 0; i < 6; ++i)
        songs.push_back(Song("S" + std::to_string(i) + ".MP3", kSize));
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const std::string target = dir.Folder("player" + std::to_string(signal));
        TempDir scratch;
        const pid_t pid = Start({"render", Project(songs, target)}, scratch);
        // Once the first song is whole, the second is on its way, and five are left: time
        // enough for the signal even on a busy machine.
        const std::string first = target + "/00000001/S0.MP3";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        struct stat info {};
        while (!(::stat(first.c_str(), &info) == 0 && info.st_size == kSize) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ::kill(pid, signal);
        const ToolResult run = Finish(pid, scratch);

        EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
        EXPECT_FALSE(fs::exists(target + "/SYSTEM/SCRIPT.TXT"));
        int whole = 0;
        for (const auto& folder : fs::directory_iterator(target))
            if (folder.path().filename() != "SYSTEM")
                for (const auto& song : fs::directory_iterator(folder.path())) {
                    EXPECT_EQ(fs::file_size(song.path()), static_cast<std::uintmax_t>(kSize))
                        << "no partial file stays";
                    ++whole;
                }
        EXPECT_GE(whole, 1);
        EXPECT_EQ(run.out, "Copy cancelled: " + std::to_string(whole) +
                               " of 6 files copied, script removed\n");
    }
}

TEST_F(CliRenderTest, InfoPrintsTheFiguresAndWhatARenderWouldCopy) {
    const std::string target = dir.Folder("player");
    const std::string project =
        Project({Song("A.MP3", 3 << 20), Song("B.MP3", 1 << 20), Song("C.MP3", 2 << 20)}, target);
    // [CD] 4, \00000001 \ROCK 15, \00000002 \JAZZ 15, [ES] 4
    const std::string figures = "Copy: 3 files, 6.0 MB \xC2\xB7 Delete: 0 files \xC2\xB7 "
                                "Script: 38 / 16384\n";

    ToolResult run = Tool({"info", project, dir / "absent"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, figures);

    ASSERT_EQ(Tool({"render", project}).exitCode, 0);
    fs::resize_file(target + "/00000002/C.MP3", 5); // one copy spoilt
    run = Tool({"info", project});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string head = figures + "Target: " + target + "\nFree space: ";
    ASSERT_EQ(run.out.substr(0, head.size()), head) << run.out;
    EXPECT_NE(run.out.find(" GB\nTo copy: 1 file, 2.0 MB\nUnchanged: 2 files\n"), std::string::npos)
        << run.out;
}

} // namespace
} // namespace stavio
