// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExplorerLanguage.h"

#include <QLocale>
#include <QString>

// The explorer components' own texts: root item, column headers, menus, questions.
enum class ExplorerText {
    MyComputer,
    ColumnName,
    ColumnSize,
    ColumnType,
    ColumnModified,
    Open,
    Copy,
    Cut,
    Paste,
    View,
    NewFolder,
    SelectAll,
    Delete,
    Rename,
    Find,
    Refresh,
    UpOneLevel,
    ConfirmDeleteTitle,
    ConfirmDelete, // %1: number of items
    FileType,      // %1: the suffix in capitals
    FileTypePlain, // a file without suffix
    SizeInKb,      // %1: the size in kilobytes
    NewFolderName,
    NewFolderPrompt,
    FindPrompt,
    NothingFound,
    ErrorTitle,
    OperationFailed, // %1: the names that failed
    SpecialFileSkipped,
    FolderIntoItself,
    NameExists,               // %1: the name
    InvalidName,              // %1: the name
    ConfirmDeletePermanently, // %1: number of items
    TrashUnavailable,         // %1: number of items
    Copying,
    Moving,
    Deleting,
    Cancel,
    FolderUnreadable, // %1: the system's reason
    ConfirmOpenMany,  // %1: number of files
    // The singular forms of ConfirmDelete, ConfirmDeletePermanently and TrashUnavailable.
    ConfirmDeleteOne,
    ConfirmDeletePermanentlyOne,
    TrashUnavailableOne,
    Count
};

QString ExplorerTextOf(ExplorerLanguage language, ExplorerText text);
// The locale that writes numbers for language, whatever the desktop's is.
QLocale ExplorerLocale(ExplorerLanguage language);
// A text that counts items, in the form the language takes for count, filled with it.
QString ExplorerCountTextOf(ExplorerLanguage language, ExplorerText text, qsizetype count);
