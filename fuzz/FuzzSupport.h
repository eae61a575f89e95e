// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share: a private folder for the run and whole-file writes.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace stavio::fuzz {

// A folder of its own for this process, made on first use; left for the system to clean
// (libFuzzer ends the process with _exit on a finding).
inline const std::string& WorkFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/stavio-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return folder;
}

inline void WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        std::abort();
    std::fclose(file);
}

// A failed check: the message, then abort so libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

#define STAVIO_FUZZ_CHECK(condition)                                                               \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::stavio::fuzz::Fail(#condition);                                                      \
    } while (0)

} // namespace stavio::fuzz
