// SPDX-License-Identifier: GPL-3.0-or-later
// The render of 1,000 songs of 2 MB (2 GB): the first render into an empty target against
// a render of the same project onto the target it made, and the status bar's figures on a
// project of 100,000 entries.
//
// The songs are made once, in one temporary folder (about 4 GB with the copies), and
// removed when the program ends; STAVIO_BENCH_DIR chooses the parent folder.

#include "ListOperations.h"
#include "ProjectFigures.h"
#include "Render.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

namespace {

namespace fs = std::filesystem;
using namespace stavio;

constexpr int kSongs = 1000;
constexpr size_t kSongSize = 2u << 20;

// The songs and a project of ten player folders of 100 songs, made on first use.
class SongLibrary {
public:
    static SongLibrary& Get() {
        static SongLibrary library;
        return library;
    }
    ~SongLibrary() { fs::remove_all(folder_); }

    ProgramState& State() { return *state_; }
    std::string Target() const { return folder_ + "/target"; }

private:
    SongLibrary() {
        const char* parent = std::getenv("STAVIO_BENCH_DIR");
        std::string pattern = (parent ? std::string(parent) : fs::temp_directory_path().string()) +
                              "/stavio-render-XXXXXX";
        folder_ = ::mkdtemp(pattern.data());
        fs::create_directory(folder_ + "/src");
        std::mt19937_64 random(42);
        std::string bytes(kSongSize, '\0');
        state_ = std::make_unique<ProgramState>(folder_ + "/");
        state_->ResetProject();
        state_->CurrentProject->TargetPath = Target();
        ListTree& tree = state_->CopyTree;
        ListNode* album = nullptr;
        for (int i = 0; i < kSongs; ++i) {
            for (size_t at = 0; at < bytes.size(); at += 8)
                *reinterpret_cast<std::uint64_t*>(&bytes[at]) = random();
            char name[32];
            std::snprintf(name, sizeof name, "TRACK%03d.MP3", i);
            const std::string source = folder_ + "/src/" + name;
            std::ofstream(source, std::ios::binary)
                .write(bytes.data(), std::streamsize(bytes.size()));
            if (i % 100 == 0) {
                char albumName[16];
                std::snprintf(albumName, sizeof albumName, "ALBUM%02d", i / 100);
                album = tree.AddChild(tree.Root(), albumName, NodeKind::Folder);
            }
            const ListNode* node = tree.AddChild(album, name, NodeKind::MediaFile);
            state_->CurrentProject->CopyLinks.push_back(
                std::make_shared<TNodeFileLink>(node, source));
        }
        ::sync();
    }

    std::string folder_;
    std::unique_ptr<ProgramState> state_;
};

void Render(ProgramState& state, benchmark::State& bench) {
    RenderPipeline render(state);
    NullProgress progress;
    const std::atomic<bool> never{false};
    render.WriteScript(progress);
    render.CopyMedia(progress, never);
    const RenderSummary& summary = render.Summary();
    if (!summary.failures.empty())
        bench.SkipWithError("a copy failed");
    bench.counters["copied"] = summary.filesCopied;
    bench.counters["unchanged"] = summary.filesUnchanged;
}

// Into an empty target: every byte is copied and flushed to the disk.
void BM_RenderFirst(benchmark::State& bench) {
    SongLibrary& library = SongLibrary::Get();
    for (auto _ : bench) {
        bench.PauseTiming();
        fs::remove_all(library.Target());
        fs::create_directory(library.Target());
        ::sync();
        bench.ResumeTiming();
        Render(library.State(), bench);
    }
    bench.SetBytesProcessed(static_cast<std::int64_t>(bench.iterations()) * kSongs * kSongSize);
}
BENCHMARK(BM_RenderFirst)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Onto the target the first render made: every song is found unchanged.
void BM_RenderUnchanged(benchmark::State& bench) {
    SongLibrary& library = SongLibrary::Get();
    if (!fs::exists(library.Target() + "/00000010/TRACK999.MP3"))
        Render(library.State(), bench);
    for (auto _ : bench)
        Render(library.State(), bench);
}
BENCHMARK(BM_RenderUnchanged)->Unit(benchmark::kMillisecond)->UseRealTime();

// The figures of 100,000 entries (50,000 in each list) brought up to date after one change;
// the time is that of two updates, one after an add and one after a delete.
void BM_StatusBarUpdate(benchmark::State& bench) {
    ProgramState state("/nonexistent/");
    state.ResetProject();
    TProjectClass& project = *state.CurrentProject;
    for (ListTree* tree : {&state.CopyTree, &state.DeleteTree}) {
        LinkList& links = tree == &state.CopyTree ? project.CopyLinks : project.DeleteLinks;
        for (int a = 0; a < 100; ++a) {
            char folder[16];
            std::snprintf(folder, sizeof folder, "ARTIST%02d", a);
            ListNode* artist = tree->AddChild(tree->Root(), folder, NodeKind::Folder);
            ListNode* album = tree->AddChild(artist, "ALBUM", NodeKind::Folder);
            for (int i = 0; i < 500; ++i) {
                char name[16];
                std::snprintf(name, sizeof name, "T%07d.MP3", i);
                links.push_back(std::make_shared<TNodeFileLink>(
                    tree->AddChild(album, name, NodeKind::MediaFile),
                    "/nonexistent/" + std::string(folder) + "/" + name));
            }
        }
    }
    ProjectFigures figures;
    figures.Update(project); // every size read once, as after a load
    ListNode* album = state.CopyTree.Root()->Child(0)->Child(0);
    int added = 0;
    for (auto _ : bench) {
        // Add a song and take it away again: two changes per round; only the updates count.
        bench.PauseTiming();
        char name[16];
        std::snprintf(name, sizeof name, "N%07d.MP3", added++);
        project.CopyLinks.push_back(std::make_shared<TNodeFileLink>(
            state.CopyTree.AddChild(album, name, NodeKind::MediaFile), "/nonexistent/new.mp3"));
        bench.ResumeTiming();
        benchmark::DoNotOptimize(figures.Update(project).scriptCount);
        bench.PauseTiming();
        state.CopyTree.Select(album->Child(album->ChildCount() - 1));
        DeleteSelectedNode(state.CopyTree, project.CopyLinks);
        bench.ResumeTiming();
        benchmark::DoNotOptimize(figures.Update(project).scriptCount);
    }
    bench.SetItemsProcessed(2 * static_cast<std::int64_t>(bench.iterations()));
}
BENCHMARK(BM_StatusBarUpdate)->Unit(benchmark::kMillisecond);

} // namespace
