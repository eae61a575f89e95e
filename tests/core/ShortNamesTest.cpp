// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShortNames.h"
#include "NamingService.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <thread>
#include <unistd.h>

namespace stavio {
namespace {

using test::TempDir;

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The short forms of a directory holding names, as a map from long to short name.
std::map<std::string, std::string> ShortFormsOf(const std::vector<std::string>& names) {
    const std::vector<std::string> shortNames = GenerateShortNames(names);
    std::map<std::string, std::string> result;
    for (size_t i = 0; i < names.size(); ++i)
        result[names[i]] = shortNames[i];
    return result;
}

std::string ShortFormAlone(const std::string& name) {
    return GenerateShortNames({name}).front();
}

// ---------------------------------------------------------------------------------------

TEST(FolderNameFromTextTest, WorkedExamples) {
    EXPECT_EQ(FolderNameFromText("my music"), "MY0MUSIC");
    EXPECT_EQ(FolderNameFromText("rock_n_roll"), "ROCK0N0R");
    EXPECT_EQ(FolderNameFromText("Vol.2"), "VOL02");
    EXPECT_EQ(FolderNameFromText("Hits 2004!"), "HITS0200");
    EXPECT_EQ(FolderNameFromText("syst\xE8me"), "SYST0ME");
    EXPECT_EQ(FolderNameFromText("{A}~1"), "{A}~1");
    EXPECT_EQ(FolderNameFromText(""), "");
    EXPECT_EQ(FolderNameFromText("        "), "00000000");
    EXPECT_EQ(FolderNameFromText("ABCDEFGHIJ"), "ABCDEFGH");
    EXPECT_EQ(FolderNameFromText("abc"), "ABC");
}

TEST(FolderNameFromTextTest, EveryByteOutsideTheAllowedSetBecomesZero) {
    const std::string allowed = "!#$%&'()-0123456789@ABCDEFGHIJKLMNOPQRSTUVWXYZ^`{}~";
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const std::string name = FolderNameFromText(std::string(1, c));
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        const char expected = allowed.find(upper) != std::string::npos ? upper : '0';
        EXPECT_EQ(name, std::string(1, expected)) << "byte " << b;
    }
    // Truncation comes first: what follows the eighth character is never looked at.
    EXPECT_EQ(FolderNameFromText(std::string("abcdefgh\0\xFF", 10)), "ABCDEFGH");
}

TEST(SplitListPathTest, NamesBeforeEachBackslash) {
    const auto split = [](const std::string& path) {
        std::vector<std::string> names;
        SplitListPath(path, names);
        return names;
    };
    EXPECT_EQ(split("MUSIC\\ROCK\\"), (std::vector<std::string>{"MUSIC", "ROCK"}));
    EXPECT_EQ(split("MUSIC\\"), std::vector<std::string>{"MUSIC"});
    EXPECT_TRUE(split("MUSIC").empty());
    EXPECT_TRUE(split("").empty());
    EXPECT_EQ(split("A\\\\B\\"), (std::vector<std::string>{"A", "", "B"}));
    EXPECT_EQ(split("A\\B\\rest"), (std::vector<std::string>{"A", "B"}));

    std::vector<std::string> names = {"kept"};
    SplitListPath("X\\", names);
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "X"}));
}

// ---------------------------------------------------------------------------------------

TEST(IsValidShortNameTest, EightDotThreeOfAllowedCharacters) {
    for (const char* name : {"Vol.1", "track_01.mp3", "SYSTEM", "a", "ABCDEFGH.MP3", "{A}~1",
                             "!#$%&'()", "-@^_`{}~.X", "COM0", "LPT10", "CONSOLE", "x.CON"})
        EXPECT_TRUE(IsValidShortName(name)) << name;
    for (const char* name : {"", "My Song.mp3", "ABCDEFGHI", "a.mpeg", ".mp3", "a.", "a.b.c", "a+b",
                             "a,b", "a[1]", "x=y", "caf\xE9", "\xC3\xA9t\xC3\xA9", "a b"})
        EXPECT_FALSE(IsValidShortName(name)) << name;
}

TEST(IsValidShortNameTest, DeviceNamesAreNeverTheirOwnShortForm) {
    for (const char* name :
         {"CON", "con.mp3", "Prn", "AUX.txt", "nul", "COM1", "com9.mp3", "LPT1", "lpt9"})
        EXPECT_FALSE(IsValidShortName(name)) << name;
}

// ---------------------------------------------------------------------------------------

TEST(GenerateShortNamesTest, WorkedExamples) {
    EXPECT_EQ(ShortFormAlone("My Song.mp3"), "MYSONG~1.MP3");
    EXPECT_EQ(ShortFormAlone("track_01.mp3"), "track_01.mp3"); // valid: case kept
    EXPECT_EQ(ShortFormAlone("Best of 2004"), "BESTOF~1");
    EXPECT_EQ(ShortFormAlone("Vol.1"), "Vol.1");
    EXPECT_EQ(ShortFormAlone("rock_n_roll"), "ROCK_N~1");
    EXPECT_EQ(ShortFormAlone("system"), "system");
}

TEST(GenerateShortNamesTest, AliasBuildingSteps) {
    EXPECT_EQ(ShortFormAlone("song.mpeg"), "SONG~1.MPE"); // extension cut to 3
    EXPECT_EQ(ShortFormAlone("a.b.c.mp3"), "ABC~1.MP3");  // periods of the base go
    EXPECT_EQ(ShortFormAlone(".hidden"), "HIDDEN~1");     // leading period goes
    EXPECT_EQ(ShortFormAlone("..."), "_~1");              // nothing left: "_"
    EXPECT_EQ(ShortFormAlone(".mp3"), "MP3~1");
    EXPECT_EQ(ShortFormAlone("name. . "), "NAME~1");         // trailing periods, spaces
    EXPECT_EQ(ShortFormAlone("a+b[1].mp3"), "A_B_1_~1.MP3"); // invalid characters: "_"
    EXPECT_EQ(ShortFormAlone("x y.m p3"), "XY~1.MP3");       // spaces removed everywhere
    EXPECT_EQ(ShortFormAlone("abcdefghij.txt"), "ABCDEF~1.TXT");
}

// A Latin letter with a diacritic gives its base letter; every other non-ASCII character
// counts once as "_", however many bytes it takes. The name is still an alias.
TEST(GenerateShortNamesTest, AccentedLettersFoldToTheirBaseLetters) {
    struct Case {
        const char* longName;
        const char* shortName;
    };
    const Case cases[] = {
        {"été.mp3", "ETE~1.MP3"},
        {"Café.mp3", "CAFE~1.MP3"},
        {"Ça va.mp3", "CAVA~1.MP3"},
        {"Édith Piaf", "EDITHP~1"},
        {"España.mp3", "ESPANA~1.MP3"},
        {"øl.mp3", "OL~1.MP3"},
        {"år.mp3", "AR~1.MP3"},
        {"müsic.éxt", "MUSIC~1.EXT"}, // in the extension too
        {"őr.mp3", "OR~1.MP3"},
        {"æon.mp3", "AEON~1.MP3"},
        {"cœur.mp3", "COEUR~1.MP3"},
        {"Straße.mp3", "STRASS~1.MP3"},
        {"Šaž.mp3", "SAZ~1.MP3"},
        {"Łódź.mp3", "LODZ~1.MP3"},
        {"Șa.mp3", "SA~1.MP3"},
        {"e\u0301té.mp3", "ETE~1.MP3"},  // decomposed: e + combining acute
        {"\xE9t\xE9.mp3", "ETE~1.MP3"},  // Windows-1252 bytes
        {"\x8Ao\x9C.mp3", "SOOE~1.MP3"}, // Windows-1252 Š and œ
        {"×x.mp3", "_X~1.MP3"},          // not a letter
        {"жa.mp3", "_A~1.MP3"},          // Cyrillic
        {"日.mp3", "_~1.MP3"},           // a 3-byte character
        {"🎵 song.mp3", "_SONG~1.MP3"},   // a 4-byte character
        {"SONG.MP3", "SONG.MP3"},        // valid 8.3: its own name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.longName);
        EXPECT_EQ(ShortFormAlone(c.longName), c.shortName);
    }
}

TEST(GenerateShortNamesTest, DeviceNamesGetAliases) {
    const auto forms = ShortFormsOf({"con.mp3", "Nul", "com1.txt", "LPT9.mp3", "COM0.mp3"});
    EXPECT_EQ(forms.at("con.mp3"), "CON~1.MP3");
    EXPECT_EQ(forms.at("Nul"), "NUL~1");
    EXPECT_EQ(forms.at("com1.txt"), "COM1~1.TXT");
    EXPECT_EQ(forms.at("LPT9.mp3"), "LPT9~1.MP3");
    EXPECT_EQ(forms.at("COM0.mp3"), "COM0.mp3");
}

TEST(GenerateShortNamesTest, AliasesAvoidValidNamesWhateverTheOrder) {
    const std::vector<std::string> names = {"My Song.mp3", "mysong~1.mp3", "MySong.mp3"};
    const auto forms = ShortFormsOf(names);
    EXPECT_EQ(forms.at("mysong~1.mp3"), "mysong~1.mp3");
    EXPECT_EQ(forms.at("MySong.mp3"), "MySong.mp3");
    EXPECT_EQ(forms.at("My Song.mp3"), "MYSONG~2.MP3");
    EXPECT_EQ(ShortFormsOf({names[2], names[1], names[0]}), forms);
}

TEST(GenerateShortNamesTest, AliasesFollowTheByteOrderOfLongNames) {
    const auto forms = ShortFormsOf({"My Song 2.mp3", "My Song 10.mp3", "My Song 1.mp3"});
    EXPECT_EQ(forms.at("My Song 1.mp3"), "MYSONG~1.MP3");
    EXPECT_EQ(forms.at("My Song 10.mp3"), "MYSONG~2.MP3");
    EXPECT_EQ(forms.at("My Song 2.mp3"), "MYSONG~3.MP3");
}

TEST(GenerateShortNamesTest, ValidNamesEqualWithoutCase) {
    const auto forms = ShortFormsOf({"a.mp3", "A.mp3", "A.MP3"});
    EXPECT_EQ(forms.at("A.MP3"), "A.MP3"); // first in byte order keeps its name
    EXPECT_EQ(forms.at("A.mp3"), "A~1.MP3");
    EXPECT_EQ(forms.at("a.mp3"), "A~2.MP3");
}

TEST(GenerateShortNamesTest, TwoDigitNumbersShortenTheBase) {
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i)
        names.push_back("Long name " + std::string(1, static_cast<char>('a' + i)) + ".mp3");
    const auto forms = ShortFormsOf(names);
    EXPECT_EQ(forms.at("Long name a.mp3"), "LONGNA~1.MP3");
    EXPECT_EQ(forms.at("Long name i.mp3"), "LONGNA~9.MP3");
    EXPECT_EQ(forms.at("Long name j.mp3"), "LONGN~10.MP3");
    EXPECT_EQ(forms.at("Long name l.mp3"), "LONGN~12.MP3");
}

TEST(GenerateShortNamesTest, StemsSharingTheirFirstCharactersStillNeverClash) {
    // "ABCDEFx" and "ABCDEGx" differ at the sixth character, so their aliases meet only
    // from ~10 on, where both are cut to "ABCDE".
    std::vector<std::string> names;
    for (int i = 0; i < 15; ++i) {
        names.push_back("abcdefgh " + std::to_string(i));
        names.push_back("abcdegh " + std::to_string(i));
    }
    const std::vector<std::string> shortNames = GenerateShortNames(names);
    std::set<std::string> seen;
    for (const auto& name : shortNames)
        EXPECT_TRUE(seen.insert(Upper(name)).second) << name;
    EXPECT_EQ(ShortFormsOf(names).at("abcdegh 0"), "ABCDEG~1");
}

// Whatever the names and their order: unique without regard to case, all valid 8.3 names,
// and each entry keeps its short form when the list is shuffled.
TEST(GenerateShortNamesTest, RandomDirectoriesGiveUniqueStableNames) {
    std::mt19937 random(2004);
    const std::string alphabet = "aAbB _.~1-+\xC3\xA9\xE9";
    for (int round = 0; round < 20; ++round) {
        std::set<std::string> unique;
        while (unique.size() < 600) {
            const size_t length = 1 + random() % 12;
            std::string name;
            for (size_t i = 0; i < length; ++i)
                name += alphabet[random() % alphabet.size()];
            if (name != "." && name != "..")
                unique.insert(name);
        }
        std::vector<std::string> names(unique.begin(), unique.end());
        std::shuffle(names.begin(), names.end(), random);
        const auto forms = ShortFormsOf(names);
        std::set<std::string> seen;
        for (const auto& [longName, shortName] : forms) {
            EXPECT_TRUE(IsValidShortName(shortName)) << longName << " -> " << shortName;
            EXPECT_TRUE(seen.insert(Upper(shortName)).second) << longName << " -> " << shortName;
        }
        std::shuffle(names.begin(), names.end(), random);
        EXPECT_EQ(ShortFormsOf(names), forms);
    }
}

// ---------------------------------------------------------------------------------------

// Each test names through a service of its own that remembers in a folder of its own.
class ShortNameFromPathTest : public ::testing::Test {
protected:
    std::string ShortNameFromPath(const std::string& path) {
        return names_.ShortNameFromPath(path);
    }

    TempDir state_;
    NamingService names_{state_.Path()};
};

TEST_F(ShortNameFromPathTest, WorkedExamples) {
    TempDir dir;
    EXPECT_EQ(ShortNameFromPath(dir.File("Music/My Song.mp3")), "MYSONG~1.MP3");
    EXPECT_EQ(ShortNameFromPath(dir.File("Music/track_01.mp3")), "TRACK-01.MP3");
    EXPECT_EQ(ShortNameFromPath(dir.Folder("Albums/Best of 2004") + "/"), "BESTOF~1");
    EXPECT_EQ(ShortNameFromPath(dir.Folder("Albums/Vol.1")), "VOL.1");
    EXPECT_EQ(ShortNameFromPath(dir.Folder("Albums/rock_n_roll")), "ROCK-N~1");
    EXPECT_EQ(ShortNameFromPath(dir.Folder("Albums/system")), "SYSTEM");
    EXPECT_EQ(ShortNameFromPath(dir.File("Music/con.mp3")), "CON~1.MP3");
}

TEST_F(ShortNameFromPathTest, MissingPathsAndPathsWithoutAName) {
    TempDir dir;
    EXPECT_EQ(ShortNameFromPath(dir / "missing.mp3"), "");
    EXPECT_EQ(ShortNameFromPath(dir / "missing/x.mp3"), "");
    EXPECT_EQ(ShortNameFromPath(""), "");
    EXPECT_EQ(ShortNameFromPath("/"), "");
    dir.Folder("Albums/Vol.1");
    EXPECT_EQ(ShortNameFromPath(dir / "Albums/Vol.1//"), ""); // only one "/" is dropped
    EXPECT_EQ(ShortNameFromPath(dir / "Albums/Vol.1/."), "VOL.1");
    EXPECT_EQ(ShortNameFromPath(dir / "Albums/Vol.1/.."), "ALBUMS");
}

TEST_F(ShortNameFromPathTest, RelativePathsNameFromTheCurrentFolder) {
    TempDir dir;
    dir.File("one/My Song.mp3");
    dir.File("two/My Song 0.mp3");
    dir.File("two/My Song.mp3");
    const std::string before = std::filesystem::current_path();
    ::chdir((dir / "one").c_str());
    EXPECT_EQ(ShortNameFromPath("My Song.mp3"), "MYSONG~1.MP3");
    ::chdir((dir / "two").c_str()); // same relative folder ".", other contents
    EXPECT_EQ(ShortNameFromPath("My Song.mp3"), "MYSONG~2.MP3");
    ::chdir(before.c_str());
}

TEST_F(ShortNameFromPathTest, FollowsChangesOfTheDirectory) {
    TempDir dir;
    const std::string song = dir.File("My Song.mp3");
    EXPECT_EQ(ShortNameFromPath(song), "MYSONG~1.MP3");
    // A file named like the alias cannot take it from the entry that holds it.
    dir.File("MYSONG~1.MP3");
    EXPECT_EQ(ShortNameFromPath(song), "MYSONG~1.MP3");
    EXPECT_EQ(ShortNameFromPath(dir / "MYSONG~1.MP3"), "MYSONG~2.MP3");
    std::filesystem::remove(dir / "MYSONG~1.MP3");
    EXPECT_EQ(ShortNameFromPath(song), "MYSONG~1.MP3");
    std::filesystem::rename(song, dir / "Your Song.mp3");
    EXPECT_EQ(ShortNameFromPath(song), "");
    EXPECT_EQ(ShortNameFromPath(dir / "Your Song.mp3"), "YOURSO~1.MP3");
}

TEST_F(ShortNameFromPathTest, BatchChecksEachFolderOnceAndSeesMissingFiles) {
    TempDir dir;
    const std::string song = dir.File("My Song.mp3");
    {
        const ShortNameBatch batch(names_);
        EXPECT_EQ(ShortNameFromPath(song), "MYSONG~1.MP3");
        EXPECT_EQ(ShortNameFromPath(dir / "gone.mp3"), "") << "missing inside a batch";
        const std::string late = dir.File("MySong 2.mp3");
        EXPECT_EQ(ShortNameFromPath(late), "MYSONG~2.MP3") << "a file made during the batch";
        EXPECT_EQ(ShortNameFromPath(song), "MYSONG~1.MP3");
    }
    std::filesystem::remove(song);
    EXPECT_EQ(ShortNameFromPath(song), "") << "after the batch the folder is checked again";
}

TEST_F(ShortNameFromPathTest, NamesInOneDirectoryNeverCollide) {
    TempDir dir;
    std::vector<std::string> paths;
    for (const char* name : {"My Song.mp3", "My-Song.mp3", "MySong.mp3", "mysong~1.mp3",
                             "my song!.mp3", "a.mp3", "A.mp3", "A~1.mp3", "con.mp3", "CON~1.MP3x"})
        paths.push_back(dir.File(name));
    std::set<std::string> seen;
    for (const auto& path : paths) {
        const std::string name = ShortNameFromPath(path);
        EXPECT_FALSE(name.empty()) << path;
        EXPECT_TRUE(seen.insert(name).second) << path << " -> " << name;
    }
}

TEST_F(ShortNameFromPathTest, SafeFromSeveralThreads) {
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 200; ++i)
        paths.push_back(dir.File("Track number " + std::to_string(i) + ".mp3"));
    std::vector<std::string> expected;
    for (const auto& path : paths)
        expected.push_back(ShortNameFromPath(path));
    std::vector<std::vector<std::string>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([this, &paths, &result] {
            for (const auto& path : paths)
                result.push_back(ShortNameFromPath(path));
        });
    for (auto& thread : threads)
        thread.join();
    for (const auto& result : results)
        EXPECT_EQ(result, expected);
    EXPECT_EQ(std::set<std::string>(expected.begin(), expected.end()).size(), paths.size());
}

} // namespace
} // namespace stavio
