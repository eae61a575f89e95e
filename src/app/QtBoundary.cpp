// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtBoundary.h"

#include "FileOperations.h"

#include <QFile>

// Names that are not UTF-8 travel through Qt with their stray bytes escaped, as the explorer
// lists them, so they come back as the very same bytes.
QString QtPathFromHost(const std::string& path) {
    return HostString(QByteArray::fromStdString(path));
}

std::string HostPathFromQt(const QString& path) {
    return HostBytes(path).toStdString();
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
