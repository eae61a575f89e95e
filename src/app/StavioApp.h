// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The running program: the state the windows share and the seven windows, created once in
// this order and alive until the end.

#include "ProgramState.h"
#include "Render.h"
#include "Tags.h"

#include <memory>
#include <string>
#include <vector>

class QLocale;
class QObject;
class QWidget;
class QTranslator;
class TForm1;
class TOKBottomDlg1;
class TForm2;
class TForm3;
class TOKBottomDlg4;
class TOKBottomDlg5;
class TOKBottomDlg6;

// The name the desktop knows the program by ("Stavio": application name and window class),
// its icon and its desktop entry. No display name: Qt would add it to every window title.
void SetApplicationIdentity();

// Loads Qt's own texts (file dialogs, edit menus) for locale, as Qt's translators wrote them.
// Returns the installed translator, owned by owner (the application when none; deleting it
// uninstalls it), or nullptr when Qt has no texts for that language.
QTranslator* InstallQtTranslations(const QLocale& locale, QObject* owner = nullptr);

class StavioApp {
public:
    // executablePath: the program file; its folder is the default target and explorer
    // folder, and the settings file lies beside it.
    // projectToOpen: a project file named on the command line (by the file manager).
    explicit StavioApp(std::string executablePath, std::string projectToOpen = {});
    ~StavioApp();
    StavioApp(const StavioApp&) = delete;
    StavioApp& operator=(const StavioApp&) = delete;

    std::string ExecutablePath;
    // Opened at the first activation instead of the last project; empty when none.
    std::string ProjectToOpen;
    stavio::ProgramState State;
    // Job selector of the progress dialog, set by each caller right before showing it.
    unsigned char ProgressMode = 1;
    // The songs' tags, shared by the explorer's details view and the lists' tooltips; it
    // outlives the windows.
    stavio::TagCache Tags;
    // How the render learns the target's free space (a fixed figure in tests).
    stavio::FreeSpaceProbe FreeSpace = stavio::FileSystemFreeSpace;

    // The seven windows, alive as long as the program.
    TForm1& MainWindow() const { return *Form1; }
    TOKBottomDlg1& ProgressDialog() const { return *OKBottomDlg1; }
    TForm2& AboutBox() const { return *Form2; }
    TForm3& PropertiesDialog() const { return *Form3; }
    TOKBottomDlg4& FolderNameDialog() const { return *OKBottomDlg4; }
    TOKBottomDlg5& InfoBox() const { return *OKBottomDlg5; }
    TOKBottomDlg6& RenderTargetDialog() const { return *OKBottomDlg6; }

private:
    template <class Window> Window* Own(std::unique_ptr<Window> window);
    // The seven windows, in the order of creation; destroyed in the reverse order.
    std::vector<std::unique_ptr<QWidget>> windows_;
    TForm1* Form1 = nullptr;               // main window
    TOKBottomDlg1* OKBottomDlg1 = nullptr; // progress dialog
    TForm2* Form2 = nullptr;               // About box
    TForm3* Form3 = nullptr;               // Project Properties
    TOKBottomDlg4* OKBottomDlg4 = nullptr; // folder name dialog
    TOKBottomDlg5* OKBottomDlg5 = nullptr; // information box
    TOKBottomDlg6* OKBottomDlg6 = nullptr; // render target dialog
};
