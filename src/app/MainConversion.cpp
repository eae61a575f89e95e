// SPDX-License-Identifier: GPL-3.0-or-later
#include "Main.h"

#include "ConversionDlg.h"

void TForm1::ConversionSettings1Click() {
    TConversionDlg dialog(State.CurrentLanguage, this);
    dialog.exec();
}
