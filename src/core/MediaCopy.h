// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The media copy of a render: every media file of the Copy List, under its list name, into
// the numbered folders 00000001, 00000002, ... of the target.

#include "ProgramState.h"
#include "ProgressDisplay.h"

#include <cstdint>
#include <string>
#include <vector>

namespace stavio {

struct CopyFailure {
    std::string source;
    std::string destination;
    std::string reason; // French runtime text
};

struct CopyReport {
    int filesCopied = 0;
    std::uint64_t bytesCopied = 0;
    std::vector<CopyFailure> failures;
};

struct MediaCopyItem {
    std::string source;
    std::string destinationFolder; // target/00000001
    std::string destination;       // target/00000001/NAME.MP3
};

// The copy plan: the render plan's runs and numbers, those of the script's folder lines.
std::vector<MediaCopyItem> MediaCopyPlan(const TProjectClass& project);

// Job 5 of a render on its own (RenderPipeline::CopyMedia without Cancel): removes the stale
// songs, copies every planned file that changed, going on past failures, and flushes all to
// the disk. Files found unchanged count as copied.
CopyReport CopyMedia(ProgramState& state, ProgressDisplay& progress);

} // namespace stavio
