// SPDX-License-Identifier: GPL-3.0-or-later
// ReadSettings on any bytes: the values are those of lines 3, 5 and 7 (line 7 only when
// line 6 is there and not empty), read by position, and writing them back then reading the
// file again gives the same values.

#include "Settings.h"
#include "FuzzSupport.h"
#include "TextFile.h"

#include <cstdint>
#include <string>

namespace {

using stavio::fuzz::WorkFolder;
using stavio::fuzz::WriteWholeFile;

bool Same(const stavio::SettingsValues& a, const stavio::SettingsValues& b) {
    return a.language == b.language && a.projectFileName == b.projectFileName &&
           a.lastExplorerDirectory == b.lastExplorerDirectory;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string executable = WorkFolder() + "/stavio";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    WriteWholeFile(stavio::SettingsFileName(executable), bytes);

    stavio::SettingsValues values;
    values.lastExplorerDirectory = "/start/";
    stavio::ReadSettings(executable, values);

    // The same lines by a plain reading of the rules.
    std::string text = bytes.substr(0, bytes.find('\x1A'));
    std::string lines[7];
    size_t pos = 0;
    for (std::string& line : lines) {
        const size_t cr = std::min(text.find('\r', pos), text.size());
        line = text.substr(std::min(pos, text.size()), cr - std::min(pos, text.size()));
        pos = cr + 1;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    const int language = static_cast<int>(values.language);
    STAVIO_FUZZ_CHECK(language >= 1 && language <= 5);
    STAVIO_FUZZ_CHECK((values.language == stavio::Language::French) == (lines[2] == "French"));
    STAVIO_FUZZ_CHECK(values.projectFileName == lines[4]);
    STAVIO_FUZZ_CHECK(values.lastExplorerDirectory == (lines[5].empty() ? "/start/" : lines[6]));

    stavio::WriteSettings(executable, values);
    stavio::SettingsValues again;
    stavio::ReadSettings(executable, again);
    STAVIO_FUZZ_CHECK(Same(values, again));
    return 0;
}
