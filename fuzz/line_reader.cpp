// SPDX-License-Identifier: GPL-3.0-or-later
// The line reader against a plain model of the line rules: a line ends at CR, an LF right
// after it is skipped, a lone LF belongs to the line, 0x1A ends the file, and past the end
// come empty lines. The first input byte may push the rest across the reader's 64 KiB
// chunk boundary. Every line also goes through the count conversion.

#include "FuzzSupport.h"
#include "TextFile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using stavio::fuzz::WriteWholeFile;

constexpr size_t kChunk = 64 * 1024;

struct ModelReader {
    std::string bytes;
    size_t pos = 0;

    size_t End() const {
        const size_t stop = bytes.find('\x1A');
        return stop == std::string::npos ? bytes.size() : stop;
    }
    int Peek() const { return pos < End() ? static_cast<unsigned char>(bytes[pos]) : -1; }
    std::string ReadLine() {
        const size_t end = End();
        const size_t cr = std::min(bytes.find('\r', pos), end);
        std::string line = pos < end ? bytes.substr(pos, cr - pos) : std::string();
        pos = std::max(pos, cr);
        if (pos < end) {
            ++pos; // CR
            if (pos < end && bytes[pos] == '\n')
                ++pos;
        }
        return line;
    }
};

// Blanks, a sign, decimal digits, the 32-bit range; nothing else.
bool ModelStrToInt(const std::string& text, int& value) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return false;
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-')
        ++i;
    if (i == text.size())
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (text[i] - '0');
        if (v > 1LL + INT_MAX)
            return false;
    }
    v = negative ? -v : v;
    if (v < INT_MIN || v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    return true;
}

void CheckCount(const std::string& line) {
    int expected = 0;
    const bool valid = ModelStrToInt(line, expected);
    try {
        const int got = stavio::StrToInt(line);
        STAVIO_FUZZ_CHECK(valid && got == expected);
    } catch (const stavio::ConvertError&) {
        STAVIO_FUZZ_CHECK(!valid);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::string bytes;
    // One first byte in eight pads the first line so the rest lands around the chunk boundary.
    if (data[0] % 8 == 1)
        bytes.assign(kChunk - 128 + data[0], 'x');
    bytes.append(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::string path = stavio::fuzz::WorkFolder() + "/lines.txt";
    WriteWholeFile(path, bytes);

    ModelReader model{bytes};
    stavio::TextLineReader reader(path);
    // Every line of the file, then a few past the end.
    size_t extra = 0;
    while (extra < 3) {
        STAVIO_FUZZ_CHECK(reader.Peek() == model.Peek());
        STAVIO_FUZZ_CHECK(reader.AtEnd() == (model.Peek() < 0));
        if (model.Peek() < 0)
            ++extra;
        const std::string line = reader.ReadLine();
        STAVIO_FUZZ_CHECK(line == model.ReadLine());
        STAVIO_FUZZ_CHECK(line.find('\r') == std::string::npos);
        if (line.size() < 64)
            CheckCount(line);
    }
    return 0;
}
