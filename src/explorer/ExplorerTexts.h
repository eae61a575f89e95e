#pragma once

#include "ExplorerLanguage.h"

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
    Count
};

QString ExplorerTextOf(ExplorerLanguage language, ExplorerText text);
