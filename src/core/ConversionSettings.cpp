// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConversionSettings.h"

#include "UserConfig.h"

#include <array>
#include <utility>

namespace stavio {

namespace {

struct QualityRow {
    ConversionQuality quality;
    const char* name;
    int highestKbps;
};

constexpr std::array<QualityRow, 7> kQualities = {{
    {ConversionQuality::V0, "V0", 260},
    {ConversionQuality::V2, "V2", 210},
    {ConversionQuality::V5, "V5", 150},
    {ConversionQuality::Cbr320, "CBR320", 320},
    {ConversionQuality::Cbr256, "CBR256", 256},
    {ConversionQuality::Cbr192, "CBR192", 192},
    {ConversionQuality::Cbr128, "CBR128", 128},
}};

const QualityRow& Row(ConversionQuality quality) {
    for (const QualityRow& row : kQualities)
        if (row.quality == quality)
            return row;
    return kQualities[1];
}

constexpr const char* kQualityKey = "ConversionQuality";
constexpr const char* kCoverKey = "ConversionEmbedCover";
constexpr const char* kCacheLimitKey = "ConversionCacheLimitMB";

} // namespace

std::string QualityName(ConversionQuality quality) {
    return Row(quality).name;
}

bool ParseQuality(const std::string& text, ConversionQuality& quality) {
    for (const QualityRow& row : kQualities)
        if (text == row.name) {
            quality = row.quality;
            return true;
        }
    return false;
}

int HighestBitRate(ConversionQuality quality) {
    return Row(quality).highestKbps;
}

std::uint64_t EstimatedSize(std::int64_t lengthMilliseconds, ConversionQuality quality) {
    if (lengthMilliseconds <= 0)
        return 0;
    // kbit/s x ms / 8 = bytes
    return static_cast<std::uint64_t>(lengthMilliseconds) *
           static_cast<std::uint64_t>(HighestBitRate(quality)) / 8;
}

ConversionSettings ReadConversionSettings(const UserConfig& config) {
    ConversionSettings settings;
    if (const auto name = config.Get(kQualityKey))
        ParseQuality(*name, settings.quality);
    settings.embedCover = config.GetBool(kCoverKey, settings.embedCover);
    const long long limitMb = config.GetInt(kCacheLimitKey, -1);
    if (limitMb >= 0)
        settings.cacheLimitBytes = static_cast<std::uint64_t>(limitMb) << 20;
    return settings;
}

void WriteConversionSettings(UserConfig& config, const ConversionSettings& settings) {
    config.Set(kQualityKey, QualityName(settings.quality));
    config.SetBool(kCoverKey, settings.embedCover);
    config.SetInt(kCacheLimitKey, static_cast<long long>(settings.cacheLimitBytes >> 20));
}

ConversionSettings LoadConversionSettings() {
    return ReadConversionSettings(UserConfig::Load(UserConfigPath()));
}

void SaveConversionSettings(const ConversionSettings& settings) {
    const std::string path = UserConfigPath();
    UserConfig config = UserConfig::Load(path);
    WriteConversionSettings(config, settings);
    config.Save(path);
}

} // namespace stavio
