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
    Count
};

QString ExplorerTextOf(ExplorerLanguage language, ExplorerText text);
