// SPDX-License-Identifier: GPL-3.0-or-later
// Converts the songs named on the command line into an empty cache folder on one worker per
// core, as a render does ahead of its copy, and prints the time it took and the peak memory.
//
// usage: stavio_convert_bench CACHE_FOLDER SOURCE...

#include "ConversionBatch.h"

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: stavio_convert_bench CACHE_FOLDER SOURCE...\n", stderr);
        return 2;
    }
    stavio::ConversionCache cache(argv[1]);
    const std::vector<std::string> sources(argv + 2, argv + argc);
    const std::atomic<bool> cancel{false};
    const auto start = std::chrono::steady_clock::now();
    const auto songs = stavio::ConvertSongs(cache, sources, {}, cancel);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    int failed = 0;
    for (const auto& song : songs)
        failed += song.entry.result.Ok() ? 0 : 1;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%.3f seconds, %d songs, %d failed, peak memory %ld MB\n", seconds.count(),
                static_cast<int>(songs.size()), failed, usage.ru_maxrss / 1024);
    return failed == 0 ? 0 : 1;
}
