// SPDX-License-Identifier: GPL-3.0-or-later
// stavio-cli shortname / foldername / --help / --version, run as a user runs them.

#include "../core/Mp3Bytes.h"
#include "../core/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
    for (const char* command :
         {"shortname PATH", "foldername TEXT", "script PROJECT", "render PROJECT [TARGET]",
          "info PROJECT [TARGET]", "tree PROJECT", "resave PROJECT [OUT]", "tags FILE"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;

    const CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("stavio-cli [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.out;
}

TEST(CliNamesTest, WrongCallsPrintUsageOnStderrAndExitTwo) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"bogus"},
                                                 {"shortname"},
                                                 {"foldername"},
                                                 {"tags"},
                                                 {"--bogus"}}) {
        const CliResult result = RunCli(args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("Usage: stavio-cli"), std::string::npos);
    }
}

// Each call is a process of its own: the aliases handed out by one are kept by the next,
// whatever siblings came or went in between.
TEST(CliNamesTest, ShortnameKeepsAliasesAcrossProcesses) {
    TempDir state;
    TempDir dir;
    const char* before = std::getenv("XDG_STATE_HOME");
    const std::string saved = before ? before : "";
    ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
    const std::string song = dir.File("My Song.mp3");
    const std::string accented = dir.File("\xC3\x89t\xC3\xA9 2004.mp3"); // "Été 2004"
    EXPECT_EQ(RunCli({"shortname", song, accented}).out, "MYSONG~1.MP3\nETE200~1.MP3\n");
    const std::string second = dir.File("My Song 2.mp3");
    EXPECT_EQ(RunCli({"shortname", second, song}).out, "MYSONG~2.MP3\nMYSONG~1.MP3\n");
    std::filesystem::remove(song);
    const std::string third = dir.File("My Song 1.mp3");
    EXPECT_EQ(RunCli({"shortname", second, third}).out, "MYSONG~2.MP3\nMYSONG~1.MP3\n");
    EXPECT_TRUE(std::filesystem::exists(state / "stavio/short-names"));
    if (before)
        ::setenv("XDG_STATE_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_STATE_HOME");
}

TEST(CliNamesTest, TagsPrintsOneTabSeparatedLinePerFile) {
    TempDir dir;
    const std::string audio = test::Mp3Frames(120); // 3 s
    const CliResult result = RunCli({
        "tags",
        dir.File("a.mp3", test::Id3v2(3, {{"TIT2", 0, "Caf\xE9"}, {"TRCK", 0, "2"}}) + audio),
        dir.File("b.mp3", audio + test::Id3v1("Song", "Band", "Album", 9)),
        dir / "gone.mp3",
        dir.File("c.mp3", ""),
        dir.Folder("Album"),
        dir.File("d.mp3", test::RandomBytes(8192)),
    });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "Café\t\t\t2\t3\n"
                          "Song\tBand\tAlbum\t9\t3\n");
    EXPECT_EQ(result.err, "stavio-cli: Fichier introuvable: " + dir / "gone.mp3" + "\n" +
                              "stavio-cli: Not an MPEG audio file: " + dir / "c.mp3" + "\n" +
                              "stavio-cli: Accès refusé: " + dir / "Album" + "\n" +
                              "stavio-cli: Not an MPEG audio file: " + dir / "d.mp3" + "\n");

    const CliResult fine = RunCli({"tags", dir / "b.mp3"});
    EXPECT_EQ(fine.exitCode, 0);
    EXPECT_EQ(fine.err, "");
}

} // namespace
} // namespace stavio
