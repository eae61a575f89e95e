// SPDX-License-Identifier: GPL-3.0-or-later
#include "FolderReader.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace stavio {

namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Every entry with both its names, as the FAT driver gives them: the short name in the first
// record, the long name in the second (length 0 when the entry has none, its short name being
// then its only name). False when the driver refuses the request.
bool ListFatFolder(int fd, std::vector<FolderEntry>& entries) {
    struct __fat_dirent pair[2];
    for (;;) {
        const int result = ::ioctl(fd, VFAT_IOCTL_READDIR_BOTH, pair);
        if (result < 0 && errno == EINTR)
            continue;
        if (result < 0)
            return false;
        if (result == 0)
            return true;
        pair[0].d_name[sizeof pair[0].d_name - 1] = '\0';
        pair[1].d_name[sizeof pair[1].d_name - 1] = '\0';
        const char* shortName = pair[0].d_name;
        const char* name = pair[1].d_reclen != 0 ? pair[1].d_name : shortName;
        if (!IsDotOrDotDot(name))
            entries.push_back({name, shortName});
    }
}

bool ListNames(int fd, std::vector<FolderEntry>& entries) {
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    while (const dirent* entry = ::readdir(dir))
        if (!IsDotOrDotDot(entry->d_name))
            entries.push_back({entry->d_name, {}});
    ::closedir(dir); // closes fd
    return true;
}

class SystemReader : public FolderReader {
public:
    bool List(const std::string& folder, std::vector<FolderEntry>& entries) override {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        struct statfs fs;
        if (::fstatfs(fd, &fs) == 0 && fs.f_type == MSDOS_SUPER_MAGIC) {
            std::vector<FolderEntry> fat;
            if (ListFatFolder(fd, fat)) {
                ::close(fd);
                entries.insert(entries.end(), fat.begin(), fat.end());
                return true;
            }
            // Refused (or failed half way): the names alone, read again from the start.
            ::lseek(fd, 0, SEEK_SET);
        }
        return ListNames(fd, entries);
    }
};

} // namespace

FolderReader& SystemFolderReader() {
    static SystemReader reader;
    return reader;
}

} // namespace stavio
