// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the core and command-line tests share: a temporary folder removed with everything in
// it at the end, file helpers, and a way to act as an ordinary user.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace stavio::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "stavio-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Creates a file (and its folders) holding content; returns its path.
    std::string File(const std::string& name, const std::string& content = {}) const {
        const std::string path = *this / name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::string Folder(const std::string& name) const {
        const std::string path = *this / name;
        std::filesystem::create_directories(path);
        return path;
    }

private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A folder of its own on another file system than `near`, for the moves that cannot rename:
// below /dev/shm or the temporary folder, whichever lies elsewhere and takes a folder from
// this user; else, for the super-user, a tmpfs mounted at `fallback` while the object lives.
// Path() is empty, and Why() says why, where nothing serves.
class OtherFileSystem {
public:
    OtherFileSystem(const std::string& near, const std::string& fallback) {
        struct stat nearInfo {};
        if (::stat(near.c_str(), &nearInfo) != 0) {
            why_ = "cannot tell the file system of " + near;
            return;
        }
        for (const std::string& base :
             {std::string("/dev/shm"), std::filesystem::temp_directory_path().string()}) {
            struct stat info {};
            std::string pattern = base + "/stavio-other-XXXXXX";
            if (::stat(base.c_str(), &info) == 0 && info.st_dev != nearInfo.st_dev &&
                ::mkdtemp(pattern.data()) != nullptr) {
                path_ = pattern;
                return;
            }
        }
        if (::geteuid() == 0 && ::mount("tmpfs", fallback.c_str(), "tmpfs", 0, "size=1m") == 0) {
            path_ = fallback;
            mounted_ = true;
            return;
        }
        why_ = "no other file system can be written here (/dev/shm and the temporary folder "
               "are on the same one, and mounting needs root)";
    }
    ~OtherFileSystem() {
        if (mounted_) {
            ::umount2(path_.c_str(), MNT_DETACH);
        } else if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(path_, ignored);
        }
    }
    OtherFileSystem(const OtherFileSystem&) = delete;
    OtherFileSystem& operator=(const OtherFileSystem&) = delete;

    const std::string& Path() const { return path_; }
    const std::string& Why() const { return why_; }

private:
    std::string path_;
    std::string why_;
    bool mounted_ = false;
};

// The bytes of a text file holding these lines, each ended by end.
inline std::string Lines(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + end;
    return bytes;
}
inline std::string Lines(std::initializer_list<std::string> lines, const char* end = "\r\n") {
    return Lines(std::vector<std::string>(lines), end);
}

// The names in a folder, in the order the file system gives them.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// The standard output of a shell command.
inline std::string CommandOutput(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        ::pclose(pipe);
    }
    return output;
}

// arg as one word for the shell.
inline std::string Quoted(const std::string& arg) {
    std::string quoted = "'";
    for (const char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs action with the rights of an ordinary user (nobody) where the tests run as the
// super-user, who may write everywhere. False, without running it, when that is impossible.
// The user must be able to reach what action touches (TempDir folders are the owner's only).
inline bool AsOrdinaryUser(const std::function<void()>& action) {
    const bool asRoot = ::geteuid() == 0;
    if (asRoot && ::seteuid(65534) != 0)
        return false;
    action();
    if (asRoot && ::seteuid(0) != 0)
        std::abort(); // the rest of the suite would run with the wrong rights
    return true;
}

} // namespace stavio::test
