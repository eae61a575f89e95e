// SPDX-License-Identifier: GPL-3.0-or-later
#include "Plural.h"
#include "ProjectFigures.h"

#include <gtest/gtest.h>

namespace stavio {
namespace {

TEST(CountTexts, EachLanguageTakesTheSingularOrThePluralForm) {
    struct Case {
        Language language;
        CountPhrase phrase;
        std::uint64_t count;
        std::vector<std::string> further;
        std::string text;
    };
    const Case cases[] = {
        {Language::French, CountPhrase::Files, 0, {}, "0 fichier"},
        {Language::French, CountPhrase::Files, 1, {}, "1 fichier"},
        {Language::French, CountPhrase::Files, 2, {}, "2 fichiers"},
        {Language::English, CountPhrase::Files, 0, {}, "0 files"},
        {Language::English, CountPhrase::Files, 1, {}, "1 file"},
        {Language::Spanish, CountPhrase::FilesCopied, 1, {}, "1 archivo copiado"},
        {Language::German, CountPhrase::Files, 2, {}, "2 Dateien"},
        {Language::German, CountPhrase::StaleRemoved, 1, {}, "1 veraltete Datei entfernt"},
        {Language::Italian, CountPhrase::Unchanged, 1, {}, "1 invariato"},
        {Language::Italian, CountPhrase::Unchanged, 0, {}, "0 invariati"},
        {Language::English, CountPhrase::CopiedOfPlanned, 1, {"0"}, "0 of 1 file copied"},
        {Language::French,
         CountPhrase::CopiedOfPlanned,
         3,
         {"2"},
         "2 sur 3 fichiers copi\xC3\xA9s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountText(c.language, c.phrase, c.count, c.further), c.text);

    // The status bar counts with it, and sizes in French units.
    ProjectFigureValues values;
    values.copyFiles = 1;
    values.copyBytes = 3 << 19;
    values.scriptCount = 4;
    EXPECT_EQ(
        FiguresText(values, Language::French),
        "Copie : 1 fichier, 1,5 Mo \xC2\xB7 Suppression : 0 fichier \xC2\xB7 Script : 4 / 16384");
}

} // namespace
} // namespace stavio
