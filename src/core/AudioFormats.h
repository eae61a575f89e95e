// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which song files are MP3 files, copied as they are, and which other audio files a render
// converts; both told by the extension, compared without regard to case.

#include <string>
#include <vector>

namespace stavio {

// "flac", "ogg", "oga", "opus", "m4a", "mp4", "wav", "aif", "aiff", "wv", "wma".
const std::vector<std::string>& OtherAudioExtensions();

bool IsMp3Name(const std::string& name);
bool IsOtherAudioName(const std::string& name);

} // namespace stavio
