// SPDX-License-Identifier: GPL-3.0-or-later
// Disks that fill up part way, folders of the target that are files, and sources that change
// between the listing and the copy: each is reported with its French text, the previous file
// stays whole, and the render goes on with the next file.

#include "MediaCopy.h"
#include "ProjectFile.h"
#include "Render.h"
#include "SafeSave.h"
#include "Script.h"
#include "Settings.h"

#include "ProjectTestSupport.h"
#include "RecordingProgress.h"
#include "TempDir.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace stavio {
namespace {

namespace fs = std::filesystem;
using test::AddEntry;
using test::FolderEntries;
using test::ReadBytes;
using test::RecordingProgress;
using test::TempDir;

// Runs job in a child process whose files may not grow beyond limit bytes; with SIGXFSZ
// ignored, a write past the limit fails with EFBIG as on a full disk. Returns the job's text.
std::string WithFileSizeLimit(rlim_t limit, const std::function<std::string()>& job) {
    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &size);
        std::string text;
        try {
            text = job();
        } catch (const std::exception& e) {
            text = std::string("uncaught: ") + e.what();
        }
        for (size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(channel[1], text.data() + done, text.size() - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return text;
}

class FailingDiskTest : public ::testing::Test {
protected:
    FailingDiskTest() : state(dir.Path() + "/") {
        state.ResetProject();
        target = dir.Folder("player");
        project().TargetPath = target;
    }
    TProjectClass& project() { return *state.CurrentProject; }
    std::string Copy(const std::string& folders, const std::string& name,
                     const std::string& content) {
        const std::string source = dir.File("music/" + name, content);
        EXPECT_NE(AddEntry(state.CopyTree, project().CopyLinks, folders, source, state.Names),
                  nullptr);
        return source;
    }
    // The render's two jobs; the script's error (or "") and the copy's report as text.
    std::string Render() {
        RenderPipeline render(state);
        std::string text;
        try {
            render.WriteScript(progress);
        } catch (const FileError& e) {
            text = e.what();
        }
        render.CopyMedia(progress, never);
        const RenderSummary& summary = render.Summary();
        text += "\ncopied " + std::to_string(summary.filesCopied + summary.filesUnchanged);
        for (const CopyFailure& failure : summary.failures)
            text += "\n" + failure.source + ": " + failure.reason;
        return text;
    }

    static inline const std::atomic<bool> never{false};
    TempDir dir;
    ProgramState state;
    RecordingProgress progress;
    std::string target;
};

TEST_F(FailingDiskTest, SaveCutShortKeepsThePreviousProjectFile) {
    const std::string path = dir.File("projects/p.scp", "the previous save\r\n");
    project().Comments = {std::string(1024 * 1024, 'c')};
    const std::string result = WithFileSizeLimit(64 * 1024, [&] {
        try {
            SaveProjectFile(state, path, progress);
        } catch (const FileError& e) {
            return std::string(e.what()) + (state.IsModified() ? " / modified" : " / saved");
        }
        return std::string("saved");
    });
    EXPECT_EQ(result, "Disque plein / modified");
    EXPECT_EQ(ReadBytes(path), "the previous save\r\n");
    EXPECT_EQ(FolderEntries(dir / "projects"), std::vector<std::string>{"p.scp"});
}

// Saving as an ordinary user: the old file stays whole or the new one is complete, and what
// is not a file is left as it is.
TEST_F(FailingDiskTest, SavingLeavesTheOldFileWholeOrTheNewOneComplete) {
    struct Case {
        const char* what;
        std::function<std::string(TempDir&)> prepare; // gives the path saved to
        std::string bytes;                            // what is saved
        const char* error;                            // French text, "" when saved
        const char* file;                             // checked afterwards, if any
        mode_t kind;                                  // its type
        std::string contents;                         // and, for a file, its bytes
        bool byTheSuperUser = false;                  // over the file of another user
    };
    const std::string big(20 * 1024, 'n');
    std::vector<int> held;
    const auto file = [](TempDir& dir, const char* name) { return dir.File(name, "old\r\n"); };
    const Case cases[] = {
        {"a full disk, in a folder the user cannot write",
         [&](TempDir& dir) {
             const std::string path = file(dir, "shut/p.scp");
             ::chmod((dir / "shut").c_str(), 0555);
             return path;
         },
         big, "Disque plein", "shut/p.scp", S_IFREG, "old\r\n"},
        {"a named pipe",
         [](TempDir& dir) { return ::mkfifo((dir / "p.scp").c_str(), 0666), dir / "p.scp"; },
         "new\r\n", "Pas un fichier ordinaire", "p.scp", S_IFIFO, ""},
        {"a link to a device",
         [](TempDir& dir) {
             return ::symlink("/dev/null", (dir / "p.scp").c_str()), dir / "p.scp";
         },
         "new\r\n", "Pas un fichier ordinaire", "p.scp", S_IFCHR, ""},
        {"a link loop",
         [](TempDir& dir) { return ::symlink("p.scp", (dir / "p.scp").c_str()), dir / "p.scp"; },
         "new\r\n", "Trop de niveaux de liens symboliques", nullptr, 0, ""},
        {"the temporary files of a killed save and of a save under way",
         [&](TempDir& dir) {
             file(dir, ".p.scp.Stale1");
             held.push_back(::open(file(dir, ".p.scp.Held01").c_str(), O_RDONLY));
             ::flock(held.back(), LOCK_EX);
             return file(dir, "p.scp");
         },
         "new\r\n", "", "p.scp", S_IFREG, "new\r\n"},
        {"another user's file saved by the super-user",
         [&](TempDir& dir) { return file(dir, "p.scp"); }, "new\r\n", "", "p.scp", S_IFREG,
         "new\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.byTheSuperUser && ::geteuid() != 0)
            continue;
        TempDir dir;
        ::chmod(dir.Path().c_str(), 0755);
        const std::string path = c.prepare(dir);
        if (::geteuid() == 0) { // the files are the user's own, as in a real home folder
            ::chown(dir.Path().c_str(), 65534, 65533);
            for (const auto& entry : fs::recursive_directory_iterator(dir.Path()))
                ::lchown(entry.path().c_str(), 65534, 65533);
        }
        const std::string error = WithFileSizeLimit(16 * 1024, [&] {
            const auto save = [&] {
                SafeSave file(path);
                file.Write(c.bytes);
                file.Commit();
            };
            try {
                if (!c.byTheSuperUser && !test::AsOrdinaryUser(save))
                    return std::string("cannot act as an ordinary user");
                if (c.byTheSuperUser)
                    save();
            } catch (const FileError& e) {
                return std::string(e.what());
            }
            return std::string();
        });
        EXPECT_EQ(error, c.error);
        struct stat st {};
        if (c.file && ::stat((dir / c.file).c_str(), &st) == 0) {
            EXPECT_EQ(st.st_mode & S_IFMT, c.kind);
            if (c.kind == S_IFREG) {
                EXPECT_EQ(ReadBytes(dir / c.file), c.contents);
            }
            if (c.byTheSuperUser) {
                EXPECT_EQ(std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid),
                          "65534:65533");
            }
        } else {
            EXPECT_EQ(c.file, nullptr) << "gone";
        }
        if (!held.empty()) {
            std::vector<std::string> entries = FolderEntries(dir.Path());
            std::sort(entries.begin(), entries.end());
            EXPECT_EQ(entries, (std::vector<std::string>{".p.scp.Held01", "p.scp"}));
            ::close(held.back());
            held.clear();
        }
        ::chmod((dir / "shut").c_str(), 0755); // so the folder can be removed
    }
}

// The script and one large media file hit the limit: the old script went before the first
// song changed and no new one could be written, the large file leaves nothing behind, and
// the small files around it are copied.
TEST_F(FailingDiskTest, RenderOnAFullDiskReportsAndGoesOn) {
    std::vector<std::string> olds;
    for (int i = 0; i < 400; ++i)
        olds.push_back(dir.File("old/delete number " + std::to_string(i) + ".mp3"));
    for (const std::string& old : olds)
        ASSERT_NE(AddEntry(state.DeleteTree, project().DeleteLinks, "OLDSTUFF", old, state.Names),
                  nullptr);
    const std::string small1 = Copy("ROCK", "small1.mp3", std::string(1000, '1'));
    const std::string big = Copy("ROCK", "big.mp3", std::string(200 * 1024, 'b'));
    const std::string small2 = Copy("JAZZ", "small2.mp3", std::string(1000, '2'));
    const std::string script = dir.File("player/SYSTEM/SCRIPT.TXT", "old script");

    const std::string result = WithFileSizeLimit(8 * 1024, [&] { return Render(); });
    EXPECT_EQ(result, "Disque plein\ncopied 2\n" + big + ": Disque plein");
    EXPECT_FALSE(fs::exists(script));
    EXPECT_EQ(FolderEntries(target + "/SYSTEM"), std::vector<std::string>{"STAVIO.LST"});
    EXPECT_EQ(ReadBytes(target + "/00000001/SMALL1.MP3"), std::string(1000, '1'));
    EXPECT_FALSE(fs::exists(target + "/00000001/BIG.MP3"));
    EXPECT_EQ(ReadBytes(target + "/00000002/SMALL2.MP3"), std::string(1000, '2'));
}

TEST_F(FailingDiskTest, FoldersOfTheTargetThatAreFiles) {
    Copy("ROCK", "a.mp3", "a");
    const std::string b = Copy("JAZZ", "b.mp3", "b");
    Copy("ROCK", "c.mp3", "c");
    dir.File("player/SYSTEM", "a file named SYSTEM");
    dir.File("player/00000002", "a file in the way");

    EXPECT_EQ(Render(),
              "Chemin d'accès introuvable\ncopied 2\n" + b + ": Chemin d'accès introuvable");
    EXPECT_EQ(ReadBytes(target + "/SYSTEM"), "a file named SYSTEM");
    EXPECT_EQ(ReadBytes(target + "/00000002"), "a file in the way");
    EXPECT_EQ(ReadBytes(target + "/00000001/A.MP3"), "a");
    EXPECT_EQ(ReadBytes(target + "/00000003/C.MP3"), "c");

    // Saving a project below a file fails the same way.
    EXPECT_THROW(SaveProjectFile(state, target + "/SYSTEM/p.scp", progress), FileError);
}

// Between the listing and the copy a source is deleted, replaced by a folder, by a named
// pipe or by a link to itself: each is reported, none holds the render up.
TEST_F(FailingDiskTest, SourcesThatChangedAfterTheListing) {
    const std::string gone = Copy("ROCK", "gone.mp3", "g");
    const std::string folder = Copy("ROCK", "folder.mp3", "f");
    const std::string pipe = Copy("ROCK", "pipe.mp3", "p");
    const std::string loop = Copy("ROCK", "loop.mp3", "l");
    Copy("ROCK", "kept.mp3", "k");
    for (const std::string& path : {gone, folder, pipe, loop})
        fs::remove(path);
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    fs::create_symlink(loop, loop);

    const CopyReport report = CopyMedia(state, progress);
    EXPECT_EQ(report.filesCopied, 1);
    ASSERT_EQ(report.failures.size(), 4u);
    EXPECT_EQ(report.failures[0].reason, "Fichier introuvable");
    EXPECT_EQ(report.failures[1].reason, "Accès refusé");
    EXPECT_EQ(report.failures[2].reason, "Accès refusé");
    EXPECT_EQ(report.failures[3].source, loop);
    EXPECT_EQ(ReadBytes(target + "/00000001/KEPT.MP3"), "k");
    EXPECT_EQ(FolderEntries(target + "/00000001"), std::vector<std::string>{"KEPT.MP3"});
}

// An entry named while its source was missing has an empty name; when the source is back at
// render time the copy must not aim at the numbered folder itself.
TEST_F(FailingDiskTest, EntryWithoutANameIsReportedNotWrittenOverItsFolder) {
    const std::string late = dir / "music/late.mp3";
    ListNode* node = AddEntry(state.CopyTree, project().CopyLinks, "ROCK", late, state.Names);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Text(), "");
    Copy("ROCK", "kept.mp3", "k");
    dir.File("music/late.mp3", "late");

    const CopyReport report = CopyMedia(state, progress);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].source, late);
    // The source was missing when the entry was made: that, not the folder, is the reason.
    EXPECT_EQ(report.failures[0].reason, "Fichier introuvable");
    EXPECT_TRUE(fs::is_directory(target + "/00000001"));
    EXPECT_EQ(FolderEntries(target + "/00000001"), std::vector<std::string>{"KEPT.MP3"});
}

// Only ordinary files are read: a named pipe or a device in place of a project or settings
// file is refused at once instead of waited on or read without end.
TEST_F(FailingDiskTest, PipesAndDevicesAreRefusedNotRead) {
    const std::string pipe = dir / "pipe.scp";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    try {
        LoadProjectFile(state, pipe, progress);
        FAIL() << "a pipe was read";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Accès refusé");
    }

    fs::create_symlink("/dev/zero", dir / "stavio.CFG");
    SettingsValues values;
    try {
        ReadSettings(dir / "stavio", values);
        FAIL() << "a device was read";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Accès refusé");
    }
}

} // namespace
} // namespace stavio
