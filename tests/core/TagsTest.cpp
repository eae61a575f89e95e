// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tags.h"

#include "Mp3Bytes.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace stavio {
namespace {

using namespace test;

struct TagCase {
    const char* what;
    std::string bytes;
    TrackTags expected;
};

std::vector<TagCase> TagCases() {
    const std::string audio = Mp3Frames(120); // 3 s
    return {
        {"ID3v1.1",
         audio + Id3v1("Song One", "The Band", "First Album", 7),
         {"Song One", "The Band", "First Album", 7, 3}},
        {"ID3v1 in Latin-1",
         audio + Id3v1("Caf\xE9", "Bj\xF6rk", "", 0),
         {"Café", "Björk", "", 0, 3}},
        {"ID3v2.3 Latin-1",
         Id3v2(3, {{"TIT2", 0, "Caf\xE9 au lait"},
                   {"TPE1", 0, "Ren\xE9"},
                   {"TALB", 0, "Le disque"},
                   {"TRCK", 0, "4/12"}}) +
             audio,
         {"Café au lait", "René", "Le disque", 4, 3}},
        {"ID3v2.3 UTF-16 with byte order mark",
         Id3v2(3, {{"TIT2", 1, Utf16(u"\u03A9\u03BC\u03AD\u03B3\u03B1", false, true)},
                   {"TPE1", 1, Utf16(u"Bj\u00F6rk", false, true)},
                   {"TALB", 1, Utf16(u"Vespertine", true, true)}}) +
             audio,
         {"Ωμέγα", "Björk", "Vespertine", 0, 3}},
        {"ID3v2.4 UTF-16BE and UTF-8",
         Id3v2(4, {{"TIT2", 2, Utf16(u"\u00C9t\u00E9", true, false)},
                   {"TPE1", 3, "Dvo\xC5\x99\xC3\xA1k"},
                   {"TRCK", 3, "11"}}) +
             audio,
         {"Été", "Dvořák", "", 11, 3}},
        {"ID3v2 before ID3v1",
         Id3v2(3, {{"TIT2", 0, "From v2"}}) + audio + Id3v1("From v1", "Only v1", "", 2),
         {"From v2", "Only v1", "", 2, 3}},
        {"no tags", audio, {"", "", "", 0, 3}},
        {"an ID3v2 tag longer than the file",
         "ID3\x03" + std::string(2, '\0') + BigEndian(0x0FFFFFFF, true) + "TIT2" +
             BigEndian(0x7FFFFFFF, false) + std::string(2, '\0') + "\x01\xFF",
         {}},
        {"an ID3v2 frame longer than its tag",
         "ID3\x03" + std::string(2, '\0') + BigEndian(14, true) + "TIT2" +
             BigEndian(0x7FFFFFF0, false) + std::string(2, '\0') + "\0Lost" + audio,
         {"", "", "", 0, 3}},
        {"a cut ID3v1 tag", audio + std::string("TAG") + "Half", {"", "", "", 0, 3}},
        {"an empty file", "", {}},
        {"plain text", "Not a song at all, only words.\n", {}},
    };
}

TEST(TagsTest, ReadsEveryEncodingAndSurvivesDamagedTags) {
    TempDir dir;
    int n = 0;
    for (const TagCase& c : TagCases()) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.File("song" + std::to_string(n++) + ".mp3", c.bytes);
        const std::optional<TrackTags> tags = ReadTrackTags(path);
        ASSERT_TRUE(tags.has_value());
        EXPECT_EQ(tags->Title, c.expected.Title);
        EXPECT_EQ(tags->Artist, c.expected.Artist);
        EXPECT_EQ(tags->Album, c.expected.Album);
        EXPECT_EQ(tags->Track, c.expected.Track);
        EXPECT_EQ(tags->LengthSeconds, c.expected.LengthSeconds);
    }
}

TEST(TagsTest, AFileThatCannotBeReadGivesNothingAndTellsWhy) {
    TempDir dir;
    struct Case {
        std::string path;
        int error;
    } const cases[] = {
        {dir / "gone.mp3", ENOENT},
        {dir.Folder("Album.mp3"), EISDIR},
        {dir / "gone/song.mp3", ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        errno = 0;
        EXPECT_FALSE(ReadTrackTags(c.path).has_value());
        EXPECT_EQ(errno, c.error);
    }
}

TEST(TagsTest, LengthsReadAsMinutesAndSeconds) {
    const std::pair<int, const char*> cases[] = {
        {0, ""},         {-4, ""},          {5, "0:05"},       {65, "1:05"},        {599, "9:59"},
        {3599, "59:59"}, {3600, "1:00:00"}, {3725, "1:02:05"}, {36000, "10:00:00"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(FormatTrackLength(seconds), text) << seconds;
}

// The cache over a counting reader: how many times the files were really read.
class TagCacheTest : public ::testing::Test {
protected:
    TagCache cache_{[this](const std::string& path) {
        ++reads_;
        return ReadTrackTags(path);
    }};
    int reads_ = 0;
    TempDir dir_;
};

TEST_F(TagCacheTest, ReadsAgainOnlyWhenTheFileChanged) {
    namespace fs = std::filesystem;
    const std::string audio = Mp3Frames(120);
    const std::string path = dir_.File("a.mp3", audio + Id3v1("One", "A", "X", 1));
    struct Step {
        const char* what;
        std::function<void()> change;
        const char* title; // nullptr: nothing, the file cannot be read
        int reads;
    } const steps[] = {
        {"first look", [] {}, "One", 1},
        {"unchanged", [] {}, "One", 1},
        {"new size",
         [&] {
             dir_.File("a.mp3", Id3v2(3, {{"TIT2", 0, "Two"}}) + audio);
         },
         "Two", 2},
        {"same size, new time",
         [&] {
             dir_.File("a.mp3", Id3v2(3, {{"TIT2", 0, "Six"}}) + audio);
             fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
         },
         "Six", 3},
        {"looked at again", [] {}, "Six", 3},
        {"removed", [&] { fs::remove(path); }, nullptr, 3},
        {"back with the same bytes",
         [&] {
             dir_.File("a.mp3", Id3v2(3, {{"TIT2", 0, "Six"}}) + audio);
         },
         "Six", 4},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        const std::optional<TrackTags> tags = cache_.Tags(path);
        if (step.title) {
            ASSERT_TRUE(tags.has_value());
            EXPECT_EQ(tags->Title, step.title);
        } else {
            EXPECT_FALSE(tags.has_value());
        }
        EXPECT_EQ(reads_, step.reads);
    }
    EXPECT_EQ(cache_.Size(), 1u);
}

TEST_F(TagCacheTest, KeepsEachPathApart) {
    const std::string a = dir_.File("a.mp3", Id3v2(3, {{"TIT2", 0, "A"}}));
    const std::string b = dir_.File("b.mp3", Id3v2(3, {{"TIT2", 0, "B"}}));
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(cache_.Tags(a)->Title, "A");
        EXPECT_EQ(cache_.Tags(b)->Title, "B");
    }
    EXPECT_EQ(reads_, 2);
    EXPECT_FALSE(cache_.Tags(dir_.Path()).has_value()); // a folder is not cached
    EXPECT_EQ(cache_.Size(), 2u);
}

} // namespace
} // namespace stavio
