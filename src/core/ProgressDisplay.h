// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a long job reports to: the progress dialog in the window, a bar on the terminal,
// or a recorder in the tests. Texts are UTF-8, ready to show.

#include <string>

namespace stavio {

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void ShowLabel(bool visible) = 0;
    virtual void ShowBar(bool visible) = 0;
    virtual void SetMaximum(int maximum) = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
    virtual void StepIt() { SetPosition(Position() + 1); }
    // The line under the bar of the media copy: sizes, rate and time left. Displays without
    // such a line ignore it.
    virtual void SetDetailText(const std::string&) {}
    // The file the media copy is at: its source's file name, as the file system has it.
    virtual void SetCopyFile(const std::string&) {}
};

// Accepts everything and shows nothing.
class NullProgress : public ProgressDisplay {
public:
    void SetCaption(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    void ShowLabel(bool) override {}
    void ShowBar(bool) override {}
    void SetMaximum(int) override {}
    void SetPosition(int position) override { position_ = position; }
    int Position() const override { return position_; }

private:
    int position_ = 0;
};

} // namespace stavio
