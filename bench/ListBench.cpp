// SPDX-License-Identifier: GPL-3.0-or-later
// Sibling checks, link removal and the modified test on large lists.
#include "ListOperations.h"
#include "ProgramState.h"

#include <benchmark/benchmark.h>

using namespace stavio;

namespace {

// Media files named directly, as AddFileNode does after naming.
void AddNamedFiles(ListTree& tree, ListNode* folder, LinkList& links, int count, int offset) {
    for (int i = 0; i < count; ++i) {
        const std::string name = "F" + std::to_string(offset + i) + ".MP3";
        if (!folder->ChildNamed(name)) {
            ListNode* node = tree.AddChild(folder, name, NodeKind::MediaFile);
            links.push_back(std::make_shared<const TNodeFileLink>(node, "/music/" + name));
        }
    }
}

void BM_Add10000FilesToOneFolder(benchmark::State& st) {
    for (auto _ : st) {
        ListTree tree;
        LinkList links;
        tree.Select(tree.Root());
        ListNode* folder = AddFolderNode("A", tree, links);
        AddNamedFiles(tree, folder, links, 10000, 0);
        benchmark::DoNotOptimize(links.data());
    }
}
BENCHMARK(BM_Add10000FilesToOneFolder)->Unit(benchmark::kMillisecond);

void BM_DeleteFolderOf10000Among100000Links(benchmark::State& st) {
    for (auto _ : st) {
        st.PauseTiming();
        auto tree_ptr = std::make_unique<ListTree>();
        auto links_ptr = std::make_unique<LinkList>();
        ListTree& tree = *tree_ptr;
        LinkList& links = *links_ptr;
        ListNode* victim = nullptr;
        for (int f = 0; f < 10; ++f) {
            ListNode* folder =
                tree.AddChild(tree.Root(), "D" + std::to_string(f), NodeKind::Folder);
            AddNamedFiles(tree, folder, links, 10000, f * 10000);
            if (f == 5)
                victim = folder;
        }
        tree.Select(victim);
        st.ResumeTiming();
        DeleteSelectedNode(tree, links);
        st.PauseTiming();
        benchmark::DoNotOptimize(links.size());
        tree_ptr.reset(); // tearing down the rest is not part of the deletion
        links_ptr.reset();
        st.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteFolderOf10000Among100000Links)->Unit(benchmark::kMillisecond);

void BM_IsModifiedOn100000Links(benchmark::State& st) {
    ProgramState state;
    ListNode* folder = state.CopyTree.AddChild(state.CopyTree.Root(), "A", NodeKind::Folder);
    AddNamedFiles(state.CopyTree, folder, state.CurrentProject->CopyLinks, 100000, 0);
    state.RecordSavedState();
    for (auto _ : st)
        benchmark::DoNotOptimize(state.IsModified());
}
BENCHMARK(BM_IsModifiedOn100000Links)->Unit(benchmark::kMillisecond);

} // namespace
