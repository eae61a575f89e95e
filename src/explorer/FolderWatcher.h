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
    explicit FolderWatcher(QObject* parent = nullptr);
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
    QSocketNotifier* notifier_ = nullptr;
    QHash<int, QString> folders_; // by watch descriptor
    QFileSystemWatcher* fallback_ = nullptr;
};
