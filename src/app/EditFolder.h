// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The folder name dialog: collects the raw name of a new list folder. The "?" button opens
// the information box on the 8.3 naming rule.

#include <QDialog>
#include <QString>

class StavioApp;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class TOKBottomDlg4 : public QDialog {
    Q_OBJECT
public:
    explicit TOKBottomDlg4(StavioApp& app, QWidget* parent = nullptr);

    // The name as typed.
    QString Text() const;

    void FormActivate();
    void mxFlatButton3Click();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // The tests reach the controls through WindowParts (tests/support/WindowParts.h).
    template <class> friend struct WindowParts;

    QFrame* mxFlatBevel1;
    QLabel* Label1;
    QLabel* mxFlatLabel1;
    QFrame* mxFlatBevel2;
    QLineEdit* mxFlatEdit1;
    QPushButton* mxFlatButton3; // "?"
    QPushButton* mxFlatButton1; // OK
    QPushButton* mxFlatButton2; // Cancel

    // Upper-cases the letters as they are typed or pasted, keeping the cursor.
    void mxFlatEdit1TextEdited(const QString& text);

    StavioApp& app_;
};
