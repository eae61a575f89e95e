#pragma once
// The seven-line settings file: the executable's path with ".CFG".

#include "ProgramState.h"

#include <string>

namespace stavio {

struct SettingsValues {
    Language language = Language::English;
    std::string projectFileName;
    std::string lastExplorerDirectory;
};

// The executable's path with its extension replaced by ".CFG" (appended when it has none).
std::string SettingsFileName(const std::string& executablePath);

void WriteSettings(const std::string& executablePath, const SettingsValues& values);
// Writes the file from values first when it is missing, then reads it. Throws FileError.
void ReadSettings(const std::string& executablePath, SettingsValues& values);

} // namespace stavio
