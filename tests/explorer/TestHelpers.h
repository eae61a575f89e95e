#pragma once

#include "ModalScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

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
