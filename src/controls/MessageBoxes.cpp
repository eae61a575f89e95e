// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageBoxes.h"

#include "text.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

// A box with one button, which Enter, Escape and the close box all press.
void RunBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
            const QString& caption) {
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    QPushButton* button = box.addButton(caption, QMessageBox::AcceptRole);
    box.setDefaultButton(button);
    box.setEscapeButton(button);
    box.exec();
}

} // namespace

QString MessageText(stavio::Language language, int k) {
    return QString::fromStdString(stavio::TextUtf8(stavio::MessageTexts, language, k));
}

void ShowErrorBox(QWidget* parent, const QString& text) {
    RunBox(parent, QMessageBox::Critical, QStringLiteral("Erreur"), text,
           QStringLiteral("&Abandon"));
}

void ShowWarningBox(QWidget* parent, const QString& text) {
    RunBox(parent, QMessageBox::Warning, QStringLiteral("Avertissement"), text,
           QStringLiteral("&Abandon"));
}

bool AskYesNo(QWidget* parent, const QString& text, DefaultAnswer answer) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirmation"), text,
                    QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    box.setDefaultButton(answer == DefaultAnswer::Yes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void ShowFileErrorBox(QWidget* parent, const QString& text) {
    const QString title = QApplication::applicationDisplayName().isEmpty()
                              ? QStringLiteral("Stavio")
                              : QApplication::applicationDisplayName();
    RunBox(parent, QMessageBox::Critical, title, text, QStringLiteral("OK"));
}
