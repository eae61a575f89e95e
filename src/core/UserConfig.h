// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's own settings beside the seven-line settings file: "Key=Value" lines in
// $XDG_CONFIG_HOME/stavio/stavio.conf. Keys this build does not know are kept as they are, so
// an older or newer build never loses another's settings.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace stavio {

// $XDG_CONFIG_HOME/stavio/stavio.conf, or ~/.config/stavio/stavio.conf.
std::string UserConfigPath();

class UserConfig {
public:
    // A missing file is an empty store; lines without "=" and lines starting with "#" are
    // ignored. Never throws.
    static UserConfig Load(const std::string& path);
    // Writes every key, in the order first read or set, to a temporary file that replaces the
    // file when complete; creates the folders. Throws FileError.
    void Save(const std::string& path) const;

    std::optional<std::string> Get(const std::string& key) const;
    // Unreadable values give the fallback.
    bool GetBool(const std::string& key, bool fallback) const;
    long long GetInt(const std::string& key, long long fallback) const;
    void Set(const std::string& key, const std::string& value);
    void SetBool(const std::string& key, bool value) { Set(key, value ? "1" : "0"); }
    void SetInt(const std::string& key, long long value) { Set(key, std::to_string(value)); }

private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

} // namespace stavio
