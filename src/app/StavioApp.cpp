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

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

} // namespace

void SetApplicationIdentity() {
    QApplication::setApplicationName(QStringLiteral("Stavio"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    // Ties the windows to stavio.desktop, so the desktop shows the installed icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("stavio"));
}

QTranslator* InstallQtTranslations(const QLocale& locale) {
    auto* translator = new QTranslator(qApp);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

StavioApp::StavioApp(std::string executablePath)
    : ExecutablePath(std::move(executablePath)), State(FolderOf(ExecutablePath)) {
    Form1 = new TForm1(*this);
    OKBottomDlg1 = new TOKBottomDlg1(*this);
    Form2 = new TForm2(*this);
    Form3 = new TForm3(*this);
    OKBottomDlg4 = new TOKBottomDlg4(*this);
    OKBottomDlg5 = new TOKBottomDlg5(*this);
    OKBottomDlg6 = new TOKBottomDlg6(*this);
}

StavioApp::~StavioApp() {
    delete OKBottomDlg6;
    delete OKBottomDlg5;
    delete OKBottomDlg4;
    delete Form3;
    delete Form2;
    delete OKBottomDlg1;
    delete Form1;
}
