// stavio-cli shortname / foldername / --help / --version, run as a user runs them.

#include "../core/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sys/wait.h>

namespace stavio {
namespace {

using test::Quoted;
using test::ReadBytes;
using test::TempDir;

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CliResult RunCli(const std::vector<std::string>& args) {
    TempDir scratch;
    std::string command = Quoted(STAVIO_CLI);
    for (const auto& arg : args)
        command += " " + Quoted(arg);
    command += " 2>" + Quoted(scratch / "err");
    CliResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(scratch / "err", std::ios::binary);
    result.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    return result;
}

TEST(CliNamesTest, ShortnamePrintsOneListNamePerPath) {
    TempDir dir;
    const CliResult result = RunCli({
        "shortname",
        dir.File("Music/My Song.mp3"),
        dir.File("Music/track_01.mp3"),
        dir / "Music/gone.mp3",
        dir.Folder("Albums/Best of 2004") + "/",
        dir.Folder("Albums/Vol.1"),
        dir.Folder("Albums/rock_n_roll"),
    });
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "MYSONG~1.MP3\nTRACK-01.MP3\n\nBESTOF~1\nVOL.1\nROCK-N~1\n");
    EXPECT_EQ(result.err, "");
}

TEST(CliNamesTest, FoldernameTakesTypedUtf8Text) {
    const CliResult result = RunCli({"foldername", "my music", "rock_n_roll", "Vol.2", "Hits 2004!",
                                     "système", "{A}~1", "", "ABCDEFGHIJ", "日本語"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "MY0MUSIC\nROCK0N0R\nVOL02\nHITS0200\nSYST0ME\n{A}~1\n\nABCDEFGH\n000\n");
}

TEST(CliNamesTest, HelpListsEveryCommandAndVersionPrintsTheVersion) {
    const CliResult help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"shortname PATH", "foldername TEXT", "script PROJECT",
                                "render PROJECT [TARGET]", "tree PROJECT", "resave PROJECT [OUT]"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;

    const CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("stavio-cli [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.out;
}

TEST(CliNamesTest, WrongCallsPrintUsageOnStderrAndExitTwo) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"bogus"}, {"shortname"}, {"foldername"}, {"--bogus"}}) {
        const CliResult result = RunCli(args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("Usage: stavio-cli"), std::string::npos);
    }
}

} // namespace
} // namespace stavio
