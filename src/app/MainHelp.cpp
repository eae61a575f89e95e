// SPDX-License-Identifier: GPL-3.0-or-later
#include "Main.h"

#include "Help.h"
#include "StavioApp.h"

#include <QDesktopServices>
#include <QUrl>

void TForm1::About1Click() {
    App.AboutBox().exec();
}

// A desktop without a browser or mail program opens nothing, without a message.
void TForm1::HomePage1Click() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(HomePageAddress)));
}

void TForm1::SendEmailToSupport1Click() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(SupportMailAddress)));
}
