// SPDX-License-Identifier: GPL-3.0-or-later
// tags: what each song file's tags say, one tab-separated line per file.

#include "Commands.h"

#include "Tags.h"
#include "TextFile.h"
#include "text.h"

#include <cerrno>
#include <cstdio>

namespace stavio::cli {

int TagsCommand(const Arguments& args) {
    if (args.empty())
        return UsageError();
    int exitCode = 0;
    for (const std::string& path : args) {
        errno = 0;
        const std::optional<TrackTags> tags = ReadTrackTags(path);
        if (!tags) {
            // The other files are still read; the exit code tells that one was not.
            std::fprintf(stderr, "stavio-cli: %s: %s\n",
                         FileError::TextFor(errno != 0 ? errno : EACCES).c_str(), path.c_str());
            exitCode = 2;
            continue;
        }
        if (!tags->IsAudio) {
            std::fprintf(stderr, "stavio-cli: %s: %s\n",
                         TextUtf8(TagReportTexts, Language::English, 0).c_str(), path.c_str());
            exitCode = 2;
            continue;
        }
        const std::string track = tags->Track ? std::to_string(tags->Track) : std::string();
        const std::string length =
            tags->LengthSeconds ? std::to_string(tags->LengthSeconds) : std::string();
        std::printf("%s\t%s\t%s\t%s\t%s\n", tags->Title.c_str(), tags->Artist.c_str(),
                    tags->Album.c_str(), track.c_str(), length.c_str());
    }
    return exitCode;
}

} // namespace stavio::cli
