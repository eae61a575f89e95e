// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The information box: a read-only text filled by the caller and an OK button.

#include <QDialog>

class StavioApp;
class QPlainTextEdit;
class QPushButton;

class TOKBottomDlg5 : public QDialog {
    Q_OBJECT
public:
    explicit TOKBottomDlg5(StavioApp& app, QWidget* parent = nullptr);

    QPlainTextEdit* mxFlatMemo1;
    QPushButton* mxFlatButton1;

    void FormActivate();

protected:
    void showEvent(QShowEvent* e) override;

private:
    StavioApp& app_;
};
