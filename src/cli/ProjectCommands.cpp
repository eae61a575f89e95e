// SPDX-License-Identifier: GPL-3.0-or-later
// The commands that work on a project file: script, render, info, tree and resave.

#include "Commands.h"
#include "Interrupt.h"

#include "MediaCopy.h"
#include "Plural.h"
#include "ProjectFigures.h"
#include "ProjectFile.h"
#include "Render.h"
#include "Script.h"
#include "TerminalProgress.h"
#include "TextFile.h"
#include "text.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace stavio::cli {

namespace {

// Project texts are Windows-1252; the terminal speaks UTF-8.
void PrintError(const std::string& utf8) {
    std::fprintf(stderr, "stavio-cli: %s\n", utf8.c_str());
}

// The same form as every file error of the tool: the French text, then the path.
void PrintFileError(const FileError& e) {
    PrintError(std::string(e.what()) + ": " + e.Path());
}

void PrintMessage(int entry) {
    PrintError(Cp1252ToUtf8(Text(MessageTexts, Language::English, entry)));
}

std::string ExecutableFolder() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0)
        return "./";
    path.resize(static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

std::unique_ptr<ProgramState> NewState() {
    auto state = std::make_unique<ProgramState>(ExecutableFolder());
    state->CurrentLanguage = Language::English;
    state->ResetProject(); // both roots selected, as the loader expects
    return state;
}

// The groups the load left out: the introduction and their count, then their sources.
void PrintLoadReport(const LoadReport& report) {
    PrintError(Cp1252ToUtf8(Text(LoadReportTexts, Language::English, 0)) + " " +
               std::to_string(report.leftOut));
    for (const std::string& source : report.leftOutSources)
        PrintError(source);
}

// Loads path into state; prints the error and returns false when the file cannot be read.
// Groups left out are printed; complete tells whether there were none.
bool Load(ProgramState& state, const std::string& path, ProgressDisplay& progress, bool& complete) {
    try {
        state.ProjectFileName = path;
        const LoadReport report = LoadProjectFile(state, path, progress);
        complete = report.leftOut == 0;
        if (!complete)
            PrintLoadReport(report);
        return true;
    } catch (const FileError& e) {
        PrintFileError(e);
    } catch (const ConvertError& e) {
        PrintError(std::string(e.what()) + ": " + path);
    }
    return false;
}

// A state loaded from path without a progress display; null when the file cannot be read.
std::unique_ptr<ProgramState> LoadedState(const std::string& path, bool& complete) {
    auto state = NewState();
    NullProgress progress;
    return Load(*state, path, progress, complete) ? std::move(state) : nullptr;
}

using LinksByNode = std::unordered_map<const ListNode*, const TNodeFileLink*>;

void PrintTree(const ListNode* node, const LinksByNode& links) {
    std::string line(static_cast<size_t>(2 * node->Level()), ' ');
    line += Cp1252ToUtf8(node->Text());
    if (node->Kind() == NodeKind::Folder) {
        line += '\\';
    } else if (node->IsMediaFile()) {
        line += '\t';
        if (auto it = links.find(node); it != links.end())
            line += it->second->SourcePath;
        if (node->MissingSource())
            line += "\t(missing)";
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    for (int i = 0; i < node->ChildCount(); ++i)
        PrintTree(node->Child(i), links);
}

void PrintList(const char* title, const ListTree& tree, const LinkList& linkList) {
    LinksByNode links;
    links.reserve(linkList.size());
    for (const LinkPtr& link : linkList)
        links.emplace(link->Node, link.get());
    std::printf("%s\n", title);
    PrintTree(tree.Root(), links);
}

} // namespace

int ScriptCommand(const Arguments& args) {
    if (args.size() != 1)
        return UsageError();
    bool complete = true;
    const auto state = LoadedState(args[0], complete);
    if (!state)
        return 2;
    const std::vector<std::string> lines = ScriptLines(*state->CurrentProject);
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
    if (ScriptCount(lines) > MaxScriptCount) {
        PrintMessage(1);
        return 1;
    }
    return complete ? 0 : 1;
}

namespace {

// Takes flag out of args; tells whether it was there.
bool TakeFlag(Arguments& args, const char* flag) {
    const auto found = std::find(args.begin(), args.end(), std::string(flag));
    if (found == args.end())
        return false;
    args.erase(found);
    return true;
}

} // namespace

int RenderCommand(const Arguments& given) {
    Arguments args = given;
    const bool forced = TakeFlag(args, "--force");
    const bool copyAll = TakeFlag(args, "--all");
    if (args.empty() || args.size() > 2)
        return UsageError();
    // The signals are heard from here on, so that no Ctrl+C falls between two steps.
    InterruptGuard guard;
    const std::atomic<bool>& interrupted = guard.Interrupted();
    auto state = NewState();
    std::unique_ptr<ProgressDisplay> progress;
    TerminalProgress* terminal = nullptr;
    if (::isatty(STDERR_FILENO)) {
        auto bar = std::make_unique<TerminalProgress>();
        terminal = bar.get();
        progress = std::move(bar);
    } else {
        progress = std::make_unique<NullProgress>();
    }
    auto finishBar = [terminal] {
        if (terminal)
            terminal->Finish();
    };
    bool complete = true;
    if (!Load(*state, args[0], *progress, complete))
        return 2;
    TProjectClass& project = *state->CurrentProject;
    if (args.size() == 2)
        project.TargetPath = args[1];
    if (project.CopyLinks.empty() && project.DeleteLinks.empty()) {
        finishBar();
        PrintMessage(2);
        return 1;
    }
    if (project.TargetPath.empty()) {
        finishBar();
        PrintMessage(3);
        return 1;
    }
    // A folder named on the command line may be new; the project's own target is a player
    // that must be there (unplugged, or a path of another system): it is never made.
    if (args.size() == 2)
        ::mkdir(project.TargetPath.c_str(), 0777);

    RenderPipeline render(*state);
    render.SetCopyAll(copyAll);
    if (!render.TargetExists()) {
        finishBar();
        PrintError(FillText(RenderStatusTexts, Language::English, 6, {project.TargetPath}));
        return 1;
    }
    // Nothing is written to a target that cannot take the songs, unless the user insists.
    if (const RenderSurvey survey = render.Survey(); !survey.Fits() && !forced) {
        finishBar();
        PrintError("not enough free space on the target: " +
                   FormatSize(survey.bytesNeeded, Language::English) + " needed, " +
                   FormatSize(*survey.bytesFree, Language::English) +
                   " free (--force renders all the same)");
        return 1;
    }
    if (interrupted)
        return kInterruptedExit;

    int exitCode = complete ? 0 : 1;
    // A script that cannot be written or is too big does not stop the copy.
    try {
        if (render.WriteScript(*progress) > MaxScriptCount) {
            finishBar();
            PrintMessage(1);
            exitCode = 1;
        }
    } catch (const FileError& e) {
        finishBar();
        PrintFileError(e);
        exitCode = 2;
    }
    // Stopped before the copy: the target stays exactly as it was.
    if (interrupted) {
        render.Abandon();
        finishBar();
        return kInterruptedExit;
    }

    render.CopyMedia(*progress, interrupted);
    finishBar();
    const RenderSummary& summary = render.Summary();
    if (!summary.failures.empty())
        PrintError(Cp1252ToUtf8(Text(RenderReportTexts, Language::English, 0)));
    for (const CopyFailure& failure : summary.failures)
        PrintError((failure.source.empty() ? failure.destination : failure.source) + ": " +
                   failure.reason);
    if ((!summary.failures.empty() || summary.targetGone || summary.targetMissing) && exitCode == 0)
        exitCode = 1;
    std::printf("%s\n", SummaryText(summary, Language::English).c_str());
    return summary.cancelled ? kInterruptedExit : exitCode;
}

int InfoCommand(const Arguments& args) {
    if (args.empty() || args.size() > 2)
        return UsageError();
    bool complete = true; // groups left out are reported; the figures are those of the rest
    const auto state = LoadedState(args[0], complete);
    if (!state)
        return 2;
    TProjectClass& project = *state->CurrentProject;
    if (args.size() == 2)
        project.TargetPath = args[1];
    ProjectFigures figures;
    std::printf("%s\n", FiguresText(figures.Update(project), Language::English).c_str());
    struct stat target {};
    if (!project.TargetPath.empty() && ::stat(project.TargetPath.c_str(), &target) == 0 &&
        S_ISDIR(target.st_mode)) {
        const RenderSurvey survey = RenderPipeline(*state).Survey();
        std::printf("Target: %s\n", project.TargetPath.c_str());
        if (survey.bytesFree)
            std::printf("Free space: %s\n",
                        FormatSize(*survey.bytesFree, Language::English).c_str());
        const auto files = [](int count) {
            return CountText(Language::English, CountPhrase::Files,
                             static_cast<std::uint64_t>(count));
        };
        std::printf("To copy: %s, %s\n", files(survey.filesToCopy).c_str(),
                    FormatSize(survey.bytesToCopy, Language::English).c_str());
        std::printf("Unchanged: %s\n", files(survey.filesUnchanged).c_str());
        if (survey.songsToConvert > 0)
            std::printf("To convert: %s, about %s\n", files(survey.songsToConvert).c_str(),
                        FormatSize(survey.bytesToConvert, Language::English).c_str());
    }
    return 0;
}

int TreeCommand(const Arguments& args) {
    if (args.size() != 1)
        return UsageError();
    bool complete = true;
    const auto state = LoadedState(args[0], complete);
    if (!state)
        return 2;
    PrintList("[Copy List]", state->CopyTree, state->CurrentProject->CopyLinks);
    PrintList("[Delete List]", state->DeleteTree, state->CurrentProject->DeleteLinks);
    return complete ? 0 : 1;
}

int ResaveCommand(const Arguments& args) {
    if (args.empty() || args.size() > 2)
        return UsageError();
    bool complete = true;
    const auto state = LoadedState(args[0], complete);
    if (!state)
        return 2;
    const std::string out = args.size() == 2 ? args[1] : args[0];
    try {
        NullProgress progress;
        SaveProjectFile(*state, out, progress);
    } catch (const FileError& e) {
        PrintFileError(e);
        return 2;
    }
    return complete ? 0 : 1;
}

} // namespace stavio::cli
