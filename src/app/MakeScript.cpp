#include "MakeScript.h"

TOKBottomDlg6::TOKBottomDlg6(StavioApp& app, QWidget* parent) : QDialog(parent), app_(app) {}
