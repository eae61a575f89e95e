// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The name rules of the lists: every name is an upper-case 8.3 short name.

#include "NameMemory.h"

#include <string>
#include <vector>

namespace stavio {

class FolderReader;

// The list name of an existing file or folder (host path, a trailing "/" is dropped):
// the last component's 8.3 short form, "_" turned into "-", a-z upper-cased.
// Empty when the path does not exist.
std::string ShortNameFromPath(const std::string& path);

// The list name of a file: ShortNameFromPath, but a song of another format (IsOtherAudioName)
// is named as the MP3 file it becomes: its short form with the extension "MP3", made unique
// among the names of its folder by the "~n" rule and remembered like the aliases. Such a song
// never takes the name of an MP3 file beside it.
std::string ListNameFromPath(const std::string& path);

// Names many paths in one go: while a batch lives, each folder is checked against the disk
// once, on its first use, instead of once per path, and the aliases handed out are
// remembered in one write at the end. For loads and directory adds, which take well under a
// second.
class ShortNameBatch {
public:
    ShortNameBatch();
    ~ShortNameBatch();
    ShortNameBatch(const ShortNameBatch&) = delete;
    ShortNameBatch& operator=(const ShortNameBatch&) = delete;
};

// First 8 characters, upper case, anything outside the allowed set replaced by "0".
std::string FolderNameFromText(const std::string& text);

// Appends the names of a stored folder path ("MUSIC\ROCK\") to names, outermost first.
void SplitListPath(const std::string& path, std::vector<std::string>& names);

// The 8.3 short forms of the entries of one directory, in the order given (the raw
// short form, case kept for names that already are valid 8.3 names). Deterministic for the
// same set of names; unique without regard to case. Entries named together for the first
// time take their aliases in the byte order of their long names.
std::vector<std::string> GenerateShortNames(const std::vector<std::string>& longNames);
// The same for a directory named before: an entry keeps the alias remembered for it (long
// name -> alias) while that alias is free; a new entry takes the smallest free number.
std::vector<std::string> GenerateShortNames(const std::vector<std::string>& longNames,
                                            const AliasTable& remembered);

// Where the aliases are remembered: the file "stavio/short-names" below the given state
// folder, or below DefaultStateFolder() when it is empty. Forgets the folders named so far.
void SetShortNameStateFolder(const std::string& stateFolder);

// Reads the folders through reader from now on (null: the system's). Forgets the folders
// named so far. For tests that hand in what a FAT volume answers.
void SetShortNameFolderReader(FolderReader* reader);

// Whether name is already a valid 8.3 name (its own short form).
bool IsValidShortName(const std::string& name);

} // namespace stavio
