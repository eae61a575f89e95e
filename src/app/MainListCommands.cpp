// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the list panes and the explorer tool bars, and their enabling rules.

#include "Main.h"

#include "AudioFormats.h"
#include "EditFolder.h"
#include "FileOperations.h"
#include "ListOperations.h"
#include "ListTreeModel.h"
#include "ListTreeView.h"
#include "MessageBoxes.h"
#include "QtBoundary.h"
#include "ShortNames.h"
#include "StavioApp.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "TextFile.h"

#include <QAction>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QToolButton>

namespace {

// What AddFolderNode reads from the explorer: the tree's folder and the list's items.
class ExplorerPane : public stavio::ExplorerListing {
public:
    ExplorerPane(const TLsDirTree21& tree, const TLsFilelistView28& list)
        : tree_(tree), list_(list) {}
    std::string SelectedPath() const override { return HostPathFromQt(tree_.SelectedPath()); }
    std::vector<std::string> ItemNames() const override {
        std::vector<std::string> names;
        const QStringList captions = list_.ItemCaptions();
        names.reserve(captions.size());
        for (const QString& caption : captions)
            names.push_back(HostPathFromQt(caption));
        return names;
    }

private:
    const TLsDirTree21& tree_;
    const TLsFilelistView28& list_;
};

} // namespace

void TForm1::UpdateCommandStates() {
    // There is always a current project.
    for (QToolButton* b : {SpeedButton9, SpeedButton1})
        b->setEnabled(true);
    for (QAction* a : {Save1, SaveAs1, RenderScript1})
        a->setEnabled(true);
    const bool copyFolders = stavio::CanHoldFolders(State.CopyTree.Selected());
    const bool deleteFolders = stavio::CanHoldFolders(State.DeleteTree.Selected());
    SpeedButton6->setEnabled(copyFolders);
    SpeedButton19->setEnabled(copyFolders);
    SpeedButton7->setEnabled(deleteFolders);
    SpeedButton20->setEnabled(deleteFolders);
    SpeedButton11->setEnabled(stavio::CanHoldFiles(State.CopyTree.Selected()));
    SpeedButton12->setEnabled(stavio::CanHoldFiles(State.DeleteTree.Selected()));
    Undo1->setEnabled(State.History.CanUndo());
    Redo1->setEnabled(State.History.CanRedo());
    // The keys and menu entries follow their buttons.
    const std::pair<QAction*, QToolButton*> twins[] = {
        {AddFolderToCopyList1, SpeedButton6}, {AddFolderToDeleteList1, SpeedButton7},
        {AddFilesToCopyList1, SpeedButton11}, {AddFilesToDeleteList1, SpeedButton12},
        {NewCopyFolder1, SpeedButton19},      {NewDeleteFolder1, SpeedButton20},
    };
    for (const auto& [action, button] : twins)
        action->setEnabled(button->isEnabled());
}

void TForm1::Undo1Click() {
    State.History.Undo();
    UpdateCommandStates();
}

void TForm1::Redo1Click() {
    State.History.Redo();
    UpdateCommandStates();
}

void TForm1::BuildListKeys() {
    const auto make = [this](QAction*& action, const char* name, const QKeySequence& key,
                             void (TForm1::*handler)()) {
        action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
    };
    const QKeySequence toCopy(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    const QKeySequence toDelete(Qt::CTRL | Qt::SHIFT | Qt::Key_D);
    const QKeySequence newFolder(Qt::CTRL | Qt::SHIFT | Qt::Key_N);
    make(AddFolderToCopyList1, "AddFolderToCopyList1", toCopy, &TForm1::SpeedButton6Click);
    make(AddFolderToDeleteList1, "AddFolderToDeleteList1", toDelete, &TForm1::SpeedButton7Click);
    make(AddFilesToCopyList1, "AddFilesToCopyList1", toCopy, &TForm1::SpeedButton11Click);
    make(AddFilesToDeleteList1, "AddFilesToDeleteList1", toDelete, &TForm1::SpeedButton12Click);
    make(NewCopyFolder1, "NewCopyFolder1", newFolder, &TForm1::SpeedButton19Click);
    make(NewDeleteFolder1, "NewDeleteFolder1", newFolder, &TForm1::SpeedButton20Click);
    LsDirTree211->AddHostActions({AddFolderToCopyList1, AddFolderToDeleteList1});
    LsFilelistView281->AddHostActions({AddFilesToCopyList1, AddFilesToDeleteList1});
    // Each list tree has its own: the same key makes a folder in the list that has the focus.
    const std::pair<ListTreeView*, QAction*> lists[] = {{TreeView1, NewCopyFolder1},
                                                        {TreeView2, NewDeleteFolder1}};
    for (const auto& [tree, action] : lists) {
        action->setShortcutContext(Qt::WidgetShortcut);
        tree->addAction(action);
    }
}

void TForm1::TreeView1Change() {
    UpdateCommandStates();
}

void TForm1::OtherAudioFormats1Click() {
    State.OtherAudioFormats = OtherAudioFormats1->isChecked();
    ApplyOtherAudioFormats();
    try {
        stavio::SaveOtherAudioFormats(State.OtherAudioFormats);
    } catch (const std::exception& error) {
        ShowFileErrorBox(this, QString::fromUtf8(error.what()));
    }
}

void TForm1::ApplyOtherAudioFormats() {
    OtherAudioFormats1->setChecked(State.OtherAudioFormats);
    LsFilelistView281->SetMask(QString::fromLatin1(stavio::AudioFileMask(State.OtherAudioFormats)));
}

void TForm1::LsDirTree211DirChange(const QString& path) {
    // Only a folder replaces the remembered one. When that folder is missing at start (an
    // unmounted drive), the tree shows the computer instead and reports no folder: the
    // remembered one is kept, and comes back once the drive is there again.
    if (!IsFolder(path)) // by its real bytes: also a folder whose name is not UTF-8
        return;
    LastExplorerDirectory = path;
}

namespace {

// Add directory: a folder named after the explorer's folder, holding its listed files.
void AddDirectory(const TLsDirTree21& tree, const TLsFilelistView28& list,
                  stavio::ListTree& listTree, stavio::LinkList& links,
                  stavio::NamingService& names) {
    if (tree.SelectedLevel() < 2) // nothing, the computer or a drive
        return;
    const ExplorerPane explorer(tree, list);
    stavio::AddFolderNode(names.ShortNameFromPath(HostPathFromQt(tree.SelectedPath())), listTree,
                          links, &explorer, names);
}

// Add selected files: each selected item of the file list, in display order.
void AddSelectedFiles(const TLsDirTree21& tree, const TLsFilelistView28& list,
                      stavio::ListTree& listTree, stavio::LinkList& links,
                      stavio::NamingService& names) {
    if (!list.HasSelection())
        return;
    const std::string folder = HostPathFromQt(tree.SelectedPath());
    for (const QString& name : list.SelectedCaptions())
        stavio::AddFileNode(stavio::JoinExplorerPath(folder, HostPathFromQt(name)), listTree, links,
                            names);
}

} // namespace

void TForm1::SpeedButton6Click() {
    {
        const stavio::ListHistory::Edit edit(State.History, State.CopyTree);
        AddDirectory(*LsDirTree211, *LsFilelistView281, State.CopyTree,
                     State.CurrentProject->CopyLinks, State.Names);
    }
    // Files added into the selected folder change what it may hold.
    UpdateCommandStates();
}

void TForm1::SpeedButton7Click() {
    {
        const stavio::ListHistory::Edit edit(State.History, State.DeleteTree);
        AddDirectory(*LsDirTree211, *LsFilelistView281, State.DeleteTree,
                     State.CurrentProject->DeleteLinks, State.Names);
    }
    // Files added into the selected folder change what it may hold.
    UpdateCommandStates();
}

void TForm1::SpeedButton11Click() {
    {
        const stavio::ListHistory::Edit edit(State.History, State.CopyTree);
        AddSelectedFiles(*LsDirTree211, *LsFilelistView281, State.CopyTree,
                         State.CurrentProject->CopyLinks, State.Names);
    }
    // Files added into the selected folder change what it may hold.
    UpdateCommandStates();
}

void TForm1::SpeedButton12Click() {
    {
        const stavio::ListHistory::Edit edit(State.History, State.DeleteTree);
        AddSelectedFiles(*LsDirTree211, *LsFilelistView281, State.DeleteTree,
                         State.CurrentProject->DeleteLinks, State.Names);
    }
    // Files added into the selected folder change what it may hold.
    UpdateCommandStates();
}

void TForm1::SpeedButton4Click() {
    // The tree reports its own changes while it is rebuilt; the folder to reopen is kept here.
    const QString folder = LastExplorerDirectory;
    LsDirTree211->Reload();
    LsDirTree211->OpenPath(folder);
    LsFilelistView281->SetDirectory(folder);
    LsFilelistView281->Refresh();
}

void TForm1::SpeedButton13Click() {
    FileListViewStyle = (FileListViewStyle + 1) % 4;
    LsFilelistView281->SetViewStyle(FileListViewStyle);
    LsFilelistView281->update();
}

void TForm1::SpeedButton14Click() {
    {
        const stavio::ListHistory::Edit edit(State.History, State.CopyTree);
        stavio::DeleteSelectedNode(State.CopyTree, State.CurrentProject->CopyLinks);
    }
    UpdateCommandStates();
}

void TForm1::SpeedButton15Click() {
    {
        const stavio::ListHistory::Edit edit(State.History, State.DeleteTree);
        stavio::DeleteSelectedNode(State.DeleteTree, State.CurrentProject->DeleteLinks);
    }
    UpdateCommandStates();
}

namespace {

// New folder: the name from the folder name dialog, refused with a message when empty or
// "SYSTEM"; a name already taken or a target too deep adds nothing, silently.
void NewFolder(TForm1& form, stavio::ListTree& tree, stavio::LinkList& links) {
    TOKBottomDlg4& dialog = form.App.FolderNameDialog();
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::string name =
        stavio::FolderNameFromText(stavio::Utf8ToCp1252(dialog.Text().toStdString()));
    const stavio::Language language = form.State.CurrentLanguage;
    if (name.empty()) {
        ShowErrorBox(&form, MessageText(language, 4));
        return;
    }
    if (name == "SYSTEM") {
        ShowErrorBox(&form, MessageText(language, 5));
        return;
    }
    const stavio::ListHistory::Edit edit(form.State.History, tree);
    stavio::AddFolderNode(name, tree, links);
}

} // namespace

void TForm1::SpeedButton19Click() {
    NewFolder(*this, State.CopyTree, State.CurrentProject->CopyLinks);
    UpdateCommandStates();
}

void TForm1::SpeedButton20Click() {
    NewFolder(*this, State.DeleteTree, State.CurrentProject->DeleteLinks);
    UpdateCommandStates();
}
