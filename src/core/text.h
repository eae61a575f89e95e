// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interface texts in five languages. A table of group size N holds 5 x N
// Windows-1252 strings, one block per language in the order French, English, Spanish,
// German, Italian; entry k for a language is element (Language - 1) x N + k.

#include "ProgramState.h"

#include <string>

namespace stavio {

struct TextTable {
    const char* const* texts;
    int groupSize;
};

extern const TextTable AboutTexts;        // N = 4
extern const TextTable HintTexts;         // N = 14
extern const TextTable PropertyTexts;     // N = 11
extern const TextTable RenderDialogTexts; // N = 3
extern const TextTable FileMenuTexts;     // N = 8
extern const TextTable OptionsMenuTexts;  // N = 1
extern const TextTable LanguageMenuTexts; // N = 6
extern const TextTable HelpMenuTexts;     // N = 5
extern const TextTable MessageTexts;      // N = 6
extern const TextTable FolderDialogTexts; // N = 3
extern const TextTable InfoTitleTexts;    // N = 1
extern const TextTable InfoTexts;         // N = 2
extern const TextTable ProgressTexts;     // N = 5
extern const TextTable PaneTexts;         // N = 4
extern const TextTable RenderReportTexts; // N = 1
extern const TextTable LoadReportTexts;   // N = 1
extern const TextTable TagColumnTexts;    // N = 5
extern const TextTable ListToolTipTexts;  // N = 3
extern const TextTable RenderStatusTexts; // N = 9
extern const TextTable TagReportTexts;    // N = 1
// The save question, the refused-character hint, the explorer's accessible names.
extern const TextTable DialogTexts;     // N = 4
extern const TextTable ConversionTexts; // N = 5
// The Edit menu: its title, Undo, Redo.
extern const TextTable EditMenuTexts; // N = 3
// The explorer's "Add to the Copy List" and "Add to the Delete List".
extern const TextTable ListCommandTexts; // N = 2
extern const TextTable UnitTexts;        // N = 2: MB, GB
// Counted phrases, singular and plural in turn; see CountText (Plural.h).
extern const TextTable CountTexts; // N = 14
// The render's conversion stage: caption, "Songs converted: %1 / %2".
extern const TextTable ConversionStageTexts; // N = 2
// The Options item and the dialog of the conversion settings.
extern const TextTable ConversionDialogTexts; // N = 10
// Options > "Other audio formats".
extern const TextTable AudioFormatTexts; // N = 1
// The explorer's "Show hidden folders".
extern const TextTable ExplorerOptionTexts; // N = 1

// Entry k of table for language, as Windows-1252 bytes.
const char* Text(const TextTable& table, Language language, int k);
// The same, converted to UTF-8 for display.
std::string TextUtf8(const TextTable& table, Language language, int k);

} // namespace stavio
