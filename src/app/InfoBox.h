// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The information box: a read-only text filled by the caller and an OK button.

#include <QDialog>
#include <QStringList>

class StavioApp;
class QPlainTextEdit;
class QPushButton;

class TOKBottomDlg5 : public QDialog {
    Q_OBJECT
public:
    explicit TOKBottomDlg5(StavioApp& app, QWidget* parent = nullptr);

    // Replaces the text: each string a line of its own.
    void ShowLines(const QStringList& lines);

    void FormActivate();

protected:
    void showEvent(QShowEvent* e) override;

private:
    // The tests reach the controls through WindowParts (tests/support/WindowParts.h).
    template <class> friend struct WindowParts;

    QPlainTextEdit* mxFlatMemo1;
    QPushButton* mxFlatButton1;

    StavioApp& app_;
};
