// SPDX-License-Identifier: GPL-3.0-or-later
// Stavio: prepares the contents of a portable MP3 player.

#include "Main.h"
#include "StavioApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <string>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    SetApplicationIdentity();
    // "stavio FILE.scp", as the file manager starts it: the file's bytes as given, made
    // absolute. QApplication has taken its own options out of argv already.
    std::string project;
    if (argc > 1 && argv[1][0] != '\0') {
        project = argv[1];
        if (project[0] != '/')
            project = QFile::encodeName(QDir::currentPath()).toStdString() + '/' + project;
    }
    // Every window is created here, once, and lives until the end.
    StavioApp app(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString(),
                  project);
    app.MainWindow().show();
    return application.exec();
}
