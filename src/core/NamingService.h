// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list names of files and folders on disk. One service names for the whole program (the
// program state owns it); it keeps the names of each folder while the folder is unchanged and
// remembers the aliases it hands out across runs (NameMemory).

#include "FolderReader.h"
#include "NameMemory.h"

#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unordered_map>
#include <unordered_set>

namespace stavio {

class NamingService {
public:
    // Remembers in the user's state folder (DefaultStateFolder) and reads the system's
    // folders.
    NamingService();
    // Remembers in the file "stavio/short-names" below stateFolder (empty: nowhere) and reads
    // the folders through reader, which must outlive the service (a test hands in what a FAT
    // volume answers).
    explicit NamingService(const std::string& stateFolder,
                           FolderReader& reader = SystemFolderReader());
    NamingService(const NamingService&) = delete;
    NamingService& operator=(const NamingService&) = delete;

    // The list name of an existing file or folder (host path, a trailing "/" is dropped):
    // the last component's 8.3 short form, "_" turned into "-", a-z upper-cased.
    // Empty when the path does not exist.
    std::string ShortNameFromPath(const std::string& path);

    // The list name of a file: ShortNameFromPath, but a song of another format
    // (IsOtherAudioName) is named as the MP3 file it becomes: its short form with the
    // extension "MP3", made unique among the names of its folder by the "~n" rule and
    // remembered like the aliases. Such a song never takes the name of an MP3 file beside it.
    std::string ListNameFromPath(const std::string& path);

    // Called while the memory is locked, once a folder's aliases are decided and before they
    // are written: the moment another process naming the same folder has to wait for. Lets a
    // test bring that process in then.
    void SetBeforeMemoryWrite(std::function<void()> hook);

private:
    friend class ShortNameBatch;

    struct FolderTable {
        dev_t device = 0;
        ino_t inode = 0;
        timespec modified{};
        timespec listedAt{};
        std::unordered_map<std::string, std::string> shortOf; // long name -> short form
        // Songs of other formats: long name -> the name of the MP3 file they become.
        std::unordered_map<std::string, std::string> convertedOf;
    };

    std::string ListNameOf(const std::string& path, bool converted);
    std::string Lookup(const std::string& folder, const std::string& name,
                       const std::string& fullPath, bool converted);
    void NameEntries(const std::string& key, std::vector<FolderEntry>& entries, FolderTable& table);
    static bool IsCurrent(const FolderTable& table, const struct stat& st);
    void BeginBatch();
    void EndBatch();

    std::mutex mutex_;
    std::unordered_map<std::string, FolderTable> tables_;
    NameMemory memory_;
    FolderReader& reader_;
    // The folders checked since the outermost ShortNameBatch began.
    std::unordered_set<std::string> batch_;
    int batchDepth_ = 0;
};

// Names many paths in one go: while a batch lives, each folder is checked against the disk
// once, on its first use, instead of once per path, and the aliases handed out are
// remembered in one write at the end. For loads and directory adds, which take well under a
// second.
class ShortNameBatch {
public:
    explicit ShortNameBatch(NamingService& names);
    ~ShortNameBatch();
    ShortNameBatch(const ShortNameBatch&) = delete;
    ShortNameBatch& operator=(const ShortNameBatch&) = delete;

private:
    NamingService& names_;
};

} // namespace stavio
