// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A progress display that remembers what the jobs told it.

#include "ProgressDisplay.h"

#include <string>
#include <vector>

namespace stavio::test {

class RecordingProgress : public ProgressDisplay {
public:
    void SetCaption(const std::string& caption) override { captions.push_back(caption); }
    void SetStatusText(const std::string& text) override { statusText = text; }
    void ShowLabel(bool visible) override { labelVisible = visible; }
    void ShowBar(bool visible) override { barVisible = visible; }
    void SetMaximum(int value) override { maximum = value; }
    void SetPosition(int value) override {
        position = value;
        positions.push_back(value);
    }
    int Position() const override { return position; }
    void SetCopyFile(const std::string& name) override { copyFiles.push_back(name); }

    std::vector<std::string> captions;
    std::string statusText;
    bool labelVisible = true;
    bool barVisible = false;
    int maximum = -1;
    int position = -1;
    std::vector<int> positions; // every position set, in order
    std::vector<std::string> copyFiles;
};

} // namespace stavio::test
