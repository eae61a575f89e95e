#include "ListOperations.h"
#include "PathDrop.h"
#include "ProgramState.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace stavio;

namespace {

// The project as identities: every node with its parent and row, both link lists.
using Shape = std::tuple<std::vector<std::tuple<const ListNode*, const ListNode*, int>>,
                         std::vector<const TNodeFileLink*>, std::vector<const TNodeFileLink*>>;

void Walk(const ListNode* node, Shape& shape) {
    std::get<0>(shape).emplace_back(node, node->Parent(), node->Row());
    for (int i = 0; i < node->ChildCount(); ++i)
        Walk(node->Child(i), shape);
}

struct Fx {
    test::TempDir dir;
    ProgramState state;
    ListTree& tree = state.CopyTree;
    LinkList& links() { return state.CurrentProject->CopyLinks; }

    Shape Snapshot() {
        Shape shape;
        Walk(tree.Root(), shape);
        Walk(state.DeleteTree.Root(), shape);
        for (auto& l : links())
            std::get<1>(shape).push_back(l.get());
        for (auto& l : state.CurrentProject->DeleteLinks)
            std::get<2>(shape).push_back(l.get());
        return shape;
    }
    std::string Mp3(const std::string& name) { return dir.File("music/" + name, "x"); }
    // Selects the node at path of names below the root ("" for the root).
    void Select(std::initializer_list<const char*> path) {
        ListNode* node = tree.Root();
        for (const char* name : path)
            node = node->ChildNamed(name);
        tree.Select(node);
    }
    void Edit(const std::function<void()>& change) {
        const ListHistory::Edit edit(state.History, tree);
        change();
    }
    void AddFolder(const char* name) {
        Edit([&] { AddFolderNode(name, tree, links()); });
    }
    void AddFile(const char* name) {
        Edit([&] { AddFileNode(Mp3(name), tree, links()); });
    }
    void Delete() {
        Edit([&] { DeleteSelectedNode(tree, links()); });
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
    // Saved: PLAYER / A (a1, a2) / B (b1), and one entry in the Delete List.
    fx.Select({});
    fx.AddFolder("A");
    fx.AddFile("a1.mp3");
    fx.AddFile("a2.mp3");
    fx.Select({});
    fx.AddFolder("B");
    fx.AddFile("b1.mp3");
    fx.state.DeleteTree.Select(fx.state.DeleteTree.Root());
    AddFolderNode("D", fx.state.DeleteTree, fx.state.CurrentProject->DeleteLinks);
    AddFileNode(fx.Mp3("d.mp3"), fx.state.DeleteTree, fx.state.CurrentProject->DeleteLinks);
    fx.state.RecordSavedState();
    fx.state.History.Clear();
    const Shape saved = fx.Snapshot();

    row.edits(fx);
    const Shape edited = fx.Snapshot();
    for (int i = 0; i < row.undos; ++i)
        fx.state.History.Undo();
    if (row.backToSaved) {
        EXPECT_EQ(fx.Snapshot(), saved);
        EXPECT_FALSE(fx.state.IsModified());
    }
    for (int i = 0; i < row.undos; ++i)
        fx.state.History.Redo();
    EXPECT_EQ(fx.Snapshot(), edited);
    if (row.check)
        row.check(fx);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ListHistoryTest,
    ::testing::Values(
        Row{"AddFile",
            [](Fx& fx) {
                fx.Select({"B"});
                fx.AddFile("b2.mp3");
            },
            1, true},
        Row{"AddFolder",
            [](Fx& fx) {
                fx.Select({});
                fx.AddFolder("C");
            },
            1, true},
        Row{"NewFolderThenFilesInIt",
            [](Fx& fx) {
                fx.Select({"A"});
                fx.AddFolder("AA");
                fx.AddFile("x.mp3");
                fx.AddFile("y.mp3");
            },
            3, true},
        Row{"DeleteFile",
            [](Fx& fx) {
                fx.Select({"A", "a1.mp3"});
                fx.Delete();
            },
            1, true},
        Row{"DeleteFolderWithFiles",
            [](Fx& fx) {
                fx.Select({"A"});
                fx.Delete();
            },
            1, true},
        Row{"DeleteWholeList",
            [](Fx& fx) {
                fx.Select({});
                fx.Delete();
            },
            1, true},
        Row{"DeleteThenDeleteAgain",
            [](Fx& fx) {
                fx.Select({"A", "a2.mp3"});
                fx.Delete();
                fx.Select({"A"});
                fx.Delete();
            },
            2, true},
        Row{"DropOfSeveralFiles",
            [](Fx& fx) {
                fx.Select({"B"});
                const auto drop = PlanPathDrop({fx.Mp3("p.mp3"), fx.Mp3("q.mp3"), fx.Mp3("r.mp3")});
                fx.Edit([&] { AddPathDrop(drop, fx.tree, fx.links()); });
            },
            1, true, [](Fx& fx) { EXPECT_EQ(fx.tree.Root()->Child(1)->ChildCount(), 4); }},
        Row{"ModifiedFollowsTheSavedPoint",
            [](Fx& fx) {
                fx.Select({"B"});
                fx.AddFile("b2.mp3");
                fx.state.RecordSavedState();
                fx.Select({"B"});
                fx.AddFile("b3.mp3");
                fx.state.History.Undo();
                EXPECT_FALSE(fx.state.IsModified());
                fx.state.History.Undo();
                EXPECT_TRUE(fx.state.IsModified());
                fx.state.History.Redo();
            },
            0, false, [](Fx& fx) { EXPECT_FALSE(fx.state.IsModified()); }},
        Row{"AHundredStepsAreKept",
            [](Fx& fx) {
                for (int i = 0; i < 105; ++i) {
                    fx.Select({"A"});
                    fx.AddFile(("n" + std::to_string(i) + ".mp3").c_str());
                }
            },
            105, false,
            [](Fx& fx) {
                for (int i = 0; i < 105; ++i)
                    fx.state.History.Undo();
                EXPECT_FALSE(fx.state.History.CanUndo());
                EXPECT_EQ(fx.tree.Root()->Child(0)->ChildCount(), 2 + 5);
            }},
        Row{"NewEditDropsTheRedo",
            [](Fx& fx) {
                fx.Select({});
                fx.AddFolder("C");
                fx.state.History.Undo();
                fx.Select({});
                fx.AddFolder("E");
            },
            0, false, [](Fx& fx) { EXPECT_FALSE(fx.state.History.CanRedo()); }},
        Row{"NothingChangedIsNoStep",
            [](Fx& fx) {
                fx.Select({});
                fx.AddFolder("A");
            },
            0, false, [](Fx& fx) { EXPECT_FALSE(fx.state.History.CanUndo()); }},
        Row{"ResetForgetsEverything",
            [](Fx& fx) {
                fx.Select({"A"});
                fx.Delete();
                fx.state.History.Undo();
                fx.state.ResetProject();
            },
            0, false,
            [](Fx& fx) {
                EXPECT_FALSE(fx.state.History.CanUndo());
                EXPECT_FALSE(fx.state.History.CanRedo());
            }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
