// SPDX-License-Identifier: GPL-3.0-or-later
#include "Main.h"

#include "MessageBoxes.h"
#include "ProgessBar.h"
#include "ProjectFileDialogs.h"
#include "ProjetProperty.h"
#include "QtBoundary.h"
#include "StavioApp.h"
#include "TextFile.h"
#include "text.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace {

bool IsExistingFile(const std::string& path) {
    return !path.empty() && QFileInfo(QtPathFromHost(path)).isFile();
}

// Where the file dialogs start: the folder of the current project file, if any.
QString StartFolder(const std::string& projectFileName) {
    return projectFileName.empty() ? QString()
                                   : QFileInfo(QtPathFromHost(projectFileName)).absolutePath();
}

} // namespace

void TForm1::SetProjectCaption() {
    QString name = QString::fromStdString(stavio::Cp1252ToUtf8(State.CurrentProject->ProjectName));
    // Qt reads "[*]" in a title as the modified mark; doubled, it shows as typed.
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(QStringLiteral("KELVO Stavio : ") + name);
}

void TForm1::AskToSave() {
    if (!State.IsModified())
        return;
    // No way to cancel here: the command that asked goes on whatever happens.
    if (AskYesNo(this, MessageText(State.CurrentLanguage, 0)))
        Save1Click();
}

// Job 2 of the progress dialog: an empty "New Project" without a file. The lists' nodes are
// handed back, to be freed away from the window's thread.
std::vector<std::unique_ptr<stavio::ListNode>> TForm1::ResetProject() {
    TOKBottomDlg1* progress = &App.ProgressDialog();
    progress->ShowBar(false);
    progress->SetStatusText(stavio::TextUtf8(stavio::ProgressTexts, State.CurrentLanguage, 2));
    progress->ShowLabel(true);
    std::vector<std::unique_ptr<stavio::ListNode>> nodes = State.ResetProjectDetached();
    SetProjectCaption();
    return nodes;
}

void TForm1::New2Click() {
    AskToSave();
    TForm3* properties = &App.PropertiesDialog();
    properties->ShowNewProjectDefaults();
    if (properties->exec() == QDialog::Accepted) {
        stavio::TProjectClass entered;
        properties->StoreInto(entered);
        RunProgressJob(App, 2);
        stavio::TProjectClass& project = *State.CurrentProject;
        project.ProjectName = entered.ProjectName;
        project.Subject = entered.Subject;
        project.Author = entered.Author;
        project.Copyright = entered.Copyright;
        project.Customer = entered.Customer;
        project.CreationDate = entered.CreationDate;
        project.DiffusionDate = entered.DiffusionDate;
        project.Comments = entered.Comments;
        project.TargetPath = State.ExecutableFolder;
        project.CopyLinks.clear();
        project.DeleteLinks.clear();
        State.RecordSavedState();
        SetProjectCaption();
    }
    UpdateCommandStates();
}

void TForm1::Open1Click() {
    AskToSave();
    const QString file = AskProjectFileToOpen(this, StartFolder(State.ProjectFileName));
    if (!file.isEmpty())
        OpenProject(QFile::encodeName(file).toStdString());
    UpdateCommandStates();
}

void TForm1::OpenProject(const std::string& path) {
    RunProgressJob(App, 2); // leaves both roots selected, as the load needs
    State.ProjectFileName = path;
    RunProgressJob(App, 1);
}

void TForm1::Save1Click() {
    if (IsExistingFile(State.ProjectFileName))
        RunProgressJob(App, 3);
    else
        SaveAs1Click();
}

void TForm1::SaveAs1Click() {
    const QString file =
        AskProjectFileToSave(this, StartFolder(State.ProjectFileName), State.CurrentLanguage);
    if (file.isEmpty())
        return;
    State.ProjectFileName = QFile::encodeName(file).toStdString();
    RunProgressJob(App, 3);
}

void TForm1::Property1Click() {
    TForm3* properties = &App.PropertiesDialog();
    properties->ShowProject(*State.CurrentProject);
    if (properties->exec() != QDialog::Accepted)
        return;
    // Not recorded as saved: a changed value makes the project modified.
    properties->StoreInto(*State.CurrentProject);
    SetProjectCaption();
}

void TForm1::LoadLastProject() {
    const std::string& named = App.ProjectToOpen;
    if (named.empty() || !IsExistingFile(named)) {
        // A name that is no file is reported; the last project comes back as usual.
        if (!named.empty())
            ShowFileErrorBox(this, QString::fromUtf8(stavio::FileError(ENOENT, named).what()));
        if (IsExistingFile(State.ProjectFileName))
            RunProgressJob(App, 1);
        return;
    }
    // As Open does, without its dialog.
    AskToSave();
    OpenProject(named);
    UpdateCommandStates();
}
