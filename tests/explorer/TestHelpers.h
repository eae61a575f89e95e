// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ModalScript.h"

#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

// Makes a file of `size` bytes (and its folders) below `root`.
inline QString MakeFile(const QString& root, const QString& relative, int size = 16) {
    const QString path = root + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(size, 'x'));
    return path;
}

inline QString MakeDir(const QString& root, const QString& relative) {
    const QString path = root + QLatin1Char('/') + relative;
    QDir().mkpath(path);
    return path;
}

// The last drag a component made (kept until deleted, as the offscreen platform runs no
// drags); a drop event's source() is its source().
inline QDrag* LastDrag(QObject* component) {
    const QList<QDrag*> drags = component->findChildren<QDrag*>(Qt::FindDirectChildrenOnly);
    return drags.isEmpty() ? nullptr : drags.last();
}

// Presses at `at` and moves the pointer with the button held far enough for a drag to begin
// (QTest moves widgets' pointers without buttons).
inline void DragFrom(QWidget* viewport, QPoint at) {
    QTest::mousePress(viewport, Qt::LeftButton, {}, at);
    for (const QPoint step : {QPoint(10, 10), QPoint(40, 40), QPoint(80, 80)}) {
        QMouseEvent move(QEvent::MouseMove, at + step, viewport->mapToGlobal(at + step),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at + QPoint(80, 80));
}

// A test in a folder of its own, `dir`, removed afterwards with everything in it, also the
// names that are not UTF-8, which QTemporaryDir cannot remove.
class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = QDir(tmp.path()).canonicalPath();
    }
    void TearDown() override {
        ModalScript::CloseStray();
        std::error_code ignored;
        std::filesystem::remove_all(QFile::encodeName(dir).toStdString(), ignored);
    }

    QTemporaryDir tmp;
    QString dir;
};
