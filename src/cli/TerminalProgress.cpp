// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminalProgress.h"

#include <cstdio>

namespace stavio::cli {

namespace {
constexpr int BarWidth = 30;
}

TerminalProgress::~TerminalProgress() {
    Finish();
}

void TerminalProgress::SetCaption(const std::string& caption) {
    Finish(); // a new job starts on a line of its own
    caption_ = caption;
    detail_.clear();
}

void TerminalProgress::SetStatusText(const std::string& text) {
    Finish();
    caption_ = text;
}

void TerminalProgress::ShowBar(bool visible) {
    barVisible_ = visible; // drawn once the job sets its maximum
}

void TerminalProgress::SetMaximum(int maximum) {
    maximum_ = maximum;
    Draw(true);
}

void TerminalProgress::SetPosition(int position) {
    position_ = position;
    Draw(false);
}

void TerminalProgress::SetDetailText(const std::string& text) {
    detail_ = text;
    Draw(true);
}

void TerminalProgress::Finish() {
    if (lineOpen_) {
        std::fputc('\n', stderr);
        lineOpen_ = false;
    }
    drawnPermille_ = -1;
}

// Redraws only when the bar moves by a tenth of a percent, so a job of 100,000 steps does
// not spend its time writing to the terminal.
void TerminalProgress::Draw(bool force) {
    if (!barVisible_)
        return;
    const int permille = maximum_ > 0 ? static_cast<int>(1000LL * position_ / maximum_) : 0;
    if (!force && permille == drawnPermille_)
        return;
    drawnPermille_ = permille;
    const int filled = maximum_ > 0 ? static_cast<int>(1LL * BarWidth * position_ / maximum_) : 0;
    std::string bar(static_cast<size_t>(BarWidth), ' ');
    for (int i = 0; i < filled && i < BarWidth; ++i)
        bar[static_cast<size_t>(i)] = '#';
    if (detail_.empty())
        std::fprintf(stderr, "\r%s [%s] %d/%d", caption_.c_str(), bar.c_str(), position_, maximum_);
    else // the media copy: its own figures instead of the steps; the line may shrink
        std::fprintf(stderr, "\r%s [%s] %s\x1b[K", caption_.c_str(), bar.c_str(), detail_.c_str());
    std::fflush(stderr);
    lineOpen_ = true;
}

} // namespace stavio::cli
