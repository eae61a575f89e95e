#pragma once
// The progress dialog: runs every long job.

#include <QDialog>

class StavioApp;

class TOKBottomDlg1 : public QDialog {
    Q_OBJECT
public:
    explicit TOKBottomDlg1(StavioApp& app, QWidget* parent = nullptr);

private:
    StavioApp& app_;
};
