// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving a file so that the previous one survives any failure: the bytes go to a temporary
// file beside it, which is flushed and renamed over it only when all was written. Shared by
// the project, settings and script files and by the name memory.
//
// - A symbolic link is followed: the file it points to changes, the link stays.
// - A path that holds a pipe, a device or a socket is refused; nothing is written into it.
// - A file the user may not write is refused ("Accès refusé").
// - The replaced file keeps its permission bits, and its owner and group where the saver
//   may set them (the super-user saving a user's file).
// - A temporary file left by a save that was killed is removed at the next save of the file;
//   one still held by a save under way is left alone.
// - In a folder the user cannot write, an existing writable file is rewritten in place at
//   the commit: its new size is reserved first and its old bytes kept, and they are written
//   back if anything fails, so the file is either whole as before or complete as new.

#include <memory>
#include <string>
#include <string_view>

namespace stavio {

class BesideFile;

class SafeSave {
public:
    // Throws FileError (naming path) when nothing can be saved there. A new file is made
    // with newFileMode less the umask.
    explicit SafeSave(const std::string& path, unsigned newFileMode = 0666);
    ~SafeSave(); // removes the temporary file unless Commit succeeded
    SafeSave(const SafeSave&) = delete;
    SafeSave& operator=(const SafeSave&) = delete;

    void Write(std::string_view bytes);
    // Flushes to the disk and puts the new file in place; throws FileError.
    void Commit();

private:
    void Flush();
    void CommitInPlace();
    void CommitBeside();
    void Drop(); // removes the temporary file unless committed

    std::string path_;
    std::string target_;               // path_ with its links followed
    std::unique_ptr<BesideFile> file_; // the temporary file, locked while the save runs
    bool inPlace_ = false;
    bool committed_ = false;
    std::string buffer_; // beside: not yet written; in place: every byte of the new file
};

} // namespace stavio
