// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tags a converted song keeps, read from a source of any format and written as the
// ID3v2.3 and ID3v1 tags of its MP3 file.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace stavio {

// By TagLib's property names: TITLE, ARTIST, ALBUM, ALBUMARTIST, TRACKNUMBER ("3/12"),
// DISCNUMBER, DATE, GENRE, COMMENT and REPLAYGAIN_TRACK_GAIN / _PEAK, REPLAYGAIN_ALBUM_GAIN /
// _PEAK. Values are UTF-8.
using SongTagMap = std::map<std::string, std::string>;

// What TagLib reads from the file, completed by what the demuxer found (FFmpeg's names:
// title, album_artist, track, ...) for fields TagLib does not map in that format.
SongTagMap ReadSongTags(const std::string& path,
                        const std::vector<std::pair<std::string, std::string>>& demuxerTags);

// The song's length from TagLib's audio properties, whatever its format; 0 when unknown.
std::int64_t SongLengthMs(const std::string& path);

// The ID3v2.3 tag of those fields, with jpegCover as the front cover unless it is empty.
std::string RenderId3v2(const SongTagMap& tags, const std::string& jpegCover);
// The 128 bytes of the ID3v1 tag.
std::string RenderId3v1(const SongTagMap& tags);

} // namespace stavio
