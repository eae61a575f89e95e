// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The render target dialog: a directory tree in which the user picks the folder that stands
// for the root of the player's storage.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class StavioApp;
class TLsDirTree21;

class TOKBottomDlg6 : public QDialog {
    Q_OBJECT
public:
    explicit TOKBottomDlg6(StavioApp& app, QWidget* parent = nullptr);

    // The tree's selected folder as a host path, or "" when none is selected.
    std::string SelectedPath() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The tests reach the controls through WindowParts (tests/support/WindowParts.h).
    template <class> friend struct WindowParts;

    QFrame* Shape10;
    TLsDirTree21* LsDirTree211;
    QPushButton* mxFlatButton1;
    QPushButton* mxFlatButton2;
    // Says so when the project's target folder is not there (the player is unplugged).
    QLabel* MissingLabel;

    void FormActivate();

    StavioApp& app_;
};
