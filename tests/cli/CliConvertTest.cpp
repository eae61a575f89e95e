// SPDX-License-Identifier: GPL-3.0-or-later
// stavio-cli convert: one song with the user's settings, and the calls it refuses.

#define STAVIO_SAMPLES "" // this test makes its own song
#include "../core/AudioCheck.h"
#include "../core/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace stavio {
namespace {

using test::Quoted;
using test::TempDir;

TEST(CliConvert, ConvertsWithTheUsersSettingsAndNeverOverTheSource) {
    TempDir dir;
    const std::string flac = dir / "song.flac";
    std::system(("ffmpeg -nostdin -v error -f lavfi -i sine=duration=1 " + Quoted(flac)).c_str());
    const std::string before = test::ReadBytes(flac);
    ASSERT_FALSE(before.empty());
    struct Case {
        std::string args;
        std::string conf; // stavio.conf
        int exitCode;
        std::string error;   // part of stderr
        std::string bitRate; // of the MP3 made, "" when none is made
    };
    const Case cases[] = {
        {Quoted(flac) + " " + Quoted(dir / "a.mp3"), "", 0, "", ""},
        {Quoted(flac) + " " + Quoted(dir / "b.mp3"), "ConversionQuality=CBR128\n", 0, "", "128000"},
        {Quoted(dir / "none.flac") + " " + Quoted(dir / "c.mp3"), "", 2, "Fichier introuvable", ""},
        {Quoted(flac) + " " + Quoted(flac), "", 2, "would replace its source", ""},
        {Quoted(dir / "a.mp3") + " " + Quoted(dir / "d.mp3"), "", 2, "never converted", ""},
        {Quoted(flac), "", 2, "Usage", ""},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.args);
        test::WriteBytes(dir.Folder("config/stavio") + "/stavio.conf", row.conf);
        const int status =
            std::system(("XDG_CONFIG_HOME=" + Quoted(dir / "config") + " " +
                         STAVIO_CLI " convert " + row.args + " 2>" + Quoted(dir / "err"))
                            .c_str());
        EXPECT_EQ(WEXITSTATUS(status), row.exitCode);
        EXPECT_NE(test::ReadBytes(dir / "err").find(row.error), std::string::npos);
        if (!row.bitRate.empty()) {
            EXPECT_EQ(test::Probe(dir / "b.mp3", "stream=bit_rate").at("bit_rate"), row.bitRate);
        }
    }
    EXPECT_EQ(test::ReadBytes(flac), before);
    EXPECT_TRUE(std::filesystem::exists(dir / "a.mp3"));
    EXPECT_FALSE(std::filesystem::exists(dir / "c.mp3") || std::filesystem::exists(dir / "d.mp3"));
}

} // namespace
} // namespace stavio
