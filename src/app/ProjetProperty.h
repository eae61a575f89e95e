// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Project Properties dialog: the seven descriptive texts and the comment lines.

#include "ProjectClasses.h"

#include <QDialog>

#include <QString>

#include <array>
#include <string>
#include <vector>

class QFont;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class StavioApp;
class TypingLimit;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(StavioApp& app, QWidget* parent = nullptr);

    // The seven texts into Edit1..Edit7 and the comment lines into Memo1.
    void ShowProject(const stavio::TProjectClass& project);
    // The values a new project starts with: "New Project", six empty texts, one line "...".
    void ShowNewProjectDefaults();
    // Edit1..Edit7 into the seven texts; the comments become the lines of Memo1.
    void StoreInto(stavio::TProjectClass& project) const;
    // The comment box's lines as displayed: every wrapped piece is a line of its own; an
    // empty last line is left out unless the box is as it was shown.
    std::vector<std::string> CommentLines() const;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The tests reach the controls through WindowParts (tests/support/WindowParts.h).
    template <class> friend struct WindowParts;

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QLineEdit* Edit7;
    QPlainTextEdit* Memo1;
    QPushButton* mxFlatButton1;
    QPushButton* mxFlatButton2;
    QLabel* RefusedHint; // why a typed or pasted character was refused

    void FormActivate();
    void LayOutRows(const QFont& font);
    std::array<QLineEdit*, 7> Edits() const;

    StavioApp& app_;
    TypingLimit* nameLimit_;
    int extraWidth_ = 0; // beyond the usual 362 pixels, for captions that need it
    // What ShowProject put in the dialog, so that what the user left alone stays as it was.
    std::array<std::string, 7> shownTexts_;
    std::array<QString, 7> shownEdits_;
    QString shownComments_;
    bool commentsWereEmpty_ = false;
};
