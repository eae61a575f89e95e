// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records what a list tree tells its observers, one line per notification.

#include "ListTree.h"

#include <string>
#include <vector>

namespace stavio::test {

struct TreeRecorder : ListTreeObserver {
    std::vector<std::string> events;
    void NodeAboutToBeInserted(ListNode* p, int row) override {
        events.push_back("about-insert " + p->Text() + " " + std::to_string(row));
    }
    void NodeInserted(ListNode* n) override { events.push_back("inserted " + n->Text()); }
    void NodesAboutToBeRemoved(ListNode* p, int f, int l) override {
        events.push_back("about-remove " + p->Text() + " " + std::to_string(f) + "-" +
                         std::to_string(l));
    }
    void NodesRemoved(ListNode* p, int f, int l) override {
        events.push_back("removed " + p->Text() + " " + std::to_string(f) + "-" +
                         std::to_string(l));
    }
    void SelectionChanged(ListNode* n) override {
        events.push_back("selected " + (n ? n->Text() : std::string("(none)")));
    }
    void BulkChangeBegins() override { events.push_back("bulk begins"); }
    void BulkChangeEnded() override { events.push_back("bulk ended"); }
};

} // namespace stavio::test
