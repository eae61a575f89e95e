// SPDX-License-Identifier: GPL-3.0-or-later
// Naming the files of a large directory: one listing, then a table look-up per file.

#include "NamingService.h"
#include "ShortNames.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFileCount = 10'000;

std::string FileName(int i) {
    // Long names with spaces: every one needs an alias, and most share their first letters.
    return "Track number " + std::to_string(i) + " - Artist.mp3";
}

class NamedFolder {
public:
    NamedFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "stavio-bench-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        // The aliases are remembered beside the files, never in the user's home.
        names_ = std::make_unique<stavio::NamingService>(folder_ + "/.state");
        for (int i = 0; i < kFileCount; ++i) {
            paths_.push_back(folder_ + "/" + FileName(i));
            std::ofstream(paths_.back());
        }
        // Let the folder's time stamp settle, as it has for a folder the user browses.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ~NamedFolder() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    const std::string& Folder() const { return folder_; }
    const std::vector<std::string>& Paths() const { return paths_; }
    stavio::NamingService& Names() { return *names_; }

private:
    std::string folder_;
    std::unique_ptr<stavio::NamingService> names_;
    std::vector<std::string> paths_;
};

// Every file of the folder named once per iteration; each iteration starts on a folder
// the cache has not seen, so the listing is part of the measure.
void BM_ShortNameFromPathEveryFile(benchmark::State& state) {
    NamedFolder folder;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // A change of the folder makes the cached table stale.
        const std::string marker = folder.Folder() + "/marker" + std::to_string(round++);
        std::ofstream(marker).close();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        state.ResumeTiming();
        for (const auto& path : folder.Paths())
            benchmark::DoNotOptimize(folder.Names().ShortNameFromPath(path));
    }
    state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_ShortNameFromPathEveryFile)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same after a new sibling appeared each time: the 10,000 remembered aliases are kept,
// the newcomer takes a free number, and the memory of 10,000 aliases is written again.
void BM_ShortNameFromPathEveryFileNewSibling(benchmark::State& state) {
    NamedFolder folder;
    for (const auto& path : folder.Paths()) // first sight: every alias remembered
        benchmark::DoNotOptimize(folder.Names().ShortNameFromPath(path));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(folder.Folder() + "/Track number new " + std::to_string(round++) +
                      " - Artist.mp3")
            .close();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        state.ResumeTiming();
        for (const auto& path : folder.Paths())
            benchmark::DoNotOptimize(folder.Names().ShortNameFromPath(path));
    }
    state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_ShortNameFromPathEveryFileNewSibling)->Unit(benchmark::kMillisecond)->Iterations(5);

// The memory of a large library, 100 folders of 1,000 aliases: written whole (after a change
// seen outside a batch), and read whole (the first folder a process names).

// A folder of the benchmarks' own for the memory file, removed when the program ends.
struct MemoryFolder {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("stavio-bench-memory-" + std::to_string(::getpid())))
                           .string();
    MemoryFolder() { std::filesystem::create_directories(path); }
    ~MemoryFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string File() const { return path + "/short-names"; }
};

const MemoryFolder& TheMemoryFolder() {
    static MemoryFolder folder;
    return folder;
}

std::vector<stavio::AliasTable> LibraryAliases() {
    std::vector<stavio::AliasTable> tables(100);
    for (int f = 0; f < 100; ++f)
        for (int i = 0; i < 1000; ++i)
            tables[f].emplace(FileName(i), "TR~" + std::to_string(i + 1) + ".MP3");
    return tables;
}

void StoreLibrary(stavio::NameMemory& memory, const std::vector<stavio::AliasTable>& tables) {
    memory.Hold();
    for (int f = 0; f < 100; ++f)
        memory.Store("/music/Artist " + std::to_string(f), tables[f]);
    memory.Release();
}

void BM_NameMemoryWrite100000Aliases(benchmark::State& state) {
    stavio::NameMemory memory(TheMemoryFolder().File());
    const std::vector<stavio::AliasTable> tables = LibraryAliases();
    StoreLibrary(memory, tables);
    int round = 0;
    for (auto _ : state) // one folder changes, the whole file is written again
        memory.Store("/music/Artist 0", {{"New " + std::to_string(round++), "NEW~1"}});
    memory.Store("/music/Artist 0", tables[0]);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(memory.File()));
}
BENCHMARK(BM_NameMemoryWrite100000Aliases)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NameMemoryRead100000Aliases(benchmark::State& state) {
    {
        stavio::NameMemory writer(TheMemoryFolder().File());
        StoreLibrary(writer, LibraryAliases());
    }
    for (auto _ : state) {
        stavio::NameMemory memory(TheMemoryFolder().File());
        const stavio::AliasTable* aliases = memory.Find("/music/Artist 7");
        if (aliases == nullptr || aliases->size() != 1000)
            state.SkipWithError("the memory was not read");
        benchmark::DoNotOptimize(aliases);
    }
}
BENCHMARK(BM_NameMemoryRead100000Aliases)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GenerateShortNames(benchmark::State& state) {
    std::vector<std::string> names;
    for (int i = 0; i < kFileCount; ++i)
        names.push_back(FileName(i));
    for (auto _ : state)
        benchmark::DoNotOptimize(stavio::GenerateShortNames(names));
    state.SetItemsProcessed(state.iterations() * kFileCount);
}
BENCHMARK(BM_GenerateShortNames)->Unit(benchmark::kMillisecond);

} // namespace
