// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small MP3 files written byte by byte: silent MPEG-1 Layer III frames (128 kbit/s,
// 44.1 kHz) with ID3v1 and ID3v2 tags around them, as the tests need them.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace stavio::test {

// frames of 417 bytes, 1152 samples each: 120 frames last 3.1 s.
inline std::string Mp3Frames(int frames) {
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB'; // MPEG-1, Layer III, no CRC
    frame[2] = '\x90'; // 128 kbit/s, 44.1 kHz, no padding
    frame[3] = '\x00';
    std::string data;
    for (int i = 0; i < frames; ++i)
        data += frame;
    return data;
}

// Bytes that are no song, the same in every run.
inline std::string RandomBytes(std::size_t size) {
    std::mt19937 random(1998);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    return bytes;
}

// ID3v1.1: 128 bytes at the end of the file, Latin-1 fields padded with zeros.
inline std::string Id3v1(const std::string& title, const std::string& artist,
                         const std::string& album, int track) {
    auto field = [](std::string text, std::size_t size) {
        text.resize(size, '\0');
        return text;
    };
    std::string tag = "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) +
                      field("2004", 4) + field("", 28);
    tag += '\0';
    tag += static_cast<char>(track);
    tag += '\xFF'; // no genre
    return tag;
}

// One ID3v2 text frame: the encoding byte (0 Latin-1, 1 UTF-16 with BOM, 2 UTF-16BE,
// 3 UTF-8) and the text already in that encoding.
struct Id3Frame {
    std::string id;
    int encoding;
    std::string text;
};

inline std::string BigEndian(std::uint32_t value, bool syncsafe) {
    std::string bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(value & (syncsafe ? 0x7F : 0xFF));
        value >>= syncsafe ? 7 : 8;
    }
    return bytes;
}

// An ID3v2.3 or 2.4 tag at the start of the file.
inline std::string Id3v2(int version, const std::vector<Id3Frame>& frames) {
    std::string body;
    for (const Id3Frame& f : frames) {
        const std::string content = std::string(1, static_cast<char>(f.encoding)) + f.text;
        body += f.id + BigEndian(static_cast<std::uint32_t>(content.size()), version >= 4);
        body += std::string(2, '\0');
        body += content;
    }
    return std::string("ID3") + static_cast<char>(version) + '\0' + '\0' +
           BigEndian(static_cast<std::uint32_t>(body.size()), true) + body;
}

// Text in the UTF-16 forms of ID3v2, from ASCII and the few code points the tests use.
inline std::string Utf16(const std::u16string& text, bool bigEndian, bool bom) {
    std::string bytes;
    auto put = [&](char16_t c) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    };
    if (bom)
        put(u'\uFEFF');
    for (char16_t c : text)
        put(c);
    return bytes;
}

} // namespace stavio::test
