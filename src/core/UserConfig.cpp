// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserConfig.h"

#include "FileLayer.h"
#include "TextFile.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace stavio {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

std::string UserConfigPath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return std::string(configHome) + "/stavio/stavio.conf";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/stavio/stavio.conf";
}

UserConfig UserConfig::Load(const std::string& path) {
    UserConfig config;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const std::string trimmed = Trimmed(line);
        const auto equals = trimmed.find('=');
        if (trimmed.empty() || trimmed[0] == '#' || equals == std::string::npos)
            continue;
        config.Set(Trimmed(trimmed.substr(0, equals)), Trimmed(trimmed.substr(equals + 1)));
    }
    return config;
}

void UserConfig::Save(const std::string& path) const {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::string bytes;
    for (const auto& [key, value] : entries_)
        bytes += key + "=" + value + "\n";
    const std::string name = path.substr(path.find_last_of('/') + 1);
    BesideFile file(path, {.temporary = name + ".tmp" + std::to_string(::getpid()),
                           .replace = Replace::Always,
                           .flush = Flush::File,
                           .newFileMode = 0644});
    file.Write(bytes);
    if (const int error = file.Place(); error != 0)
        throw FileError(error, path);
}

std::optional<std::string> UserConfig::Get(const std::string& key) const {
    for (const auto& [k, value] : entries_)
        if (k == key)
            return value;
    return std::nullopt;
}

bool UserConfig::GetBool(const std::string& key, bool fallback) const {
    const auto value = Get(key);
    if (value == "1")
        return true;
    if (value == "0")
        return false;
    return fallback;
}

long long UserConfig::GetInt(const std::string& key, long long fallback) const {
    const auto value = Get(key);
    if (!value)
        return fallback;
    long long number = 0;
    const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), number);
    return error == std::errc() && end == value->data() + value->size() ? number : fallback;
}

void UserConfig::Set(const std::string& key, const std::string& value) {
    for (auto& [k, v] : entries_)
        if (k == key) {
            v = value;
            return;
        }
    entries_.emplace_back(key, value);
}

} // namespace stavio
