#include "ProgessBar.h"

TOKBottomDlg1::TOKBottomDlg1(StavioApp& app, QWidget* parent) : QDialog(parent), app_(app) {}
