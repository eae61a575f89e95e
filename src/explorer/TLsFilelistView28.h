// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExplorerLanguage.h"
#include "FileOperations.h"
#include "FileTagLoader.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class FileDetailsView;
class FileIconView;
class FileListModel;
class QAbstractItemView;
class QAction;
class QItemSelectionModel;
class FolderWatcher;
class QLabel;
class QTimer;
class QStackedLayout;
class QUrl;

// The file list of the explorer: the files of one folder that match the mask (folders
// are never listed), in four view styles, with its own file actions, keys and menu. It
// follows changes made to the folder by other programs.
class TLsFilelistView28 : public QWidget {
    Q_OBJECT
public:
    explicit TLsFilelistView28(QWidget* parent = nullptr);

    // The pseudo-folder of the drives; the list starts there and shows no file in it.
    static QString MyComputer();

    // No effect when `dir` is the current folder; otherwise accepts MyComputer() or an
    // existing folder and lists it.
    void SetDirectory(const QString& dir);
    QString Directory() const;
    // Lists the current folder again (empty when it has gone).
    void Refresh();

    void SetLanguage(ExplorerLanguage language);
    ExplorerLanguage Language() const { return language_; }

    // 0 large icons, 1 small icons, 2 list, 3 details.
    void SetViewStyle(int style);
    int ViewStyle() const { return viewStyle_; }

    // Names in display order; a folder still being read is read to the end first.
    QStringList ItemCaptions() const;
    QStringList SelectedCaptions() const;
    bool HasSelection() const;
    // Selects exactly the items of these names.
    void SelectCaptions(const QStringList& names);

    // Default "*.mp3"; several masks separated by ';'; compared without regard to case.
    void SetMask(const QString& mask);
    QString Mask() const;

    bool IsLoading() const;
    // A drag starts only while at least one item is selected.
    bool CanStartDrag() const;
    void StartDrag();

    // The details view shows the songs' tags after its own columns once a reader is given;
    // they are read off the window's thread and fill in as they come. The captions name
    // Title, Artist, Album, Track and Length.
    void SetTagReader(FileTagReader reader);
    void SetTagCaptions(const QStringList& captions);
    // Tags are still being read for the folder shown.
    bool TagsLoading() const;

    // Where Open hands the files; the desktop's program by default.
    void SetUrlOpener(std::function<bool(const QUrl&)> opener);

    QAbstractItemView* CurrentView() const;
    // Commands of the program that holds the list, first in its context menu; their keys
    // work while the list has the focus. The holder keeps their texts and states.
    void AddHostActions(const QList<QAction*>& actions);

    // The component's own actions, also in its context menu (keys in brackets).
    void OpenSelection();      // Enter, double click, context menu; asks first above ten files
    void CopySelection();      // Ctrl+C
    void CutSelection();       // Ctrl+X
    void PasteClipboard();     // Ctrl+V
    void NextViewStyle();      // Ctrl+F
    QString CreateNewFolder(); // context menu only; returns the new folder's path or ""
    void SelectAll();          // Ctrl+A
    void DeleteSelection();    // Delete, after confirmation, to the trash
    void UpOneLevel();         // Backspace
    void RenameCurrent();      // F2, in place
    void FindFile();           // F3

protected:
    void resizeEvent(QResizeEvent* event) override;

signals:
    void DirectoryChanged(const QString& dir);
    void ViewStyleChanged(int style);
    // A folder made by New Folder (the list does not show folders, the tree may).
    void FolderCreated(const QString& path);
    // Files or folders that may have gone or come back: deleted, moved or renamed by this
    // list, or the folder shown when other programs changed its entries.
    void EntriesChanged(const QStringList& paths);

private:
    void CreateActions();
    void UpdateActions();
    void Watch();
    void ShowReadNotice();
    void SelectCaptions(const QStringList& names, bool reveal);
    void RestoreSelection(int scroll);
    void ApplyTexts();
    void ShowContextMenu(const QPoint& pos);
    void PutOnClipboard(bool cut);
    QStringList SelectedPaths() const;
    bool InFolder() const;
    void ShowError(const QList<FileProblem>& problems);
    void ShowRenameProblem(const QString& name, int outcome, const QString& reason);
    void RequestTags(int first, int last);
    // Sizes the details view's name column to the names listed (details view only).
    void FitNameColumn();

    FileListModel* model_ = nullptr;
    FileTagLoader* tagLoader_ = nullptr;
    bool tagsQueued_ = false; // a listing ended; its tags are asked for on the next turn
    FileIconView* iconView_ = nullptr;
    FileDetailsView* detailsView_ = nullptr;
    QItemSelectionModel* selection_ = nullptr;
    QStackedLayout* stack_ = nullptr;
    QLabel* notice_ = nullptr;
    FolderWatcher* watcher_ = nullptr;
    QTimer* changeTimer_ = nullptr;
    QString directory_;
    ExplorerLanguage language_ = ExplorerLanguage::lnEnglish;
    int viewStyle_ = -1;
    QString lastFind_;
    std::function<bool(const QUrl&)> opener_;
    QList<QAction*> actionList_;
    QList<QAction*> hostActions_;
    // A batch of file operations is running; the actions that start one wait for it.
    bool busy_ = false;
    // What a refresh gives back once the folder has been read again.
    QStringList pendingSelection_;
    int pendingScroll_ = 0;
    bool nameSizedByUser_ = false; // since the folder was listed
    bool fittingNames_ = false;
};
