// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class QFileSystemWatcher;
class QSocketNotifier;

// Tells when the entries of a watched folder change (made, removed, renamed, their
// attributes), like QFileSystemWatcher, but for any folder name: paths are the file
// system's bytes as HostString keeps them, so a folder whose name is not UTF-8 is
// followed too. On Linux it asks inotify itself; elsewhere it leaves the work to Qt.
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    // With `fileWrites`, a file written in a watched folder and closed counts as a change
    // too (its size and its tags change without any entry made or renamed).
    explicit FolderWatcher(QObject* parent = nullptr, bool fileWrites = false);
    ~FolderWatcher() override;

    bool AddPath(const QString& folder);
    void RemovePath(const QString& folder);
    void RemoveAll();
    QStringList Folders() const;

signals:
    void FolderChanged(const QString& folder);

private:
    void ReadEvents();

    int inotify_ = -1;
    bool fileWrites_ = false;
    QSocketNotifier* notifier_ = nullptr;
    QHash<int, QString> folders_; // by watch descriptor
    QFileSystemWatcher* fallback_ = nullptr;
};
