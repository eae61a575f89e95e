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

// Whether the lists take a file of that name: MP3 files always, the other formats only while
// the user's "other audio formats" setting is on.
bool IsTakenAudioName(const std::string& name, bool otherFormats);

// The explorer's file mask for the same rule: "*.mp3", or that and "*.flac;*.ogg;..." after it.
std::string AudioFileMask(bool otherFormats);

// The setting in the user's stavio.conf (UserConfigPath); off when missing. The write throws
// FileError.
bool LoadOtherAudioFormats();
void SaveOtherAudioFormats(bool otherFormats);

} // namespace stavio
