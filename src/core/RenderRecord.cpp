// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderRecord.h"

#include "LineEscape.h"

#include <charconv>
#include <vector>

namespace stavio {

namespace {

constexpr const char* kVersionLine = "STAVIO.LST 1";

std::string Escaped(const std::string& text) {
    std::string out;
    AppendEscaped(out, text);
    return out;
}

std::optional<std::string> Unescaped(const std::string& text) {
    std::string out;
    return Unescape(text, out) ? std::optional<std::string>(std::move(out)) : std::nullopt;
}

template <typename T> bool Number(const std::string& text, T& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

bool IsNumberedFolder(const std::string& name) {
    if (name.size() != 8)
        return false;
    for (const char c : name)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

std::string RecordText(const RenderRecord& record) {
    std::string text = kVersionLine;
    text += '\n';
    for (const auto& [key, file] : record) {
        text += key.first + '\t' + Escaped(key.second) + '\t' + std::to_string(file.size) + '\t' +
                std::to_string(file.timeNs) + '\t' + std::to_string(file.sourceSize) + '\t' +
                std::to_string(file.sourceTimeNs) + '\t' + Escaped(file.settings) + '\t' +
                Escaped(file.sourcePath) + '\n';
    }
    return text;
}

std::optional<RenderRecord> ParseRecord(const std::string& text) {
    size_t start = text.find('\n');
    if (start == std::string::npos || text.compare(0, start, kVersionLine) != 0)
        return std::nullopt;
    ++start;
    RenderRecord record;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return std::nullopt; // cut short
        const std::vector<std::string> fields = Fields(text.substr(start, end - start));
        start = end + 1;
        if (fields.size() != 8 || !IsNumberedFolder(fields[0]))
            return std::nullopt;
        RecordedFile file;
        const auto name = Unescaped(fields[1]);
        const auto settings = Unescaped(fields[6]);
        const auto source = Unescaped(fields[7]);
        if (!name || name->empty() || *name == "." || *name == ".." ||
            name->find('/') != std::string::npos || !settings || !source ||
            !Number(fields[2], file.size) || !Number(fields[3], file.timeNs) ||
            !Number(fields[4], file.sourceSize) || !Number(fields[5], file.sourceTimeNs))
            return std::nullopt;
        file.settings = *settings;
        file.sourcePath = *source;
        record[{fields[0], *name}] = std::move(file);
    }
    return record;
}

} // namespace stavio
