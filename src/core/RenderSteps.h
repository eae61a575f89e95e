// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The steps of a render below its target descriptor, shared by the pipeline's survey and
// copy: how a file is judged unchanged, how one file is put into place, which recorded files
// may go, and the record on the target.

#include "FileLayer.h"
#include "Render.h"
#include "RenderRecord.h"
#include "UniqueFd.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <utility>

namespace stavio::render {

// The names the render gives its files while they are written: one 8.3 slot each, so that
// on FAT the final names take their places in the folder in the order they were written.
inline constexpr const char* kTemporarySong = "~STAVIO~.TMP";
inline constexpr const char* kTemporaryScript = "~SCRIPT~.TMP";
inline constexpr const char* kTemporaryRecord = "~STVLST~.TMP";
inline constexpr const char* kScriptName = "SCRIPT.TXT";
inline constexpr const char* kSystemFolder = "SYSTEM";

inline std::int64_t TimeNs(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// What a source is, for the record: its resolved path, size and time.
struct SourceIdentity {
    std::string path;
    std::uint64_t size = 0;
    std::int64_t timeNs = 0;
};
SourceIdentity IdentityOf(const std::string& source, const struct stat& info);
// The record's line for a destination copied from that source; settings is the conversion's
// identity for a converted song, empty for a plain copy.
RecordedFile RecordOf(const struct stat& destination, const SourceIdentity& source,
                      const std::string& settings = {});

// A destination the copy leaves as it is. With a record entry: it was made from the same
// source with the same conversion settings and still has the size and time it was written
// with. Without one: a regular file of the source's size and time, to the second (on FAT, to
// its two-second grid). A converted song (settings not empty) differs from its source in size
// and time: only its record can tell.
bool IsUnchanged(const struct stat& source, const SourceIdentity& identity,
                 const struct stat& destination, const RecordedFile* recorded, bool fat,
                 const std::string& settings = {});

// The file a record entry names, still as it was written.
bool StillAsRecorded(const struct stat& destination, const RecordedFile& recorded);

// Errors that are the target's own: the copy cannot go on.
bool IsTargetError(int error);

// Moves size bytes from one descriptor to the other inside the kernel; after each block (of
// about 50 ms at most on a slow target), moved(bytes) tells whether to go on. 0, ECANCELED
// when stopped, or an errno value; failed tells which side failed (true: the destination).
int KernelCopy(int from, int to, std::uint64_t size,
               const std::function<bool(std::uint64_t)>& moved, bool& destinationFailed);

// The record on the target, or nothing when there is none or it cannot be read.
std::optional<RenderRecord> ReadRecord(int systemFd);
// Writes the record beside, flushes it and renames it into place; 0 or an errno value.
int WriteRecord(int systemFd, const RenderRecord& record);

} // namespace stavio::render
