// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's message boxes. The text is a MessageTexts entry in the current language; the
// titles and button captions are the toolkit's own, French whatever the language.

#include "ProgramState.h"

#include <QString>

class QWidget;

// Entry k of MessageTexts for language, ready for display.
QString MessageText(stavio::Language language, int k);

// Error icon, title "Erreur", one button "&Abandon".
void ShowErrorBox(QWidget* parent, const QString& text);
// Warning icon, title "Avertissement", one button "&Abandon".
void ShowWarningBox(QWidget* parent, const QString& text);
// Question icon, title "Confirmation", buttons "&Oui" and "&Non"; true for Oui. Closing the
// box counts as Non. Enter presses Oui, or Non where yes is the risky answer.
enum class DefaultAnswer { Yes, No };
bool AskYesNo(QWidget* parent, const QString& text, DefaultAnswer answer = DefaultAnswer::Yes);
// The general error handler: a file error that ended an operation, shown with the
// application's title, the error icon and one OK button.
void ShowFileErrorBox(QWidget* parent, const QString& text);
