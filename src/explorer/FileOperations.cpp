#include "FileOperations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool CopyRecursively(const QString& source, const QString& destination) {
    const QFileInfo info(source);
    if (!info.isDir() || info.isSymLink()) {
        if (info.isSymLink() && info.isDir())
            return QFile::link(info.symLinkTarget(), destination);
        return QFile::copy(source, destination);
    }
    if (!QDir().mkdir(destination))
        return false;
    bool ok = true;
    const QFileInfoList children = QDir(source).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& child : children)
        ok = CopyRecursively(child.filePath(), JoinPath(destination, child.fileName())) && ok;
    return ok;
}

bool IsInside(const QString& path, const QString& folder) {
    const QString a = QDir::cleanPath(path);
    const QString b = QDir::cleanPath(folder);
    return b == a || b.startsWith(a + QLatin1Char('/'));
}

} // namespace

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString UniqueName(const QString& folder, const QString& name) {
    const auto taken = [&](const QString& candidate) {
        const QFileInfo info(JoinPath(folder, candidate));
        return info.exists() || info.isSymLink();
    };
    if (!taken(name))
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString suffix = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
        if (!taken(candidate))
            return candidate;
    }
}

FileBatchResult CopyInto(const QStringList& sources, const QString& folder) {
    FileBatchResult result;
    for (const QString& source : sources) {
        const QFileInfo info(source);
        // A folder is never copied into itself or below itself.
        if (!info.exists() || (info.isDir() && IsInside(source, folder))) {
            result.failed.append(source);
            continue;
        }
        const QString name = UniqueName(folder, info.fileName());
        if (CopyRecursively(source, JoinPath(folder, name)))
            result.done.append(name);
        else
            result.failed.append(source);
    }
    return result;
}

FileBatchResult MoveInto(const QStringList& sources, const QString& folder) {
    FileBatchResult result;
    for (const QString& source : sources) {
        const QFileInfo info(source);
        if (!info.exists() && !info.isSymLink()) {
            result.failed.append(source);
            continue;
        }
        if (QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(folder)) {
            result.done.append(info.fileName());
            continue;
        }
        if (info.isDir() && IsInside(source, folder)) {
            result.failed.append(source);
            continue;
        }
        const QString name = UniqueName(folder, info.fileName());
        const QString destination = JoinPath(folder, name);
        bool ok = QDir().rename(source, destination);
        if (!ok && CopyRecursively(source, destination))
            ok = info.isDir() && !info.isSymLink() ? QDir(source).removeRecursively()
                                                   : QFile::remove(source);
        if (ok)
            result.done.append(name);
        else
            result.failed.append(source);
    }
    return result;
}

FileBatchResult MoveToTrash(const QStringList& paths) {
    FileBatchResult result;
    // Without an existing data folder Qt may fall back to a trash relative to the
    // working folder; make sure the desktop's one can be set up.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    for (const QString& path : paths) {
        QString inTrash;
        if (QFile::moveToTrash(path, &inTrash) && QFileInfo(inTrash).isAbsolute())
            result.done.append(path);
        else
            result.failed.append(path);
    }
    return result;
}
