// SPDX-License-Identifier: GPL-3.0-or-later
// Project files and music folders that no careful user makes: garbage, cut files, odd line
// ends, huge lines and counts, "..", folders of 50,000 files and names that are not UTF-8.

#include "ListOperations.h"
#include "MediaCopy.h"
#include "ProjectFile.h"
#include "Script.h"
#include "ShortNames.h"

#include "ProjectTestSupport.h"
#include "RecordingProgress.h"
#include "TempDir.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <unordered_set>

namespace stavio {
namespace {

namespace fs = std::filesystem;
using test::AddEntry;
using test::Lines;
using test::ReadBytes;
using test::RecordingProgress;
using test::TempDir;
using test::WriteBytes;

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string EntryPlayerPathOf(const TNodeFileLink& link) {
    return EntryPlayerPath(link.Node);
}

// Folders at levels 1 and 2, files at 2 and 3, one link per file node.
void ExpectListShape(const ListTree& tree, const LinkList& links) {
    std::unordered_set<const ListNode*> files;
    std::vector<const ListNode*> todo{tree.Root()};
    while (!todo.empty()) {
        const ListNode* node = todo.back();
        todo.pop_back();
        for (int i = 0; i < node->ChildCount(); ++i) {
            const ListNode* child = node->Child(i);
            if (child->IsMediaFile()) {
                EXPECT_TRUE(child->Level() == 2 || child->Level() == 3);
                files.insert(child);
            } else {
                EXPECT_TRUE(child->Level() == 1 || child->Level() == 2);
            }
            todo.push_back(child);
        }
    }
    EXPECT_EQ(files.size(), links.size());
    for (const LinkPtr& link : links)
        EXPECT_EQ(files.count(link->Node), 1u);
}

class HostileFilesTest : public ::testing::Test {
protected:
    HostileFilesTest() : state(dir.Path() + "/") { state.ResetProject(); }

    // Loads bytes from a file; the error text, or "" when the load succeeded.
    std::string Load(const std::string& bytes) {
        const std::string path = dir / "hostile.scp";
        WriteBytes(path, bytes);
        state.ResetProject();
        try {
            LoadProjectFile(state, path, progress);
        } catch (const FileError& e) {
            return e.what();
        } catch (const ConvertError& e) {
            return e.what();
        }
        return {};
    }
    TProjectClass& project() { return *state.CurrentProject; }

    // The head of a project file up to and with the two counts.
    std::vector<std::string> Head(const std::string& copies, const std::string& deletes) {
        return {"Group Of Program File of KELVO",
                "*****",
                "Name",
                "",
                "",
                "",
                "",
                "",
                "",
                "0",
                dir.Path(),
                "*****",
                copies,
                deletes};
    }
    TempDir dir;
    ProgramState state;
    RecordingProgress progress;
};

// Random bytes, and random lines of digits, backslashes and real paths: every load ends in
// a project or in a reported error, and the lists keep their shape.
TEST_F(HostileFilesTest, GarbageLoadsOrIsReportedAndTheListsKeepTheirShape) {
    const std::string song = dir.File("music/Song One.mp3", "x");
    const std::string pieces[] = {
        "\r\n", "\r",  "\n",   "\x1A",      "0",  "3",        "-5",       "2000000000",
        "\\",   "A\\", "..\\", "A\\B\\C\\", song, dir.Path(), "\xFF\xFE", std::string(1, '\0')};
    std::mt19937 random(20240607);
    int loaded = 0;
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        if (round % 2 == 0) {
            for (int i = random() % 400; i > 0; --i)
                bytes += static_cast<char>(random() % 256);
        } else {
            bytes = Lines(Head(std::to_string(random() % 6), std::to_string(random() % 3)));
            for (int i = random() % 40; i > 0; --i)
                bytes += pieces[random() % std::size(pieces)];
        }
        const std::string error = Load(bytes);
        if (error.empty()) {
            ++loaded;
            EXPECT_FALSE(state.IsModified());
        } else {
            EXPECT_TRUE(error.ends_with("n'est pas une valeur entière correcte")) << error;
        }
        ExpectListShape(state.CopyTree, project().CopyLinks);
        ExpectListShape(state.DeleteTree, project().DeleteLinks);
    }
    EXPECT_GT(loaded, 0);
}

TEST_F(HostileFilesTest, EndOfFileMarkCutsTheProjectWhereItStands) {
    const std::string a = dir.File("a.mp3");
    const std::string b = dir.File("b.mp3");
    // Between two groups: the first entry stays, the second group reads as empty lines.
    std::vector<std::string> lines = Head("2", "0");
    for (const std::string& line : {a, std::string("A.MP3"), std::string("ROCK\\")})
        lines.push_back(line);
    std::string bytes = Lines(lines) + "\x1A" + Lines({b, "B.MP3", "ROCK\\"});
    EXPECT_EQ(Load(bytes), "");
    ASSERT_EQ(project().CopyLinks.size(), 1u);
    EXPECT_EQ(project().CopyLinks[0]->SourcePath, a);

    // Inside the project name: the rest of the file is gone, so the comment count is empty.
    EXPECT_EQ(Load("Header\r\n*****\r\nMy\x1AJunk\r\n0\r\n"),
              "'' n'est pas une valeur entière correcte");
    EXPECT_EQ(project().ProjectName, "My");
    EXPECT_EQ(project().Subject, "");
}

TEST_F(HostileFilesTest, CarriageReturnOnlyLinesLoadLikeCrLf) {
    const std::string song = dir.File("m/song.mp3");
    std::vector<std::string> lines = Head("1", "1");
    for (const std::string& line : {song, std::string("X"), std::string("A\\B\\"), song,
                                    std::string("X"), std::string("OLD\\")})
        lines.push_back(line);
    ASSERT_EQ(Load(Lines(lines, "\r")), "");
    ASSERT_EQ(project().CopyLinks.size(), 1u);
    EXPECT_EQ(EntryPlayerPathOf(*project().CopyLinks[0]), "\\A\\B\\SONG.MP3");
    ASSERT_EQ(project().DeleteLinks.size(), 1u);
    EXPECT_EQ(EntryPlayerPathOf(*project().DeleteLinks[0]), "\\OLD\\SONG.MP3");
    EXPECT_EQ(project().ProjectName, "Name");
}

// A 10 MB comment and a 10 MB source path load and save back byte for byte.
TEST_F(HostileFilesTest, TenMegabyteLines) {
    const std::string huge(10 * 1024 * 1024, 'c');
    const std::string hugePath = dir.Path() + "/" + std::string(10 * 1024 * 1024, 'p');
    std::vector<std::string> lines = {"Group Of Program File of KELVO",
                                      "*****",
                                      "N",
                                      "",
                                      "",
                                      "",
                                      "",
                                      "",
                                      "",
                                      "1",
                                      huge,
                                      dir.Path(),
                                      "*****",
                                      "1",
                                      "0",
                                      hugePath,
                                      "P.MP3",
                                      "ROCK\\"};
    const std::string bytes = Lines(lines);
    ASSERT_EQ(Load(bytes), "");
    ASSERT_EQ(project().Comments.size(), 1u);
    EXPECT_EQ(project().Comments[0].size(), huge.size());
    ASSERT_EQ(project().CopyLinks.size(), 1u); // no such file: the stored name is kept
    EXPECT_EQ(project().CopyLinks[0]->Node->Text(), "P.MP3");

    SaveProjectFile(state, dir / "again.scp", progress);
    EXPECT_TRUE(ReadBytes(dir / "again.scp") == bytes);

    // A folder path line of ten million backslashes: two empty folder names, then no folder
    // for the third, so the file is dropped.
    const std::string song = dir.File("song.mp3");
    std::vector<std::string> slashes = Head("1", "0");
    for (const std::string& line : {song, std::string(), std::string(10'000'000, '\\')})
        slashes.push_back(line);
    ASSERT_EQ(Load(Lines(slashes)), "");
    EXPECT_TRUE(project().CopyLinks.empty());
    const ListNode* root = state.CopyTree.Root();
    ASSERT_EQ(root->ChildCount(), 1);
    EXPECT_EQ(root->Child(0)->Text(), "");
    ASSERT_EQ(root->Child(0)->ChildCount(), 1);
    EXPECT_EQ(root->Child(0)->Child(0)->ChildCount(), 0);
}

TEST_F(HostileFilesTest, CountsOfTwoBillionAndMinusFive) {
    const std::string song = dir.File("song.mp3");
    std::vector<std::string> lines = Head("-5", "2000000000");
    for (const std::string& line : {song, std::string("S"), std::string("OLD\\")})
        lines.push_back(line);
    EXPECT_EQ(Load(Lines(lines)), "");
    EXPECT_TRUE(project().CopyLinks.empty()); // a negative count reads no group
    EXPECT_EQ(project().DeleteLinks.size(), 1u);
    EXPECT_EQ(progress.maximum, 1999999995);

    // Counts beyond 32 bits are conversion errors, as any other text.
    EXPECT_EQ(Load(Lines(Head("2147483648", "0"))),
              "'2147483648' n'est pas une valeur entière correcte");
}

TEST_F(HostileFilesTest, EmptyFilesStopAtTheCommentCount) {
    EXPECT_EQ(Load(""), "'' n'est pas une valeur entière correcte");
    EXPECT_EQ(project().ProjectName, "");
    EXPECT_EQ(Load("\x1A" + Lines({"Header", "*****", "Name"})),
              "'' n'est pas une valeur entière correcte");
    EXPECT_TRUE(state.IsModified());
}

// "." and ".." in source paths and folder path lines never put anything outside the target.
TEST_F(HostileFilesTest, DotDotInAProjectNeverLeavesTheTarget) {
    const std::string song = dir.File("music/sub/Song.mp3", "song");
    dir.File("music/Other.mp3", "other");
    const std::string target = dir.Folder("player/target");
    std::vector<std::string> lines = Head("5", "0");
    lines[10] = target;
    for (const std::string& line :
         {dir.Path() + "/music/sub/../Other.mp3", std::string(), std::string("..\\..\\"),
          dir.Path() + "/music/sub/..", std::string(), std::string("A\\"),
          dir.Path() + "/music/sub/.", std::string(), std::string(".\\"),
          dir.Path() + "/music/sub/../../music/sub/Song.mp3", std::string(), std::string("A\\"),
          std::string("/.."), std::string(), std::string("B\\")})
        lines.push_back(line);
    ASSERT_EQ(Load(Lines(lines)), "");

    // Folder names of dots become zeros; sources ending in a dot name the folder they mean;
    // the root has no name, and no usable name is stored for it: left out.
    ASSERT_EQ(project().CopyLinks.size(), 4u);
    EXPECT_EQ(EntryPlayerPathOf(*project().CopyLinks[0]), "\\00\\00\\OTHER.MP3");
    EXPECT_EQ(EntryPlayerPathOf(*project().CopyLinks[1]), "\\A\\MUSIC");
    EXPECT_EQ(EntryPlayerPathOf(*project().CopyLinks[2]), "\\0\\SUB");
    EXPECT_EQ(EntryPlayerPathOf(*project().CopyLinks[3]), "\\A\\SONG.MP3");

    const std::set<fs::path> before(fs::recursive_directory_iterator(dir.Path()), {});
    const CopyReport report = CopyMedia(state, progress);
    EXPECT_EQ(report.filesCopied, 2);
    ASSERT_EQ(report.failures.size(), 2u);
    for (const CopyFailure& failure : report.failures)
        EXPECT_EQ(failure.reason, "Accès refusé"); // folders are not copied
    EXPECT_EQ(ReadBytes(target + "/00000001/OTHER.MP3"), "other");
    EXPECT_EQ(ReadBytes(target + "/00000004/SONG.MP3"), "song"); // A again: a new run

    // Nothing new outside the target.
    for (const fs::path& path : fs::recursive_directory_iterator(dir.Path())) {
        if (!path.string().starts_with(target + "/")) {
            EXPECT_EQ(before.count(path), 1u) << path;
        }
    }
}

// A folder of 50,000 long names: every entry gets its own valid 8.3 name.
TEST_F(HostileFilesTest, FolderOfFiftyThousandFilesGetsDistinctNames) {
    const std::string folder = dir.Folder("huge");
    std::vector<std::string> names;
    for (int i = 0; i < 50000; ++i) {
        names.push_back("Track number " + std::to_string(i) + (i % 2 ? ".mp3" : ".MP3"));
        std::FILE* file = std::fopen((folder + "/" + names.back()).c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    struct Listing : ExplorerListing {
        std::string folder;
        std::vector<std::string> names;
        std::string SelectedPath() const override { return folder; }
        std::vector<std::string> ItemNames() const override { return names; }
    } listing;
    listing.folder = folder;
    listing.names = names;

    ASSERT_NE(AddFolderNode("HUGE", state.CopyTree, project().CopyLinks, &listing, state.Names),
              nullptr);
    ASSERT_EQ(project().CopyLinks.size(), 50000u);
    std::unordered_set<std::string> seen;
    for (const LinkPtr& link : project().CopyLinks) {
        EXPECT_TRUE(IsValidShortName(link->Node->Text())) << link->Node->Text();
        EXPECT_TRUE(seen.insert(Upper(link->Node->Text())).second) << link->Node->Text();
    }
}

// File names that are not UTF-8 are named, stored and copied with their exact bytes, and
// never mixed up with the UTF-8 name that looks the same.
TEST_F(HostileFilesTest, NamesThatAreNotUtf8KeepTheirBytes) {
    const std::string latin1 = dir.File("music/caf\xE9.mp3", "latin-1");
    const std::string utf8 = dir.File("music/caf\xC3\xA9.mp3", "utf-8");
    const std::string replaced = dir.File("music/caf\xEF\xBF\xBD.mp3", "replacement");
    const std::string badFolder = dir.File("music/\xFF\xFE/x.mp3", "in a bad folder");
    for (const std::string& source : {latin1, utf8, replaced, badFolder})
        ASSERT_NE(AddEntry(state.CopyTree, project().CopyLinks, "CAFE", source, state.Names),
                  nullptr);
    std::set<std::string> names;
    for (const LinkPtr& link : project().CopyLinks)
        names.insert(link->Node->Text());
    EXPECT_EQ(names.size(), 4u);

    SaveProjectFile(state, dir / "p.scp", progress);
    ASSERT_EQ(Load(ReadBytes(dir / "p.scp")), "");
    ASSERT_EQ(project().CopyLinks.size(), 4u);
    project().TargetPath = dir.Folder("player");
    const CopyReport report = CopyMedia(state, progress);
    EXPECT_TRUE(report.failures.empty());
    for (const LinkPtr& link : project().CopyLinks)
        EXPECT_EQ(ReadBytes(dir / ("player/00000001/" + link->Node->Text())),
                  ReadBytes(link->SourcePath))
            << link->SourcePath;
}

} // namespace
} // namespace stavio
