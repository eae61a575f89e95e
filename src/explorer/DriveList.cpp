// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveList.h"

#include "FileOperations.h"

#include <QFile>
#include <QSet>
#include <QSocketNotifier>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString DecodeMountField(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool ok = false;
            const int value = digits.toInt(&ok, 8);
            if (ok) {
                out.append(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    // A mount point named in bytes that are not UTF-8 keeps them (see HostString).
    return HostString(out);
}

bool IsPseudoFileSystem(const QString& type) {
    static const QSet<QString> pseudo = {
        QStringLiteral("proc"),      QStringLiteral("sysfs"),      QStringLiteral("tmpfs"),
        QStringLiteral("devtmpfs"),  QStringLiteral("devpts"),     QStringLiteral("cgroup"),
        QStringLiteral("cgroup2"),   QStringLiteral("securityfs"), QStringLiteral("debugfs"),
        QStringLiteral("tracefs"),   QStringLiteral("pstore"),     QStringLiteral("bpf"),
        QStringLiteral("mqueue"),    QStringLiteral("hugetlbfs"),  QStringLiteral("configfs"),
        QStringLiteral("fusectl"),   QStringLiteral("autofs"),     QStringLiteral("binfmt_misc"),
        QStringLiteral("overlay"),   QStringLiteral("squashfs"),   QStringLiteral("nsfs"),
        QStringLiteral("ramfs"),     QStringLiteral("efivarfs"),   QStringLiteral("rpc_pipefs"),
        QStringLiteral("selinuxfs"), QStringLiteral("devfs"),      QStringLiteral("none"),
    };
    return pseudo.contains(type);
}

// File systems of USB sticks, memory cards, players and optical discs.
bool IsRemovableFileSystem(const QString& type) {
    static const QSet<QString> removable = {
        QStringLiteral("vfat"), QStringLiteral("exfat"),   QStringLiteral("msdos"),
        QStringLiteral("ntfs"), QStringLiteral("ntfs3"),   QStringLiteral("fuseblk"),
        QStringLiteral("udf"),  QStringLiteral("iso9660"), QStringLiteral("hfsplus"),
    };
    return removable.contains(type);
}

bool IsUnder(const QString& path, const QString& folder) {
    return path.startsWith(folder + QLatin1Char('/'));
}

bool IsUserVolume(const MountEntry& m) {
    if (m.mountPoint == QLatin1String("/") || IsPseudoFileSystem(m.fsType))
        return false;
    if (IsUnder(m.mountPoint, QStringLiteral("/media")) ||
        IsUnder(m.mountPoint, QStringLiteral("/run/media")) ||
        IsUnder(m.mountPoint, QStringLiteral("/mnt")))
        return true;
    // A removable volume mounted elsewhere, but not the firmware partition.
    return m.device.startsWith(QLatin1String("/dev/")) && IsRemovableFileSystem(m.fsType) &&
           !m.mountPoint.startsWith(QLatin1String("/boot")) &&
           !m.mountPoint.startsWith(QLatin1String("/efi"));
}

} // namespace

QList<MountEntry> ParseMounts(const QByteArray& content) {
    QList<MountEntry> mounts;
    for (const QByteArray& line : content.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3)
            continue;
        mounts.append({DecodeMountField(fields[0]), DecodeMountField(fields[1]),
                       DecodeMountField(fields[2])});
    }
    return mounts;
}

QStringList DriveMountPoints(const QList<MountEntry>& mounts) {
    QStringList volumes;
    for (const MountEntry& m : mounts) {
        if (IsUserVolume(m) && !volumes.contains(m.mountPoint))
            volumes.append(m.mountPoint);
    }
    std::sort(volumes.begin(), volumes.end());
    volumes.prepend(QStringLiteral("/"));
    return volumes;
}

QStringList SystemDrives() {
    QFile file(QStringLiteral("/proc/self/mounts"));
    // /proc files report size 0: read until the end instead of by size.
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("/")};
    return DriveMountPoints(ParseMounts(file.readAll()));
}

QString DriveForPath(const QStringList& drives, const QString& path) {
    QString best;
    for (const QString& drive : drives) {
        const bool matches = drive == QLatin1String("/") ? path.startsWith(QLatin1Char('/'))
                                                         : (path == drive || IsUnder(path, drive));
        if (matches && drive.size() > best.size())
            best = drive;
    }
    return best;
}

MountWatcher::MountWatcher(QObject* parent) : QObject(parent) {
    fd_ = ::open("/proc/self/mounts", O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Exception, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        // Reading the table to its end acknowledges the change.
        char buffer[4096];
        ::lseek(fd_, 0, SEEK_SET);
        while (::read(fd_, buffer, sizeof buffer) > 0) {
        }
        emit MountsChanged();
    });
}

MountWatcher::~MountWatcher() {
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
}
