// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program-wide state the windows share: the working project, its saved record, the
// project file, the two list trees and the naming of files. Tests create as many as they like.

#include "ListHistory.h"
#include "ListTree.h"
#include "NamingService.h"
#include "ProjectClasses.h"

#include <memory>
#include <string>

namespace stavio {

enum class Language : unsigned char {
    French = 1,
    English = 2,
    Spanish = 3,
    German = 4,
    Italian = 5
};

class ProgramState {
public:
    // executableFolder: the program's folder with its trailing "/"; the default target and
    // explorer folder.
    explicit ProgramState(std::string executableFolder = {});

    std::unique_ptr<TProjectClass> CurrentProject;
    std::unique_ptr<TProjectClass> SavedProject;
    std::string ProjectFileName;
    ListTree CopyTree;   // the Copy List
    ListTree DeleteTree; // the Delete List
    // Undo and Redo of the edits of both lists, in the order they were made.
    ListHistory History{[this](const ListTree& tree) -> LinkList& {
        return &tree == &CopyTree ? CurrentProject->CopyLinks : CurrentProject->DeleteLinks;
    }};
    Language CurrentLanguage = Language::English;
    // The lists also take songs of other formats (IsTakenAudioName); kept in stavio.conf.
    bool OtherAudioFormats = false;
    std::string ExecutableFolder;
    // Names every file and folder the lists take from disk.
    NamingService Names;

    void RecordSavedState();
    bool IsModified() const;
    // Both trees back to their roots, no steps to undo, a fresh "New Project", no project
    // file, then RecordSavedState.
    void ResetProject();
    // The same, but the lists' nodes are handed back alive (see ListTree::TakeAll).
    std::vector<std::unique_ptr<ListNode>> ResetProjectDetached();

    // A state to load a project into, away from this one and its views (on another thread):
    // this state's settings and project, with empty lists. Called with this state's lists empty.
    std::unique_ptr<ProgramState> LoadingCopy() const;
    // Takes over what was loaded into loading (see LoadingCopy): the project, what counts as
    // saved, the project file and the nodes of both lists, complete or as far as it got.
    void TakeLoaded(ProgramState& loading);
};

} // namespace stavio
