// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the explorer pane, the Copy List and the Delete List, the menus and tool
// bars. One class, spread over files by concern: MainForm (creation, activation, close),
// MainLayout (panes, bars, menus), MainListCommands, MainDragDrop, MainLanguage,
// MainProjectCommands, MainRender, MainHelp.

#include "ProgramState.h"
#include "ProjectFigures.h"

#include <QMainWindow>
#include <QPoint>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class StavioApp;
class StatusSizeReader;
class ListTreeModel;
class ListTreeView;
class TLsDirTree21;
class TLsFilelistView28;
class QAction;
class QActionGroup;
class QLabel;
class QMimeData;
class QMenu;
class QObject;
class QSplitter;
class QTimer;
class QToolButton;
class QTranslator;
class QTreeView;
class QWidget;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(StavioApp& app, QWidget* parent = nullptr);
    ~TForm1() override;

    // What the window shows and edits: the program's, not the window's own.
    StavioApp& App;
    stavio::ProgramState& State;

    // Life of the window (MainForm.cpp).
    void FormCreate();
    void FormActivate();
    void FormClose();

    // List editing (MainListCommands.cpp).
    void SpeedButton4Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton11Click();
    void SpeedButton12Click();
    void SpeedButton13Click();
    void SpeedButton14Click();
    void SpeedButton15Click();
    void SpeedButton19Click();
    void SpeedButton20Click();
    void UpdateCommandStates();
    // Undo and Redo of list edits: adds, deletes, new folders and drops.
    void Undo1Click();
    void Redo1Click();
    void TreeView1Change();
    // Options > "Other audio formats": the explorer's mask and the adding rules follow.
    void OtherAudioFormats1Click();
    void ApplyOtherAudioFormats();
    void LsDirTree211DirChange(const QString& path);

    // Drag and drop from the explorer and from other programs (MainDragDrop.cpp). source is
    // the widget that started the drag (none for another program's); data is what the drag
    // carries; accept arrives set and may only be cleared.
    void TreeView1DragOver(ListTreeView* sender, QObject* source, QPoint pos, bool& accept,
                           const QMimeData* data = nullptr);
    void TreeView1DragDrop(ListTreeView* sender, QObject* source, QPoint pos,
                           const QMimeData* data = nullptr);
    // The Delete key in a list runs that list's Delete button, when the button is enabled.
    void TreeView1DeleteKey(ListTreeView* sender);

    // What the program knows of the songs (MainMusic.cpp): the explorer's tag columns and
    // the lists' tooltips, from the program's tag cache.
    QString ListEntryToolTip(const stavio::ListNode* node) const;

    // Languages (MainLanguage.cpp).
    void ApplyLanguage();
    void English1Click();
    void French1Click();
    void Espaol1Click();
    void Deutsch1Click();
    void Italian1Click();
    static stavio::Language SystemDefaultLanguage();

    // Project commands (MainProjectCommands.cpp).
    void New2Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Property1Click();
    void Exit1Click();
    void AskToSave();
    // Job 2 of the progress dialog; hands the lists' nodes back to be freed by the job.
    std::vector<std::unique_ptr<stavio::ListNode>> ResetProject();
    // The sources whose changes came while a job ran, seen to once it ended.
    void RecheckDeferredSources();
    // At the first activation: the project named on the command line, else the last one.
    void LoadLastProject();
    // Empties the project, then loads path into it.
    void OpenProject(const std::string& path);
    void SetProjectCaption();

    // Render (MainRender.cpp).
    void RenderScript1Click();

    // Status bar (MainStatusBar.cpp): the project at a glance whenever the lists change, the
    // summary after a render.
    void UpdateStatusBar();
    void ShowStatusText(const QString& text);

    // Help menu (MainHelp.cpp).
    void About1Click();
    // The conversion settings dialog (MainConversion.cpp).
    void ConversionSettings1Click();
    void HomePage1Click();
    void SendEmailToSupport1Click();

    // View menu: each item only toggles its own check mark.
    void Explorater1Click();
    void CopyList1Click();
    void DeleteList1Click();
    void NewImage1Click();
    void ShowHiddenFolders1Click();

    // The Language item that matches the current language.
    QAction* LanguageAction(stavio::Language language) const;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // The tests reach the controls through WindowParts (tests/support/WindowParts.h).
    template <class> friend struct WindowParts;

    // Application state held by the main window.
    QString LastExplorerDirectory; // as the directory tree reports it
    bool FirstActivation = false;  // true once creation went through
    int FileListViewStyle = 2;     // 0 large icons, 1 small icons, 2 list, 3 details

    // Explorer pane.
    TLsDirTree21* LsDirTree211 = nullptr;
    TLsFilelistView28* LsFilelistView281 = nullptr;
    // List panes: models over the core trees and their views.
    ListTreeModel* CopyModel = nullptr;
    ListTreeModel* DeleteModel = nullptr;
    ListTreeView* TreeView1 = nullptr; // Copy List
    ListTreeView* TreeView2 = nullptr; // Delete List
    QTreeView* TreeView3 = nullptr;    // Player Image, never shown
    QWidget* PlayerImagePane = nullptr;

    // Pane headers.
    QLabel* ExplorerHeader = nullptr;
    QLabel* CopyListHeader = nullptr;
    QLabel* DeleteListHeader = nullptr;
    QLabel* PlayerImageHeader = nullptr;

    // Main tool bar.
    QToolButton* SpeedButton10 = nullptr; // New Project
    QToolButton* SpeedButton8 = nullptr;  // Open
    QToolButton* SpeedButton9 = nullptr;  // Save
    QToolButton* SpeedButton1 = nullptr;  // Render Script
    // Tool bar A (directory tree), B (file list), C (Copy List), D (Delete List).
    QToolButton* SpeedButton6 = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton11 = nullptr;
    QToolButton* SpeedButton12 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QToolButton* SpeedButton13 = nullptr;
    QToolButton* SpeedButton14 = nullptr;
    QToolButton* SpeedButton19 = nullptr;
    QToolButton* SpeedButton15 = nullptr;
    QToolButton* SpeedButton20 = nullptr;

    // Menus.
    QMenu* File1 = nullptr;
    QAction* New2 = nullptr;
    QAction* Property1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* RenderScript1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Edit1 = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    QMenu* View1 = nullptr; // hidden
    QAction* Explorater1 = nullptr;
    QAction* CopyList1 = nullptr;
    QAction* DeleteList1 = nullptr;
    QAction* NewImage1 = nullptr;
    QMenu* Options1 = nullptr;
    QMenu* Language1 = nullptr;
    QActionGroup* LanguageGroup = nullptr;
    QAction* English1 = nullptr;
    QAction* French1 = nullptr;
    QAction* Espaol1 = nullptr;
    QAction* Deutsch1 = nullptr;
    QAction* Italian1 = nullptr;
    QAction* ConversionSettings1 = nullptr;
    QAction* OtherAudioFormats1 = nullptr; // checkable: the lists also take other formats
    QMenu* Help1 = nullptr;
    QAction* About1 = nullptr;
    QMenu* Web1 = nullptr;
    QAction* HomePage1 = nullptr;
    QAction* SendEmailToSupport1 = nullptr;

    // The list commands' keys: in the explorer's context menus (directory tree: the folder,
    // file list: the selected files) and on the list trees.
    QAction* AddFolderToCopyList1 = nullptr;   // Ctrl+Shift+C, as SpeedButton6
    QAction* AddFolderToDeleteList1 = nullptr; // Ctrl+Shift+D, as SpeedButton7
    QAction* AddFilesToCopyList1 = nullptr;    // Ctrl+Shift+C, as SpeedButton11
    QAction* AddFilesToDeleteList1 = nullptr;  // Ctrl+Shift+D, as SpeedButton12
    QAction* NewCopyFolder1 = nullptr;         // Ctrl+Shift+N, as SpeedButton19
    QAction* NewDeleteFolder1 = nullptr;       // Ctrl+Shift+N, as SpeedButton20
    // Checkable, in the directory tree's context menu; remembered in the user's own file.
    QAction* ShowHiddenFolders1 = nullptr;
    // Explorer | lists | Player Image; the explorer keeps the width the user gives it.
    QSplitter* ClientSplitter = nullptr;
    // Qt's own texts (file dialogs, edit menus) in the current language, when Qt has them.
    QTranslator* QtTranslator = nullptr;
    // The status bar's one text: the figures or a render's summary.
    QLabel* StatusPanel = nullptr;
    QTimer* StatusTimer = nullptr; // gathers a burst of list changes into one update

    // MainLayout.cpp
    void BuildMenus();
    void BuildToolBar();
    void BuildClientArea();
    QWidget* BuildExplorerPane();
    QWidget* BuildListPane(QLabel*& header, const QString& icon, QWidget* toolBar, QTreeView* tree,
                           const char* name);
    QToolButton* MakeSpeedButton(const char* name, const QString& icon, int size);
    void ConnectCommands();
    void BuildListKeys(); // MainListCommands.cpp
    void ConnectTags();   // MainMusic.cpp
    void ConnectStatusBar();
    void ShowFigures();
    // MainSources.cpp: the entries of these sources, or of sources below them, greyed or not
    // as the sources are gone or there.
    void ConnectSources();
    void RecheckSources(const std::vector<std::string>& paths);
    std::vector<std::string> deferredSources_;
    // The user's own layout (stavio.conf): the explorer's width, hidden folders shown.
    void BuildExplorerOptions();
    void ReadUserLayout();
    void WriteUserLayout();
    // No smaller than the menus, the tool bars, the panes' headers and the status bar need,
    // in any language.
    void FitMinimumSize();
    bool userLayoutChanged_ = false;

    stavio::ProjectFigures figures_;
    StatusSizeReader* sizeReader_ = nullptr; // reads the sizes figures_ asks for
    bool statusShowsFigures_ = false;        // else a render's summary
};
