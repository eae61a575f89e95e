// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tags.h"

#include "AudioFormats.h"

#include <taglib/fileref.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mpegfile.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <cerrno>
#include <sys/stat.h>

namespace stavio {

namespace {

struct FileStamp {
    std::int64_t size;
    std::int64_t modifiedNs;
};

// Regular files only (links followed); empty for anything else.
std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    if (!S_ISREG(st.st_mode)) {
        errno = EISDIR;
        return std::nullopt;
    }
    return FileStamp{static_cast<std::int64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                         st.st_mtim.tv_nsec};
}

std::string Utf8(const TagLib::String& text) {
    return text.stripWhiteSpace().to8Bit(true);
}

// A cache of a whole music library stays small; past this it starts afresh rather than grow
// without end in a long session.
constexpr std::size_t kMaxCachedFiles = 200000;

void ReadAudio(TagLib::File& file, TrackTags& tags) {
    // TagLib takes an MPEG frame as audio only when the next one agrees with it, so stray
    // sync bytes in text or random data give no sample rate.
    if (const TagLib::AudioProperties* audio = file.audioProperties()) {
        tags.LengthSeconds = std::max(0, audio->lengthInSeconds());
        tags.IsAudio = audio->sampleRate() > 0;
    }
}

// The other formats through their property maps, which merge every tag the file holds (a
// WAV file's own tag is only its ID3v2 one, not its INFO list).
TrackTags PropertiesOf(TagLib::File& file) {
    TrackTags tags;
    const TagLib::PropertyMap properties = file.properties();
    const auto field = [&properties](const char* key) {
        const auto found = properties.find(key);
        return found == properties.end() || found->second.isEmpty() ? std::string()
                                                                    : Utf8(found->second.front());
    };
    tags.Title = field("TITLE");
    tags.Artist = field("ARTIST");
    tags.Album = field("ALBUM");
    tags.Track = static_cast<unsigned>(std::strtoul(field("TRACKNUMBER").c_str(), nullptr, 10));
    ReadAudio(file, tags);
    return tags;
}

} // namespace

std::optional<TrackTags> ReadTrackTags(const std::string& path) {
    if (!StampOf(path))
        return std::nullopt;
    // Read-only: reading tags never needs write access, and never changes the file.
    TagLib::FileStream stream(path.c_str(), true);
    if (!stream.isOpen())
        return std::nullopt;
    if (IsOtherAudioName(path)) {
        // TagLib tells the format by the name, else by the content; one it cannot read
        // gives empty fields.
        TagLib::FileRef other(&stream, true);
        return other.file() ? PropertiesOf(*other.file()) : TrackTags{};
    }
    // An MP3 file is read as one whatever its content looks like.
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), true);
    TrackTags tags;
    // The file's tag merges ID3v2, APE and ID3v1, the first that has a field winning.
    if (const TagLib::Tag* tag = file.tag()) {
        tags.Title = Utf8(tag->title());
        tags.Artist = Utf8(tag->artist());
        tags.Album = Utf8(tag->album());
        tags.Track = tag->track();
    }
    ReadAudio(file, tags);
    return tags;
}

std::string FormatTrackLength(int seconds) {
    if (seconds <= 0)
        return {};
    const int h = seconds / 3600;
    const int m = seconds / 60 % 60;
    const int s = seconds % 60;
    char text[32];
    if (h > 0)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", h, m, s);
    else
        std::snprintf(text, sizeof text, "%d:%02d", m, s);
    return text;
}

TagCache::TagCache(Reader reader) : reader_(std::move(reader)) {}

std::optional<TrackTags> TagCache::Tags(const std::string& path) {
    const std::optional<FileStamp> stamp = StampOf(path);
    if (!stamp)
        return std::nullopt;
    {
        const std::lock_guard lock(mutex_);
        const auto it = entries_.find(path);
        if (it != entries_.end() && it->second.size == stamp->size &&
            it->second.modifiedNs == stamp->modifiedNs)
            return it->second.tags;
    }
    // Read without holding the lock, so other threads' look-ups go on meanwhile.
    std::optional<TrackTags> tags = reader_(path);
    if (!tags)
        return std::nullopt;
    const std::lock_guard lock(mutex_);
    if (entries_.size() >= kMaxCachedFiles)
        entries_.clear();
    entries_.insert_or_assign(path, Entry{stamp->size, stamp->modifiedNs, *tags});
    return tags;
}

std::size_t TagCache::Size() const {
    const std::lock_guard lock(mutex_);
    return entries_.size();
}

} // namespace stavio
