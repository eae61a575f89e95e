// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The songs of a render that need converting, converted side by side on as many workers as
// there are cores, ahead of the copy.

#include "ConversionCache.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace stavio {

struct SongConversion {
    std::string source;
    ConversionCache::Entry entry; // entry.path is the MP3 to copy when entry.result.Ok()
};

// converted of toConvert songs done; called on the calling thread.
using ConversionProgress = std::function<void(int converted, int toConvert)>;

// The cache entry of every source, in the order of sources. The sources already in the cache
// are found first; progress is then told (0, n) for the n songs left to convert, and again
// after each of them. MP3 sources come back as Mp3Source, a source listed twice is converted
// once. cancel stops the workers within a fraction of a second; the songs they did not
// finish come back as Cancelled and leave no entry. At the end the cache is pruned to the
// settings' limit, keeping every entry of this batch. workers 0: one per core.
std::vector<SongConversion> ConvertSongs(ConversionCache& cache,
                                         const std::vector<std::string>& sources,
                                         const ConversionSettings& settings,
                                         const std::atomic<bool>& cancel,
                                         const ConversionProgress& progress = {}, int workers = 0);

} // namespace stavio
