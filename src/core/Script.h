// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SCRIPT.TXT: the files to delete on the player ([DF]) and the player folder each numbered
// media folder stands for ([CD]), ended by [ES].

#include "ListTree.h"
#include "ProgramState.h"
#include "ProgressDisplay.h"

#include <string>

namespace stavio {

constexpr int MaxScriptCount = 16384;

// "\A" or "\A\B": the player folder of a list node.
std::string EntryFolderPath(const ListNode* node);
// "\A\B\NAME.EXT": the player path of a list entry.
std::string EntryPlayerPath(const ListNode* node);

// TargetPath without one trailing "/", then "/SYSTEM/SCRIPT.TXT".
std::string ScriptFileName(const std::string& targetPath);

// Writes the script of CurrentProject to fileName (creating its SYSTEM folder) through a
// temporary file; returns the counted size (line ends not counted). Throws FileError.
int WriteScript(ProgramState& state, const std::string& fileName, ProgressDisplay& progress);
// The same with the folder lines of a render plan made beforehand.
struct RenderPlan;
int WriteScript(ProgramState& state, const RenderPlan& plan, const std::string& fileName,
                ProgressDisplay& progress);

// The script's bytes (CR LF after every line) and counted size for a render plan, reporting
// on progress as the script job does.
struct ScriptText {
    std::string bytes;
    int count = 0;
};
ScriptText MakeScriptText(const TProjectClass& project, const RenderPlan& plan, Language language,
                          ProgressDisplay& progress);

// The script's lines for the project, without writing anything.
std::vector<std::string> ScriptLines(const TProjectClass& project);
// The counted size of those lines: their lengths without line ends, as a signed 32-bit sum.
int ScriptCount(const std::vector<std::string>& lines);

} // namespace stavio
