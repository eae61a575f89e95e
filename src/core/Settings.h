// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seven-line settings file: the executable's path with ".CFG", or the user's
// configuration folder for an installed program or one whose folder cannot be written.

#include "ProgramState.h"

#include <functional>
#include <string>

namespace stavio {

struct SettingsValues {
    Language language = Language::English;
    std::string projectFileName;
    std::string lastExplorerDirectory;
};

// The executable's path with its extension replaced by ".CFG" (appended when it has none).
std::string SettingsFileName(const std::string& executablePath);

// What the choice of the settings file's place reads from the process.
struct SettingsPlaceEnvironment {
    std::string configHome; // $XDG_CONFIG_HOME
    std::string home;       // $HOME
    // Whether files can be created in a folder; the real test by default.
    std::function<bool(const std::string& folder)> canWriteIn;

    static SettingsPlaceEnvironment FromProcess();
};

// The settings file in use: beside the executable when its folder can be written (a build
// folder, a portable copy) and lies outside /usr and /opt, else "stavio/stavio.CFG" in the
// user's configuration folder, whose folders are created here. When those cannot be created the
// path is returned all the same, and reading or writing it reports the error.
std::string SettingsFilePath(const std::string& executablePath,
                             const SettingsPlaceEnvironment& environment);
std::string SettingsFilePath(const std::string& executablePath);

// Throw FileError.
void WriteSettingsFile(const std::string& fileName, const SettingsValues& values);
// Writes the file from values first when it is missing, then reads it.
void ReadSettingsFile(const std::string& fileName, SettingsValues& values);

// The same on the file beside the executable (SettingsFileName).
void WriteSettings(const std::string& executablePath, const SettingsValues& values);
void ReadSettings(const std::string& executablePath, SettingsValues& values);

} // namespace stavio
