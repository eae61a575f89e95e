// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Songs converted once: each MP3 made from a source is kept in the user's cache folder, under
// a hash of what it was made from (the source's resolved path, size and modification time in
// nanoseconds, the conversion settings and the encoder's version), with a small key file
// beside it that the hash's file name is checked against. An entry becomes visible only when
// complete (temporary names, then renames); the least recently used go first when the cache
// outgrows its limit.

#include "Conversion.h"
#include "ConversionSettings.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace stavio {

// $XDG_CACHE_HOME/stavio/converted, or ~/.cache/stavio/converted.
std::string ConversionCacheFolder();

// What of the settings and the encoder makes one conversion differ from another, as one line
// ("quality=V2 cover=1 encoder=LAME 3.100, converter 1"): part of the cache's key, and what a
// render's record of its copies keeps so that a change of settings converts again.
std::string ConversionIdentity(const ConversionSettings& settings);

class ConversionCache;

// What a song of another format takes on the player once converted with these settings: the
// size of its cache entry, else an estimate from its length (estimated then says so).
std::uint64_t ConvertedSize(const ConversionCache& cache, const std::string& source,
                            const ConversionSettings& settings, bool* estimated = nullptr);

class ConversionCache {
public:
    explicit ConversionCache(std::string folder = ConversionCacheFolder());
    const std::string& Folder() const { return folder_; }

    // The complete entry made from source as it is now with these settings, if there is one.
    // Find also marks it as just used; Contains does not.
    std::optional<std::string> Find(const std::string& source, const ConversionSettings& settings);
    bool Contains(const std::string& source, const ConversionSettings& settings) const;
    // The size of that entry, without marking it used.
    std::optional<std::uint64_t> EntrySize(const std::string& source,
                                           const ConversionSettings& settings) const;

    struct Entry {
        ConversionResult result;
        std::string path;       // the MP3 to copy when result.Ok()
        bool converted = false; // false: it was in the cache already
    };
    // The entry made from source, converted into the cache first when there is none. A failed
    // or cancelled conversion leaves no entry. Safe to call from several threads for
    // different sources.
    Entry Convert(const std::string& source, const ConversionSettings& settings,
                  const std::atomic<bool>& cancel);

    // The bytes the cache folder holds.
    std::uint64_t SizeBytes() const;
    // Removes entries, least recently used first, until the cache holds at most limitBytes;
    // the entries in keep (paths as Find gives them) stay whatever their age. Also removes
    // what interrupted conversions left. Returns how many entries went.
    int Prune(std::uint64_t limitBytes, const std::vector<std::string>& keep = {});
    // Removes every entry.
    void Clear();

private:
    struct Key {
        std::string text; // what the entry was made from, as its key file holds it
        std::string base; // folder + "/" + hash of text
    };
    // Empty text when the source cannot be read; errnoValue then says why.
    Key KeyFor(const std::string& source, const ConversionSettings& settings,
               int* errnoValue = nullptr) const;
    bool Complete(const Key& key) const;

    std::string folder_;
};

} // namespace stavio
