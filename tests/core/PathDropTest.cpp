// SPDX-License-Identifier: GPL-3.0-or-later
// Files and folders dropped from another program: what counts, where it may go, what it adds.

#include "PathDrop.h"

#include "AudioFormats.h"
#include "ListOperations.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace stavio {
namespace {

using test::TempDir;

TEST(DroppedNamesTest, OnlyMp3NamesCountAndNamesSortAsPeopleRead) {
    const std::pair<const char*, bool> names[] = {
        {"a.mp3", true}, {"B.MP3", true}, {"c.Mp3", true},  {".mp3", true}, {"a.mp3.txt", false},
        {"mp3", false},  {"a.mp", false}, {"a.wav", false}, {"", false},
    };
    for (const auto& [name, mp3] : names)
        EXPECT_EQ(IsMp3Name(name), mp3) << name;

    const std::vector<std::string> ordered = {
        "01 intro.mp3", "1 Intro.mp3", "2 song.mp3",  "10 song.mp3",  "abc.mp3",
        "Abd.mp3",      "track 2.mp3", "Track 9.mp3", "track 10.mp3", "Track 100.mp3",
    };
    for (std::size_t i = 0; i < ordered.size(); ++i)
        for (std::size_t j = 0; j < ordered.size(); ++j) {
            const int c = CompareFileNames(ordered[i], ordered[j]);
            EXPECT_EQ(c < 0, i < j) << ordered[i] << " / " << ordered[j];
            EXPECT_EQ(c == 0, i == j) << ordered[i] << " / " << ordered[j];
        }
}

// The setting "Other audio formats" off and on: the names dropped, and a folder's files.
TEST(DroppedNamesTest, OtherFormatsCountOnlyWithTheSetting) {
    struct Case {
        const char* name;
        bool off, on;
    };
    const Case cases[] = {
        {"a.mp3", true, true},        {"B.MP3", true, true},  {"c.flac", false, true},
        {"C2.FLAC", false, true},     {"d.ogg", false, true}, {"e.OGA", false, true},
        {"f.opus", false, true},      {"g.m4a", false, true}, {"h.Mp4", false, true},
        {"i.wav", false, true},       {"j.aif", false, true}, {"k.AIFF", false, true},
        {"l.wv", false, true},        {"m.wma", false, true}, {"n.txt", false, false},
        {"o.flac.txt", false, false}, {"flac", false, false},
    };
    EXPECT_EQ(AudioFileMask(false), "*.mp3");
    TempDir dir;
    for (const bool on : {false, true}) {
        std::vector<std::string> listed; // the rows are in the explorer's order
        for (const Case& c : cases) {
            const bool taken = on ? c.on : c.off;
            EXPECT_EQ(PlanPathDrop({dir.File(c.name, "x")}, on).size(), taken ? 1u : 0u)
                << c.name << " " << on;
            if (taken)
                listed.push_back(c.name);
        }
        EXPECT_EQ(AudioFilesIn(dir.Path(), on), listed) << on;
    }
}

// Copy List: PLAYER / A (ONE.MP3), B / C, D; on disk a folder Album and loose files.
class PathDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        album_ = dir_.Folder("music/Album");
        for (const char* name : {"Track 10.mp3", "track 2.MP3", "Track 1.mp3", "cover.jpg"})
            dir_.File("music/Album/" + std::string(name), "x");
        dir_.Folder("music/Album/Bonus.mp3"); // a folder, not a song
        dir_.File("music/Album/Bonus.mp3/deep.mp3", "x");
        other_ = dir_.Folder("music/Other");
        dir_.File("music/Other/b.mp3", "x");
        x_ = dir_.File("music/x.mp3", "x");
        y_ = dir_.File("music/y.Mp3", "x");
        wav_ = dir_.File("music/z.wav", "x");

        BuildTree();
    }

    void BuildTree() {
        tree_.Clear();
        links_.clear();
        tree_.Select(tree_.Root());
        a_ = AddFolderNode("A", tree_, links_);
        one_ = AddFileNode(dir_.File("music/one.mp3", "x"), tree_, links_, names_);
        tree_.Select(tree_.Root());
        b_ = AddFolderNode("B", tree_, links_);
        c_ = AddFolderNode("C", tree_, links_);
        tree_.Select(tree_.Root());
        d_ = AddFolderNode("D", tree_, links_);
    }

    // The source paths of the links, relative to the temporary folder, from the n-th on.
    std::vector<std::string> SourcesFrom(std::size_t n) const {
        std::vector<std::string> sources;
        for (std::size_t i = n; i < links_.size(); ++i)
            sources.push_back(links_[i]->SourcePath.substr(dir_.Path().size() + 1));
        return sources;
    }

    TempDir dir_;
    TempDir state_;
    NamingService names_{state_.Path()};
    std::string album_, other_, x_, y_, wav_;
    ListTree tree_;
    LinkList links_;
    ListNode *a_, *one_, *b_, *c_, *d_;
};

// Which node takes which drop is the window's test (every kind of node); here, what a drop
// adds and in which order.
TEST_F(PathDropTest, ADropAddsWhatTheExplorerWouldInTheOrderGiven) {
    struct Case {
        const char* what;
        std::vector<std::string> paths;
        std::function<ListNode*()> target;
        bool accepted;
        std::vector<std::string> sources;     // of the new links, in order
        std::vector<std::string> rootFolders; // the root's children afterwards
    };
    const std::vector<std::string> base = {"A", "B", "D"};
    const Case cases[] = {
        {"files into an empty level-2 folder, in the order given, MP3 only",
         {y_, wav_, x_, dir_ / "music/gone.mp3"},
         [&] { return c_; },
         true,
         {"music/y.Mp3", "music/x.mp3"},
         base},
        {"a folder under the root, its MP3 files in name order",
         {album_ + "/"},
         [&] { return tree_.Root(); },
         true,
         {"music/Album/Track 1.mp3", "music/Album/track 2.MP3", "music/Album/Track 10.mp3"},
         {"A", "B", "D", "ALBUM"}},
        {"two folders side by side, not one in the other",
         {other_, album_},
         [&] { return tree_.Root(); },
         true,
         {"music/Other/b.mp3", "music/Album/Track 1.mp3", "music/Album/track 2.MP3",
          "music/Album/Track 10.mp3"},
         {"A", "B", "D", "OTHER", "ALBUM"}},
        {"a folder and a file into an empty level-1 folder: the folder wins",
         {other_, x_},
         [&] { return d_; },
         true,
         {"music/Other/b.mp3"},
         base},
        {"nothing that counts", {wav_, dir_ / "gone"}, [&] { return c_; }, false, {}, base},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildTree();
        ListNode* target = c.target();
        tree_.Select(target->IsMediaFile() ? target->Parent() : target);
        const std::vector<DroppedItem> drop = PlanPathDrop(c.paths);
        EXPECT_EQ(CanTakePathDrop(drop, tree_.Selected()), c.accepted);
        const std::size_t before = links_.size();
        if (c.accepted)
            AddPathDrop(drop, tree_, links_, names_);
        EXPECT_EQ(SourcesFrom(before), c.sources);
        std::vector<std::string> rootFolders;
        for (int i = 0; i < tree_.Root()->ChildCount(); ++i)
            rootFolders.push_back(tree_.Root()->Child(i)->Text());
        EXPECT_EQ(rootFolders, c.rootFolders);
    }
}

TEST_F(PathDropTest, TheFoldersOwnFilesAreReadFromDisk) {
    EXPECT_EQ(Mp3FilesIn(album_),
              (std::vector<std::string>{"Track 1.mp3", "track 2.MP3", "Track 10.mp3"}));
    EXPECT_EQ(Mp3FilesIn(album_ + "/Bonus.mp3"), (std::vector<std::string>{"deep.mp3"}));
    EXPECT_TRUE(Mp3FilesIn(dir_ / "gone").empty());
    const std::vector<DroppedItem> drop = PlanPathDrop({x_, album_, wav_});
    ASSERT_EQ(drop.size(), 2u);
    EXPECT_FALSE(drop[0].isFolder);
    EXPECT_TRUE(drop[1].isFolder);
}

} // namespace
} // namespace stavio
