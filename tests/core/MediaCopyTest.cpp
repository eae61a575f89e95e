// SPDX-License-Identifier: GPL-3.0-or-later
#include "MediaCopy.h"
#include "CopyTargetFixture.h"

#include "ProjectTestSupport.h"
#include "RecordingProgress.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace stavio {
namespace {

using test::AddEntry;
using test::ReadBytes;
using test::RecordingProgress;
using test::TempDir;

class MediaCopyTest : public test::CopyTargetFixture {};

// SONG1 in ROCK, TAKE1 in JAZZ\LIVE, SONG2 in ROCK again: three runs, three folders.
TEST_F(MediaCopyTest, CopiesIntoTheScriptsNumberedFolders) {
    Copy("ROCK", "SONG1.MP3", "one");
    Copy("JAZZ/LIVE", "TAKE1.MP3", "take");
    Copy("ROCK", "SONG2.MP3", "two!");

    const CopyReport report = CopyMedia(state, progress);
    EXPECT_EQ(ReadBytes(target + "/00000001/SONG1.MP3"), "one");
    EXPECT_EQ(ReadBytes(target + "/00000002/TAKE1.MP3"), "take");
    EXPECT_EQ(ReadBytes(target + "/00000003/SONG2.MP3"), "two!");
    EXPECT_EQ(report.filesCopied, 3);
    EXPECT_EQ(report.bytesCopied, 11u);
    EXPECT_TRUE(report.failures.empty());

    // The bar moves forward only, and is full once everything is on the disk.
    EXPECT_EQ(progress.captions.back(), "MP3 File Copy...");
    EXPECT_TRUE(progress.barVisible);
    EXPECT_FALSE(progress.labelVisible);
    EXPECT_EQ(progress.maximum, 1000);
    EXPECT_EQ(progress.positions.back(), 1000);
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
}

TEST_F(MediaCopyTest, PlanNumbersRunsLikeTheScript) {
    Copy("A", "X.MP3", "");
    Copy("A", "Y.MP3", "");
    Copy("B/C", "Z.MP3", "");
    Copy("A", "W.MP3", "");
    project().TargetPath = "/media/player"; // with or without the trailing "/"
    const std::vector<MediaCopyItem> plan = MediaCopyPlan(project());
    ASSERT_EQ(plan.size(), 4u);
    EXPECT_EQ(plan[0].destinationFolder, "/media/player/00000001");
    EXPECT_EQ(plan[1].destination, "/media/player/00000001/Y.MP3");
    EXPECT_EQ(plan[2].destination, "/media/player/00000002/Z.MP3");
    EXPECT_EQ(plan[3].destination, "/media/player/00000003/W.MP3");
    EXPECT_EQ(plan[3].source, project().CopyLinks[3]->SourcePath);
}

TEST_F(MediaCopyTest, NothingToCopyEndsAtOnce) {
    const CopyReport report = CopyMedia(state, progress);
    EXPECT_EQ(report.filesCopied, 0);
    EXPECT_EQ(progress.maximum, 0);
    EXPECT_EQ(progress.position, 0);
    EXPECT_TRUE(std::filesystem::is_empty(target));
}

// A failed copy is recorded and the next file is copied all the same.
TEST_F(MediaCopyTest, FailuresAreRecordedAndTheCopyGoesOn) {
    const std::string gone = Copy("ROCK", "GONE.MP3", "g");
    Copy("ROCK", "KEPT.MP3", "k");
    std::filesystem::remove(gone);

    const CopyReport report = CopyMedia(state, progress);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].source, gone);
    EXPECT_EQ(report.failures[0].destination, target + "/00000001/GONE.MP3");
    EXPECT_EQ(report.failures[0].reason, "Fichier introuvable");
    EXPECT_FALSE(std::filesystem::exists(target + "/00000001/GONE.MP3"));
    EXPECT_EQ(ReadBytes(target + "/00000001/KEPT.MP3"), "k");
    EXPECT_EQ(report.filesCopied, 1);
    EXPECT_EQ(progress.position, 1000);
}

TEST_F(MediaCopyTest, TargetThatIsAFileFailsEveryCopy) {
    Copy("ROCK", "A.MP3", "a");
    project().TargetPath = dir.File("not-a-folder");
    const CopyReport report = CopyMedia(state, progress);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].reason, "Chemin d'accès introuvable");
    EXPECT_EQ(report.filesCopied, 0);
}

TEST_F(MediaCopyTest, OverwritesAnExistingFileCompletely) {
    Copy("ROCK", "A.MP3", "new");
    std::filesystem::create_directory(target + "/00000001");
    test::WriteBytes(target + "/00000001/A.MP3", std::string(100000, 'o'));
    EXPECT_TRUE(CopyMedia(state, progress).failures.empty());
    EXPECT_EQ(ReadBytes(target + "/00000001/A.MP3"), "new");
}

// Rendering from an earlier render into the same target: the source is the destination.
TEST_F(MediaCopyTest, SourceThatIsTheDestinationIsLeftIntact) {
    std::filesystem::create_directory(target + "/00000001");
    const std::string inPlace = dir.File("player/00000001/SONG.MP3", "music");
    ASSERT_NE(AddEntry(state.CopyTree, project().CopyLinks, "ROCK", inPlace, state.Names), nullptr);
    const CopyReport report = CopyMedia(state, progress);
    EXPECT_TRUE(report.failures.empty());
    EXPECT_EQ(report.filesCopied, 1);
    EXPECT_EQ(ReadBytes(inPlace), "music");
}

TEST_F(MediaCopyTest, LargeFileArrivesWhole) {
    std::string content(5 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 131 % 251);
    Copy("ROCK", "BIG.MP3", content);
    const CopyReport report = CopyMedia(state, progress);
    EXPECT_EQ(report.bytesCopied, content.size());
    EXPECT_TRUE(ReadBytes(target + "/00000001/BIG.MP3") == content);
}

} // namespace
} // namespace stavio
