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
    ResetProjectDetached();
}

std::vector<std::unique_ptr<ListNode>> ProgramState::ResetProjectDetached() {
    History.Clear();
    // The links go with their nodes: nothing may reach a node through them once it left.
    CurrentProject->CopyLinks.clear();
    CurrentProject->DeleteLinks.clear();
    std::vector<std::unique_ptr<ListNode>> nodes = CopyTree.TakeAll();
    for (std::unique_ptr<ListNode>& node : DeleteTree.TakeAll())
        nodes.push_back(std::move(node));
    StartNewProject(*this);
    ProjectFileName.clear();
    RecordSavedState();
    return nodes;
}

std::unique_ptr<ProgramState> ProgramState::LoadingCopy() const {
    auto loading = std::make_unique<ProgramState>(ExecutableFolder);
    *loading->CurrentProject = *CurrentProject;
    *loading->SavedProject = *SavedProject;
    loading->ProjectFileName = ProjectFileName;
    loading->CurrentLanguage = CurrentLanguage;
    loading->OtherAudioFormats = OtherAudioFormats;
    loading->CopyTree.Select(loading->CopyTree.Root()); // as the load expects
    loading->DeleteTree.Select(loading->DeleteTree.Root());
    return loading;
}

void ProgramState::TakeLoaded(ProgramState& loading) {
    History.Clear();
    CopyTree.AdoptAll(loading.CopyTree);
    DeleteTree.AdoptAll(loading.DeleteTree);
    CurrentProject = std::move(loading.CurrentProject);
    SavedProject = std::move(loading.SavedProject);
    ProjectFileName = loading.ProjectFileName;
    StartNewProject(loading); // loading stays a whole state
}

} // namespace stavio
