// SPDX-License-Identifier: GPL-3.0-or-later
#include "SongTags.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace stavio {

namespace {

// Each field under the names formats and taggers give it, TagLib's first.
struct FieldNames {
    const char* key;
    std::vector<const char*> aliases; // TagLib property names, then FFmpeg's
};

const std::vector<FieldNames>& Fields() {
    static const std::vector<FieldNames> fields = {
        {"TITLE", {"TITLE", "title"}},
        {"ARTIST", {"ARTIST", "artist"}},
        {"ALBUM", {"ALBUM", "album"}},
        {"ALBUMARTIST", {"ALBUMARTIST", "ALBUM_ARTIST", "ALBUM ARTIST", "album_artist"}},
        {"TRACKNUMBER", {"TRACKNUMBER", "track"}},
        {"DISCNUMBER", {"DISCNUMBER", "disc"}},
        {"DATE", {"DATE", "YEAR", "date"}},
        {"GENRE", {"GENRE", "genre"}},
        {"COMMENT", {"COMMENT", "DESCRIPTION", "comment"}},
        {"REPLAYGAIN_TRACK_GAIN", {"REPLAYGAIN_TRACK_GAIN"}},
        {"REPLAYGAIN_TRACK_PEAK", {"REPLAYGAIN_TRACK_PEAK"}},
        {"REPLAYGAIN_ALBUM_GAIN", {"REPLAYGAIN_ALBUM_GAIN"}},
        {"REPLAYGAIN_ALBUM_PEAK", {"REPLAYGAIN_ALBUM_PEAK"}},
    };
    return fields;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// "3" and a separate total "12" make "3/12", as ID3v2 keeps them.
void JoinTotal(SongTagMap& tags, const std::string& key, const std::string& total) {
    auto number = tags.find(key);
    if (number != tags.end() && !total.empty() && number->second.find('/') == std::string::npos)
        number->second += "/" + total;
}

TagLib::String Utf8(const std::string& text) {
    return TagLib::String(text, TagLib::String::UTF8);
}

} // namespace

std::int64_t SongLengthMs(const std::string& path) {
    TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Fast);
    if (file.isNull() || file.audioProperties() == nullptr)
        return 0;
    return std::max(0, file.audioProperties()->lengthInMilliseconds());
}

SongTagMap ReadSongTags(const std::string& path,
                        const std::vector<std::pair<std::string, std::string>>& demuxerTags) {
    // Names compared without regard to case: taggers differ ("replaygain_track_gain").
    std::map<std::string, std::string> found;
    auto add = [&found](const std::string& name, const std::string& value) {
        if (!value.empty())
            found.emplace(Upper(name), value);
    };
    TagLib::FileRef file(path.c_str(), false);
    if (!file.isNull() && file.file())
        for (const auto& [name, values] : file.file()->properties())
            if (!values.isEmpty())
                add(name.to8Bit(true), values.front().to8Bit(true));
    std::map<std::string, std::string> demuxer;
    for (const auto& [name, value] : demuxerTags)
        if (!value.empty())
            demuxer.emplace(Upper(name), value);

    SongTagMap tags;
    for (const FieldNames& field : Fields())
        for (const std::map<std::string, std::string>* source : {&found, &demuxer}) {
            if (tags.count(field.key))
                break;
            for (const char* alias : field.aliases) {
                const auto it = source->find(Upper(alias));
                if (it != source->end()) {
                    tags[field.key] = it->second;
                    break;
                }
            }
        }
    auto total = [&found](std::initializer_list<const char*> names) {
        for (const char* name : names)
            if (const auto it = found.find(name); it != found.end())
                return it->second;
        return std::string();
    };
    JoinTotal(tags, "TRACKNUMBER", total({"TRACKTOTAL", "TOTALTRACKS"}));
    JoinTotal(tags, "DISCNUMBER", total({"DISCTOTAL", "TOTALDISCS"}));
    return tags;
}

std::string RenderId3v2(const SongTagMap& tags, const std::string& jpegCover) {
    TagLib::ID3v2::Tag tag;
    TagLib::PropertyMap properties;
    for (const auto& [key, value] : tags)
        properties.insert(Utf8(key), TagLib::StringList(Utf8(value)));
    tag.setProperties(properties);
    if (!jpegCover.empty()) {
        auto* picture = new TagLib::ID3v2::AttachedPictureFrame;
        picture->setMimeType("image/jpeg");
        picture->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        picture->setPicture(
            TagLib::ByteVector(jpegCover.data(), static_cast<unsigned>(jpegCover.size())));
        tag.addFrame(picture);
    }
    const TagLib::ByteVector bytes = tag.render(TagLib::ID3v2::v3);
    return std::string(bytes.data(), bytes.size());
}

std::string RenderId3v1(const SongTagMap& tags) {
    auto field = [&tags](const char* key) {
        const auto it = tags.find(key);
        return it == tags.end() ? std::string() : it->second;
    };
    TagLib::ID3v1::Tag tag;
    tag.setTitle(Utf8(field("TITLE")));
    tag.setArtist(Utf8(field("ARTIST")));
    tag.setAlbum(Utf8(field("ALBUM")));
    tag.setComment(Utf8(field("COMMENT")));
    tag.setGenre(Utf8(field("GENRE")));
    tag.setYear(static_cast<unsigned>(std::atoi(field("DATE").c_str())));
    tag.setTrack(static_cast<unsigned>(std::atoi(field("TRACKNUMBER").c_str())));
    const TagLib::ByteVector bytes = tag.render();
    return std::string(bytes.data(), bytes.size());
}

} // namespace stavio
