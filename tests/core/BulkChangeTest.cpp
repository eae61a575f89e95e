// SPDX-License-Identifier: GPL-3.0-or-later
// Which changes of a list reach its observers as one bulk change and which row by row: the
// jobs that rebuild or empty a whole list are told once, single edits keep every row.

#include "ListOperations.h"
#include "ProgramState.h"
#include "ProgressDisplay.h"
#include "ProjectFile.h"
#include "ProjectTestSupport.h"
#include "TempDir.h"
#include "TreeRecorder.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace stavio;
using stavio::test::TempDir;

namespace {

using Recorder = stavio::test::TreeRecorder;

struct World {
    TempDir dir;
    ProgramState state{"/opt/stavio/"};
    Recorder copy, remove;

    ListTree& Copy() { return state.CopyTree; }
    LinkList& CopyLinks() { return state.CurrentProject->CopyLinks; }
    void AddCopy(const std::string& folders, const std::string& file) {
        test::AddEntry(state.CopyTree, CopyLinks(), folders, dir.File("music/" + file, "x"),
                       state.Names);
    }
    void AddDelete(const std::string& folders, const std::string& file) {
        test::AddEntry(state.DeleteTree, state.CurrentProject->DeleteLinks, folders,
                       dir.File("music/" + file, "x"), state.Names);
    }
};

struct Case {
    const char* name;
    std::function<void(World&)> arrange; // before the observers listen
    std::function<void(World&)> act;
    std::vector<std::string> copyEvents;
    std::vector<std::string> deleteEvents;
};

const std::vector<std::string> kOneBulkChange = {"bulk begins", "bulk ended"};

const Case kCases[] = {
    {"loading a project rebuilds each list as one change",
     [](World& w) {
         // The file is written from a project built here, then the lists are emptied.
         w.AddCopy("ROCK/LIVE", "a.mp3");
         w.AddCopy("POP", "b.mp3");
         w.AddDelete("OLD", "c.mp3");
         NullProgress progress;
         SaveProjectFile(w.state, w.dir / "p.scp", progress);
         w.state.ResetProject();
     },
     [](World& w) {
         NullProgress progress;
         LoadProjectFile(w.state, w.dir / "p.scp", progress);
         EXPECT_EQ(w.Copy().Root()->ChildCount(), 2);
         EXPECT_EQ(w.Copy().Selected(), w.Copy().Root());
     },
     kOneBulkChange, kOneBulkChange},
    {"resetting the project empties each list as one change",
     [](World& w) {
         w.AddCopy("ROCK", "a.mp3");
         w.AddDelete("OLD", "c.mp3");
         w.Copy().Select(w.Copy().Root()->Child(0)->Child(0));
     },
     [](World& w) {
         w.state.ResetProject();
         EXPECT_EQ(w.Copy().Selected(), w.Copy().Root());
     },
     kOneBulkChange, kOneBulkChange},
    {"deleting PLAYER is one change, the other list hears nothing",
     [](World& w) {
         w.AddCopy("ROCK", "a.mp3");
         w.AddCopy("POP", "b.mp3");
         w.AddDelete("OLD", "c.mp3");
     },
     [](World& w) {
         DeleteSelectedNode(w.Copy(), w.CopyLinks());
         EXPECT_TRUE(w.CopyLinks().empty());
         EXPECT_EQ(w.Copy().Root()->ChildCount(), 0);
     },
     kOneBulkChange,
     {}},
    {"deleting a folder stays row by row",
     [](World& w) {
         w.AddCopy("ROCK", "a.mp3");
         w.AddCopy("POP", "b.mp3");
         w.Copy().Select(w.Copy().Root()->Child(1));
     },
     [](World& w) { DeleteSelectedNode(w.Copy(), w.CopyLinks()); },
     {"selected PLAYER", "about-remove PLAYER 1-1", "removed PLAYER 1-1"},
     {}},
    {"adding a folder stays row by row",
     [](World&) {},
     [](World& w) { AddFolderNode("NEW", w.Copy(), w.CopyLinks()); },
     {"about-insert PLAYER 0", "inserted NEW", "selected NEW"},
     {}},
    {"emptying an empty list tells nothing",
     [](World&) {},
     [](World& w) { w.Copy().Clear(); },
     {},
     {}},
    {"nested scopes are told once, when the outermost ends",
     [](World& w) { w.AddCopy("ROCK", "a.mp3"); },
     [](World& w) {
         const ListTree::BulkChange outer(w.Copy());
         {
             const ListTree::BulkChange inner(w.Copy());
             w.Copy().Select(w.Copy().Root()->Child(0));
         }
         EXPECT_EQ(w.copy.events, std::vector<std::string>{"bulk begins"});
         w.Copy().AddChild(w.Copy().Root(), "POP", NodeKind::Folder);
     },
     kOneBulkChange,
     {}},
    {"a change left by an exception is still ended",
     [](World& w) { w.AddCopy("ROCK", "a.mp3"); },
     [](World& w) {
         try {
             const ListTree::BulkChange bulk(w.Copy());
             w.Copy().Remove(w.Copy().Root()->Child(0));
             throw std::runtime_error("disk gone");
         } catch (const std::runtime_error&) {
         }
         EXPECT_EQ(w.Copy().Root()->ChildCount(), 0);
     },
     kOneBulkChange,
     {}},
    {"an observer that leaves during a bulk change hears no end of it",
     [](World&) {},
     [](World& w) {
         const ListTree::BulkChange bulk(w.Copy());
         w.Copy().RemoveObserver(&w.copy);
     },
     {"bulk begins"},
     {}},
    {"a reset hands the nodes out alive, their links gone first",
     [](World& w) { w.AddCopy("ROCK", "a.mp3"); },
     [](World& w) {
         const auto nodes = w.state.ResetProjectDetached();
         ASSERT_EQ(nodes.size(), 1u);
         EXPECT_EQ(nodes[0]->Child(0)->Text(), "A.MP3");
         EXPECT_TRUE(w.CopyLinks().empty());
     },
     kOneBulkChange,
     {}},
    {"a project loaded on the side comes in whole, its links still good",
     [](World&) {},
     [](World& w) {
         const auto loading = w.state.LoadingCopy();
         test::AddEntry(loading->CopyTree, loading->CurrentProject->CopyLinks, "ROCK",
                        w.dir.File("music/a.mp3", "x"), w.state.Names);
         w.state.TakeLoaded(*loading);
         ASSERT_EQ(w.CopyLinks().size(), 1u);
         const ListNode* song = w.CopyLinks()[0]->Node;
         EXPECT_EQ(song->Parent()->Parent(), w.Copy().Root());
         EXPECT_EQ(w.Copy().Root()->ChildNamed("ROCK")->Row(), 0);
         EXPECT_EQ(w.Copy().Selected(), w.Copy().Root());
     },
     kOneBulkChange,
     {}},
};

TEST(BulkChangeTest, WholeListJobsAreToldOnceSingleEditsRowByRow) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        World w;
        w.state.CopyTree.Select(w.state.CopyTree.Root());
        w.state.DeleteTree.Select(w.state.DeleteTree.Root());
        c.arrange(w);
        w.state.CopyTree.AddObserver(&w.copy);
        w.state.DeleteTree.AddObserver(&w.remove);
        c.act(w);
        w.state.CopyTree.RemoveObserver(&w.copy);
        w.state.DeleteTree.RemoveObserver(&w.remove);
        EXPECT_EQ(w.copy.events, c.copyEvents);
        EXPECT_EQ(w.remove.events, c.deleteEvents);
    }
}

} // namespace
