// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar's figures read beside the window, and entries greyed as their sources go.

#include "ListFixture.h"
#include "ListOperations.h"
#include "ProjectFigures.h"
#include "TreeRecorder.h"

#include <gtest/gtest.h>

using namespace stavio;

namespace {

struct Fx : test::ListFixture {
    ProjectFigures figures;
    Fx() {
        state.ResetProject();
        AddFolderNode("F", tree, links());
        for (const char* name : {"A", "B", "C"})
            Add(name);
        figures.Update(*state.CurrentProject);
    }
    void Add(const std::string& name) {
        const ListHistory::Edit edit(state.History, tree); // one step of Undo
        AddFileNode(dir.File(name + ".MP3", name), tree, links(), state.Names);
    }
    void Delete(const std::string& name) {
        tree.Select(tree.Root()->Child(0)->ChildNamed(name + ".MP3"));
        const ListHistory::Edit edit(state.History, tree);
        DeleteSelectedNode(tree, links());
    }
};

struct Row {
    const char* name;
    std::function<void(Fx&)> change, newer; // newer: a change while the sizes are read
    std::string asked;                      // the sources read
    int files;
    std::uint64_t bytes; // a source holds its name
};
class FiguresTest : public ::testing::TestWithParam<Row> {};

TEST_P(FiguresTest, CountsAtOnceAndReadsOnlyNewSizesBesideTheWindow) {
    Fx fx;
    GetParam().change(fx);
    SizeRequest request = fx.figures.Gather(*fx.state.CurrentProject);
    if (GetParam().newer) {
        GetParam().newer(fx);
        const SizeRequest newer = fx.figures.Gather(*fx.state.CurrentProject);
        EXPECT_TRUE(ProjectFigures::ReadSizes(request).sizes.empty()); // gave up at once
        EXPECT_FALSE(fx.figures.Take({request.generation, {7}}));
        request = newer;
    }
    std::string asked;
    for (const std::string& path : request.paths)
        asked += std::filesystem::path(path).stem().string();
    EXPECT_EQ(asked, GetParam().asked);
    EXPECT_EQ(fx.figures.Values().copyFiles, GetParam().files);
    EXPECT_EQ(fx.figures.Values().sizesPending, !asked.empty());
    EXPECT_TRUE(fx.figures.Take(ProjectFigures::ReadSizes(request)));
    EXPECT_EQ(fx.figures.Values().copyBytes, GetParam().bytes);
    EXPECT_FALSE(fx.figures.Values().sizesPending);
}

const auto addDD = [](Fx& fx) { fx.Add("DD"); };
const auto undoInTheMiddle = [](Fx& fx) {
    fx.Delete("A"), fx.figures.Update(*fx.state.CurrentProject), fx.state.History.Undo();
};
INSTANTIATE_TEST_SUITE_P(
    Lists, FiguresTest,
    ::testing::Values(Row{"Added", addDD, nullptr, "DD", 4, 5},
                      Row{"Deleted", [](Fx& fx) { fx.Delete("B"); }, nullptr, "", 2, 2},
                      Row{"UndoInTheMiddle", undoInTheMiddle, nullptr, "A", 3, 3},
                      Row{"NewerChange", addDD, [](Fx& fx) { fx.Delete("A"); }, "DD", 3, 4}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(MissingNoticeTest, EntriesBelowThePathsGreyAsTheirSourcesGoAndComeBack) {
    Fx fx;
    struct : test::TreeRecorder {
        void NodeChanged(ListNode* node) override { names += " " + node->Text(); }
        std::string names;
    } told;
    fx.Add("S/E");
    fx.tree.AddObserver(&told);
    std::filesystem::remove(fx.dir / "A.MP3"), std::filesystem::remove(fx.dir / "B.MP3");
    std::filesystem::remove_all(fx.dir / "S");
    // The path rechecked and the entries the views are told of; A.MP3 is back from row 4 on.
    const std::pair<std::string, std::string> rows[] = {{fx.dir / "A.MP3", " A.MP3"},
                                                        {fx.dir.Path() + "/", " B.MP3 E.MP3"},
                                                        {fx.dir.Path(), ""},
                                                        {fx.dir / "A.MP", ""},
                                                        {fx.dir.Path(), " A.MP3"}};
    for (const auto& [path, names] : rows) {
        if (&path == &rows[3].first)
            fx.dir.File("A.MP3");
        RecheckSources(fx.tree, fx.links(), {path});
        EXPECT_EQ(told.names, names) << path;
        told.names.clear();
    }
    fx.tree.RemoveObserver(&told);
}

} // namespace
