// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box, and the maker's two addresses that the Help menu hands to the desktop.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class StavioApp;

// The maker's home page and the support mail link with its pre-filled subject.
inline constexpr char HomePageAddress[] = "http://stavio.example/";
inline constexpr char SupportMailAddress[] =
    "mailto:support@stavio.example?subject=Subject : KELVO Support Request&body=";

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(StavioApp& app, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The tests reach the controls through WindowParts (tests/support/WindowParts.h).
    template <class> friend struct WindowParts;

    QLabel* Image1; // product logo
    QFrame* Bevel1;
    QLabel* StaticText1;
    QLabel* StaticText2;
    QLabel* StaticText3;
    QLabel* Image2; // icon
    QPushButton* mxFlatButton1;

    void FormActivate();

    StavioApp& app_;
};
