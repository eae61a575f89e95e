// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts that count things take the singular or the plural form, as each language does.

#include "ProgramState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace stavio {

// The phrases of CountTexts: phrase p is entry 2p in the singular, 2p + 1 in the plural.
enum class CountPhrase {
    Files,
    FilesCopied,
    Unchanged,
    StaleRemoved,
    CopiedOfPlanned, // the count is the files planned; the copied ones follow it
    NotCopied,
    ForeignSongs,
};

// French counts 0 and 1 in the singular; English, Spanish, German and Italian only 1.
bool TakesSingular(Language language, std::uint64_t count);

// The phrase for count, in UTF-8: %1 the count, %2 and on the further values.
std::string CountText(Language language, CountPhrase phrase, std::uint64_t count,
                      const std::vector<std::string>& further = {});

} // namespace stavio
