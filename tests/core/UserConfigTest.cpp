// SPDX-License-Identifier: GPL-3.0-or-later
// stavio.conf: the conversion settings read from it and written back beside other keys, and
// the size a song is expected to take before its conversion.

#include "UserConfig.h"
#include "ConversionSettings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace stavio {
namespace {

using test::TempDir;

TEST(UserConfig, ConversionSettingsAreReadAndWrittenBesideOtherKeys) {
    struct Case {
        std::string file;
        ConversionSettings expected;
    };
    const ConversionSettings defaults;
    const Case cases[] = {
        {"", defaults},
        {"OtherAudioFormats=1\n", defaults},
        {"ConversionQuality=V0\nConversionEmbedCover=0\nConversionCacheLimitMB=512\n",
         {ConversionQuality::V0, false, 512ULL << 20}},
        {" ConversionQuality = CBR128 \r\n# a comment\n",
         {ConversionQuality::Cbr128, true, 10ULL << 30}},
        {"ConversionQuality=V9\nConversionEmbedCover=yes\nConversionCacheLimitMB=lots\n", defaults},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.file);
        TempDir dir;
        const std::string path = dir.File("stavio.conf", row.file);
        UserConfig config = UserConfig::Load(path);
        EXPECT_EQ(ReadConversionSettings(config), row.expected);

        const ConversionSettings changed{ConversionQuality::Cbr256, false, 3ULL << 30};
        WriteConversionSettings(config, changed);
        config.Save(dir / "new/stavio.conf");
        const UserConfig again = UserConfig::Load(dir / "new/stavio.conf");
        EXPECT_EQ(ReadConversionSettings(again), changed);
        EXPECT_EQ(again.GetBool("OtherAudioFormats", false), row.file.starts_with("Other"));
    }
}

TEST(UserConfig, EstimatedSizeIsTheLengthAtTheQualitysHighestBitRate) {
    struct Case {
        ConversionQuality quality;
        std::uint64_t bytesForThreeMinutes; // 180 s x kbit/s x 1000 / 8
    };
    const Case cases[] = {
        {ConversionQuality::V0, 5850000},     {ConversionQuality::V2, 4725000},
        {ConversionQuality::V5, 3375000},     {ConversionQuality::Cbr320, 7200000},
        {ConversionQuality::Cbr256, 5760000}, {ConversionQuality::Cbr192, 4320000},
        {ConversionQuality::Cbr128, 2880000},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(QualityName(row.quality));
        EXPECT_EQ(EstimatedSize(180000, row.quality), row.bytesForThreeMinutes);
        ConversionQuality parsed{};
        EXPECT_TRUE(ParseQuality(QualityName(row.quality), parsed));
        EXPECT_EQ(parsed, row.quality);
    }
    EXPECT_EQ(EstimatedSize(0, ConversionQuality::V2), 0u);
}

} // namespace
} // namespace stavio
