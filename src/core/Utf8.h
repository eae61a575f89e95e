// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one UTF-8 decoder of the program: host names and texts are bytes, usually UTF-8, but a
// name written by an older desktop may hold any byte, so each caller decides what a byte that
// starts no valid character stands for.

#include <cstddef>
#include <string_view>

namespace stavio {

// Decodes the character at text[i] into c and returns its length in bytes, or 0 when no
// valid UTF-8 character starts there (a stray byte, a cut, overlong or surrogate sequence).
std::size_t DecodeUtf8At(std::string_view text, std::size_t i, char32_t& c);

} // namespace stavio
