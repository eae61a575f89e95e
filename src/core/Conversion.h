// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One song of another format made into an MP3 file: decoded with FFmpeg's libraries,
// encoded with LAME (stereo, or mono for a mono source; 44.1 or 48 kHz after the source's
// rate), with LAME's Info tag so players show the right length and gapless decoders drop the
// encoder's padding, and the source's tags and front cover as ID3v2.3 and ID3v1 tags.

#include "ConversionSettings.h"
#include "ProgramState.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace stavio {

enum class ConversionStatus {
    Done,
    SourceUnreadable, // errnoValue says why
    Mp3Source,        // an MP3 file is copied, never converted
    Undecodable,      // not audio FFmpeg can decode, or damaged
    OverSource,       // the output would replace the source
    EncoderFailed,
    WriteFailed, // errnoValue says why
    Cancelled,
};

struct ConversionResult {
    ConversionStatus status = ConversionStatus::Done;
    int errnoValue = 0;
    std::uint64_t bytes = 0;  // the MP3 file's size
    std::int64_t samples = 0; // per channel, at the MP3's rate, as a gapless decoder gives
    bool Ok() const { return status == ConversionStatus::Done; }
};

// The reason for the failure report: the runtime's French text for a file error, the
// language's text otherwise; UTF-8.
std::string ConversionFailureText(const ConversionResult& result, Language language);

// Converts source into destination, written under a temporary name in destination's folder
// and renamed when complete; nothing is left behind on failure or cancel. Refuses an MP3
// source and a destination that is the source itself (by any name). Watches cancel between
// packets, so a cancel ends it within milliseconds. Safe to call from several threads.
ConversionResult ConvertToMp3(const std::string& source, const std::string& destination,
                              const ConversionSettings& settings, const std::atomic<bool>& cancel);

// LAME's version and this converter's own, for the cache's key: a new encoder converts again.
std::string EncoderVersion();

} // namespace stavio
