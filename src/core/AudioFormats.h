// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which audio files other than MP3 files (IsMp3Name, PathDrop.h) a render converts, told by
// the extension, compared without regard to case.

#include <string>
#include <vector>

namespace stavio {

// "flac", "ogg", "oga", "opus", "m4a", "mp4", "wav", "aif", "aiff", "wv", "wma".
const std::vector<std::string>& OtherAudioExtensions();

bool IsOtherAudioName(const std::string& name);

} // namespace stavio
