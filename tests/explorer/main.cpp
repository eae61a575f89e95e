// SPDX-License-Identifier: GPL-3.0-or-later
// GUI tests: one QApplication; the desktop's trash and settings live in a private home.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/stavio-explorer-home-XXXXXX"));
    const QByteArray homePath = home.path().toLocal8Bit();
    const QByteArray dataPath = homePath + "/.local/share";
    setenv("HOME", homePath.constData(), 1);
    setenv("XDG_DATA_HOME", dataPath.constData(), 1);
    setenv("XDG_CONFIG_HOME", (homePath + "/.config").constData(), 1);
    if (!getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // The trash holds names that are not UTF-8, which QTemporaryDir cannot remove.
    std::error_code ignored;
    std::filesystem::remove_all(homePath.toStdString(), ignored);
    return result;
}
