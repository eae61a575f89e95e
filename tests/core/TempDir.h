#pragma once
// A temporary folder for a test, removed with everything in it at the end.

#include <filesystem>
#include <fstream>
#include <string>

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

} // namespace stavio::test
