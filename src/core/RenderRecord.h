// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SYSTEM/STAVIO.LST: what the renders wrote into the numbered folders of a target, so that a
// render removes only its own files and knows which ones it may leave as they are. One line
// per file: folder, name, size and time as written, then what it was made from (the source's
// resolved path, size and time, and the conversion settings, empty for a plain copy).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace stavio {

struct RecordedFile {
    std::uint64_t size = 0;
    std::int64_t timeNs = 0;
    std::string sourcePath; // resolved
    std::uint64_t sourceSize = 0;
    std::int64_t sourceTimeNs = 0;
    std::string settings;
};

// Keyed by numbered folder and name.
using RenderRecord = std::map<std::pair<std::string, std::string>, RecordedFile>;

inline constexpr const char* kRecordName = "STAVIO.LST";

// The record's bytes, its version line first.
std::string RecordText(const RenderRecord& record);
// Nothing when the text is not a record of this version or a line is damaged: then nothing
// is known.
std::optional<RenderRecord> ParseRecord(const std::string& text);

} // namespace stavio
