// SPDX-License-Identifier: GPL-3.0-or-later
#include "Settings.h"

#include "TextFile.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stavio {

namespace {

const char* LanguageName(Language language) {
    switch (language) {
    case Language::French:
        return "French";
    case Language::Spanish:
        return "Spanish";
    case Language::German:
        return "German";
    case Language::Italian:
        return "Italian";
    case Language::English:
        break;
    }
    return "English";
}

// Exact, case-sensitive; anything else, "English" included, is English.
Language LanguageFromName(const std::string& name) {
    if (name == "French")
        return Language::French;
    if (name == "Spanish")
        return Language::Spanish;
    if (name == "German")
        return Language::German;
    if (name == "Italian")
        return Language::Italian;
    return Language::English;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// The folder part of a path, "." for a bare name.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates folder and its missing parents; existing ones are fine.
void MakeFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty())
            ::mkdir(part.c_str(), 0700);
        if (slash == std::string::npos)
            return;
    }
}

// A folder of an installed program: the package and cmake --install put it there. Its
// settings are the user's, whoever runs it, and must not outlive the package beside it.
bool IsInstalledFolder(const std::string& folder) {
    for (const std::string top : {"/usr", "/opt"})
        if (folder == top || folder.starts_with(top + "/"))
            return true;
    return false;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

SettingsPlaceEnvironment SettingsPlaceEnvironment::FromProcess() {
    SettingsPlaceEnvironment environment;
    environment.configHome = Environment("XDG_CONFIG_HOME");
    environment.home = Environment("HOME");
    environment.canWriteIn = [](const std::string& folder) {
        // The effective user's rights: the ones the file creation will meet.
        return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
    };
    return environment;
}

std::string SettingsFilePath(const std::string& executablePath,
                             const SettingsPlaceEnvironment& environment) {
    const std::string beside = SettingsFileName(executablePath);
    if (!IsInstalledFolder(FolderOf(beside)) && environment.canWriteIn(FolderOf(beside)))
        return beside;
    // A relative $XDG_CONFIG_HOME is ignored, as the base directory rules ask.
    std::string base = environment.configHome;
    if (base.empty() || base[0] != '/') {
        if (environment.home.empty())
            return beside; // nowhere else to go: its error is the one reported
        base = environment.home + "/.config";
    }
    const std::string folder = base + "/stavio";
    MakeFolders(folder);
    return folder + "/stavio.CFG";
}

std::string SettingsFilePath(const std::string& executablePath) {
    return SettingsFilePath(executablePath, SettingsPlaceEnvironment::FromProcess());
}

std::string SettingsFileName(const std::string& executablePath) {
    const size_t nameStart =
        executablePath.rfind('/') == std::string::npos ? 0 : executablePath.rfind('/') + 1;
    const size_t dot = executablePath.rfind('.');
    if (dot != std::string::npos && dot >= nameStart)
        return executablePath.substr(0, dot) + ".CFG";
    return executablePath + ".CFG";
}

void WriteSettingsFile(const std::string& fileName, const SettingsValues& values) {
    AtomicTextFile file(fileName);
    file.WriteLine("Settings File of KELVO \"Stavio\"");
    file.WriteLine("Language :");
    file.WriteLine(LanguageName(values.language));
    file.WriteLine("Last projet used");
    file.WriteLine(values.projectFileName);
    file.WriteLine("Last explorer directory");
    file.WriteLine(values.lastExplorerDirectory);
    file.Commit();
}

void ReadSettingsFile(const std::string& fileName, SettingsValues& values) {
    if (!FileExists(fileName))
        WriteSettingsFile(fileName, values);

    // Positional: the header and the key lines are never compared.
    TextLineReader reader(fileName);
    reader.ReadLine();
    reader.ReadLine();
    values.language = LanguageFromName(reader.ReadLine());
    reader.ReadLine();
    values.projectFileName = reader.ReadLine();
    // Line 7 counts only when line 6 is there and not empty.
    const int next = reader.Peek();
    if (next != -1 && next != '\r' && next != 0x1A) {
        reader.ReadLine();
        values.lastExplorerDirectory = reader.ReadLine();
    }
}

void WriteSettings(const std::string& executablePath, const SettingsValues& values) {
    WriteSettingsFile(SettingsFileName(executablePath), values);
}

void ReadSettings(const std::string& executablePath, SettingsValues& values) {
    ReadSettingsFile(SettingsFileName(executablePath), values);
}

} // namespace stavio
