// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving a project of 100,000 links, and writing its script.
//
// The source files exist (100 folders of 1,000 empty files, made once per process), so the
// load derives every name from the file system as it does for a real library. Half of the
// links go to the Copy List, half to the Delete List, so both script sections are written.
#include "ProgramState.h"
#include "ProgressDisplay.h"
#include "ProjectFile.h"
#include "Script.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

using namespace stavio;

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;

class Library {
public:
    Library() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "stavio-bench-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        // The aliases are remembered beside the library, never in the user's home.
        ::setenv("XDG_STATE_HOME", (root_ + "/.state").c_str(), 1);
        running_ = std::make_unique<ProgramState>(root_ + "/");
        std::ofstream project(ProjectPath(), std::ios::binary);
        project << "Group Of Program File of KELVO\r\n*****\r\nBench\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                << "1\r\n...\r\n"
                << root_ << "/target/\r\n*****\r\n"
                << kFolders / 2 * kFilesPerFolder << "\r\n"
                << kFolders / 2 * kFilesPerFolder << "\r\n";
        for (int f = 0; f < kFolders; ++f) {
            char folder[64];
            std::snprintf(folder, sizeof folder, "/Artist %03d", f);
            const std::string dir = root_ + folder;
            std::filesystem::create_directory(dir);
            for (int i = 0; i < kFilesPerFolder; ++i) {
                char name[64];
                std::snprintf(name, sizeof name, "/Track_%04d.mp3", i);
                std::ofstream(dir + name);
                char group[64];
                std::snprintf(group, sizeof group, "GROUP%02d\\ART%03d\\", f / 10, f);
                project << dir << name << "\r\nX\r\n" << group << "\r\n";
            }
        }
        std::filesystem::create_directory(root_ + "/target");
        // The name cache trusts a folder only once its last change is a little in the past.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ~Library() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    std::string ProjectPath() const { return root_ + "/bench.scp"; }
    std::string Root() const { return root_; }
    // The state of the running program: its name tables stay warm from one load to the next.
    ProgramState& Running() const { return *running_; }

    std::unique_ptr<ProgramState> Load() const {
        auto state = std::make_unique<ProgramState>(root_ + "/");
        state->ResetProject();
        NullProgress progress;
        LoadProjectFile(*state, ProjectPath(), progress);
        return state;
    }

private:
    std::string root_;
    std::unique_ptr<ProgramState> running_;
};

const Library& TheLibrary() {
    static Library library;
    return library;
}

// One timed load of the library's project into the running program's state, or into a fresh
// one as a new process would, entered and left with the timing paused; the state's release is
// not timed. Says so when links are missing.
void TimedLoad(benchmark::State& st, const Library& library, bool newProcess = false) {
    std::unique_ptr<ProgramState> fresh;
    if (newProcess)
        fresh = std::make_unique<ProgramState>(library.Root() + "/");
    ProgramState* state = newProcess ? fresh.get() : &library.Running();
    state->ResetProject();
    NullProgress progress;
    st.ResumeTiming();
    LoadProjectFile(*state, library.ProjectPath(), progress);
    st.PauseTiming();
    if (state->CurrentProject->CopyLinks.size() + state->CurrentProject->DeleteLinks.size() !=
        kFolders * kFilesPerFolder)
        st.SkipWithError("links missing after the load");
}

void BM_LoadProject100000Links(benchmark::State& st) {
    const Library& library = TheLibrary();
    st.PauseTiming();
    TimedLoad(st, library); // warms the name tables, as browsing the library in the explorer does
    st.ResumeTiming();
    for (auto _ : st) {
        st.PauseTiming();
        TimedLoad(st, library);
        st.ResumeTiming();
    }
}
BENCHMARK(BM_LoadProject100000Links)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadProject100000LinksColdNames(benchmark::State& st) {
    const Library& library = TheLibrary();
    int round = 0;
    for (auto _ : st) {
        st.PauseTiming();
        // Touching each folder makes its name table stale, so the load lists it again.
        for (int f = 0; f < kFolders; ++f) {
            char folder[64];
            std::snprintf(folder, sizeof folder, "/Artist %03d/touch%d", f, round);
            std::ofstream(library.Root() + folder);
        }
        ++round;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        TimedLoad(st, library);
        st.ResumeTiming();
    }
}
BENCHMARK(BM_LoadProject100000LinksColdNames)->Unit(benchmark::kMillisecond)->UseRealTime();

// As the first load of a new process: no name table yet, and the remembered aliases of the
// whole library (100,000) read from their file first.
void BM_LoadProject100000LinksNewProcess(benchmark::State& st) {
    const Library& library = TheLibrary();
    library.Load(); // every alias remembered
    for (auto _ : st) {
        st.PauseTiming();
        TimedLoad(st, library, true); // no tables, and the memory read afresh
        st.ResumeTiming();
    }
}
BENCHMARK(BM_LoadProject100000LinksNewProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveProject100000Links(benchmark::State& st) {
    const Library& library = TheLibrary();
    auto state = library.Load();
    const std::string path = library.Root() + "/saved.scp";
    NullProgress progress;
    for (auto _ : st)
        SaveProjectFile(*state, path, progress);
    st.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_SaveProject100000Links)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteScript100000Links(benchmark::State& st) {
    const Library& library = TheLibrary();
    auto state = library.Load();
    const std::string file = ScriptFileName(state->CurrentProject->TargetPath);
    NullProgress progress;
    int count = 0;
    for (auto _ : st)
        count = WriteScript(*state, file, progress);
    st.counters["count"] = count;
}
BENCHMARK(BM_WriteScript100000Links)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
