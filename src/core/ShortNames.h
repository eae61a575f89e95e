// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The name rules of the lists: every name is an upper-case 8.3 short name. The names of
// files on disk come from NamingService.

#include "NameMemory.h"

#include <string>
#include <vector>

namespace stavio {

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

// The short forms of one directory. fixed: the short names the volume keeps (empty where it
// keeps none), which stand as they are; remembered: aliases handed out before, kept while
// free. Then valid 8.3 names are their own short form, and every other entry takes the
// smallest free alias, in the byte order of the long names. converted, when given, receives
// the MP3 names of the songs of other formats, empty for the other entries: the short form
// with the extension "MP3", unique among all the names of the directory (such a song never
// takes the name of an MP3 file beside it).
std::vector<std::string> NameDirectory(const std::vector<std::string>& longNames,
                                       const std::vector<std::string>* fixed,
                                       const AliasTable* remembered,
                                       std::vector<std::string>* converted = nullptr);

// Whether name is already a valid 8.3 name (its own short form).
bool IsValidShortName(const std::string& name);

} // namespace stavio
