// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShortNames.h"

#include "AudioFormats.h"
#include "Utf8.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace stavio {

namespace {

char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperAscii(std::string text) {
    for (char& c : text)
        c = ToUpperAscii(c);
    return text;
}

// The characters of a short name besides letters and digits.
bool IsShortNameChar(char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view("!#$%&'()-@^_`{}~").find(c) != std::string_view::npos;
}

// Players and other desktops cannot open a file whose base is one of these.
bool IsDeviceName(const std::string& base) {
    const std::string upper = UpperAscii(base);
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL")
        return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           upper[3] >= '1' && upper[3] <= '9';
}

// The character at text[i] and its length: a UTF-8 sequence, or else a single byte of
// Windows-1252, the code page of names written by older desktops.
char32_t CodePointAt(const std::string& text, size_t i, size_t& length) {
    char32_t c;
    length = DecodeUtf8At(text, i, c);
    if (length > 0)
        return c;
    length = 1;
    switch (static_cast<unsigned char>(
        text[i])) { // the letters of 0x80-0x9F; 0xA0-0xFF are Latin-1's own
    case 0x8A:
        return U'\u0160';
    case 0x8C:
        return U'\u0152';
    case 0x8E:
        return U'\u017D';
    case 0x9A:
        return U'\u0161';
    case 0x9C:
        return U'\u0153';
    case 0x9E:
        return U'\u017E';
    case 0x9F:
        return U'\u0178';
    default:
        return static_cast<unsigned char>(text[i]);
    }
}

// The base letters of the Latin letters with a diacritic (and the ligatures) of U+00C0 to
// U+017F; empty for the other characters there (multiplication and division signs, thorn,
// kra, eng, long s).
// clang-format off
constexpr const char* kFoldedLatin[] = {
    // U+00C0
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O", "", "O", "U", "U", "U", "U", "Y", "", "SS",
    // U+00E0
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O", "", "O", "U", "U", "U", "U", "Y", "", "Y",
    // U+0100
    "A", "A", "A", "A", "A", "A", "C", "C", "C", "C", "C", "C", "C", "C", "D", "D",
    "D", "D", "E", "E", "E", "E", "E", "E", "E", "E", "E", "E", "G", "G", "G", "G",
    // U+0120
    "G", "G", "G", "G", "H", "H", "H", "H", "I", "I", "I", "I", "I", "I", "I", "I",
    "I", "I", "IJ", "IJ", "J", "J", "K", "K", "", "L", "L", "L", "L", "L", "L", "L",
    // U+0140
    "L", "L", "L", "N", "N", "N", "N", "N", "N", "N", "", "", "O", "O", "O", "O",
    "O", "O", "OE", "OE", "R", "R", "R", "R", "R", "R", "S", "S", "S", "S", "S", "S",
    // U+0160
    "S", "S", "T", "T", "T", "T", "T", "T", "U", "U", "U", "U", "U", "U", "U", "U",
    "U", "U", "U", "U", "W", "W", "Y", "Y", "Y", "Z", "Z", "Z", "Z", "Z", "Z", "",
};
// clang-format on
static_assert(std::size(kFoldedLatin) == 0x180 - 0xC0);

// What a non-ASCII character becomes in an alias: its base letter when it is a Latin letter
// with a diacritic, nothing for a combining mark (the letter before it already stands),
// "_" for anything else.
std::string_view FoldedCharacter(char32_t c) {
    if (c >= 0xC0 && c < 0x180 && kFoldedLatin[c - 0xC0][0] != '\0')
        return kFoldedLatin[c - 0xC0];
    if (c == 0x218 || c == 0x219) // Romanian s and t with comma below
        return "S";
    if (c == 0x21A || c == 0x21B)
        return "T";
    if (c >= 0x300 && c < 0x370)
        return {};
    return "_";
}

// The parts of an alias before its "~n": the base (at most 8 characters are ever used)
// and the extension.
struct AliasStem {
    std::string base;
    std::string extension;
};

AliasStem MakeAliasStem(const std::string& longName) {
    // Trailing periods and spaces go first, then every character is upper-cased, folded to
    // its base letter, or turned into "_"; a non-ASCII character counts once, however many
    // bytes it takes.
    size_t end = longName.size();
    while (end > 0 && (longName[end - 1] == '.' || longName[end - 1] == ' '))
        --end;
    std::string mapped;
    mapped.reserve(end);
    for (size_t i = 0; i < end;) {
        const char c = longName[i];
        if (c == ' ' || c == '.' || IsShortNameChar(c)) {
            mapped += ToUpperAscii(c);
            ++i;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            mapped += '_';
            ++i;
        } else {
            size_t length;
            mapped += FoldedCharacter(CodePointAt(longName, i, length));
            i += length;
        }
    }
    std::string cleaned;
    cleaned.reserve(mapped.size());
    for (const char c : mapped)
        if (c != ' ' && !(c == '.' && cleaned.empty()))
            cleaned += c;

    AliasStem stem;
    const size_t dot = cleaned.find_last_of('.');
    const std::string base = dot == std::string::npos ? cleaned : cleaned.substr(0, dot);
    for (const char c : base)
        if (c != '.')
            stem.base += c;
    if (stem.base.empty())
        stem.base.push_back('_');
    if (dot != std::string::npos)
        stem.extension = cleaned.substr(dot + 1, 3);
    return stem;
}

std::string AliasWithNumber(const AliasStem& stem, unsigned n) {
    const std::string number = std::to_string(n);
    const size_t tailLength = number.size() + 1;
    std::string alias = stem.base.substr(0, tailLength < 8 ? 8 - tailLength : 0);
    alias += '~';
    alias += number;
    if (!stem.extension.empty()) {
        alias += '.';
        alias += stem.extension;
    }
    return alias;
}

} // namespace

bool IsValidShortName(const std::string& name) {
    const size_t dot = name.find('.');
    const size_t baseLength = dot == std::string::npos ? name.size() : dot;
    if (baseLength < 1 || baseLength > 8)
        return false;
    if (dot != std::string::npos) {
        const size_t extensionLength = name.size() - dot - 1;
        if (extensionLength < 1 || extensionLength > 3)
            return false;
    }
    for (size_t i = 0; i < name.size(); ++i)
        if (i != dot && !IsShortNameChar(name[i]))
            return false;
    return !IsDeviceName(name.substr(0, baseLength));
}

namespace {

// The smallest "~n" alias of stem that taken does not hold; taken receives it.
std::string FreeAlias(const AliasStem& stem, unsigned& n, std::unordered_set<std::string>& taken) {
    std::string alias = AliasWithNumber(stem, n);
    while (!taken.insert(alias).second)
        alias = AliasWithNumber(stem, ++n);
    ++n;
    return alias;
}

// The MP3 names of the songs of other formats: the short form with the extension "MP3",
// unique among all the names of the directory. Every entry's own name came first, so such a
// song never takes the name of an MP3 file beside it; then names remembered for songs are
// kept while free, and the rest go in the byte order of the long names, by the "~n" rule of
// their source's stem when the plain name is taken.
void NameConverted(const std::vector<std::string>& longNames,
                   const std::vector<std::string>& shortNames, const std::vector<size_t>& order,
                   const AliasTable* remembered, std::unordered_set<std::string>& taken,
                   std::vector<std::string>& converted) {
    converted.assign(longNames.size(), {});
    std::vector<size_t> pending;
    for (const size_t i : order) {
        if (!IsOtherAudioName(longNames[i]))
            continue;
        if (remembered) {
            const auto name = remembered->find(ConvertedKey(longNames[i]));
            if (name != remembered->end() && taken.insert(UpperAscii(name->second)).second) {
                converted[i] = name->second;
                continue;
            }
        }
        pending.push_back(i);
    }
    std::vector<size_t> numbered;
    for (const size_t i : pending) {
        const std::string& own = shortNames[i];
        std::string name = UpperAscii(own.substr(0, own.find_last_of('.'))) + ".MP3";
        if (taken.insert(name).second)
            converted[i] = std::move(name);
        else
            numbered.push_back(i);
    }
    for (const size_t i : numbered) {
        AliasStem stem = MakeAliasStem(longNames[i]);
        stem.extension = "MP3";
        unsigned n = 1;
        converted[i] = FreeAlias(stem, n, taken);
    }
}

} // namespace

std::vector<std::string> NameDirectory(const std::vector<std::string>& longNames,
                                       const std::vector<std::string>* fixed,
                                       const AliasTable* remembered,
                                       std::vector<std::string>* converted) {
    std::vector<std::string> shortNames(longNames.size());
    std::unordered_set<std::string> taken; // upper-case: names clash without regard to case
    taken.reserve(longNames.size() * 2);

    // Byte order of the long names decides every tie, whatever order the entries came in.
    std::vector<size_t> order(longNames.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return longNames[a] < longNames[b]; });

    std::vector<bool> named(longNames.size(), false);
    if (fixed)
        for (const size_t i : order)
            if (!(*fixed)[i].empty()) {
                shortNames[i] = (*fixed)[i];
                taken.insert(UpperAscii(shortNames[i]));
                named[i] = true;
            }
    if (remembered && !remembered->empty())
        for (const size_t i : order) {
            if (named[i])
                continue;
            const auto alias = remembered->find(longNames[i]);
            if (alias != remembered->end() && taken.insert(UpperAscii(alias->second)).second) {
                shortNames[i] = alias->second;
                named[i] = true;
            }
        }

    std::vector<size_t> needAlias;
    for (const size_t i : order) {
        if (named[i])
            continue;
        if (IsValidShortName(longNames[i]) && taken.insert(UpperAscii(longNames[i])).second)
            shortNames[i] = longNames[i];
        else
            needAlias.push_back(i);
    }

    // The smallest free n of a stem only grows while names are handed out, so the search
    // for the next entry of the same stem starts where the last one stopped.
    std::unordered_map<std::string, unsigned> nextNumber;
    for (const size_t i : needAlias) {
        const AliasStem stem = MakeAliasStem(longNames[i]);
        std::string key = stem.base.substr(0, 6);
        key += '.';
        key += stem.extension;
        unsigned& n = nextNumber.try_emplace(key, 1u).first->second;
        shortNames[i] = FreeAlias(stem, n, taken);
    }
    if (converted)
        NameConverted(longNames, shortNames, order, remembered, taken, *converted);
    return shortNames;
}

std::vector<std::string> GenerateShortNames(const std::vector<std::string>& longNames) {
    return NameDirectory(longNames, nullptr, nullptr);
}

std::vector<std::string> GenerateShortNames(const std::vector<std::string>& longNames,
                                            const AliasTable& remembered) {
    return NameDirectory(longNames, nullptr, &remembered);
}

std::string FolderNameFromText(const std::string& text) {
    std::string name = text.substr(0, 8);
    for (char& c : name) {
        c = ToUpperAscii(c);
        if (c == '_' || !IsShortNameChar(c))
            c = '0';
    }
    return name;
}

void SplitListPath(const std::string& path, std::vector<std::string>& names) {
    std::string current;
    for (const char c : path) {
        if (c == '\\') {
            names.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
}

} // namespace stavio
