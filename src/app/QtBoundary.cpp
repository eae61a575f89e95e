#include "QtBoundary.h"

#include <QFile>

QString QtPathFromHost(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string HostPathFromQt(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

ExplorerLanguage ExplorerLanguageOf(stavio::Language language) {
    switch (language) {
    case stavio::Language::French:
        return ExplorerLanguage::lnFrench;
    case stavio::Language::Spanish:
        return ExplorerLanguage::lnSpanish;
    case stavio::Language::German:
        return ExplorerLanguage::lnGerman;
    case stavio::Language::Italian:
        return ExplorerLanguage::lnItalian;
    case stavio::Language::English:
        break;
    }
    return ExplorerLanguage::lnEnglish;
}
