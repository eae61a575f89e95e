#pragma once
// The render target dialog.

#include <QDialog>

class StavioApp;

class TOKBottomDlg6 : public QDialog {
    Q_OBJECT
public:
    explicit TOKBottomDlg6(StavioApp& app, QWidget* parent = nullptr);

private:
    StavioApp& app_;
};
