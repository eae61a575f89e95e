// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the windows meet the core: host paths are the file system's bytes while Qt speaks
// QString, and the explorer components take a language value of their own.

#include "ExplorerLanguage.h"
#include "text.h"

#include <QString>

#include <string>

// A host path (the file system's bytes) as Qt shows and opens it.
QString QtPathFromHost(const std::string& path);
// A path from Qt as the file system's bytes, which the core works with.
std::string HostPathFromQt(const QString& path);

// The explorer components' language for the program's Language.
ExplorerLanguage ExplorerLanguageOf(stavio::Language language);
