#pragma once
// The project file ("Script Project (*.scp)"): a header, the seven texts, the comments,
// the target folder and one group of three lines per link.

#include "ProgramState.h"
#include "ProgressDisplay.h"

#include <string>

namespace stavio {

// Writes CurrentProject to path through a temporary file, so a failure leaves the previous
// file intact; then RecordSavedState. Throws FileError.
void SaveProjectFile(ProgramState& state, const std::string& path, ProgressDisplay& progress);

// Reads path into CurrentProject and both trees (both hold only their selected roots), then
// RecordSavedState. Throws FileError or ConvertError; what was read before stays.
void LoadProjectFile(ProgramState& state, const std::string& path, ProgressDisplay& progress);

} // namespace stavio
