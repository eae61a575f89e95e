// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramState.h"

namespace stavio {

namespace {

void StartNewProject(ProgramState& state) {
    state.CurrentProject = std::make_unique<TProjectClass>();
    state.SavedProject = std::make_unique<TProjectClass>();
    state.CurrentProject->ProjectName = "New Project";
    state.CurrentProject->TargetPath = state.ExecutableFolder;
}

bool SameLinks(const LinkList& a, const LinkList& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) // identity, not the source path
            return false;
    return true;
}

} // namespace

ProgramState::ProgramState(std::string executableFolder)
    : ExecutableFolder(std::move(executableFolder)) {
    StartNewProject(*this);
}

void ProgramState::RecordSavedState() {
    const TProjectClass& c = *CurrentProject;
    TProjectClass& s = *SavedProject;
    s.ProjectName = c.ProjectName;
    s.Subject = c.Subject;
    s.Author = c.Author;
    s.Copyright = c.Copyright;
    s.Customer = c.Customer;
    s.CreationDate = c.CreationDate;
    s.DiffusionDate = c.DiffusionDate;
    s.Comments = c.Comments;
    s.TargetPath = c.TargetPath;
    s.CopyLinks = c.CopyLinks;
    s.DeleteLinks = c.DeleteLinks;
}

bool ProgramState::IsModified() const {
    const TProjectClass& c = *CurrentProject;
    const TProjectClass& s = *SavedProject;
    return c.ProjectName != s.ProjectName || c.Subject != s.Subject || c.Author != s.Author ||
           c.Copyright != s.Copyright || c.Customer != s.Customer ||
           c.CreationDate != s.CreationDate || c.DiffusionDate != s.DiffusionDate ||
           c.Comments != s.Comments || c.TargetPath != s.TargetPath ||
           !SameLinks(c.CopyLinks, s.CopyLinks) || !SameLinks(c.DeleteLinks, s.DeleteLinks);
}

void ProgramState::ResetProject() {
    History.Clear();
    CopyTree.Clear();
    DeleteTree.Clear();
    CopyTree.Select(CopyTree.Root());
    DeleteTree.Select(DeleteTree.Root());
    StartNewProject(*this);
    ProjectFileName.clear();
    RecordSavedState();
}

} // namespace stavio
