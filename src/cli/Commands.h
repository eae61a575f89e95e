// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of stavio-cli. Each takes the arguments after its name and returns the
// process exit code: 0 done, 1 done with a problem the command reports, 2 wrong call or
// unreadable input.

#include <string>
#include <vector>

namespace stavio::cli {

using Arguments = std::vector<std::string>;

// Exit code of a call the tool does not understand.
constexpr int kUsageError = 2;

int ShortNameCommand(const Arguments& args);
int FolderNameCommand(const Arguments& args);
int ScriptCommand(const Arguments& args);
int RenderCommand(const Arguments& args);
int InfoCommand(const Arguments& args);
int TreeCommand(const Arguments& args);
int ResaveCommand(const Arguments& args);
int TagsCommand(const Arguments& args);
int ConvertCommand(const Arguments& args);

// Prints the usage text on stderr and returns kUsageError.
int UsageError();

} // namespace stavio::cli
