// SPDX-License-Identifier: GPL-3.0-or-later
// A render of songs of other formats: converted once into the cache, copied from it, left
// alone while unchanged, converted again with other settings; a damaged song fails alone.

#include "AudioCheck.h"
#include "CopyTargetFixture.h"
#include "ProjectFigures.h"
#include "Render.h"
#include "SongTags.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace stavio {
namespace {

namespace fs = std::filesystem;
using test::Sample;

class ConversionRenderTest : public test::CopyTargetFixture {};

TEST_F(ConversionRenderTest, ConvertsOnceCopiesFromTheCacheAndReportsTheDamagedSong) {
    const std::string cacheFolder = dir / "cache";
    ConversionCache cache(cacheFolder);
    ConversionSettings settings;
    const std::string flac = dir / "music/flac.flac";
    const std::string damaged = dir / "music/damaged.flac";
    fs::create_directories(dir / "music");
    fs::copy_file(Sample("flac.flac"), flac);
    fs::copy_file(Sample("damaged.flac"), damaged);
    state.CopyTree.Select(state.CopyTree.Root());
    state.CopyTree.Select(AddFolderNode("ROCK", state.CopyTree, project().CopyLinks));
    for (const auto& [source, name] :
         {std::pair{flac, "FLAC.MP3"}, {Sample("song.mp3"), "A.MP3"}, {damaged, "BAD.MP3"}})
        ASSERT_NE(AddFileNodeNamed(source, name, false, state.CopyTree, project().CopyLinks),
                  nullptr);
    auto cacheFiles = [&] {
        return fs::exists(cacheFolder) ? test::FolderEntries(cacheFolder).size() : 0u;
    };

    struct Row {
        const char* what;
        std::function<void()> change;
        bool cancel;
        int songsToConvert; // as the survey tells before the render
        int copied;
        int unchanged;
        std::size_t cacheFiles; // an entry is its MP3 and its key file
    };
    const Row rows[] = {
        {"first render", [] {}, false, 2, 2, 0, 2},
        {"unchanged, with the cache emptied", [&] { cache.Clear(); }, false, 1, 0, 2, 0},
        {"other quality", [&] { settings.quality = ConversionQuality::V5; }, false, 2, 1, 1, 2},
        {"cancelled during the conversion", [&] { settings.embedCover = false; }, true, 2, 0, 0, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.change();
        RenderPipeline render(state, [](const std::string&) { return std::nullopt; });
        render.SetConversion(settings, cacheFolder, 2);
        const RenderSurvey survey = render.Survey();
        EXPECT_EQ(survey.songsToConvert, row.songsToConvert);
        if (row.songsToConvert == 2) { // three seconds at the quality's highest rate at least
            EXPECT_GE(survey.bytesToConvert, 3 * HighestBitRate(settings.quality) * 1000 / 8);
        }
        const std::atomic<bool> cancel{row.cancel};
        render.WriteScript(progress);
        render.CopyMedia(progress, cancel);
        const RenderSummary& summary = render.Summary();
        EXPECT_EQ(summary.cancelled, row.cancel);
        EXPECT_EQ(summary.filesCopied, row.copied);
        EXPECT_EQ(summary.filesUnchanged, row.unchanged);
        EXPECT_EQ(cacheFiles(), row.cacheFiles);
        EXPECT_EQ(fs::exists(target + "/SYSTEM/SCRIPT.TXT"), !row.cancel);
        EXPECT_FALSE(fs::exists(target + "/SYSTEM/~SCRIPT~.TMP"));
        if (row.cancel) {
            EXPECT_TRUE(summary.failures.empty());
            continue;
        }
        ASSERT_EQ(summary.failures.size(), 1u);
        EXPECT_EQ(summary.failures[0].source, damaged);
        EXPECT_EQ(summary.failures[0].reason,
                  ConversionFailureText({ConversionStatus::Undecodable}, state.CurrentLanguage));
        const auto converted = cache.Find(flac, settings);
        if (converted) {
            EXPECT_EQ(test::ReadBytes(target + "/00000001/FLAC.MP3"), test::ReadBytes(*converted));
        }
    }
}

TEST_F(ConversionRenderTest, TheFiguresCountASongToConvertByItsEstimate) {
    const std::string flac = dir / "flac.flac";
    fs::copy_file(Sample("flac.flac"), flac);
    state.CopyTree.Select(AddFolderNode("ROCK", state.CopyTree, project().CopyLinks));
    ASSERT_NE(AddFileNodeNamed(flac, "FLAC.MP3", false, state.CopyTree, project().CopyLinks),
              nullptr);
    ProjectFigures figures;
    // Never converted: its own size would overstate a lossless source many times.
    EXPECT_EQ(figures.Update(project()).copyBytes,
              EstimatedSize(SongLengthMs(flac), LoadConversionSettings().quality));
    EXPECT_NE(figures.Values().copyBytes, fs::file_size(flac));
}

} // namespace
} // namespace stavio
