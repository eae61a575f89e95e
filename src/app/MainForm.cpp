// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's life: creation, first activation and close.

#include "Main.h"

#include "AudioFormats.h"
#include "ListTreeModel.h"
#include "ListTreeView.h"
#include "MessageBoxes.h"
#include "QtBoundary.h"
#include "Settings.h"
#include "StavioApp.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "TextFile.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

namespace {

// Where the explorer opens while no folder is remembered: the user's music, else the home
// folder; never the program's own folder, which for an installed program is /usr/bin.
QString FirstExplorerFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return !music.isEmpty() && QFileInfo(music).isDir() ? music : QDir::homePath();
}

} // namespace

TForm1::TForm1(StavioApp& app, QWidget* parent) : QMainWindow(parent), App(app), State(app.State) {
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    BuildMenus();
    BuildToolBar();
    BuildClientArea();
    ConnectCommands();
    ReadUserLayout();
    FitMinimumSize();
    resize(800, 600);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

TForm1::~TForm1() {
    // Uninstalling tells every window of the change: while this one is still whole.
    delete QtTranslator;
}

void TForm1::FormCreate() {
    // The project starts as "New Project" aimed at the executable's folder (ProgramState).
    State.ProjectFileName.clear();
    LastExplorerDirectory = FirstExplorerFolder();
    SetProjectCaption();
    State.CurrentLanguage = SystemDefaultLanguage();
    FileListViewStyle = 2;
    App.ProgressMode = 1;
    State.OtherAudioFormats = stavio::LoadOtherAudioFormats();
    ApplyOtherAudioFormats();

    stavio::SettingsValues values;
    values.language = State.CurrentLanguage;
    values.projectFileName = State.ProjectFileName;
    values.lastExplorerDirectory = HostPathFromQt(LastExplorerDirectory);
    try {
        stavio::ReadSettingsFile(stavio::SettingsFilePath(App.ExecutablePath), values);
    } catch (const std::exception& error) {
        // Reported like any file error; the rest of the creation is skipped, so the first
        // activation does nothing and the fresh project counts as modified.
        ShowFileErrorBox(this, QString::fromUtf8(error.what()));
        return;
    }
    State.CurrentLanguage = values.language;
    LanguageAction(values.language)->setChecked(true);
    State.ProjectFileName = values.projectFileName;
    LastExplorerDirectory = QtPathFromHost(values.lastExplorerDirectory);

    LsDirTree211->OpenPath(LastExplorerDirectory);
    FirstActivation = true;
}

bool TForm1::event(QEvent* e) {
    const bool result = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    // Some desktops (or none at all) never activate the window; being shown counts as the
    // first activation there. Queued, so the window is up before any dialog opens.
    if (e->type() == QEvent::Show && FirstActivation)
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                FormActivate();
        });
    return result;
}

void TForm1::FormActivate() {
    if (FirstActivation) {
        ApplyLanguage();
        UpdateCommandStates();
        State.RecordSavedState();
        LsFilelistView281->SetDirectory(LastExplorerDirectory);
        State.CopyTree.Select(State.CopyTree.Root());
        State.DeleteTree.Select(State.DeleteTree.Root());
        // Cleared first: the load runs in a modal dialog, whose return activates us again.
        FirstActivation = false;
        LoadLastProject();
    }
    FirstActivation = false;
}

void TForm1::closeEvent(QCloseEvent* e) {
    FormClose();
    e->accept(); // closing cannot be cancelled
}

void TForm1::FormClose() {
    AskToSave();
    WriteUserLayout();
    stavio::SettingsValues values;
    values.language = State.CurrentLanguage;
    values.projectFileName = State.ProjectFileName;
    values.lastExplorerDirectory = HostPathFromQt(LastExplorerDirectory);
    try {
        stavio::WriteSettingsFile(stavio::SettingsFilePath(App.ExecutablePath), values);
    } catch (const std::exception& error) {
        // The previous settings file stays as it was; the window closes all the same.
        ShowFileErrorBox(this, QString::fromUtf8(error.what()));
    }
}

void TForm1::Exit1Click() {
    close();
}

void TForm1::Explorater1Click() {
    Explorater1->toggle();
}
void TForm1::CopyList1Click() {
    CopyList1->toggle();
}
void TForm1::DeleteList1Click() {
    DeleteList1->toggle();
}
void TForm1::NewImage1Click() {
    NewImage1->toggle();
}
