// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How songs of other formats become MP3 files: the encoder's quality, whether the cover goes
// along, and how large the cache of converted songs may grow. Kept per user in stavio.conf.

#include <cstdint>
#include <string>

namespace stavio {

class UserConfig;

// LAME's variable bit rate presets -V0, -V2, -V5, and constant bit rates in kbit/s.
enum class ConversionQuality { V0, V2, V5, Cbr320, Cbr256, Cbr192, Cbr128 };

struct ConversionSettings {
    ConversionQuality quality = ConversionQuality::V2;
    bool embedCover = true;
    std::uint64_t cacheLimitBytes = 10ULL << 30;
    bool operator==(const ConversionSettings&) const = default;
};

// "V0", "V2", "V5", "CBR320", ...: the quality's name in stavio.conf and on the command line.
std::string QualityName(ConversionQuality quality);
// False when text names no quality.
bool ParseQuality(const std::string& text, ConversionQuality& quality);

// The highest bit rate the quality gives a song, in kbit/s: the top of the range LAME
// documents for its presets (V0 260, V2 210, V5 150), the rate itself for a constant one.
int HighestBitRate(ConversionQuality quality);

// What a song of that length takes once converted, before its conversion tells: the length
// times the quality's highest bit rate.
std::uint64_t EstimatedSize(std::int64_t lengthMilliseconds, ConversionQuality quality);

// The settings' keys in stavio.conf; missing or unreadable values keep the defaults.
ConversionSettings ReadConversionSettings(const UserConfig& config);
void WriteConversionSettings(UserConfig& config, const ConversionSettings& settings);
// The same with the user's own file (UserConfigPath); the write throws FileError.
ConversionSettings LoadConversionSettings();
void SaveConversionSettings(const ConversionSettings& settings);

} // namespace stavio
