#pragma once

#include <QString>
#include <QStringList>

// File operations of the file list, on host paths.

// `name` itself when free in `folder`, else "stem (2).ext", "stem (3).ext", ...
QString UniqueName(const QString& folder, const QString& name);

// What a paste, a delete or another batch did.
struct FileBatchResult {
    QStringList done;   // names created in the destination (paste) or paths handled
    QStringList failed; // source paths that could not be handled
};

// Copies files and folders (recursively) into `folder`; a name already taken gets a
// free name, so pasting into the source folder makes a copy beside the original.
FileBatchResult CopyInto(const QStringList& sources, const QString& folder);

// Moves files and folders into `folder` (renaming, or copying then removing across
// file systems); items already in `folder` stay as they are.
FileBatchResult MoveInto(const QStringList& sources, const QString& folder);

// Moves each path to the desktop's trash.
FileBatchResult MoveToTrash(const QStringList& paths);

// A path built from a folder and a name, without a doubled "/".
QString JoinPath(const QString& folder, const QString& name);
