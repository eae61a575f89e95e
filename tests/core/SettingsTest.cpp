#include "Settings.h"

#include "ProjectTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

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
              "/start.scp\r\nLast explorer directory\r\n" + dir.Path() + "/\r\n");
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
    values = Read("h\r\nl\r\nFrench\r\nk\r\n/p.scp\r\n\x1A" "key\r\n/music\r\n");
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

} // namespace
} // namespace stavio
