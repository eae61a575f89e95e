// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExplorerLanguage.h"

#include <QPointer>
#include <QStringList>
#include <QTreeWidget>

#include <functional>

class MountWatcher;
class FolderWatcher;
class TLsFilelistView28;
class QUrl;

// The directory tree of the explorer: level 0 the computer, level 1 the drives (the
// root file system and the mounted volumes), deeper levels the folders, read only
// when their parent is first opened. Drives mounted or unmounted and folders made or
// removed by other programs show at once.
class TLsDirTree21 : public QTreeWidget {
    Q_OBJECT
public:
    explicit TLsDirTree21(QWidget* parent = nullptr);

    // Expands down to an existing folder, selects it, scrolls to it and raises
    // OnDirChange. Does nothing for an empty or one-character path other than "/", or a
    // path that is not an existing folder.
    void OpenPath(const QString& path);
    // The selected folder; a drive gives its mount point; "" for none or the computer.
    QString SelectedPath() const;
    // -1 nothing selected, 0 the computer, 1 a drive, 2 and more a folder.
    int SelectedLevel() const;
    // Builds the tree again from scratch: the computer and its drives, nothing selected.
    void Reload();

    void SetLanguage(ExplorerLanguage language);
    ExplorerLanguage Language() const { return language_; }

    // The file list then lists the selected folder, and the tree follows the list.
    void SetFileList(TLsFilelistView28* list);

    // Mount points shown as drives, "/" first; an empty list goes back to the system's.
    void SetDrives(const QStringList& mountPoints);
    QStringList Drives() const { return drives_; }

    // The folder path an item stands for ("" for the computer).
    static QString PathOf(const QTreeWidgetItem* item);
    // True once the item's sub-folders have been read.
    static bool IsLoaded(const QTreeWidgetItem* item);
    // Reads the sub-folders of the selected item again.
    void RefreshSelected();
    // Hidden folders (names starting with ".") are left out while not shown; the one the user
    // is in stays. Shown at start.
    void SetShowHidden(bool show);
    bool ShowHidden() const { return showHidden_; }
    // Where Open hands the folder; the desktop's file manager by default.
    void SetUrlOpener(std::function<bool(const QUrl&)> opener);
    // Commands of the program that holds the tree, first in its context menu; their keys
    // work while the tree has the focus. The holder keeps their texts and states.
    void AddHostActions(const QList<QAction*>& actions);

signals:
    void OnDirChange(const QString& path);
    // A watched folder's entries changed: folders in it may have gone or come back.
    void EntriesChanged(const QStringList& paths);

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    QTreeWidgetItem* NewFolderItem(QTreeWidgetItem* parent, const QString& name, int index);
    static QTreeWidgetItem* MakeFolderItem(const QString& parentPath, const QString& name);
    void LoadChildren(QTreeWidgetItem* item, bool force);
    QTreeWidgetItem* ChildNamed(QTreeWidgetItem* item, const QString& name) const;
    QTreeWidgetItem* EnsureChild(QTreeWidgetItem* item, const QString& name);
    void SelectSilently(QTreeWidgetItem* item);
    void RevealLabelOf(QTreeWidgetItem* item);
    // Removes the children of `parent` that `keep` turns down, with all below them.
    void PruneChildren(QTreeWidgetItem* parent, const std::function<bool(QTreeWidgetItem*)>& keep);
    void CurrentChanged(QTreeWidgetItem* current);
    void FollowList(const QString& dir);
    void FolderCreated(const QString& path);
    void CreateActions();
    void UpdateActions();
    void ApplyTexts();
    void NewFolder();
    void DrivesChanged();
    void FolderChanged(const QString& path);
    QTreeWidgetItem* ItemOfPath(const QString& path) const;

    QTreeWidgetItem* root_ = nullptr;
    QStringList drives_;
    bool customDrives_ = false;
    bool quiet_ = false;
    bool showHidden_ = true;
    ExplorerLanguage language_ = ExplorerLanguage::lnEnglish;
    QList<QAction*> ownActions_;
    QPointer<TLsFilelistView28> list_;
    QList<QMetaObject::Connection> listConnections_;
    std::function<bool(const QUrl&)> opener_;
    // The disk is followed: the mount table, and the opened folders (a bounded number).
    MountWatcher* mounts_ = nullptr;
    FolderWatcher* folders_ = nullptr;
};
