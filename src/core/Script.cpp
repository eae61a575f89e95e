// SPDX-License-Identifier: GPL-3.0-or-later
#include "Script.h"

#include "Render.h"
#include "TextFile.h"
#include "UniqueFd.h"
#include "text.h"

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stavio {

namespace {

// Builds "\A\B" + path from the node's ancestors below the root, walking level - 1 steps up.
std::string PrependAncestors(const ListNode* node, std::string path) {
    const ListNode* ancestor = node->Parent();
    for (int i = 1; i < node->Level() && ancestor != nullptr; ++i) {
        path.insert(0, ancestor->Text());
        path.insert(0, 1, '\\');
        ancestor = ancestor->Parent();
    }
    return path;
}

std::string WithoutTrailingSlash(const std::string& path) {
    if (!path.empty() && path.back() == '/')
        return path.substr(0, path.size() - 1);
    return path;
}

void SyncFolder(const std::string& folder) {
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid())
        ::fsync(fd.Get());
}

std::string FolderLine(const RenderRun& run) {
    return "\\" + NumberedFolderName(run.number) + " " + run.playerFolder;
}

// Hands every line of the script to line, and calls step once per link, in script order.
// The folder lines come from the render plan, whose numbers the copy uses too.
template <typename LineSink, typename StepSink>
void GenerateScript(const TProjectClass& project, const RenderPlan& plan, LineSink&& line,
                    StepSink&& step) {
    if (!project.DeleteLinks.empty()) {
        line(std::string("[DF]"));
        for (const LinkPtr& link : project.DeleteLinks) {
            // A line ending in "\" names a folder: the player would delete something else
            // than the file. An entry without a name (its source was missing) gives none.
            if (!link->Node->Text().empty())
                line(EntryPlayerPath(link->Node));
            step();
        }
    }
    if (!plan.items.empty()) {
        line(std::string("[CD]"));
        const RenderItem* previous = nullptr;
        for (const RenderItem& item : plan.items) {
            if (previous == nullptr || previous->run != item.run)
                line(FolderLine(plan.runs[item.run]));
            previous = &item;
            step();
        }
    }
    line(std::string("[ES]"));
}

// The script job's caption and bar. The count it returns is a signed 32-bit sum of the line
// lengths without line ends; it wraps like the original counter did.
void StartScriptProgress(const TProjectClass& project, Language language,
                         ProgressDisplay& progress) {
    progress.SetCaption(TextUtf8(ProgressTexts, language, 3));
    progress.SetPosition(0);
    progress.ShowLabel(false);
    progress.ShowBar(true);
    progress.SetMaximum(static_cast<int>(project.CopyLinks.size() + project.DeleteLinks.size()));
    progress.SetPosition(0);
}

} // namespace

std::string EntryFolderPath(const ListNode* node) {
    return PrependAncestors(node, {});
}

std::string EntryPlayerPath(const ListNode* node) {
    return PrependAncestors(node, "\\" + node->Text());
}

std::string ScriptFileName(const std::string& targetPath) {
    return WithoutTrailingSlash(targetPath) + "/SYSTEM/SCRIPT.TXT";
}

std::vector<std::string> ScriptLines(const TProjectClass& project) {
    std::vector<std::string> lines;
    GenerateScript(
        project, MakeRenderPlan(project),
        [&](std::string line) { lines.push_back(std::move(line)); }, [] {});
    return lines;
}

int ScriptCount(const std::vector<std::string>& lines) {
    std::uint32_t count = 0;
    for (const std::string& line : lines)
        count += static_cast<std::uint32_t>(line.size());
    return static_cast<int>(count);
}

int WriteScript(ProgramState& state, const std::string& fileName, ProgressDisplay& progress) {
    return WriteScript(state, MakeRenderPlan(*state.CurrentProject), fileName, progress);
}

ScriptText MakeScriptText(const TProjectClass& project, const RenderPlan& plan, Language language,
                          ProgressDisplay& progress) {
    StartScriptProgress(project, language, progress);
    ScriptText text;
    std::uint32_t count = 0;
    GenerateScript(
        project, plan,
        [&](const std::string& line) {
            text.bytes += line;
            text.bytes += "\r\n";
            count += static_cast<std::uint32_t>(line.size());
        },
        [&] { progress.StepIt(); });
    text.count = static_cast<int>(count);
    return text;
}

int WriteScript(ProgramState& state, const RenderPlan& plan, const std::string& fileName,
                ProgressDisplay& progress) {
    const TProjectClass& project = *state.CurrentProject;
    StartScriptProgress(project, state.CurrentLanguage, progress);
    // The folder may already exist; opening the file decides.
    const std::string target = WithoutTrailingSlash(project.TargetPath);
    const bool newFolder = ::mkdir((target + "/SYSTEM").c_str(), 0777) == 0;

    // Written aside and renamed into place, so the player never finds half a script.
    AtomicTextFile file(fileName);
    std::uint32_t count = 0;
    GenerateScript(
        project, plan,
        [&](const std::string& line) {
            file.WriteLine(line);
            count += static_cast<std::uint32_t>(line.size());
        },
        [&] { progress.StepIt(); });
    file.Commit();
    if (newFolder)
        SyncFolder(target.empty() ? "/" : target); // the new SYSTEM entry reaches the disk too
    return static_cast<int>(count);
}

} // namespace stavio
