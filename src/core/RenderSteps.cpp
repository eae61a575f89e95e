// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderSteps.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <unistd.h>

namespace stavio::render {

namespace {

constexpr std::int64_t kSecondNs = 1'000'000'000;

std::int64_t Seconds(std::int64_t ns) {
    return ns >= 0 ? ns / kSecondNs : -((-ns + kSecondNs - 1) / kSecondNs);
}

} // namespace

SourceIdentity IdentityOf(const std::string& source, const struct stat& info) {
    SourceIdentity identity;
    char resolved[PATH_MAX];
    identity.path = ::realpath(source.c_str(), resolved) != nullptr ? resolved : source;
    identity.size = static_cast<std::uint64_t>(info.st_size);
    identity.timeNs = TimeNs(info.st_mtim);
    return identity;
}

RecordedFile RecordOf(const struct stat& destination, const SourceIdentity& source,
                      const std::string& settings) {
    return {static_cast<std::uint64_t>(destination.st_size),
            TimeNs(destination.st_mtim),
            source.path,
            source.size,
            source.timeNs,
            settings};
}

bool StillAsRecorded(const struct stat& destination, const RecordedFile& recorded) {
    return S_ISREG(destination.st_mode) &&
           static_cast<std::uint64_t>(destination.st_size) == recorded.size &&
           TimeNs(destination.st_mtim) == recorded.timeNs;
}

bool IsUnchanged(const struct stat& source, const SourceIdentity& identity,
                 const struct stat& destination, const RecordedFile* recorded, bool fat,
                 const std::string& settings) {
    if (!S_ISREG(destination.st_mode))
        return false;
    if (settings.empty() && destination.st_size != source.st_size)
        return false;
    if (recorded != nullptr)
        return recorded->sourcePath == identity.path && recorded->sourceSize == identity.size &&
               recorded->sourceTimeNs == identity.timeNs && recorded->settings == settings &&
               StillAsRecorded(destination, *recorded);
    if (!settings.empty())
        return false;
    const std::int64_t sourceSeconds = Seconds(TimeNs(source.st_mtim));
    const std::int64_t destinationSeconds = Seconds(TimeNs(destination.st_mtim));
    if (destinationSeconds == sourceSeconds)
        return true;
    // FAT stores even seconds: the copy's time is the source's, rounded down or up.
    return fat && destinationSeconds % 2 == 0 &&
           (destinationSeconds == sourceSeconds - 1 || destinationSeconds == sourceSeconds + 1);
}

bool IsTargetError(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EROFS:
    case EIO:
    case ENODEV:
    case ENXIO:
    case ESTALE:
    case ENOTCONN:
    case ESHUTDOWN:
        return true;
    default:
        return false;
    }
}

int KernelCopy(int from, int to, std::uint64_t size,
               const std::function<bool(std::uint64_t)>& moved, bool& destinationFailed) {
    // Blocks of up to 8 MB on a fast disk; on a slow player each block is cut down until it
    // takes no more than about 50 ms, so that a Cancel is heard soon after it was asked.
    constexpr std::uint64_t kMaxBlock = 8u << 20;
    constexpr std::uint64_t kMinBlock = 128u << 10;
    constexpr auto kSlowBlock = std::chrono::milliseconds(50);
    constexpr auto kQuickBlock = std::chrono::milliseconds(12);
    std::uint64_t block = 1u << 20;
    destinationFailed = false;
    bool rangeCopy = true;
    std::uint64_t done = 0;
    while (done < size) {
        const size_t chunk = static_cast<size_t>(std::min<std::uint64_t>(size - done, block));
        const auto began = std::chrono::steady_clock::now();
        ssize_t n;
        if (rangeCopy) {
            n = ::copy_file_range(from, nullptr, to, nullptr, chunk, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                          errno == EOPNOTSUPP || errno == EPERM)) {
                rangeCopy = false; // not across these file systems: the offsets did not move
                continue;
            }
        } else {
            n = ::sendfile(to, from, nullptr, chunk);
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            // Which side failed: a source that still reads was not it.
            char probe;
            destinationFailed = error == ENOSPC || error == EDQUOT || error == EROFS ||
                                error == EFBIG ||
                                ::pread(from, &probe, 1, static_cast<off_t>(done)) >= 0;
            return error;
        }
        if (n == 0)
            break; // the source shrank while we copied
        const auto took = std::chrono::steady_clock::now() - began;
        if (took > kSlowBlock)
            block = std::max(kMinBlock, block / 2);
        else if (took < kQuickBlock && static_cast<std::uint64_t>(n) == chunk)
            block = std::min(kMaxBlock, block * 2);
        done += static_cast<std::uint64_t>(n);
        if (!moved(static_cast<std::uint64_t>(n)))
            return ECANCELED;
    }
    return 0;
}

std::optional<RenderRecord> ReadRecord(int systemFd) {
    UniqueFd fd(OpenBeneath(systemFd, kRecordName, O_RDONLY | O_NONBLOCK));
    struct stat info {};
    // A record of a hundred megabytes is not one of ours.
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > (100 << 20))
        return std::nullopt;
    std::string text(static_cast<size_t>(info.st_size), '\0');
    size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd.Get(), text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::nullopt;
        got += static_cast<size_t>(n);
    }
    return ParseRecord(text);
}

int WriteRecord(int systemFd, const RenderRecord& record) {
    BesideFile file(systemFd, kRecordName,
                    {.temporary = kTemporaryRecord, .flush = Flush::FileAndFolder});
    file.Write(RecordText(record));
    return file.Place();
}

} // namespace stavio::render
