// SPDX-License-Identifier: GPL-3.0-or-later
// GenerateShortNames over a directory listing made from the input: names are cut at NUL and
// "/" (the bytes no file name holds), "." and ".." and repeats are dropped, as no directory
// lists them. Every short name is a valid 8.3 name, unique without regard to case; a valid
// name that no other name equals without regard to case keeps itself; and the same set in
// another order gets the same names.

#include "FuzzSupport.h"
#include "ShortNames.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::map<std::string, std::string> Named(const std::vector<std::string>& names) {
    const std::vector<std::string> shortNames = stavio::GenerateShortNames(names);
    STAVIO_FUZZ_CHECK(shortNames.size() == names.size());
    std::map<std::string, std::string> byName;
    for (size_t i = 0; i < names.size(); ++i)
        byName.emplace(names[i], shortNames[i]);
    return byName;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    std::string current;
    for (size_t i = 0; i <= size && names.size() < 3000; ++i) {
        if (i < size && data[i] != '\0' && data[i] != '/') {
            current += static_cast<char>(data[i]);
            continue;
        }
        if (!current.empty() && current != "." && current != ".." && seen.insert(current).second)
            names.push_back(current);
        current.clear();
    }

    const std::map<std::string, std::string> byName = Named(names);
    std::map<std::string, int> sameWithoutCase;
    for (const std::string& name : names)
        ++sameWithoutCase[Upper(name)];
    std::set<std::string> taken;
    for (const auto& [name, shortName] : byName) {
        STAVIO_FUZZ_CHECK(stavio::IsValidShortName(shortName));
        STAVIO_FUZZ_CHECK(taken.insert(Upper(shortName)).second);
        if (stavio::IsValidShortName(name) && sameWithoutCase[Upper(name)] == 1)
            STAVIO_FUZZ_CHECK(shortName == name);
    }

    std::vector<std::string> reordered(names.rbegin(), names.rend());
    if (reordered.size() > 2)
        std::rotate(reordered.begin(),
                    reordered.begin() + static_cast<long>(size % reordered.size()),
                    reordered.end());
    STAVIO_FUZZ_CHECK(Named(reordered) == byName);
    return 0;
}
