// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The escapes of the program's own record files (the name memory, the render's record):
// names and paths may hold any byte but "/" and NUL, and a backslash, a tab or a line end
// would break their lines.

#include <string>
#include <string_view>

namespace stavio {

void AppendEscaped(std::string& out, std::string_view text);
// False when text holds an escape that AppendEscaped does not make.
bool Unescape(std::string_view text, std::string& out);

} // namespace stavio
