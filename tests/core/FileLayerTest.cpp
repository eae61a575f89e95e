// SPDX-License-Identifier: GPL-3.0-or-later
// The one writer of whole files: each policy, and the failures it must survive.
#include "FileLayer.h"
#include "TempDir.h"
#include "TextFile.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>

namespace stavio {
namespace {

using test::TempDir;

// What a folder holds: a file by its bytes, a link by its target, anything else as "?".
std::map<std::string, std::string> Contents(const TempDir& dir) {
    std::map<std::string, std::string> contents;
    for (const std::string& name : test::FolderEntries(dir.Path())) {
        struct stat st {};
        ::lstat((dir / name).c_str(), &st);
        char link[256] = {};
        contents[name] =
            S_ISREG(st.st_mode) ? test::ReadBytes(dir / name)
            : S_ISLNK(st.st_mode)
                ? "-> " + std::string(link, ::readlink((dir / name).c_str(), link, sizeof link - 1))
                : "?";
    }
    return contents;
}

TEST(FileLayerTest, PlacesTheFileAsThePolicySaysAndKeepsTheOldOneOnFailure) {
    // clang-format off: one row to a case
    struct Row {
        const char* what;
        std::function<void(TempDir&)> prepare;
        PlacePolicy policy;
        std::map<std::string, std::string> after;
        int error = 0;
        bool beneath = false;
        std::string bytes = "new";
        std::function<void(TempDir&)> actor = {}; // another program, just before the rename
        mode_t mode = 0;                          // of "f" afterwards, when given
    };
    const auto old = [](TempDir& dir) { dir.File("f", "old"); };
    const auto linked = [](TempDir& dir) {
        dir.File("real", "old");
        ::symlink("real", (dir / "f").c_str());
    };
    static const struct stat stamp = [] {
        struct stat st {};
        st.st_mtim.tv_sec = 1'000'000'000;
        st.st_atim.tv_sec = 1'000'000'000;
        return st;
    }();
    const std::string big(256 * 1024, 'n');
    const Row rows[] = {
        {"replace always", old, {.replace = Replace::Always}, {{"f", "new"}}},
        {"replace never, over a file", old, {.replace = Replace::Never}, {{"f", "old"}}, EEXIST},
        {"replace never, a name taken while the file is written",
         {},
         {.replace = Replace::Never},
         {{"f", "theirs"}},
         EEXIST,
         false,
         "new",
         [](TempDir& dir) { dir.File("f", "theirs"); }},
        {"the last link followed",
         linked,
         {.followLastLink = true},
         {{"f", "-> real"}, {"real", "new"}}},
        {"the last link replaced",
         linked,
         {.followLastLink = false},
         {{"f", "new"}, {"real", "old"}}},
        {"beneath, a link at the name replaced, never followed",
         linked,
         {},
         {{"f", "new"}, {"real", "old"}},
         0,
         true},
        {"beneath, a link at the temporary name never written through",
         [](TempDir& dir) {
             dir.File("real", "old");
             ::symlink("real", (dir / "f.tmp").c_str());
         },
         {.temporary = "f.tmp"},
         {{"f.tmp", "-> real"}, {"real", "old"}},
         EEXIST,
         true},
        {"a leftover of a killed write removed",
         [](TempDir& dir) { dir.File("f.tmp", "half"); },
         {.temporary = "f.tmp"},
         {{"f", "new"}}},
        {"a failure mid-write, unflushed",
         old,
         {.flush = Flush::No},
         {{"f", "old"}},
         EFBIG,
         false,
         big},
        {"a failure mid-write, flushed with its folder",
         old,
         {.flush = Flush::FileAndFolder},
         {{"f", "old"}},
         EFBIG,
         false,
         big},
        {"a pipe at the name left alone",
         [](TempDir& dir) { ::mkfifo((dir / "f").c_str(), 0666); },
         {.onlyOverFiles = true},
         {{"f", "?"}},
         FileError::NotRegularFile},
        {"stamped, with the replaced file's mode",
         [](TempDir& dir) { ::chmod(dir.File("f", "old").c_str(), 0604); },
         {.stampFrom = &stamp, .keepOwnerAndMode = true},
         {{"f", "new"}},
         0,
         false,
         "new",
         {},
         0604},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        if (row.prepare)
            row.prepare(dir);
        PlacePolicy policy = row.policy;
        if (row.actor)
            policy.beforeRename = [&] { row.actor(dir); };
        const UniqueFd folder(::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY));
        BesideFile file =
            row.beneath ? BesideFile(folder.Get(), "f", policy) : BesideFile(dir / "f", policy);
        // A write that cannot grow the file past 64 KiB fails half-way.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit{64 * 1024, saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        file.Write(row.bytes);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(file.Place(), row.error);
        EXPECT_EQ(Contents(dir), row.after);
        struct stat st {};
        if (row.mode != 0 && ::stat((dir / "f").c_str(), &st) == 0) {
            EXPECT_EQ(st.st_mode & 07777, row.mode);
            EXPECT_EQ(st.st_mtim.tv_sec, stamp.st_mtim.tv_sec);
        }
    }
}

} // namespace
} // namespace stavio
