// SPDX-License-Identifier: GPL-3.0-or-later
// explorer-demo [FOLDER]: the directory tree above the file list, bound together.
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"

#include <QApplication>
#include <QDir>
#include <QSplitter>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QSplitter window(Qt::Vertical);
    auto* tree = new TLsDirTree21(&window);
    auto* list = new TLsFilelistView28(&window);
    tree->SetFileList(list);
    list->SetViewStyle(3);
    window.addWidget(tree);
    window.addWidget(list);
    window.setSizes({300, 300});
    window.resize(480, 640);
    window.setWindowTitle(QStringLiteral("Explorer"));
    window.show();
    const QStringList args = app.arguments();
    tree->OpenPath(args.size() > 1 ? args[1] : QDir::homePath());
    return app.exec();
}
