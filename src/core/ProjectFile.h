// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project file ("Script Project (*.scp)"): a header, the seven texts, the comments,
// the target folder and one group of three lines per link.

#include "ProgramState.h"
#include "ProgressDisplay.h"

#include <string>
#include <vector>

namespace stavio {

// Writes CurrentProject to path through a temporary file, so a failure leaves the previous
// file intact; then RecordSavedState. Throws FileError.
void SaveProjectFile(ProgramState& state, const std::string& path, ProgressDisplay& progress);

// The groups a load left out: their source file is missing and the name stored with them
// cannot stand in a list, so nothing could name the entry.
struct LoadReport {
    static constexpr size_t kMaxSources = 10;
    int leftOut = 0;
    std::vector<std::string> leftOutSources; // the first kMaxSources of their source paths
};

// Reads path into CurrentProject and both trees (both hold only their selected roots), then
// RecordSavedState. An entry whose source is missing keeps the name stored with it and is
// marked as missing. Throws FileError or ConvertError; what was read before stays.
LoadReport LoadProjectFile(ProgramState& state, const std::string& path, ProgressDisplay& progress);
// The same, naming the entries through names instead of state's own service: a load into a
// state of its own (ProgramState::LoadingCopy) names as the program does.
LoadReport LoadProjectFile(ProgramState& state, const std::string& path, ProgressDisplay& progress,
                           NamingService& names);

} // namespace stavio
