// Stavio: prepares the contents of a portable MP3 player.

#include "Main.h"
#include "StavioApp.h"

#include <QApplication>
#include <QFile>
#include <QLocale>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    SetApplicationIdentity();
    // The program's own texts follow its Language setting; the message boxes keep their
    // French titles and buttons.
    InstallQtTranslations(QLocale::system());
    // Every window is created here, once, and lives until the end.
    StavioApp app(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
    app.Form1->show();
    return application.exec();
}
