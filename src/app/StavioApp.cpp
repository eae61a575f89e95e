// SPDX-License-Identifier: GPL-3.0-or-later
#include "StavioApp.h"

#include "EditFolder.h"
#include "Help.h"
#include "InfoBox.h"
#include "Main.h"
#include "MakeScript.h"
#include "ProgessBar.h"
#include "ProjetProperty.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

} // namespace

void SetApplicationIdentity() {
    QApplication::setApplicationName(QStringLiteral("Stavio"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    // Ties the windows to their desktop entry, so the desktop shows the installed icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.stavio.Stavio"));
}

QTranslator* InstallQtTranslations(const QLocale& locale, QObject* owner) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    translator->setParent(owner != nullptr ? owner : qApp);
    QCoreApplication::installTranslator(translator.get());
    return translator.release();
}

template <class Window> Window* StavioApp::Own(std::unique_ptr<Window> window) {
    Window* raw = window.get();
    windows_.push_back(std::move(window));
    return raw;
}

StavioApp::StavioApp(std::string executablePath, std::string projectToOpen)
    : ExecutablePath(std::move(executablePath)), ProjectToOpen(std::move(projectToOpen)),
      State(FolderOf(ExecutablePath)) {
    Form1 = Own(std::make_unique<TForm1>(*this));
    OKBottomDlg1 = Own(std::make_unique<TOKBottomDlg1>(*this));
    Form2 = Own(std::make_unique<TForm2>(*this));
    Form3 = Own(std::make_unique<TForm3>(*this));
    OKBottomDlg4 = Own(std::make_unique<TOKBottomDlg4>(*this));
    OKBottomDlg5 = Own(std::make_unique<TOKBottomDlg5>(*this));
    OKBottomDlg6 = Own(std::make_unique<TOKBottomDlg6>(*this));
}

StavioApp::~StavioApp() {
    while (!windows_.empty())
        windows_.pop_back();
}
