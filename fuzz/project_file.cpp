// SPDX-License-Identifier: GPL-3.0-or-later
// LoadProjectFile on any bytes, with real source files at hand: "@/" in the input stands
// for a folder holding a few MP3 files and a sub-folder. Whatever the file holds, the load
// either succeeds or fails with a file or conversion error, and the trees keep their shape:
// folders at levels 1 and 2, files at levels 2 and 3, names unique among siblings, one link
// per file node, and no list name that could leave a numbered folder of the render target.
// A successful load saves and loads back to the same links.

#include "FuzzSupport.h"
#include "ListOperations.h"
#include "MediaCopy.h"
#include "ProgramState.h"
#include "ProgressDisplay.h"
#include "ProjectFile.h"
#include "ShortNames.h"
#include "TextFile.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unordered_set>
#include <vector>

namespace {

using stavio::fuzz::WorkFolder;
using stavio::fuzz::WriteWholeFile;

const std::string& SourceFolder() {
    static const std::string folder = [] {
        // The aliases handed out are remembered in the work folder, not in the home.
        ::setenv("XDG_STATE_HOME", (WorkFolder() + "/state").c_str(), 1);
        const std::string root = WorkFolder() + "/music";
        ::mkdir(root.c_str(), 0777);
        ::mkdir((root + "/Rock Live").c_str(), 0777);
        for (const char* name :
             {"Song_1.mp3", "track.mp3", "Long File Name.mp3", "a.b.c.mp3", "CON.mp3", "README",
              "Rock Live/x.mp3", "Rock Live/Encore (2).mp3"})
            WriteWholeFile(root + "/" + name, "ID3");
        return root;
    }();
    return folder;
}

std::string Expand(const uint8_t* data, size_t size) {
    std::string out;
    out.reserve(size + 64);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '@' && i + 1 < size && data[i + 1] == '/') {
            out += SourceFolder();
            continue; // the "/" follows as usual
        }
        out += static_cast<char>(data[i]);
    }
    return out;
}

// A name that, put after "target/00000001/", stays inside that folder.
bool StaysInItsFolder(const std::string& name) {
    return name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

void CheckNode(const stavio::ListNode* node, int level, std::unordered_set<const void*>& files) {
    STAVIO_FUZZ_CHECK(node->Level() == level);
    std::set<std::string> names;
    for (int i = 0; i < node->ChildCount(); ++i) {
        const stavio::ListNode* child = node->Child(i);
        STAVIO_FUZZ_CHECK(child->Parent() == node);
        STAVIO_FUZZ_CHECK(names.insert(child->Text()).second);
        STAVIO_FUZZ_CHECK(StaysInItsFolder(child->Text()));
        if (child->IsMediaFile()) {
            STAVIO_FUZZ_CHECK(level + 1 == 2 || level + 1 == 3);
            STAVIO_FUZZ_CHECK(child->ChildCount() == 0);
            // Named from the file, or, for a source that is missing, the stored name.
            STAVIO_FUZZ_CHECK(child->Text().empty() || stavio::IsValidShortName(child->Text()) ||
                              (child->MissingSource() && stavio::IsUsableListName(child->Text())));
            files.insert(child);
        } else {
            STAVIO_FUZZ_CHECK(level + 1 == 1 || level + 1 == 2);
            STAVIO_FUZZ_CHECK(child->Text() == stavio::FolderNameFromText(child->Text()));
        }
        CheckNode(child, level + 1, files);
    }
}

void CheckList(const stavio::ListTree& tree, const stavio::LinkList& links) {
    std::unordered_set<const void*> files;
    CheckNode(tree.Root(), 0, files);
    STAVIO_FUZZ_CHECK(files.size() == links.size());
    for (const stavio::LinkPtr& link : links)
        STAVIO_FUZZ_CHECK(files.count(link->Node) == 1);
}

void CheckState(const stavio::ProgramState& state) {
    const stavio::TProjectClass& project = *state.CurrentProject;
    CheckList(state.CopyTree, project.CopyLinks);
    CheckList(state.DeleteTree, project.DeleteLinks);
    stavio::TProjectClass placed = project;
    placed.TargetPath = "/target/";
    for (const stavio::MediaCopyItem& item : stavio::MediaCopyPlan(placed)) {
        STAVIO_FUZZ_CHECK(item.destinationFolder.size() == 16 &&
                          item.destinationFolder.starts_with("/target/"));
        STAVIO_FUZZ_CHECK(item.destination.starts_with(item.destinationFolder + "/"));
        STAVIO_FUZZ_CHECK(StaysInItsFolder(item.destination.substr(17)));
    }
}

// Each link as its source, list name and folder path, for comparing two loads.
std::vector<std::string> LinkRecords(const stavio::LinkList& links) {
    std::vector<std::string> records;
    for (const stavio::LinkPtr& link : links) {
        std::string record = link->SourcePath + '\n' + link->Node->Text();
        for (const stavio::ListNode* a = link->Node->Parent(); a && a->Level() >= 1;
             a = a->Parent())
            record += '\n' + a->Text();
        records.push_back(std::move(record));
    }
    return records;
}

bool Load(stavio::ProgramState& state, const std::string& path) {
    stavio::NullProgress progress;
    state.ResetProject();
    try {
        stavio::LoadProjectFile(state, path, progress);
        return true;
    } catch (const stavio::FileError&) {
    } catch (const stavio::ConvertError&) {
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SourceFolder(); // first: it also points the name memory at the work folder
    const std::string path = WorkFolder() + "/project.scp";
    WriteWholeFile(path, Expand(data, size));

    stavio::ProgramState state(WorkFolder() + "/");
    const bool loaded = Load(state, path);
    CheckState(state);
    if (!loaded)
        return 0;
    STAVIO_FUZZ_CHECK(!state.IsModified());

    const std::string again = WorkFolder() + "/again.scp";
    stavio::NullProgress progress;
    stavio::SaveProjectFile(state, again, progress);
    stavio::ProgramState reloaded(WorkFolder() + "/");
    STAVIO_FUZZ_CHECK(Load(reloaded, again));
    const stavio::TProjectClass& a = *state.CurrentProject;
    const stavio::TProjectClass& b = *reloaded.CurrentProject;
    STAVIO_FUZZ_CHECK(a.ProjectName == b.ProjectName && a.DiffusionDate == b.DiffusionDate);
    STAVIO_FUZZ_CHECK(a.Comments == b.Comments && a.TargetPath == b.TargetPath);
    STAVIO_FUZZ_CHECK(LinkRecords(a.CopyLinks) == LinkRecords(b.CopyLinks));
    STAVIO_FUZZ_CHECK(LinkRecords(a.DeleteLinks) == LinkRecords(b.DeleteLinks));
    return 0;
}
