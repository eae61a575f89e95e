// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The open and save dialogs of the project commands, filtered on "Script Project (*.scp)".
// Both are the toolkit's own dialog run modally, so they look the same on every desktop.

#include "ProgramState.h"

#include <QString>

class QWidget;

// The chosen file's full path, or "" when the dialog was cancelled. Only an existing file is
// taken: a typed name that does not exist keeps the dialog open.
QString AskProjectFileToOpen(QWidget* parent, const QString& startFolder);
// The chosen file's full path, or "" when cancelled. A name typed without an extension gets
// ".scp"; a read-only file is refused, and replacing an existing one is asked first, in
// language.
QString AskProjectFileToSave(QWidget* parent, const QString& startFolder,
                             stavio::Language language);
