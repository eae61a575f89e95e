// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// The "drives" of the directory tree: the root file system and the mounted volumes a
// user would put music on or render to.
struct MountEntry {
    QString device;
    QString mountPoint;
    QString fsType;
};

// Reads the lines of /proc/self/mounts (octal escapes such as \040 decoded).
QList<MountEntry> ParseMounts(const QByteArray& content);

// "/" first, then the volumes worth showing, sorted, without duplicates.
QStringList DriveMountPoints(const QList<MountEntry>& mounts);

// DriveMountPoints of the running system.
QStringList SystemDrives();

// The mount point among `drives` that is the longest prefix of the absolute `path`;
// empty when none is.
QString DriveForPath(const QStringList& drives, const QString& path);

class QSocketNotifier;

// Tells when a volume is mounted or unmounted: the kernel marks the mount table as
// changed, which a poll on the open table sees.
class MountWatcher : public QObject {
    Q_OBJECT
public:
    explicit MountWatcher(QObject* parent = nullptr);
    ~MountWatcher() override;

signals:
    void MountsChanged();

private:
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};
