// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one way to put a file in place: its bytes go to a temporary name beside it,
// and the file takes its name only once complete, so a failure never leaves half a file under
// that name. What differs between the writers (links, replacing, flushing, times) is named at
// each call in a PlacePolicy.

#include "UniqueFd.h"

#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace stavio {

// Writes every byte, again after an interruption; 0 or an errno value.
// The folder a path lies in ("." for a bare name, "/" for a name at the root), and its
// last component.
std::string ParentFolder(const std::string& path);
std::string BaseName(const std::string& path);

int WriteAll(int fd, std::string_view bytes);
int WriteAllAt(int fd, std::string_view bytes, off_t offset);

// fsync, where a file system that cannot sync is no error of the file; 0 or an errno value.
int SyncFile(int fd);

// The file path stands for once its links are followed; a link to a missing file gives that
// file's path. 0 or an errno value (ELOOP).
int FollowLinks(const std::string& path, std::string& target);

// The names in a folder, as bytes, without "." and "..". False with errno set when the folder
// cannot be read.
bool ReadNames(const std::string& folder, std::vector<std::string>& names);
// The same through a descriptor of the folder, which stays open and unmoved.
bool ReadNamesAt(int folderFd, std::vector<std::string>& names);

enum class Replace { Always, Never };
enum class Flush {
    No,
    Start,        // write-back begins, nobody waits for it
    File,         // the file is on the disk before it takes its name
    FileAndFolder // and so is its name, once it has it
};

struct PlacePolicy {
    // The temporary name beside the file; six X in it are made random letters, and such a
    // name is unique and locked until the file is placed. A fixed name left over by an earlier
    // write is removed first. Empty: ".name.XXXXXX".
    std::string temporary = {};
    // Path only: a link at the name is followed and the file it leads to replaced; otherwise
    // the link itself is replaced.
    bool followLastLink = false;
    // Never: a name taken at the moment of the rename is kept and the write fails with EEXIST.
    Replace replace = Replace::Always;
    Flush flush = Flush::File;
    // The new file takes this file's access and modification times.
    const struct stat* stampFrom = nullptr;
    // The new file takes the replaced file's permission bits, owner and group where it may.
    bool keepOwnerAndMode = false;
    // A pipe, device or socket at the name is left alone (FileError::NotRegularFile).
    bool onlyOverFiles = false;
    unsigned newFileMode = 0666;
    // Runs just before the rename: another program may act at that moment.
    std::function<void()> beforeRename = {};
};

// A file being written beside its name. Removes its temporary file unless placed.
class BesideFile {
public:
    // The file at path (links on the way followed: the user chose it). Errors in Error().
    BesideFile(const std::string& path, PlacePolicy policy);
    // The file name directly below folderFd, reached through no link and into no other file
    // system (see OpenBeneath); followLastLink does not apply. folderFd must outlive it.
    BesideFile(int folderFd, const std::string& name, PlacePolicy policy);
    ~BesideFile();
    BesideFile(const BesideFile&) = delete;
    BesideFile& operator=(const BesideFile&) = delete;

    // 0, or the errno value of the first failure; once failed, nothing more is done.
    int Error() const { return error_; }
    int Fd() const { return file_.Get(); }

    int Write(std::string_view bytes);
    int WriteAt(std::string_view bytes, off_t offset);
    // Stamps and flushes the file, then renames it into place; 0 or an errno value
    // (FileError::NotRegularFile when a pipe or device has come to stand at the name).
    int Place();
    // Stamps, flushes and closes the file, which keeps its temporary name for PlaceFinished.
    int Leave();
    // Removes the temporary file now.
    void Discard();

private:
    void Create(bool beneath);
    int Finish(); // stamps and flushes
    int Fail(int error);

    PlacePolicy policy_;
    UniqueFd ownFolder_; // opened for a path
    int folder_ = -1;
    std::string name_; // in folder_, links followed where the policy says so
    std::string temporary_;
    UniqueFd file_;
    int error_ = 0;
    bool finished_ = false;
    bool placed_ = false;
    bool locked_ = false;
};

// The rename into place of a temporary file already finished in folderFd, as Place does it;
// the temporary file is removed when it fails. 0 or an errno value.
int PlaceFinished(int folderFd, const std::string& temporary, const std::string& name,
                  const PlacePolicy& policy);

// rename that never replaces an existing name: 0, or -1 with errno (EEXIST for a name taken).
// Where the file system lacks the flag, a hard link stands in, then a check just before.
int RenameNoReplaceAt(int fromFolder, const char* from, int toFolder, const char* to);

// Removes name in folderFd when it is a plain file (never through a link).
void RemoveLeftover(int folderFd, const char* name);

} // namespace stavio
