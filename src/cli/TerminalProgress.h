// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A progress bar on the terminal's error stream: the job's caption, a bar and the count.

#include "ProgressDisplay.h"

#include <string>

namespace stavio::cli {

class TerminalProgress : public ProgressDisplay {
public:
    ~TerminalProgress() override;

    void SetCaption(const std::string& caption) override;
    void SetStatusText(const std::string& text) override;
    void ShowLabel(bool) override {}
    void ShowBar(bool visible) override;
    void SetMaximum(int maximum) override;
    void SetPosition(int position) override;
    int Position() const override { return position_; }
    void SetDetailText(const std::string& text) override;

    // Ends the line of the bar, if one is shown.
    void Finish();

private:
    void Draw(bool force);

    std::string caption_;
    std::string detail_; // sizes, rate and time left of the media copy
    int maximum_ = 0;
    int position_ = 0;
    int drawnPermille_ = -1;
    bool barVisible_ = false;
    bool lineOpen_ = false;
};

} // namespace stavio::cli
