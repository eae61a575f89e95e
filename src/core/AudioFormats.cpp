// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioFormats.h"

#include "PathDrop.h"
#include "UserConfig.h"

#include <algorithm>
#include <cctype>

namespace stavio {

namespace {

constexpr const char* kOtherFormatsKey = "OtherAudioFormats";

// The extension after the last dot of the last path component, in lower case.
std::string Extension(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos)
        return {};
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

} // namespace

const std::vector<std::string>& OtherAudioExtensions() {
    static const std::vector<std::string> extensions = {"flac", "ogg", "oga",  "opus", "m4a", "mp4",
                                                        "wav",  "aif", "aiff", "wv",   "wma"};
    return extensions;
}

bool IsOtherAudioName(const std::string& name) {
    const auto& extensions = OtherAudioExtensions();
    return std::find(extensions.begin(), extensions.end(), Extension(name)) != extensions.end();
}

bool IsTakenAudioName(const std::string& name, bool otherFormats) {
    return IsMp3Name(name) || (otherFormats && IsOtherAudioName(name));
}

std::string AudioFileMask(bool otherFormats) {
    std::string mask = "*.mp3";
    if (otherFormats)
        for (const std::string& extension : OtherAudioExtensions())
            mask += ";*." + extension;
    return mask;
}

bool LoadOtherAudioFormats() {
    return UserConfig::Load(UserConfigPath()).GetBool(kOtherFormatsKey, false);
}

void SaveOtherAudioFormats(bool otherFormats) {
    const std::string path = UserConfigPath();
    UserConfig config = UserConfig::Load(path);
    config.SetBool(kOtherFormatsKey, otherFormats);
    config.Save(path);
}

} // namespace stavio
