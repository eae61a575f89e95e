// SPDX-License-Identifier: GPL-3.0-or-later
// The render pipeline: script and numbered folders agree, unchanged files stay, the fit
// check, Cancel and the summary.

#include "CopyTargetFixture.h"
#include "Render.h"

#include "ProjectFigures.h"
#include "ProjectTestSupport.h"
#include "RecordingProgress.h"
#include "Script.h"
#include "TempDir.h"
#include "TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace stavio {
namespace {

namespace fs = std::filesystem;
using test::AddEntry;
using test::ReadBytes;
using test::RecordingProgress;
using test::TempDir;

class RenderPipelineTest : public test::CopyTargetFixture {
protected:
    // Runs the script and copy jobs as a render does.
    RenderSummary Render(const std::atomic<bool>& cancel = never) {
        RenderPipeline render(state, [this](const std::string&) { return freeSpace; });
        render.WriteScript(progress);
        render.CopyMedia(progress, cancel);
        return render.Summary();
    }
    static std::int64_t MtimeNs(const std::string& path) {
        struct stat info {};
        EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
        return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
               info.st_mtim.tv_nsec;
    }
    static void SetMtime(const std::string& path, std::int64_t ns) {
        const struct timespec times[2] = {{ns / 1'000'000'000, ns % 1'000'000'000},
                                          {ns / 1'000'000'000, ns % 1'000'000'000}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }

    static inline const std::atomic<bool> never{false};
    std::optional<std::uint64_t> freeSpace;
};

// On random projects, the n-th folder line of the script names the folder n into which the
// files of that run are copied, and nothing else lies in the numbered folders.
TEST_F(RenderPipelineTest, ScriptFolderLinesNameTheFoldersTheRunsAreCopiedInto) {
    const std::vector<std::string> folders = {"A", "B", "A/C", "B/D", "E/F", "E"};
    std::mt19937 random(20261208);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        state.ResetProject();
        project().TargetPath = target;
        fs::remove_all(target);
        fs::create_directory(target);
        // The runs as they must be: consecutive entries of one player folder.
        std::vector<std::pair<std::string, std::vector<std::string>>> runs;
        const int entries = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < entries; ++i) {
            const std::string& folder = folders[random() % folders.size()];
            const std::string name = "R" + std::to_string(round) + "F" + std::to_string(i);
            ListNode* node = AddEntry(state.CopyTree, project().CopyLinks, folder,
                                      dir.File("src/" + name + ".mp3", name), state.Names);
            ASSERT_NE(node, nullptr);
            std::string playerFolder = "\\" + folder;
            std::replace(playerFolder.begin(), playerFolder.end(), '/', '\\');
            if (runs.empty() || runs.back().first != playerFolder)
                runs.push_back({playerFolder, {}});
            runs.back().second.push_back(node->Text());
        }
        Render();

        std::vector<std::string> folderLines;
        const std::string script = ReadBytes(target + "/SYSTEM/SCRIPT.TXT");
        for (size_t at = 0, end; (end = script.find("\r\n", at)) != std::string::npos;
             at = end + 2) {
            const std::string line = script.substr(at, end - at);
            if (line.size() > 10 && line[0] == '\\' && line[9] == ' ')
                folderLines.push_back(line);
        }
        ASSERT_EQ(folderLines.size(), runs.size());
        for (size_t k = 0; k < runs.size(); ++k) {
            char number[32];
            std::snprintf(number, sizeof number, "%08d", static_cast<int>(k) + 1);
            EXPECT_EQ(folderLines[k], "\\" + std::string(number) + " " + runs[k].first);
            std::vector<std::string> held;
            for (const auto& entry : fs::directory_iterator(target + "/" + number))
                held.push_back(entry.path().filename().string());
            std::vector<std::string> expected = runs[k].second;
            std::sort(held.begin(), held.end());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(held, expected) << "folder " << number;
        }
        int numbered = 0;
        for (const auto& entry : fs::directory_iterator(target))
            numbered += entry.path().filename() != "SYSTEM";
        EXPECT_EQ(numbered, static_cast<int>(runs.size()));
    }
}

// Without a record, a destination is left as it is only with the source's size and its
// time to the second; with the record of the first render, a second one copies nothing.
TEST_F(RenderPipelineTest, OnlyChangedFilesAreCopiedAndTimesAreKept) {
    constexpr std::int64_t kSecond = 1'000'000'000;
    const std::int64_t songTime = 1'700'000'000 * kSecond + 250'000'000;
    struct Case {
        const char* name;
        const char* onTarget; // nullptr: none
        std::int64_t offset;  // of its time against the source's
        bool unchanged;
    };
    const std::vector<Case> cases = {
        {"NONE.MP3", nullptr, 0, false},
        {"SAME.MP3", "music", 0, true},
        {"SAMESEC.MP3", "music", 700'000'000, true},   // within the same second
        {"HALF.MP3", "music", 1'500'000'000, false},   // another song 1.5 s later
        {"EARLIER.MP3", "music", -2 * kSecond, false}, // FAT's grid only on FAT
        {"SIZE.MP3", "musics", 0, false},              // same time, other size
        {"EDITED.MP3", "MUSIC", -60 * kSecond, false}, // same size, older
    };
    fs::create_directory(target + "/00000001");
    for (const Case& c : cases) {
        SetMtime(Copy("ROCK", c.name, "music"), songTime);
        if (c.onTarget != nullptr) {
            const std::string destination = target + "/00000001/" + c.name;
            test::WriteBytes(destination, c.onTarget);
            SetMtime(destination, songTime + c.offset);
        }
    }

    const RenderSummary summary = Render();

    int unchanged = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string destination = target + "/00000001/" + c.name;
        EXPECT_EQ(ReadBytes(destination), c.unchanged ? c.onTarget : "music");
        if (!c.unchanged) {
            EXPECT_EQ(MtimeNs(destination), songTime); // the song's own time
        }
        unchanged += c.unchanged;
    }
    EXPECT_EQ(summary.filesUnchanged, unchanged);
    EXPECT_EQ(summary.filesCopied, static_cast<int>(cases.size()) - unchanged);
    EXPECT_EQ(summary.bytesCopied, 5u * summary.filesCopied);

    // Rendered again, nothing is copied.
    const RenderSummary again = Render();
    EXPECT_EQ(again.filesCopied, 0);
    EXPECT_EQ(again.filesUnchanged, static_cast<int>(cases.size()));
}

// A link under a song's name in the player's folder is replaced, never written through.
TEST_F(RenderPipelineTest, ALinkAtTheDestinationIsReplaced) {
    Copy("ROCK", "SONG.MP3", "song");
    const std::string outside = dir.File("elsewhere.mp3", "precious");
    fs::create_directory(target + "/00000001");
    fs::create_symlink(outside, target + "/00000001/SONG.MP3");
    EXPECT_EQ(Render().filesCopied, 1);
    EXPECT_FALSE(fs::is_symlink(target + "/00000001/SONG.MP3"));
    EXPECT_EQ(ReadBytes(target + "/00000001/SONG.MP3"), "song");
    EXPECT_EQ(ReadBytes(outside), "precious");
}

// The copy line names the source file being copied, not its name on the player.
TEST_F(RenderPipelineTest, TheCopyLineNamesEachSourceFile) {
    for (const char* name : {"First song.mp3", "b.mp3"})
        AddEntry(state.CopyTree, project().CopyLinks, "ROCK",
                 dir.File(std::string("src/") + name, "x"), state.Names);
    EXPECT_EQ(Render().filesCopied, 2);
    EXPECT_EQ(progress.copyFiles, (std::vector<std::string>{"First song.mp3", "b.mp3"}));
}

// The bytes a render adds, in whole allocation units: the files to copy less what they
// replace, the script, the record and the SYSTEM folder it makes.
TEST_F(RenderPipelineTest, SurveyWeighsWhatTheCopyAddsAgainstTheFreeSpace) {
    Copy("ROCK", "NEW.MP3", std::string(1000, 'n'));
    Copy("ROCK", "BIGGER.MP3", std::string(300, 'b'));
    const std::string same = Copy("ROCK", "SAME.MP3", std::string(500, 's'));
    Copy("ROCK", "GONE.MP3", "g");
    fs::remove(dir / "src/ROCK/GONE.MP3"); // fails; adds nothing
    fs::create_directory(target + "/00000001");
    test::WriteBytes(target + "/00000001/BIGGER.MP3", std::string(100, 'o'));
    fs::copy_file(same, target + "/00000001/SAME.MP3");
    SetMtime(target + "/00000001/SAME.MP3", MtimeNs(same));

    struct statvfs volume {};
    ASSERT_EQ(::statvfs(target.c_str(), &volume), 0);
    const std::uint64_t unit = volume.f_frsize;
    // NEW, BIGGER less the old one it replaces, the script, the record, SYSTEM.
    const std::uint64_t needed = 4;
    struct Case {
        std::optional<std::uint64_t> free;
        bool fits;
    };
    const std::vector<Case> cases = {
        {needed * unit, true}, {needed * unit - 1, false}, {0, false}, {std::nullopt, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.free ? std::to_string(*c.free) : "unknown");
        freeSpace = c.free;
        const RenderSurvey survey =
            RenderPipeline(state, [this](const std::string&) { return freeSpace; }).Survey();
        EXPECT_EQ(survey.bytesNeeded, needed * unit);
        EXPECT_EQ(survey.bytesToCopy, 1300u);
        EXPECT_EQ(survey.filesToCopy, 2);
        EXPECT_EQ(survey.filesUnchanged, 1);
        EXPECT_EQ(survey.bytesFree, c.free);
        EXPECT_EQ(survey.Fits(), c.fits);
    }
    // The real file system of the target answers too.
    EXPECT_TRUE(FileSystemFreeSpace(target).has_value());
    EXPECT_TRUE(FileSystemFreeSpace(target + "/not/made/yet").has_value());
    EXPECT_TRUE(FileSystemFreeSpace("relative/not/made").has_value());
}

// Cancel in the middle of the second of three files.
TEST_F(RenderPipelineTest, CancelKeepsTheCopiedFilesAndRemovesTheScript) {
    class CancellingProgress : public RecordingProgress {
    public:
        explicit CancellingProgress(std::atomic<bool>& cancel) : cancel_(cancel) {}
        void SetPosition(int value) override {
            RecordingProgress::SetPosition(value);
            if (value > 100)
                cancel_ = true; // well into the second file's first block
        }

    private:
        std::atomic<bool>& cancel_;
    };
    Copy("ROCK", "FIRST.MP3", "first");
    Copy("ROCK", "BIG.MP3", std::string(24 << 20, 'b'));
    Copy("JAZZ", "LAST.MP3", "last");
    std::atomic<bool> cancel{false};
    CancellingProgress cancelling(cancel);
    RenderPipeline render(state);
    render.WriteScript(cancelling);
    EXPECT_FALSE(fs::exists(target + "/SYSTEM/SCRIPT.TXT")); // only once the copy is complete
    render.CopyMedia(cancelling, cancel);

    const RenderSummary& summary = render.Summary();
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(ReadBytes(target + "/00000001/FIRST.MP3"), "first");
    EXPECT_FALSE(fs::exists(target + "/00000001/BIG.MP3")); // the partial file
    EXPECT_FALSE(fs::exists(target + "/00000002/LAST.MP3"));
    EXPECT_FALSE(fs::exists(target + "/SYSTEM/SCRIPT.TXT"));
    EXPECT_EQ(summary.filesCopied, 1);
    EXPECT_EQ(SummaryText(summary, Language::English),
              "Copy cancelled: 1 of 3 files copied, script removed");
    RenderSummary one = summary;
    one.filesPlanned = 1;
    EXPECT_EQ(SummaryText(one, Language::French),
              "Copie annul\xC3\xA9"
              "e : 1 sur 1 fichier copi\xC3\xA9, script retir\xC3\xA9");
    EXPECT_EQ(SummaryText(summary, Language::German),
              "Kopieren abgebrochen: 1 von 3 Dateien kopiert, Script entfernt");
}

// A target where SYSTEM is a file: no script can be made there. The songs are copied all
// the same, and the summary does not claim a script.
TEST_F(RenderPipelineTest, TheSummarySaysSoWhenTheScriptCouldNotBeWritten) {
    Copy("ROCK", "FIRST.MP3", "first");
    fs::create_directories(target);
    test::WriteBytes(target + "/SYSTEM", "not a folder");
    RenderPipeline render(state);
    EXPECT_THROW(render.WriteScript(progress), FileError);
    render.CopyMedia(progress, never);
    EXPECT_EQ(ReadBytes(target + "/00000001/FIRST.MP3"), "first");
    const RenderSummary& summary = render.Summary();
    EXPECT_TRUE(summary.scriptFailed);
    EXPECT_EQ(SummaryText(summary, Language::English).rfind("Script not created: 1 file copied", 0),
              0u)
        << SummaryText(summary, Language::English);
}

TEST(RenderTexts, SizesAndSummaries) {
    struct Case {
        std::uint64_t bytes;
        Language language;
        std::string text;
    };
    const std::vector<Case> cases = {
        {0, Language::English, "0.0 MB"},
        {1536 * 1024, Language::French, "1,5 Mo"},
        {3ull << 30, Language::French, "3,0 Go"},
        {999ull << 20, Language::German, "999,0 MB"},
        {1000ull << 20, Language::English, "1.0 GB"},
        {(11ull << 30) / 10 + 1, Language::Italian, "1,1 GB"},
        {5ull << 40, Language::Spanish, "5120,0 GB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatSize(c.bytes, c.language), c.text) << c.bytes;

    RenderSummary summary;
    summary.filesCopied = 12;
    summary.bytesCopied = 3ull << 30;
    summary.filesUnchanged = 4;
    summary.staleRemoved = 2;
    summary.seconds = 61.25;
    EXPECT_EQ(SummaryText(summary, Language::English),
              "Script created: 12 files copied (3.0 GB), 4 unchanged, 2 stale files removed, "
              "in 61.2 s");
    EXPECT_EQ(SummaryText(summary, Language::French),
              "Script cr\xC3\xA9\xC3\xA9 : 12 fichiers copi\xC3\xA9s (3,0 Go), 4 inchang\xC3\xA9s, "
              "2 anciens fichiers retir\xC3\xA9s, en 61,2 s");
    EXPECT_EQ(FillText(RenderStatusTexts, Language::English, 3, {"2.0 GB", "1.5 GB"}),
              "Not enough free space on the target: 2.0 GB needed, 1.5 GB free. Copy anyway?");
}

// The status bar's figures agree with the script writer and the files on disk, after adds,
// deletes and a new project.
TEST_F(RenderPipelineTest, ProjectFiguresFollowTheLists) {
    ProjectFigures figures;
    const std::vector<std::string> folders = {"A", "B", "A/C", "LONGNAME/D"};
    std::mt19937 random(14);
    std::uint64_t expectedBytes = 0;
    for (int step = 0; step < 60; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int action = static_cast<int>(random() % 10);
        if (action < 6) {
            const std::string content(random() % 3000, 'x');
            Copy(folders[random() % folders.size()], "S" + std::to_string(step) + ".MP3", content);
        } else if (action < 8) {
            AddEntry(state.DeleteTree, project().DeleteLinks, folders[random() % folders.size()],
                     dir.File("del/D" + std::to_string(step) + ".MP3"), state.Names);
        } else if (action == 8 && !project().CopyLinks.empty()) {
            // Remove a folder of the Copy List with its files.
            ListNode* folder = state.CopyTree.Root()->Child(0);
            state.CopyTree.Select(folder);
            DeleteSelectedNode(state.CopyTree, project().CopyLinks);
        } else if (action == 9 && step % 3 == 0) {
            state.ResetProject(); // a new or loaded project
        }
        expectedBytes = 0;
        for (const LinkPtr& link : project().CopyLinks)
            expectedBytes += fs::file_size(link->SourcePath);
        const ProjectFigureValues& values = figures.Update(project());
        EXPECT_EQ(values.copyFiles, static_cast<int>(project().CopyLinks.size()));
        EXPECT_EQ(values.deleteFiles, static_cast<int>(project().DeleteLinks.size()));
        EXPECT_EQ(values.copyBytes, expectedBytes);
        EXPECT_EQ(values.scriptCount, ScriptCount(ScriptLines(project())));
    }
    ProjectFigureValues values;
    values.copyFiles = 3;
    values.copyBytes = 5 << 20;
    values.deleteFiles = 1;
    values.scriptCount = 20000;
    EXPECT_EQ(FiguresText(values, Language::English),
              "Copy: 3 files, 5.0 MB \xC2\xB7 Delete: 1 file \xC2\xB7 Script: 20000 / 16384");
    EXPECT_EQ(
        FiguresText(values, Language::Italian),
        "Copia: 3 file, 5,0 MB \xC2\xB7 Cancellazione: 1 file \xC2\xB7 Script: 20000 / 16384");
}

} // namespace
} // namespace stavio
