#include "Settings.h"

#include "TextFile.h"

#include <sys/stat.h>

namespace stavio {

namespace {

const char* LanguageName(Language language) {
    switch (language) {
    case Language::French: return "French";
    case Language::Spanish: return "Spanish";
    case Language::German: return "German";
    case Language::Italian: return "Italian";
    case Language::English: break;
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

} // namespace

std::string SettingsFileName(const std::string& executablePath) {
    const size_t nameStart = executablePath.rfind('/') == std::string::npos
                                 ? 0
                                 : executablePath.rfind('/') + 1;
    const size_t dot = executablePath.rfind('.');
    if (dot != std::string::npos && dot >= nameStart)
        return executablePath.substr(0, dot) + ".CFG";
    return executablePath + ".CFG";
}

void WriteSettings(const std::string& executablePath, const SettingsValues& values) {
    AtomicTextFile file(SettingsFileName(executablePath));
    file.WriteLine("Settings File of KELVO \"Stavio\"");
    file.WriteLine("Language :");
    file.WriteLine(LanguageName(values.language));
    file.WriteLine("Last projet used");
    file.WriteLine(values.projectFileName);
    file.WriteLine("Last explorer directory");
    file.WriteLine(values.lastExplorerDirectory);
    file.Commit();
}

void ReadSettings(const std::string& executablePath, SettingsValues& values) {
    const std::string fileName = SettingsFileName(executablePath);
    if (!FileExists(fileName))
        WriteSettings(executablePath, values);

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

} // namespace stavio
