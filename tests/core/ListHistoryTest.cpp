// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListFixture.h"
#include "ListOperations.h"
#include "PathDrop.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

using namespace stavio;

namespace {

struct Fx : test::ListFixture {
    // The list by identities: every node with its parent in row order, then the links.
    std::vector<const void*> Shape() {
        std::vector<const void*> shape;
        std::function<void(const ListNode*)> walk = [&](const ListNode* node) {
            shape.insert(shape.end(), {node, node->Parent()}); // rows by the order
            for (int i = 0; i < node->ChildCount(); ++i)
                walk(node->Child(i));
        };
        walk(tree.Root());
        for (const LinkPtr& link : links())
            shape.push_back(link.get());
        return shape;
    }
    // path: names below the root separated by "/" ("" for the root).
    void Select(const std::string& path) {
        ListNode* node = tree.Root();
        std::istringstream names(path);
        for (std::string name; std::getline(names, name, '/');)
            node = node->ChildNamed(name);
        tree.Select(node);
    }
    void Edit(const std::string& at, const std::function<void()>& change) {
        Select(at);
        const ListHistory::Edit edit(state.History, tree);
        change();
    }
    void AddFolder(const std::string& at, const char* name) {
        Edit(at, [&] { AddFolderNode(name, tree, links()); });
    }
    void AddFile(const std::string& at, const std::string& name) {
        Edit(at, [&] { AddFileNode(dir.File("music/" + name, "x"), tree, links(), state.Names); });
    }
    void Delete(const std::string& at) {
        Edit(at, [&] { DeleteSelectedNode(tree, links()); });
    }
};

struct Row {
    const char* name;
    std::function<void(Fx&)> edits;
    int undos; // Undo is pressed this often afterwards, then Redo as often
    bool backToSaved;
    std::function<void(Fx&)> check = nullptr;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

class ListHistoryTest : public ::testing::TestWithParam<Row> {};

TEST_P(ListHistoryTest, UndoRestoresAndRedoReplays) {
    const Row& row = GetParam();
    Fx fx;
    fx.AddFolder("", "A"); // saved: A (a1, a2), B (b1)
    fx.AddFile("A", "a1.mp3");
    fx.AddFile("A", "a2.mp3");
    fx.AddFolder("", "B");
    fx.AddFile("B", "b1.mp3");
    fx.state.RecordSavedState();
    fx.state.History.Clear();
    const auto saved = fx.Shape();

    row.edits(fx);
    const auto edited = fx.Shape();
    for (int i = 0; i < row.undos; ++i)
        fx.state.History.Undo();
    if (row.backToSaved) {
        EXPECT_EQ(fx.Shape(), saved);
        EXPECT_FALSE(fx.state.IsModified());
    }
    for (int i = 0; i < row.undos; ++i)
        fx.state.History.Redo();
    EXPECT_EQ(fx.Shape(), edited);
    if (row.check)
        row.check(fx);
}

const auto noRedo = [](Fx& fx) { EXPECT_FALSE(fx.state.History.CanRedo()); };

INSTANTIATE_TEST_SUITE_P(
    Edits, ListHistoryTest,
    ::testing::Values(
        Row{"AddFile", [](Fx& fx) { fx.AddFile("B", "b2.mp3"); }, 1, true},
        Row{"NewFolderAndFilesInIt",
            [](Fx& fx) { fx.AddFolder("A", "AA"), fx.AddFile("A/AA", "x.mp3"); }, 2, true},
        Row{"DeleteFile", [](Fx& fx) { fx.Delete("A/a1.mp3"); }, 1, true},
        Row{"DeleteFolderWithFiles", [](Fx& fx) { fx.Delete("A"); }, 1, true},
        Row{"DeleteWholeList", [](Fx& fx) { fx.Delete(""); }, 1, true},
        Row{"DropOfSeveralFiles",
            [](Fx& fx) {
                const auto drop = PlanPathDrop({fx.dir.File("p.mp3"), fx.dir.File("q.mp3")});
                fx.Edit("B", [&] { AddPathDrop(drop, fx.tree, fx.links(), fx.state.Names); });
            },
            1, true, [](Fx& fx) { EXPECT_EQ(fx.tree.Root()->Child(1)->ChildCount(), 3); }},
        Row{"ModifiedFollowsTheSavedPoint",
            [](Fx& fx) {
                fx.AddFile("B", "b2.mp3");
                fx.state.RecordSavedState();
                fx.AddFile("B", "b3.mp3");
                fx.state.History.Undo();
                EXPECT_FALSE(fx.state.IsModified());
                fx.state.History.Undo();
                EXPECT_TRUE(fx.state.IsModified());
            },
            0, false},
        Row{"AHundredStepsAreKept",
            [](Fx& fx) {
                for (int i = 0; i < 105; ++i)
                    fx.AddFile("A", "n" + std::to_string(i) + ".mp3");
                for (int i = 0; i < 105; ++i)
                    fx.state.History.Undo();
                EXPECT_EQ(fx.tree.Root()->Child(0)->ChildCount(), 2 + 5);
            },
            0, false},
        Row{"NewEditDropsTheRedo",
            [](Fx& fx) { fx.AddFolder("", "C"), fx.state.History.Undo(), fx.AddFolder("", "E"); },
            0, false, noRedo},
        Row{"ResetForgetsEverything",
            [](Fx& fx) { fx.Delete("A"), fx.state.History.Undo(), fx.state.ResetProject(); }, 0,
            false,
            [](Fx& fx) {
                EXPECT_FALSE(fx.state.History.CanUndo());
                noRedo(fx);
            }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
