#pragma once
// The About box.

#include <QDialog>

class StavioApp;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(StavioApp& app, QWidget* parent = nullptr);

private:
    StavioApp& app_;
};
