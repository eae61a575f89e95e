// SPDX-License-Identifier: GPL-3.0-or-later
// shortname and foldername: the two name rules of the lists, as the window applies them.

#include "Commands.h"

#include "NamingService.h"
#include "ShortNames.h"
#include "TextFile.h"

#include <cstdio>

namespace stavio::cli {

int ShortNameCommand(const Arguments& args) {
    if (args.empty())
        return UsageError();
    NamingService names;
    for (const std::string& path : args)
        std::printf("%s\n", names.ListNameFromPath(path).c_str());
    return 0;
}

int FolderNameCommand(const Arguments& args) {
    if (args.empty())
        return UsageError();
    // An argument is typed text: it reaches the rule as Windows-1252, as the dialog gives it.
    for (const std::string& text : args)
        std::printf("%s\n", Cp1252ToUtf8(FolderNameFromText(Utf8ToCp1252(text))).c_str());
    return 0;
}

} // namespace stavio::cli
