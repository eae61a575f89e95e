#pragma once
// The open and save dialogs of the project commands, filtered on "Script Project (*.scp)".
// Both are the toolkit's own dialog run modally, so they look the same on every desktop.

#include <QString>

class QWidget;

// The chosen file's full path, or "" when the dialog was cancelled. The name typed need not
// exist.
QString AskProjectFileToOpen(QWidget* parent, const QString& startFolder);
// The chosen file's full path, or "" when cancelled. A name typed without an extension gets
// ".scp"; an existing file is replaced without a question, a read-only one is refused.
QString AskProjectFileToSave(QWidget* parent, const QString& startFolder);
