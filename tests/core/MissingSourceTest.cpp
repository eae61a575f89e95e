// SPDX-License-Identifier: GPL-3.0-or-later
// A project opened while its player or share is not mounted: entries whose source is missing
// keep the name stored with them, the render names them so, and what cannot be named is
// reported.

#include "ListOperations.h"
#include "MediaCopy.h"
#include "ProjectFile.h"
#include "Script.h"

#include "ProjectTestSupport.h"
#include "RecordingProgress.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace stavio {
namespace {

using test::ReadBytes;
using test::RecordingProgress;
using test::TempDir;
using test::WriteBytes;

struct Group {
    std::string source;
    std::string storedName;
    std::string folderLine;
};

std::string ProjectBytes(const std::string& target, const std::vector<Group>& copies,
                         const std::vector<Group>& deletes) {
    std::string bytes = "Group Of Program File of KELVO\r\n*****\r\n";
    for (int i = 0; i < 7; ++i)
        bytes += "\r\n";
    bytes += "0\r\n" + target + "\r\n*****\r\n";
    bytes += std::to_string(copies.size()) + "\r\n" + std::to_string(deletes.size()) + "\r\n";
    for (const auto* groups : {&copies, &deletes})
        for (const Group& g : *groups)
            bytes += g.source + "\r\n" + g.storedName + "\r\n" + g.folderLine + "\r\n";
    return bytes;
}

class MissingSourceTest : public ::testing::Test {
protected:
    MissingSourceTest() : state(dir.Path() + "/") { state.ResetProject(); }

    LoadReport Load(const std::vector<Group>& copies, const std::vector<Group>& deletes) {
        WriteBytes(dir / "p.scp", ProjectBytes(dir / "target", copies, deletes));
        return LoadProjectFile(state, dir / "p.scp", progress);
    }
    const ListNode* Folder(const ListTree& tree, const std::string& name) {
        return tree.Root()->ChildNamed(name);
    }

    TempDir dir;
    ProgramState state;
    RecordingProgress progress;
};

TEST_F(MissingSourceTest, AMissingSourceKeepsItsStoredNameWhenItIsAUsableListName) {
    const std::string present = dir.File("music/My Song.mp3", "song");
    struct Case {
        std::string source;
        std::string storedName;
        std::string listName; // empty: no entry
        bool missing;
    };
    const Case cases[] = {
        {dir / "gone/a.mp3", "OLDSONG.MP3", "OLDSONG.MP3", true},
        {dir / "gone/b.mp3", "ABCDEFGH.MP3", "ABCDEFGH.MP3", true}, // 12 bytes
        {dir / "gone/c.mp3", "Z", "Z", true},
        {dir / "gone/d.mp3", "", "", true},
        {dir / "gone/e.mp3", "ABCDEFGHI.MP3", "", true}, // 13 bytes
        {dir / "gone/f.mp3", "A\\B.MP3", "", true},
        {dir / "gone/g.mp3", "A/B.MP3", "", true},
        {dir / "gone/h.mp3", ".", "", true},
        {dir / "gone/i.mp3", "..", "", true},
        {dir / "gone/j.mp3", "A\n[ES]", "", true}, // a lone LF would start a script line
        {dir / "gone/k.mp3", "A*.MP3", "", true},
        {dir / "gone/l.mp3", "A?.MP3", "", true},
        {present, "WRONG.MP3", "MYSONG~1.MP3", false}, // present: named from the file
    };
    std::vector<Group> groups;
    for (size_t i = 0; i < std::size(cases); ++i)
        groups.push_back({cases[i].source, cases[i].storedName, "F" + std::to_string(i) + "\\"});
    const LoadReport report = Load(groups, {});

    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.source + " / " + c.storedName);
        const ListNode* folder = Folder(state.CopyTree, "F" + std::to_string(i));
        ASSERT_NE(folder, nullptr) << "the folders of a group are made even without its entry";
        if (c.listName.empty()) {
            EXPECT_EQ(folder->ChildCount(), 0);
            continue;
        }
        ASSERT_EQ(folder->ChildCount(), 1);
        const ListNode* entry = folder->Child(0);
        EXPECT_EQ(entry->Text(), c.listName);
        if (c.missing) {
            ASSERT_NE(entry->MissingSource(), nullptr);
            EXPECT_EQ(*entry->MissingSource(), c.source);
        } else {
            EXPECT_EQ(entry->MissingSource(), nullptr);
        }
    }
    EXPECT_EQ(state.CurrentProject->CopyLinks.size(), 4u);
    EXPECT_EQ(report.leftOut, 9);
    EXPECT_EQ(
        report.leftOutSources,
        (std::vector<std::string>{dir / "gone/d.mp3", dir / "gone/e.mp3", dir / "gone/f.mp3",
                                  dir / "gone/g.mp3", dir / "gone/h.mp3", dir / "gone/i.mp3",
                                  dir / "gone/j.mp3", dir / "gone/k.mp3", dir / "gone/l.mp3"}));
    EXPECT_FALSE(state.IsModified());
}

TEST_F(MissingSourceTest, TheReportCountsEveryLeftOutGroupAndNamesTheFirstTen) {
    std::vector<Group> copies, deletes;
    for (int i = 0; i < 7; ++i)
        copies.push_back({dir / ("c" + std::to_string(i)), "", "A\\"});
    for (int i = 0; i < 8; ++i)
        deletes.push_back({dir / ("d" + std::to_string(i)), "..", "B\\C\\"});
    deletes.push_back({dir / "d-kept", "KEPT.MP3", "B\\C\\"});
    const LoadReport report = Load(copies, deletes);
    EXPECT_EQ(report.leftOut, 15);
    ASSERT_EQ(report.leftOutSources.size(), 10u);
    EXPECT_EQ(report.leftOutSources.front(), dir / "c0");
    EXPECT_EQ(report.leftOutSources.back(), dir / "d2");
    EXPECT_EQ(state.CurrentProject->DeleteLinks.size(), 1u);
    // A project whose sources all exist reports nothing.
    state.ResetProject();
    EXPECT_EQ(Load({{dir.File("s.mp3"), "", "A\\"}}, {}).leftOut, 0);
}

TEST_F(MissingSourceTest, RenderWritesDeleteLinesWithTheKeptNamesAndReportsMissingCopies) {
    const std::string putBack = dir / "player/music/Later.mp3";
    Load({{dir / "share/Song.mp3", "SONG.MP3", "ROCK\\"}, {putBack, "LATER~1.MP3", "ROCK\\"}},
         {{dir / "player/OLD/Track 1.mp3", "TRACK1~1.MP3", "OLD\\"},
          {dir / "player/OLD/Track 2.mp3", "TRACK2~1.MP3", "OLD\\"}});
    EXPECT_EQ(ScriptLines(*state.CurrentProject),
              (std::vector<std::string>{"[DF]", "\\OLD\\TRACK1~1.MP3", "\\OLD\\TRACK2~1.MP3",
                                        "[CD]", "\\00000001 \\ROCK", "[ES]"}));

    dir.File("player/music/Later.mp3", "later"); // one source comes back before the render
    std::filesystem::create_directories(dir / "target");
    const CopyReport report = CopyMedia(state, progress);
    EXPECT_EQ(report.filesCopied, 1);
    EXPECT_EQ(ReadBytes(dir / "target/00000001/LATER~1.MP3"), "later");
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].source, dir / "share/Song.mp3");
    EXPECT_EQ(report.failures[0].reason, "Fichier introuvable");
}

// Entries without a name can still reach the lists (a file that vanished while it was
// added); no line of the script ever stands for their folder.
TEST_F(MissingSourceTest, AnEntryWithoutANameGivesNoDeleteLine) {
    const std::string vanished = dir / "vanished.mp3";
    const ListNode* deleted = test::AddEntry(state.DeleteTree, state.CurrentProject->DeleteLinks,
                                             "OLD", vanished, state.Names);
    ASSERT_NE(deleted, nullptr);
    EXPECT_EQ(deleted->Text(), "");
    ASSERT_NE(deleted->MissingSource(), nullptr);
    test::AddEntry(state.DeleteTree, state.CurrentProject->DeleteLinks, "OLD", dir.File("keep.mp3"),
                   state.Names);
    test::AddEntry(state.CopyTree, state.CurrentProject->CopyLinks, "NEW", vanished, state.Names);
    EXPECT_EQ(
        ScriptLines(*state.CurrentProject),
        (std::vector<std::string>{"[DF]", "\\OLD\\KEEP.MP3", "[CD]", "\\00000001 \\NEW", "[ES]"}));
}

} // namespace
} // namespace stavio
