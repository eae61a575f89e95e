// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the entries of one folder, with the short names the volume itself keeps where it
// keeps any (FAT). The short names of the lists come from here.

#include <string>
#include <vector>

namespace stavio {

struct FolderEntry {
    std::string name;      // the entry's name as the folder lists it
    std::string shortName; // its 8.3 name stored on the volume; empty where there is none
};

class FolderReader {
public:
    virtual ~FolderReader() = default;
    // Appends the entries of folder, without "." and "..". False when it cannot be read.
    virtual bool List(const std::string& folder, std::vector<FolderEntry>& entries) = 0;
};

// The reader of the running system: on a FAT file system the volume's own short names
// (VFAT_IOCTL_READDIR_BOTH), elsewhere, or where the volume refuses, the names alone.
FolderReader& SystemFolderReader();

} // namespace stavio
