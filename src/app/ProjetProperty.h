#pragma once
// The Project Properties dialog.

#include <QDialog>

class StavioApp;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(StavioApp& app, QWidget* parent = nullptr);

private:
    StavioApp& app_;
};
