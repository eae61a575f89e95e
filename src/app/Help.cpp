#include "Help.h"

TForm2::TForm2(StavioApp& app, QWidget* parent) : QDialog(parent), app_(app) {}
