#include "ProjetProperty.h"

TForm3::TForm3(StavioApp& app, QWidget* parent) : QDialog(parent), app_(app) {}
