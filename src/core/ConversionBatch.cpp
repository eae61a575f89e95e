// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConversionBatch.h"

#include "PathDrop.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

namespace stavio {

std::vector<SongConversion> ConvertSongs(ConversionCache& cache,
                                         const std::vector<std::string>& sources,
                                         const ConversionSettings& settings,
                                         const std::atomic<bool>& cancel,
                                         const ConversionProgress& progress, int workers) {
    std::vector<SongConversion> songs(sources.size());
    std::vector<std::size_t> toConvert; // the first index of each source to convert
    std::map<std::string, std::size_t> firstOf;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        songs[i].source = sources[i];
        if (IsMp3Name(sources[i])) {
            songs[i].entry.result.status = ConversionStatus::Mp3Source;
            continue;
        }
        if (!firstOf.emplace(sources[i], i).second)
            continue;
        if (const auto found = cache.Find(sources[i], settings)) {
            songs[i].entry.path = *found;
            std::error_code error;
            const auto bytes = std::filesystem::file_size(*found, error);
            songs[i].entry.result.bytes = error ? 0 : bytes;
        } else {
            toConvert.push_back(i);
        }
    }

    const int total = static_cast<int>(toConvert.size());
    if (progress)
        progress(0, total);
    if (workers <= 0)
        workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    workers = std::min(workers, total);

    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;
    int done = 0;
    auto work = [&] {
        for (;;) {
            std::size_t index;
            {
                std::lock_guard lock(mutex);
                if (next == toConvert.size() || cancel.load())
                    return;
                index = toConvert[next++];
            }
            ConversionCache::Entry entry = cache.Convert(sources[index], settings, cancel);
            std::lock_guard lock(mutex);
            songs[index].entry = std::move(entry);
            ++done;
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back(work);
    {
        std::unique_lock lock(mutex);
        int told = 0;
        while (done < total && !(cancel.load() && next == static_cast<std::size_t>(done))) {
            changed.wait_for(lock, std::chrono::milliseconds(100));
            if (progress && done != told) {
                told = done;
                lock.unlock();
                progress(told, total);
                lock.lock();
            }
        }
    }
    for (std::thread& thread : threads)
        thread.join();

    std::vector<std::string> keep;
    for (std::size_t i = 0; i < songs.size(); ++i) {
        const auto first = firstOf.find(sources[i]);
        if (first != firstOf.end() && first->second != i)
            songs[i].entry = songs[first->second].entry;
        if (!songs[i].entry.path.empty() && songs[i].entry.result.Ok())
            keep.push_back(songs[i].entry.path);
        // Songs the workers never started after a cancel.
        if (cancel.load() && songs[i].entry.path.empty() &&
            songs[i].entry.result.status == ConversionStatus::Done)
            songs[i].entry.result.status = ConversionStatus::Cancelled;
    }
    cache.Prune(settings.cacheLimitBytes, keep);
    return songs;
}

} // namespace stavio
