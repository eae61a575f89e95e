// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProjectFile.h"

#include "ListOperations.h"
#include "NamingService.h"
#include "ShortNames.h"
#include "TextFile.h"
#include "text.h"

#include <cstdint>
#include <vector>

namespace stavio {

namespace {

const char* const Header = "Group Of Program File of KELVO";
const char* const Separator = "*****";

void ShowBarWithCaption(ProgressDisplay& progress, int captionEntry, Language language,
                        const std::string& path) {
    progress.SetCaption(TextUtf8(ProgressTexts, language, captionEntry) + " : " + path);
    progress.SetPosition(0);
    progress.ShowLabel(false);
    progress.ShowBar(true);
}

// Counts add as the program has always added them: 32-bit, wrapping.
int WrappingSum(int a, int b) {
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// The folder path line of a file node: its ancestors below the root, outermost first, each
// followed by one backslash.
std::string FolderPathLine(const ListNode* node) {
    std::string line;
    for (const ListNode* a = node->Parent(); a != nullptr && a->Level() >= 1; a = a->Parent())
        line = a->Text() + "\\" + line;
    return line;
}

constexpr int kNamesAtATime = 16;

// Rebuilds one list from count link groups.
void ReadGroups(TextLineReader& reader, int count, ListTree& tree, LinkList& links,
                NamingService& naming, ProgressDisplay& progress, LoadReport& report) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        // Past the end every group reads as three empty lines and adds nothing.
        if (reader.AtEnd()) {
            progress.SetPosition(WrappingSum(progress.Position(), count - i));
            return;
        }
        const std::string source = reader.ReadLine();
        // The name is derived again from the source; the stored one serves only when the
        // source is missing (a player or share not mounted).
        const std::string storedName = reader.ReadLine();
        const std::string folderLine = reader.ReadLine();

        // The line is cut into names as SplitListPath cuts it, a few names at a time: a
        // hostile line of millions of backslashes must not become millions of names at once.
        bool placed = true;
        for (size_t start = 0; placed && start < folderLine.size();) {
            size_t end = start;
            for (int n = 0; n < kNamesAtATime; ++n) {
                const size_t slash = folderLine.find('\\', end);
                if (slash == std::string::npos)
                    break;
                end = slash + 1;
            }
            if (end == start)
                break; // no backslash left: the text after the last one is dropped
            names.clear();
            SplitListPath(folderLine.substr(start, end - start), names);
            start = end;
            for (const std::string& name : names) {
                ListNode* folder = AddFolderNode(FolderNameFromText(name), tree, links);
                tree.Select(folder);
                if (folder == nullptr) {
                    placed = false; // no selected node: the rest of the group adds nothing
                    break;
                }
            }
        }
        const std::string name = naming.ListNameFromPath(source);
        if (name.empty() && !IsUsableListName(storedName)) {
            if (report.leftOutSources.size() < LoadReport::kMaxSources)
                report.leftOutSources.push_back(source);
            ++report.leftOut;
        } else if (placed) {
            AddFileNodeNamed(source, name.empty() ? storedName : name, name.empty(), tree, links);
        }
        tree.Select(tree.Root());
        progress.StepIt();
    }
}

} // namespace

void SaveProjectFile(ProgramState& state, const std::string& path, ProgressDisplay& progress) {
    ShowBarWithCaption(progress, 0, state.CurrentLanguage, path);
    const TProjectClass& project = *state.CurrentProject;

    AtomicTextFile file(path);
    file.WriteLine(Header);
    file.WriteLine(Separator);
    file.WriteLine(project.ProjectName);
    file.WriteLine(project.Subject);
    file.WriteLine(project.Author);
    file.WriteLine(project.Copyright);
    file.WriteLine(project.Customer);
    file.WriteLine(project.CreationDate);
    file.WriteLine(project.DiffusionDate);
    file.WriteLine(std::to_string(project.Comments.size()));
    for (const std::string& line : project.Comments)
        file.WriteLine(line);
    file.WriteLine(project.TargetPath);
    file.WriteLine(Separator);

    const int copyCount = static_cast<int>(project.CopyLinks.size());
    const int deleteCount = static_cast<int>(project.DeleteLinks.size());
    progress.SetMaximum(WrappingSum(copyCount, deleteCount));
    progress.SetPosition(0);
    file.WriteLine(std::to_string(copyCount));
    file.WriteLine(std::to_string(deleteCount));
    for (const LinkList* links : {&project.CopyLinks, &project.DeleteLinks}) {
        for (const LinkPtr& link : *links) {
            file.WriteLine(link->SourcePath);
            file.WriteLine(link->Node->Text());
            file.WriteLine(FolderPathLine(link->Node));
            progress.StepIt();
        }
    }
    file.Commit();
    state.RecordSavedState();
}

LoadReport LoadProjectFile(ProgramState& state, const std::string& path,
                           ProgressDisplay& progress) {
    return LoadProjectFile(state, path, progress, state.Names);
}

LoadReport LoadProjectFile(ProgramState& state, const std::string& path, ProgressDisplay& progress,
                           NamingService& names) {
    ShowBarWithCaption(progress, 1, state.CurrentLanguage, path);
    TProjectClass& project = *state.CurrentProject;

    TextLineReader reader(path);
    const ShortNameBatch naming(names); // every entry is named afresh from its source file
    reader.ReadLine();                  // header, not compared with anything
    reader.ReadLine();                  // separator
    project.ProjectName = reader.ReadLine();
    project.Subject = reader.ReadLine();
    project.Author = reader.ReadLine();
    project.Copyright = reader.ReadLine();
    project.Customer = reader.ReadLine();
    project.CreationDate = reader.ReadLine();
    project.DiffusionDate = reader.ReadLine();

    const int commentCount = StrToInt(reader.ReadLine());
    project.Comments.clear();
    // Once at the end, the load fails on the copy count whatever the comment count says;
    // stopping here spares appending up to two billion empty lines first.
    for (int i = 0; i < commentCount && !reader.AtEnd(); ++i)
        project.Comments.push_back(reader.ReadLine());
    project.TargetPath = reader.ReadLine();

    project.CopyLinks.clear();
    project.DeleteLinks.clear();
    reader.ReadLine(); // separator
    const int copyCount = StrToInt(reader.ReadLine());
    const int deleteCount = StrToInt(reader.ReadLine());
    progress.SetMaximum(WrappingSum(copyCount, deleteCount));
    progress.SetPosition(0);

    LoadReport report;
    {
        // The views take each rebuilt list once, as it stands at the end (or at a failure).
        const ListTree::BulkChange copyBulk(state.CopyTree);
        const ListTree::BulkChange deleteBulk(state.DeleteTree);
        ReadGroups(reader, copyCount, state.CopyTree, project.CopyLinks, names, progress, report);
        ReadGroups(reader, deleteCount, state.DeleteTree, project.DeleteLinks, names, progress,
                   report);
    }
    state.RecordSavedState();
    return report;
}

} // namespace stavio
