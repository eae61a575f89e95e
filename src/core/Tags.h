// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a song file says about itself: its title, artist, album, track number and length,
// read with TagLib from an MP3 file's ID3v1 and ID3v2 tags or from the tags of a song of
// another format (IsOtherAudioName), and a cache of them that stays valid as
// long as the file keeps its size and modification time.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace stavio {

struct TrackTags {
    // UTF-8, whatever encoding the tag used; empty when the tag has no such field.
    std::string Title;
    std::string Artist;
    std::string Album;
    unsigned Track = 0;    // 0: none
    int LengthSeconds = 0; // 0: unknown
    // Audio was found (for an MP3 file, an MPEG frame): false for an empty file, text,
    // random bytes.
    bool IsAudio = false;
    bool operator==(const TrackTags&) const = default;
};

// Empty when the file cannot be read (missing, a folder, no permission), with errno telling
// why. A file without tags, or with damaged ones, gives empty fields; one that holds no
// audio of its kind gives them too, with IsAudio false.
std::optional<TrackTags> ReadTrackTags(const std::string& path);

// A length as the lists show it: "m:ss", or "h:mm:ss" from an hour on; "" for 0.
std::string FormatTrackLength(int seconds);

// Tags by path, read once and read again only when the file's size or modification time
// changed. Safe to use from several threads at once: the explorer reads off the window's
// thread while the lists' tooltips read on it.
class TagCache {
public:
    using Reader = std::function<std::optional<TrackTags>(const std::string& path)>;
    explicit TagCache(Reader reader = ReadTrackTags);
    TagCache(const TagCache&) = delete;
    TagCache& operator=(const TagCache&) = delete;

    std::optional<TrackTags> Tags(const std::string& path);
    std::size_t Size() const;

private:
    struct Entry {
        std::int64_t size;
        std::int64_t modifiedNs;
        TrackTags tags;
    };
    Reader reader_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
};

} // namespace stavio
