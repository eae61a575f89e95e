// SPDX-License-Identifier: GPL-3.0-or-later
#include "Settings.h"

#include "ProjectTestSupport.h"
#include "TempDir.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace stavio {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() : executable(dir / "stavio") {
        start.language = Language::German;
        start.projectFileName = "/start.scp";
        start.lastExplorerDirectory = dir.Path() + "/";
    }
    // Reads the settings file holding bytes into the start values.
    SettingsValues Read(const std::string& bytes) {
        WriteBytes(dir / "stavio.CFG", bytes);
        SettingsValues values = start;
        ReadSettings(executable, values);
        return values;
    }

    TempDir dir;
    std::string executable;
    SettingsValues start;
};

TEST_F(SettingsTest, FileNameReplacesTheExtension) {
    EXPECT_EQ(SettingsFileName("/opt/stavio/stavio"), "/opt/stavio/stavio.CFG");
    EXPECT_EQ(SettingsFileName("/opt/stavio/Stavio.exe"), "/opt/stavio/Stavio.CFG");
    EXPECT_EQ(SettingsFileName("/opt/v1.2/stavio"), "/opt/v1.2/stavio.CFG");
    EXPECT_EQ(SettingsFileName("/opt/a.tar.gz"), "/opt/a.tar.CFG");
}

TEST_F(SettingsTest, WritesSevenLines) {
    SettingsValues values;
    values.language = Language::Italian;
    values.projectFileName = "/home/me/p.scp";
    values.lastExplorerDirectory = "/home/me/Music";
    WriteSettings(executable, values);
    EXPECT_EQ(ReadBytes(dir / "stavio.CFG"),
              "Settings File of KELVO \"Stavio\"\r\nLanguage :\r\nItalian\r\nLast projet used\r\n"
              "/home/me/p.scp\r\nLast explorer directory\r\n/home/me/Music\r\n");
}

TEST_F(SettingsTest, MissingFileIsWrittenFromTheStartValuesThenRead) {
    SettingsValues values = start;
    ReadSettings(executable, values);
    EXPECT_EQ(values.language, Language::German);
    EXPECT_EQ(values.projectFileName, "/start.scp");
    EXPECT_EQ(values.lastExplorerDirectory, dir.Path() + "/");
    EXPECT_EQ(ReadBytes(dir / "stavio.CFG"),
              "Settings File of KELVO \"Stavio\"\r\nLanguage :\r\nGerman\r\nLast projet used\r\n"
              "/start.scp\r\nLast explorer directory\r\n" +
                  dir.Path() + "/\r\n");
}

TEST_F(SettingsTest, EveryLanguageNameRoundTrips) {
    for (Language language : {Language::French, Language::English, Language::Spanish,
                              Language::German, Language::Italian}) {
        SettingsValues values;
        values.language = language;
        WriteSettings(executable, values);
        SettingsValues read = start;
        ReadSettings(executable, read);
        EXPECT_EQ(read.language, language);
    }
}

TEST_F(SettingsTest, LanguageNamesCompareExactly) {
    EXPECT_EQ(Read("h\r\nl\r\nfrench\r\n").language, Language::English);
    EXPECT_EQ(Read("h\r\nl\r\nFrench \r\n").language, Language::English);
    EXPECT_EQ(Read("h\r\nl\r\nKlingon\r\n").language, Language::English);
    EXPECT_EQ(Read("h\r\nl\r\nFrench\r\n").language, Language::French);
}

TEST_F(SettingsTest, ReadsLinesByPositionOnly) {
    const SettingsValues values = Read("x\r\ny\r\nSpanish\r\nz\r\n/p.scp\r\nkey\r\n/music\r\n");
    EXPECT_EQ(values.language, Language::Spanish);
    EXPECT_EQ(values.projectFileName, "/p.scp");
    EXPECT_EQ(values.lastExplorerDirectory, "/music");
}

TEST_F(SettingsTest, LastFolderNeedsANonEmptyLineSix) {
    // Five lines: the folder keeps its start value.
    SettingsValues values = Read("h\r\nl\r\nFrench\r\nk\r\n/p.scp\r\n");
    EXPECT_EQ(values.projectFileName, "/p.scp");
    EXPECT_EQ(values.lastExplorerDirectory, start.lastExplorerDirectory);
    // An empty line 6: line 7 is not read.
    values = Read("h\r\nl\r\nFrench\r\nk\r\n/p.scp\r\n\r\n/music\r\n");
    EXPECT_EQ(values.lastExplorerDirectory, start.lastExplorerDirectory);
    // 0x1A ends the file.
    values = Read("h\r\nl\r\nFrench\r\nk\r\n/p.scp\r\n\x1A"
                  "key\r\n/music\r\n");
    EXPECT_EQ(values.lastExplorerDirectory, start.lastExplorerDirectory);
}

TEST_F(SettingsTest, EmptyOrLineFeedOnlyFileGivesEnglishAndNoProject) {
    for (const std::string& bytes :
         {std::string(), std::string("h\nl\nFrench\nk\n/p.scp\nkey\n/music\n")}) {
        const SettingsValues values = Read(bytes);
        EXPECT_EQ(values.language, Language::English);
        EXPECT_EQ(values.projectFileName, "");
        EXPECT_EQ(values.lastExplorerDirectory, start.lastExplorerDirectory);
    }
}

// Where the file lives: beside the executable when its folder can be written, else in the
// user's configuration folder.
class SettingsPlaceTest : public ::testing::Test {
protected:
    SettingsPlaceTest() : executable(dir.Folder("bin") + "/stavio") {
        environment.configHome = dir / "config";
        environment.home = dir / "home";
        environment.canWriteIn = [this](const std::string& folder) {
            asked.push_back(folder);
            return writable;
        };
    }
    bool Exists(const std::string& path) const {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    }

    TempDir dir;
    std::string executable;
    SettingsPlaceEnvironment environment;
    bool writable = true;
    std::vector<std::string> asked;
};

TEST_F(SettingsPlaceTest, AWritableFolderKeepsTheFileBesideTheExecutable) {
    EXPECT_EQ(SettingsFilePath(executable, environment), dir / "bin/stavio.CFG");
    EXPECT_EQ(asked, std::vector<std::string>{dir / "bin"});
    EXPECT_FALSE(Exists(dir / "config"));
    EXPECT_EQ(SettingsFilePath("/Stavio.exe", environment), "/Stavio.CFG");
    EXPECT_EQ(asked.back(), "/");
}

TEST_F(SettingsPlaceTest, AnInstalledProgramUsesTheConfigFolderCreatedForIt) {
    writable = false;
    environment.configHome = dir / "deep/config";
    const std::string file = SettingsFilePath(executable, environment);
    EXPECT_EQ(file, dir / "deep/config/stavio/stavio.CFG");
    EXPECT_TRUE(Exists(dir / "deep/config/stavio"));

    // The same seven lines as beside the executable, written on the first start.
    SettingsValues values;
    values.language = Language::Spanish;
    values.lastExplorerDirectory = "/music/";
    ReadSettingsFile(file, values);
    EXPECT_EQ(ReadBytes(file),
              "Settings File of KELVO \"Stavio\"\r\nLanguage :\r\nSpanish\r\nLast projet used\r\n"
              "\r\nLast explorer directory\r\n/music/\r\n");
    EXPECT_FALSE(Exists(dir / "bin/stavio.CFG"));
    // A file already there is kept and read.
    values.language = Language::Italian;
    WriteSettingsFile(file, values);
    SettingsValues read;
    ReadSettingsFile(SettingsFilePath(executable, environment), read);
    EXPECT_EQ(read.language, Language::Italian);
}

TEST_F(SettingsPlaceTest, AProgramInstalledUnderUsrOrOptUsesTheConfigFolderEvenAsRoot) {
    const std::pair<const char*, bool> cases[] = {
        {"/usr/bin/stavio", true},        {"/usr/local/bin/stavio", true},
        {"/opt/stavio/bin/stavio", true}, {"/usrlocal/bin/stavio", false},
        {"/home/me/opt/stavio", false},   {"/optional/stavio", false},
    };
    for (const auto& [program, installed] : cases) {
        SCOPED_TRACE(program);
        EXPECT_EQ(SettingsFilePath(program, environment),
                  installed ? dir / "config/stavio/stavio.CFG" : std::string(program) + ".CFG");
    }
}

TEST_F(SettingsPlaceTest, WithoutAnAbsoluteConfigHomeTheHomeConfigFolderServes) {
    writable = false;
    for (const std::string& configHome : {std::string(), std::string("relative/config")}) {
        environment.configHome = configHome;
        EXPECT_EQ(SettingsFilePath(executable, environment),
                  dir / "home/.config/stavio/stavio.CFG");
    }
    EXPECT_TRUE(Exists(dir / "home/.config/stavio"));
    // Neither variable: only the executable's place is left, and it reports its own error.
    environment.configHome.clear();
    environment.home.clear();
    EXPECT_EQ(SettingsFilePath(executable, environment), dir / "bin/stavio.CFG");
}

TEST_F(SettingsPlaceTest, WhenNeitherPlaceCanBeCreatedReadingReportsAnError) {
    writable = false;
    environment.configHome = dir.File("plain-file");
    const std::string file = SettingsFilePath(executable, environment);
    EXPECT_EQ(file, dir / "plain-file/stavio/stavio.CFG");
    SettingsValues values;
    EXPECT_THROW(ReadSettingsFile(file, values), FileError);
}

TEST_F(SettingsPlaceTest, TheRealCheckSeesAReadOnlyFolder) {
    SettingsPlaceEnvironment real = SettingsPlaceEnvironment::FromProcess();
    real.configHome = dir / "home/.config";
    EXPECT_EQ(SettingsFilePath(executable, real), dir / "bin/stavio.CFG");

    // Installed: a folder the user cannot write. The super-user writes everywhere, so the
    // check runs as an ordinary user then.
    ::chmod(dir.Path().c_str(), 0755);
    ::chmod(dir.Folder("home").c_str(), 0777);
    ::chmod((dir / "bin").c_str(), 0555);
    std::string file;
    bool written = true;
    const bool ran = test::AsOrdinaryUser([&] {
        file = SettingsFilePath(executable, real);
        SettingsValues values;
        try {
            ReadSettingsFile(file, values);
        } catch (const FileError&) {
            written = false;
        }
    });
    if (!ran)
        GTEST_SKIP() << "cannot act as an ordinary user";
    ::chmod((dir / "bin").c_str(), 0755);
    EXPECT_EQ(file, dir / "home/.config/stavio/stavio.CFG");
    EXPECT_TRUE(written);
    EXPECT_TRUE(Exists(file));
}

} // namespace
} // namespace stavio
