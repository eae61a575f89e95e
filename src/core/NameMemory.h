// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The aliases the program has handed out, kept per user across runs, so that a file keeps
// its list name as long as it exists under the same name in the same folder: a sibling that
// comes or goes never shifts it.
//
// The memory is a small text file, "$XDG_STATE_HOME/stavio/short-names" (by default
// "~/.local/state/stavio/short-names"), replaced as a whole through SafeSave. It is state,
// not data: a folder whose lines are damaged is taken as one never named, and a memory that
// cannot be written is simply not kept. A damaged file keeps its intact folders; a file that
// is there but cannot be read (no permission, not a regular file, too large) is used by no
// one and never replaced.
//
// Processes of the program share the file under a lock (the file's name with ".lock"): a
// folder's aliases are decided and written under it, so two processes naming a folder that
// changes between their listings never hand out different aliases.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace stavio {

// Long name -> the alias given to it, for the entries of one folder that have one. A song of
// another format also has the name of the MP3 file it becomes, under ConvertedKey(long name).
using AliasTable = std::unordered_map<std::string, std::string>;

// No entry's name ends so: a file name never holds "/".
inline std::string ConvertedKey(const std::string& longName) {
    return longName + "/mp3";
}

// The folder that holds the program's state: $XDG_STATE_HOME when it is an absolute path,
// otherwise $HOME/.local/state; empty when neither is known.
std::string DefaultStateFolder();

class NameMemory {
public:
    // file: the memory file; empty for a memory that is never read nor written.
    explicit NameMemory(std::string file = {});
    ~NameMemory();

    // Switches to another file, forgetting what was loaded from the previous one.
    void SetFile(std::string file);
    const std::string& File() const { return file_; }

    // The aliases remembered for folder (an absolute path), or null. Reads the file first
    // when it changed since it was last read (another process of the program wrote it).
    // The table stays valid until the next call.
    const AliasTable* Find(const std::string& folder);

    // Names folder: under the lock, with the file read afresh, name gets the aliases
    // remembered for it (or null) and gives the folder's new ones, or nullopt when they
    // stay as remembered. The decision is written before the lock is let go (at the last
    // Release while held).
    using Namer = std::function<std::optional<AliasTable>(const AliasTable* remembered)>;
    void Name(const std::string& folder, const Namer& name);

    // Replaces the aliases of folder (none: the folder is forgotten). Written to the file at
    // once, or when the last Hold is released.
    void Store(const std::string& folder, AliasTable aliases);
    // The folder was listed and its aliases are unchanged (it is kept longer than others).
    void Touch(const std::string& folder);

    // Called in Name under the lock, after the decision and before it is written; for tests
    // that bring in another process at that moment.
    void SetBeforeWrite(std::function<void()> hook);

    // While held, changes are gathered and written once at the end (a load names thousands
    // of folders).
    void Hold();
    void Release();

    // At most this many folders are kept; the ones listed longest ago go first.
    static constexpr size_t kMaxFolders = 20000;
    // A larger file is not read (nor replaced).
    static constexpr std::uint64_t kMaxFileBytes = 256u << 20;
    // For tests: set to a path, a write waits between its decision and the file's change,
    // with that path created, until it is removed.
    static constexpr const char* kPauseVariable = "STAVIO_TEST_NAME_MEMORY_PAUSE";

private:
    // A folder's aliases are read from the file only when the folder is named: a process
    // that names a few folders need not build the tables of the whole library.
    struct FolderRecord {
        AliasTable aliases;
        std::int64_t listedAt = 0; // seconds since the epoch
        bool parsed = true;
        std::string_view lines; // while not parsed: its alias lines, inside file
        std::shared_ptr<const std::string> file;
    };
    struct FileStamp {
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t modifiedNs = -1;
        bool operator==(const FileStamp&) const = default;
    };
    using Records = std::unordered_map<std::string, FolderRecord>;

    enum class ReadResult { Missing, Read, Unreadable };

    void Refresh();
    void Lock();
    void Unlock();
    void StoreLocked(const std::string& folder, AliasTable aliases);
    void Write();
    void PauseForTests() const;
    static ReadResult ReadFile(const std::string& path, Records& records);
    static void Parse(FolderRecord& record);
    static FileStamp StampOf(const std::string& path);

    std::mutex mutex_;
    std::string file_;
    Records records_;
    std::unordered_set<std::string> changed_; // changed here since the last write
    FileStamp readStamp_;                     // of the file as last read or written
    bool loaded_ = false;
    bool unreadable_ = false; // the file is there but could not be read: never replaced
    int holds_ = 0;
    bool locked_ = false; // inside a decision (or a Hold that made one)
    int lockFd_ = -1;
    std::string pausePath_;
    std::function<void()> beforeWrite_;
};

} // namespace stavio
