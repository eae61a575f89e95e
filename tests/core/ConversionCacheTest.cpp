// SPDX-License-Identifier: GPL-3.0-or-later
// The cache of converted songs: what hits and what converts again, what a failure leaves,
// pruning, and a batch on several workers with a damaged song among good ones.

#include "AudioCheck.h"
#include "ConversionBatch.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <thread>

namespace stavio {
namespace {

namespace fs = std::filesystem;
using test::Sample;
using test::TempDir;

// The songs the cache holds.
int Entries(const ConversionCache& cache) {
    int count = 0;
    for (const std::string& name : test::FolderEntries(cache.Folder()))
        count += name.ends_with(".mp3") ? 1 : 0;
    return count;
}

TEST(ConversionCache, ConvertsOnceUntilTheSourceOrTheSettingsChange) {
    TempDir dir;
    const std::string flac = dir / "music/song.flac";
    fs::create_directories(dir / "music");
    fs::copy_file(Sample("flac.flac"), flac);
    ConversionCache cache(dir / "cache");
    ConversionSettings settings;
    const std::atomic<bool> cancel{false};
    std::string source = flac;
    struct Step {
        const char* what;
        std::function<void()> change;
        bool converts;
    };
    const Step steps[] = {
        {"first time", [] {}, true},
        {"unchanged", [] {}, false},
        {"through a symbolic link",
         [&] {
             fs::create_symlink(flac, dir / "link.flac");
             source = dir / "link.flac";
         },
         false},
        {"quality V5", [&] { settings.quality = ConversionQuality::V5; }, true},
        {"without cover", [&] { settings.embedCover = false; }, true},
        {"back to the first settings", [&] { settings = {}; }, false},
        {"cache limit", [&] { settings.cacheLimitBytes = 1 << 30; }, false},
        {"source modified, same size",
         [&] {
             const timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 123}};
             ::utimensat(AT_FDCWD, flac.c_str(), times, 0);
         },
         true},
        {"source replaced",
         [&] { fs::copy_file(Sample("vorbis.ogg"), flac, fs::copy_options::overwrite_existing); },
         true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        const auto entry = cache.Convert(source, settings, cancel);
        ASSERT_TRUE(entry.result.Ok());
        EXPECT_EQ(entry.converted, step.converts);
        EXPECT_EQ(entry.result.bytes, fs::file_size(entry.path));
        EXPECT_TRUE(cache.Contains(flac, settings));
    }
    EXPECT_EQ(Entries(cache), 5);
}

TEST(ConversionCache, AFailedOrCancelledConversionLeavesNoEntry) {
    TempDir dir;
    ConversionCache cache(dir / "cache");
    const std::atomic<bool> cancelled{true};
    const std::atomic<bool> running{false};
    EXPECT_FALSE(cache.Convert(Sample("damaged.flac"), {}, running).result.Ok());
    EXPECT_EQ(cache.Convert(Sample("flac.flac"), {}, cancelled).result.status,
              ConversionStatus::Cancelled);
    EXPECT_FALSE(cache.Contains(Sample("flac.flac"), {}));
    EXPECT_TRUE(test::FolderEntries(cache.Folder()).empty());
}

TEST(ConversionCache, PruningRemovesTheLeastRecentlyUsedFirst) {
    TempDir dir;
    ConversionCache cache(dir / "cache");
    const std::atomic<bool> cancel{false};
    const std::string songs[] = {Sample("flac.flac"), Sample("vorbis.ogg"), Sample("opus.opus")};
    for (const std::string& song : songs) {
        ASSERT_TRUE(cache.Convert(song, {}, cancel).result.Ok());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    cache.Find(songs[0], {}); // now the most recently used
    const std::uint64_t size = cache.SizeBytes();
    EXPECT_EQ(cache.Prune(size), 0);
    EXPECT_EQ(cache.Prune(size - 1), 1);
    EXPECT_FALSE(cache.Contains(songs[1], {}));
    EXPECT_EQ(cache.Prune(0, {*cache.Find(songs[2], {})}), 1); // kept: a render copies it
    EXPECT_TRUE(cache.Contains(songs[2], {}));
    cache.Clear();
    EXPECT_EQ(cache.SizeBytes(), 0u);
}

TEST(ConversionCache, ABatchConvertsEachSongOnceAndReportsTheDamagedOne) {
    TempDir dir;
    ConversionCache cache(dir / "cache");
    const std::atomic<bool> cancel{false};
    const std::vector<std::string> sources = {Sample("flac.flac"), Sample("damaged.flac"),
                                              Sample("vorbis.ogg"), Sample("song.mp3"),
                                              Sample("flac.flac")};
    for (const int expectedToConvert : {3, 1}) { // the damaged song is tried again
        std::vector<std::pair<int, int>> told;
        const auto songs = ConvertSongs(
            cache, sources, {}, cancel,
            [&](int done, int total) { told.emplace_back(done, total); }, 2);
        ASSERT_EQ(songs.size(), sources.size());
        EXPECT_TRUE(songs[0].entry.result.Ok());
        EXPECT_EQ(songs[1].entry.result.status, ConversionStatus::Undecodable);
        EXPECT_TRUE(songs[2].entry.result.Ok());
        EXPECT_EQ(songs[3].entry.result.status, ConversionStatus::Mp3Source);
        EXPECT_EQ(songs[4].entry.path, songs[0].entry.path);
        EXPECT_EQ(told.front(), std::make_pair(0, expectedToConvert));
        EXPECT_EQ(told.back(), std::make_pair(expectedToConvert, expectedToConvert));
    }
    EXPECT_EQ(Entries(cache), 2);
}

TEST(ConversionCache, CancelStopsEveryWorkerWithinHalfASecond) {
    TempDir dir;
    std::vector<std::string> sources;
    for (const char* name : {"a.flac", "b.flac", "c.flac"}) {
        fs::copy_file(Sample("long.flac"), dir / name);
        sources.push_back(dir / name);
    }
    ConversionCache cache(dir / "cache");
    std::atomic<bool> cancel{false};
    std::chrono::steady_clock::time_point cancelled;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancelled = std::chrono::steady_clock::now();
        cancel = true;
    });
    const auto songs = ConvertSongs(cache, sources, {}, cancel, {}, 2);
    const auto stopped = std::chrono::steady_clock::now();
    canceller.join();
    EXPECT_LT(stopped - cancelled, std::chrono::milliseconds(500));
    for (const SongConversion& song : songs)
        EXPECT_EQ(song.entry.result.status, ConversionStatus::Cancelled);
    EXPECT_EQ(Entries(cache), 0);
}

} // namespace
} // namespace stavio
