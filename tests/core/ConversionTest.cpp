// SPDX-License-Identifier: GPL-3.0-or-later
// One song of each accepted format made into an MP3 file, checked by ffmpeg's own decoder;
// the sources a conversion refuses; Cancel.

#include "Conversion.h"
#include "AudioCheck.h"
#include "Tags.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

namespace stavio {
namespace {

using test::Probe;
using test::Sample;
using test::TempDir;

struct FormatCase {
    const char* sample;
    int rate;
    int channels;
    bool cover;
    bool replayGain; // and an album artist and disc number
};

// clang-format off
const FormatCase kFormats[] = {
    {"flac.flac", 44100, 2, true, true},       {"mono.flac", 44100, 1, true, true},
    {"hires96k.flac", 48000, 2, false, true},  {"vorbis.ogg", 44100, 2, true, true},
    {"opus.opus", 48000, 2, true, true},       {"aac.m4a", 44100, 2, true, false},
    {"alac.m4a", 44100, 2, true, false},       {"aac48k.mp4", 48000, 2, true, false},
    {"wav.wav", 44100, 2, false, false},       {"aiff.aiff", 44100, 2, true, true},
    {"wavpack.wv", 44100, 2, false, true},     {"wma.wma", 44100, 2, false, true},
};
// clang-format on

TEST(Conversion, EveryFormatBecomesAGaplessTaggedMp3WithItsCover) {
    const std::atomic<bool> cancel{false};
    for (const FormatCase& row : kFormats) {
        SCOPED_TRACE(row.sample);
        // The explorer's columns and the lists' tooltips read the source's own tags.
        const std::optional<TrackTags> own = ReadTrackTags(Sample(row.sample));
        ASSERT_TRUE(own && own->IsAudio);
        EXPECT_EQ(own->Title + "|" + own->Artist + "|" + own->Album + "|" +
                      std::to_string(own->Track),
                  "T\xC3\xABst Title|Test Artist|Test Album|3");
        EXPECT_NEAR(own->LengthSeconds, 3, 1);
        TempDir out;
        const std::string mp3 = out / "song.mp3";
        const ConversionResult result = ConvertToMp3(Sample(row.sample), mp3, {}, cancel);
        ASSERT_TRUE(result.Ok()) << static_cast<int>(result.status);
        EXPECT_EQ(result.bytes, std::filesystem::file_size(mp3));
        EXPECT_EQ(test::FolderEntries(out.Path()).size(), 1u); // no temporary file left

        const auto audio = Probe(mp3, "stream=codec_name,sample_rate,channels:stream_disposition="
                                      "attached_pic -select_streams a");
        EXPECT_EQ(audio.at("codec_name"), "mp3");
        EXPECT_EQ(audio.at("sample_rate"), std::to_string(row.rate));
        EXPECT_EQ(audio.at("channels"), std::to_string(row.channels));
        const std::string bytes = test::ReadBytes(mp3);
        EXPECT_EQ(bytes.substr(0, 4), std::string("ID3\x03", 4));
        EXPECT_EQ(bytes.substr(bytes.size() - 128, 3), "TAG");

        // Gapless: as many samples as the source decodes to, within one frame, and the same
        // sound (the error's energy small beside the signal's).
        const std::vector<float> source = test::Decoded(Sample(row.sample), row.rate);
        const std::vector<float> converted = test::Decoded(mp3, row.rate);
        EXPECT_NEAR(static_cast<double>(converted.size()), static_cast<double>(source.size()),
                    1152);
        double signal = 0, error = 0;
        for (size_t i = 0; i < std::min(source.size(), converted.size()); ++i) {
            signal += source[i] * source[i];
            error += (source[i] - converted[i]) * (source[i] - converted[i]);
        }
        EXPECT_LT(error, signal * 0.01);

        const auto tags = Probe(mp3, "format_tags");
        EXPECT_EQ(tags.at("TAG:title"), "T\xC3\xABst Title");
        EXPECT_EQ(tags.at("TAG:artist"), "Test Artist");
        EXPECT_EQ(tags.at("TAG:album"), "Test Album");
        EXPECT_EQ(tags.at("TAG:date"), "2021");
        EXPECT_EQ(tags.at("TAG:genre"), "Jazz");
        EXPECT_EQ(tags.count("TAG:comment") + tags.count("TAG:track"), 2u);
        if (row.replayGain) {
            EXPECT_EQ(tags.at("TAG:album_artist"), "Album Artist");
            EXPECT_EQ(tags.at("TAG:disc"), "1/2");
            EXPECT_EQ(tags.at("TAG:REPLAYGAIN_TRACK_GAIN"), "-6.50 dB");
        }
        const auto cover = Probe(mp3, "stream=codec_name,width,height -select_streams v");
        EXPECT_EQ(cover.count("codec_name"), row.cover ? 1u : 0u);
        if (row.cover) {
            EXPECT_EQ(cover.at("codec_name"), "mjpeg");
            EXPECT_EQ(cover.at("width") + "x" + cover.at("height"), "500x375"); // from 640x480
        }
    }
}

TEST(Conversion, RefusedSourcesLeaveNothingAndTheSourceUntouched) {
    TempDir dir;
    const std::string flac = dir / "copy.flac";
    std::filesystem::copy_file(Sample("flac.flac"), flac);
    const std::string link = dir / "link.mp3";
    std::filesystem::create_hard_link(flac, link);
    const std::string before = test::ReadBytes(flac);
    struct Case {
        std::string source;
        std::string destination;
        ConversionStatus status;
        std::string reason;
    };
    const Case cases[] = {
        {Sample("song.mp3"), dir / "a.mp3", ConversionStatus::Mp3Source,
         "MP3 file: copied as it is, never converted"},
        {Sample("mp3inside.flac"), dir / "b.mp3", ConversionStatus::Mp3Source, ""},
        {Sample("damaged.flac"), dir / "c.mp3", ConversionStatus::Undecodable,
         "Unreadable audio format or damaged file"},
        {Sample("noise.ogg"), dir / "d.mp3", ConversionStatus::Undecodable, ""},
        {Sample("cut.flac"), dir / "f.mp3", ConversionStatus::Undecodable, ""},
        {dir / "missing.flac", dir / "e.mp3", ConversionStatus::SourceUnreadable,
         "Fichier introuvable"},
        {flac, flac, ConversionStatus::OverSource, "The conversion would replace its source file"},
        {flac, link, ConversionStatus::OverSource, ""},
        {flac, dir / "no/folder.mp3", ConversionStatus::WriteFailed,
         "Chemin d'acc\xC3\xA8s introuvable"},
    };
    const std::atomic<bool> cancel{false};
    for (const Case& row : cases) {
        SCOPED_TRACE(row.source + " -> " + row.destination);
        const ConversionResult result = ConvertToMp3(row.source, row.destination, {}, cancel);
        EXPECT_EQ(result.status, row.status);
        if (!row.reason.empty()) {
            EXPECT_EQ(ConversionFailureText(result, Language::English), row.reason);
        }
    }
    EXPECT_EQ(test::ReadBytes(flac), before);
    EXPECT_EQ(test::FolderEntries(dir.Path()).size(), 2u); // copy.flac and link.mp3 only
}

TEST(Conversion, CancelStopsWithinHalfASecondAndLeavesNoFile) {
    TempDir out;
    std::atomic<bool> cancel{false};
    std::chrono::steady_clock::time_point cancelled;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        cancelled = std::chrono::steady_clock::now();
        cancel = true;
    });
    const ConversionResult result = ConvertToMp3(Sample("long.flac"), out / "long.mp3", {}, cancel);
    const auto stopped = std::chrono::steady_clock::now();
    canceller.join();
    EXPECT_EQ(result.status, ConversionStatus::Cancelled);
    EXPECT_LT(stopped - cancelled, std::chrono::milliseconds(500));
    EXPECT_TRUE(test::FolderEntries(out.Path()).empty());
}

} // namespace
} // namespace stavio
