// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the conversion tests ask of an independent decoder: FFmpeg's command-line tools read
// the sample songs and the MP3 files made from them.

#include "TempDir.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace stavio::test {

inline std::string Sample(const std::string& name) {
    return std::string(STAVIO_SAMPLES) + "/" + name;
}

// The song as ffmpeg decodes it, mixed to one channel at rate.
inline std::vector<float> Decoded(const std::string& path, int rate) {
    const std::string bytes = CommandOutput("ffmpeg -nostdin -v error -i " + Quoted(path) +
                                            " -f f32le -ac 1 -ar " + std::to_string(rate) + " -");
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

// "key=value" lines of ffprobe's -show_entries, as a map (tags keep ffprobe's "TAG:" prefix).
inline std::map<std::string, std::string> Probe(const std::string& path,
                                                const std::string& entries) {
    std::map<std::string, std::string> found;
    std::istringstream lines(CommandOutput("ffprobe -v error -of default=nw=1 -show_entries " +
                                           entries + " " + Quoted(path)));
    std::string line;
    while (std::getline(lines, line))
        if (const auto equals = line.find('='); equals != std::string::npos)
            found.emplace(line.substr(0, equals), line.substr(equals + 1));
    return found;
}

} // namespace stavio::test
