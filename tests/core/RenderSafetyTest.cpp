// SPDX-License-Identifier: GPL-3.0-or-later
// What a render may touch on a target that holds more than its own files: it removes only
// what its record says it wrote, writes nothing outside the target, never through a link,
// and leaves no script beside a copy that did not end.

#include "Render.h"

#include "ProjectTestSupport.h"
#include "RecordingProgress.h"
#include "TempDir.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stavio {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

// A player folder in a scratch folder, and the renders of projects onto it.
struct Player {
    test::TempDir dir;
    std::string target = dir.Folder("player");
    std::string At(const std::string& path) const { return target + "/" + path; }
    // Renders a project whose Copy List holds these (list folder, source, content) entries;
    // a source that exists already keeps its bytes.
    struct Song {
        std::string folder;
        std::string source; // below the scratch folder, or absolute
        std::string content;
    };
    RenderSummary Render(const std::vector<Song>& songs, bool deleteOnly = false,
                         ProgressDisplay* display = nullptr) {
        ProgramState state(dir.Path() + "/");
        state.ResetProject();
        state.CurrentProject->TargetPath = target;
        for (const Song& song : songs) {
            const std::string source = song.source[0] == '/' ? song.source : dir / song.source;
            if (!fs::exists(source))
                dir.File(source.substr(dir.Path().size() + 1), song.content);
            test::AddEntry(state.CopyTree, state.CurrentProject->CopyLinks, song.folder, source,
                           state.Names);
        }
        if (deleteOnly)
            test::AddEntry(state.DeleteTree, state.CurrentProject->DeleteLinks, "OLD",
                           dir.File("gone.mp3"), state.Names);
        test::RecordingProgress recording;
        ProgressDisplay& progress = display != nullptr ? *display : recording;
        RenderPipeline render(state);
        try {
            render.WriteScript(progress);
        } catch (const FileError& e) {
            scriptError = e.what();
        }
        const std::atomic<bool> never{false};
        render.CopyMedia(progress, never);
        return render.Summary();
    }
    std::string scriptError;
};

TEST(RenderSafetyTest, WhatARenderRemovesAndWritesOnTargetsItDoesNotOwnAlone) {
    struct Case {
        const char* layout;
        std::function<void(Player&)> before;
        std::function<RenderSummary(Player&)> render;
        std::function<void(Player&, const RenderSummary&)> check;
    };
    auto oneSong = [](Player& p) { return p.Render({{"ROCK", "music/song.mp3", "song"}}); };
    const std::vector<Case> cases = {
        {"a folder named like a date",
         [](Player& p) {
             p.dir.File("player/20240315/REC1.MP3", "one");
             p.dir.File("player/20240315/REC2.MP3", "two");
         },
         oneSong,
         [](Player& p, const RenderSummary& s) {
             EXPECT_EQ(ReadBytes(p.At("20240315/REC1.MP3")) + ReadBytes(p.At("20240315/REC2.MP3")),
                       "onetwo");
             EXPECT_EQ(s.staleRemoved, 0);
         }},
        {"numbered folders of songs Stavio did not write, and a Delete List only",
         [](Player& p) { p.dir.File("player/00000001/MINE.MP3", "mine"); },
         [](Player& p) { return p.Render({}, true); },
         [](Player& p, const RenderSummary& s) {
             EXPECT_EQ(ReadBytes(p.At("00000001/MINE.MP3")), "mine");
             EXPECT_TRUE(fs::exists(p.At("SYSTEM/SCRIPT.TXT")));
             EXPECT_EQ(s.staleRemoved, 0);
         }},
        {"a numbered folder that is a link",
         [](Player& p) {
             p.dir.File("elsewhere/KEEP.MP3", "keep");
             fs::create_directory_symlink(p.dir / "elsewhere", p.At("00000001"));
         },
         oneSong,
         [](Player& p, const RenderSummary& s) {
             EXPECT_EQ(test::FolderEntries(p.dir / "elsewhere"),
                       std::vector<std::string>{"KEEP.MP3"});
             ASSERT_EQ(s.failures.size(), 1u);
             EXPECT_EQ(s.failures[0].reason, "Accès refusé");
         }},
        {"a destination hard-linked to the user's library",
         [](Player& p) {
             const std::string library = p.dir.File("library/SONG.MP3", "the library's song");
             fs::create_directory(p.At("00000001"));
             fs::create_hard_link(library, p.At("00000001/SONG.MP3"));
         },
         oneSong,
         [](Player& p, const RenderSummary&) {
             EXPECT_EQ(ReadBytes(p.dir / "library/SONG.MP3"), "the library's song");
             EXPECT_EQ(ReadBytes(p.At("00000001/SONG.MP3")), "song");
         }},
        {"a SCRIPT.TXT that is a link",
         [](Player& p) {
             p.dir.File("home/.bashrc", "rc");
             fs::create_directory(p.At("SYSTEM"));
             fs::create_symlink(p.dir / "home/.bashrc", p.At("SYSTEM/SCRIPT.TXT"));
         },
         oneSong,
         [](Player& p, const RenderSummary& s) {
             EXPECT_EQ(ReadBytes(p.dir / "home/.bashrc"), "rc");
             EXPECT_TRUE(fs::is_symlink(p.At("SYSTEM/SCRIPT.TXT")));
             EXPECT_TRUE(s.scriptFailed);
         }},
        {"sources inside the numbered folders of an earlier render",
         [](Player& p) {
             p.Render({{"ROCK", "music/a.mp3", "a"}, {"JAZZ", "music/b.mp3", "b"}});
         },
         [](Player& p) {
             // Rebuilt from the player's own copies, in another order.
             return p.Render(
                 {{"POP", p.At("00000002/B.MP3"), ""}, {"ROCK", p.At("00000001/A.MP3"), ""}});
         },
         [](Player& p, const RenderSummary& s) {
             EXPECT_EQ(ReadBytes(p.At("00000001/A.MP3")) + ReadBytes(p.At("00000002/B.MP3")), "ab");
             EXPECT_EQ(ReadBytes(p.At("00000001/B.MP3")) + ReadBytes(p.At("00000002/A.MP3")), "ba");
             EXPECT_EQ(s.staleRemoved, 0);
         }},
        {"recorded songs this render does not write, songs of the user, a song changed since",
         [](Player& p) {
             p.Render({{"ROCK", "music/a.mp3", "a"},
                       {"ROCK", "music/edited.mp3", "e"},
                       {"JAZZ", "music/b.mp3", "b"}});
             p.dir.File("player/00000001/MINE.MP3", "mine");
             WriteBytes(p.At("00000001/EDITED.MP3"), "edited by the user");
             p.dir.File("player/00000001/~STAVIO~.TMP", "left by a killed render");
         },
         [](Player& p) {
             return p.Render({{"ROCK", "music/c.mp3", "c"}});
         },
         [](Player& p, const RenderSummary& s) {
             EXPECT_EQ(test::FolderEntries(p.At("00000001")).size(), 3u); // C, MINE, EDITED
             EXPECT_EQ(ReadBytes(p.At("00000001/EDITED.MP3")), "edited by the user");
             EXPECT_FALSE(fs::exists(p.At("00000002"))); // emptied, and it was the render's
             EXPECT_EQ(s.staleRemoved, 2);
             EXPECT_EQ(s.foreignSongs, 2);
             EXPECT_NE(SummaryText(s, Language::English)
                           .find(" · 2 songs in the numbered folders were not written by Stavio "
                                 "and stay"),
                       std::string::npos);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        Player player;
        c.before(player);
        c.check(player, c.render(player));
    }
}

// A numbered folder that is another file system (a mount point) is neither entered nor
// written; the super-user alone can mount one here.
TEST(RenderSafetyTest, ANumberedFolderThatIsAMountPointIsNotEntered) {
    Player p;
    fs::create_directory(p.At("00000001"));
    if (::geteuid() != 0 || ::mount("tmpfs", p.At("00000001").c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    WriteBytes(p.At("00000001/OTHER.MP3"), "on another disk");
    const RenderSummary s = p.Render({{"ROCK", "music/song.mp3", "song"}});
    EXPECT_EQ(test::FolderEntries(p.At("00000001")), std::vector<std::string>{"OTHER.MP3"});
    EXPECT_EQ(s.failures.size(), 1u);
    ::umount2(p.At("00000001").c_str(), MNT_DETACH);
}

// The player unplugged in the middle of the copy: the copy stops, nothing is written on the
// computer's disk under the empty mount point, and no script is left.
TEST(RenderSafetyTest, APlayerThatGoesAwayStopsTheCopyAtOnce) {
    Player p;
    if (::geteuid() != 0 || ::mount("tmpfs", p.target.c_str(), "tmpfs", 0, "size=64m") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    class Unplugging : public test::RecordingProgress {
    public:
        explicit Unplugging(std::string target) : target_(std::move(target)) {}
        void SetPosition(int value) override {
            RecordingProgress::SetPosition(value);
            if (value > 0 && !gone_)
                gone_ = ::umount2(target_.c_str(), MNT_DETACH) == 0;
        }

    private:
        std::string target_;
        bool gone_ = false;
    } unplugging(p.target);
    std::vector<Player::Song> songs;
    for (int i = 0; i < 6; ++i)
        songs.push_back(
            {"ROCK", "music/s" + std::to_string(i) + ".mp3", std::string(12 << 20, 's')});

    const RenderSummary s = p.Render(songs, false, &unplugging);

    EXPECT_TRUE(s.targetGone);
    EXPECT_TRUE(fs::is_empty(p.target)) << "written on the computer's disk";
    EXPECT_EQ(SummaryText(s, Language::English).rfind("The player is gone: " + p.target, 0), 0u)
        << SummaryText(s, Language::English);
}

// A player the user may not write is refused as such before any copy.
TEST(RenderSafetyTest, ATargetThatCannotBeWrittenIsRefusedBeforeAnyCopy) {
    Player p;
    p.dir.File("music/song.mp3", "song");
    ::chmod(p.dir.Path().c_str(), 0755);
    ::chmod(p.target.c_str(), 0555);
    RenderSummary s;
    if (!test::AsOrdinaryUser([&] { s = p.Render({{"ROCK", "music/song.mp3", ""}}); }))
        GTEST_SKIP() << "cannot act as an ordinary user";
    EXPECT_EQ(p.scriptError, "Accès refusé");
    EXPECT_TRUE(s.targetFailed);
    EXPECT_EQ(s.filesCopied, 0);
    EXPECT_TRUE(fs::is_empty(p.target));
}

// The unchanged skip follows the record: a source replaced by another song of the same size
// within the same second is copied again.
TEST(RenderSafetyTest, TheRecordTellsWhatIsUnchanged) {
    Player p;
    const std::vector<Player::Song> songs = {{"ROCK", "music/a.mp3", "aaaa"},
                                             {"ROCK", "music/b.mp3", "bbbb"}};
    EXPECT_EQ(p.Render(songs).filesCopied, 2);
    EXPECT_EQ(p.Render(songs).filesCopied, 0);
    struct stat before {};
    ASSERT_EQ(::stat((p.dir / "music/b.mp3").c_str(), &before), 0);
    WriteBytes(p.dir / "music/b.mp3", "BBBB");
    const struct timespec sameSecond[2] = {{0, UTIME_OMIT},
                                           {before.st_mtim.tv_sec, before.st_mtim.tv_nsec ^ 1}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (p.dir / "music/b.mp3").c_str(), sameSecond, 0), 0);
    EXPECT_EQ(p.Render(songs).filesCopied, 1);
    EXPECT_EQ(ReadBytes(p.At("00000001/B.MP3")), "BBBB");
}

} // namespace
} // namespace stavio
