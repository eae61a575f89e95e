// SPDX-License-Identifier: GPL-3.0-or-later
#include "Plural.h"

#include "Render.h"
#include "text.h"

namespace stavio {

bool TakesSingular(Language language, std::uint64_t count) {
    return language == Language::French ? count < 2 : count == 1;
}

std::string CountText(Language language, CountPhrase phrase, std::uint64_t count,
                      const std::vector<std::string>& further) {
    const int k = 2 * static_cast<int>(phrase) + (TakesSingular(language, count) ? 0 : 1);
    std::vector<std::string> values{std::to_string(count)};
    values.insert(values.end(), further.begin(), further.end());
    return FillText(CountTexts, language, k, values);
}

} // namespace stavio
