// SPDX-License-Identifier: GPL-3.0-or-later
// A stored folder path line cut by SplitListPath and each name made a list folder name by
// FolderNameFromText: one name per backslash, text after the last one dropped, and every
// folder name at most 8 characters of the allowed upper-case set, so that it never names a
// place of its own on a disk (no "/", no ".", no "\").

#include "FuzzSupport.h"
#include "ShortNames.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> names{"kept"};
    stavio::SplitListPath(line, names);
    STAVIO_FUZZ_CHECK(names.front() == "kept"); // appended, never replaced

    std::string joined;
    for (size_t i = 1; i < names.size(); ++i) {
        STAVIO_FUZZ_CHECK(names[i].find('\\') == std::string::npos);
        joined += names[i] + '\\';
    }
    const size_t last = line.find_last_of('\\');
    STAVIO_FUZZ_CHECK(joined == (last == std::string::npos ? "" : line.substr(0, last + 1)));

    constexpr std::string_view kAllowed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#$%&'()-@^`{}~";
    for (const std::string& name : names) {
        const std::string folder = stavio::FolderNameFromText(name);
        STAVIO_FUZZ_CHECK(folder.size() == std::min<size_t>(name.size(), 8));
        STAVIO_FUZZ_CHECK(folder.find_first_not_of(kAllowed) == std::string::npos);
        STAVIO_FUZZ_CHECK(stavio::FolderNameFromText(folder) == folder);
    }
    return 0;
}
