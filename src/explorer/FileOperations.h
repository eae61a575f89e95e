// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExplorerLanguage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// File operations of the file list, on host paths.
//
// Host names are the file system's bytes. A name that is not valid UTF-8 is carried in a
// QString with each stray byte as a code point U+DC80..U+DCFF, so that it converts back
// to the very same bytes; HostBytes and HostString convert, DisplayName shows such a
// name with replacement characters.

QByteArray HostBytes(const QString& path);
QString HostString(const QByteArray& bytes);
QString DisplayName(const QString& name);

// True when `path` is a folder or a link to one.
bool IsFolder(const QString& path);

// A file URL of a host path and back, byte for byte (a URL carries any byte
// percent-encoded, so a name that is not UTF-8 survives the clipboard).
class QUrl;
QUrl UrlOfPath(const QString& path);
QString PathOfUrl(const QUrl& url);

// `name` itself when free in `folder`, else "stem (2).ext", "stem (3).ext", ...
QString UniqueName(const QString& folder, const QString& name);

// A path built from a folder and a name, without a doubled "/".
QString JoinPath(const QString& folder, const QString& name);

// Why an item was not handled: the runtime's French text for the common errors
// ("Disque plein", "Accès refusé", ...), else the system's own reason.
QString ReasonOfErrno(int error);

struct FileProblem {
    QString path;   // the source (or the item) concerned
    QString reason; // shown to the user
};

// What a paste, a delete or another batch did.
struct FileBatchResult {
    QStringList done;           // names created in the destination (paste) or paths handled
    QList<FileProblem> failed;  // items not handled, or handled in part
    QList<FileProblem> skipped; // pipes, sockets and devices, never opened
    bool cancelled = false;
};

// Follows a batch running on another thread: its progress, and the user's Cancel.
struct FileBatchControl {
    std::atomic<bool> cancel{false};
    std::atomic<qint64> bytesDone{0};
    std::atomic<qint64> bytesTotal{0};
    std::atomic<int> itemsDone{0};
    std::atomic<int> itemsTotal{0}; // the items given, for a batch that moves no data
    // Runs on the batch's thread just before a copied file takes its name, the moment at
    // which another program may take that name.
    std::function<void()> beforePlacing;
};

// Copies files and folders (recursively) into `folder`; a name already taken gets a free
// name, so pasting into the source folder makes a copy beside the original. Every file is
// written under a temporary name and renamed once complete, so a failed or cancelled copy
// leaves no partial file. Symbolic links are copied as links with their target as written;
// modification times are kept; pipes, sockets and devices are skipped. A folder is never
// copied into itself, also not through a link.
FileBatchResult CopyInto(const QStringList& sources, const QString& folder,
                         ExplorerLanguage language, FileBatchControl* control = nullptr);

// Moves files and folders into `folder`: renamed on the same file system, otherwise copied
// file by file as above, each source removed once its copy is complete. Items already in
// `folder` stay as they are.
FileBatchResult MoveInto(const QStringList& sources, const QString& folder,
                         ExplorerLanguage language, FileBatchControl* control = nullptr);

// The user's trash folder, laid out as the freedesktop.org desktops expect.
QString TrashFolder();

// Moves each path to the user's trash, which must be on the same volume; an item that
// cannot go there is reported, never copied.
FileBatchResult MoveToTrash(const QStringList& paths, FileBatchControl* control = nullptr);

// Deletes each path for good; a folder with all it holds; links are removed, never followed.
FileBatchResult DeletePermanently(const QStringList& paths, FileBatchControl* control = nullptr);

// True when `path` lies on the file system that holds the user's trash.
bool OnHomeVolume(const QString& path);

// The outcome of a rename in a folder.
enum class RenameOutcome { Renamed, Unchanged, Invalid, Exists, Failed };

// Renames `oldName` to `newName` in `folder`, never replacing another file. A change of
// case only, on a volume that ignores case, goes through an intermediate name. `reason`
// receives the system's reason of a failure.
RenameOutcome RenameInFolder(const QString& folder, const QString& oldName, const QString& newName,
                             QString* reason = nullptr);

// Makes the folder `name` in `parent`. Returns "" and sets `path`, or the text that says why
// not (a name already taken, an invalid name, the system's reason).
QString MakeFolder(const QString& parent, const QString& name, ExplorerLanguage language,
                   QString* path);
