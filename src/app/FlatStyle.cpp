// SPDX-License-Identifier: GPL-3.0-or-later
#include "FlatStyle.h"

#include <QFrame>
#include <QWidget>

QString FlatStyleSheet() {
    return QStringLiteral(R"(
QPushButton, QToolButton#flat {
    background: palette(button);
    border: 1px solid palette(mid);
    border-radius: 2px;
    padding: 2px 6px;
}
QPushButton:hover {
    border-color: palette(highlight);
    background: palette(light);
}
QPushButton:pressed {
    background: palette(midlight);
}
QPushButton:focus {
    border-color: palette(dark);
}
QPushButton:disabled {
    color: palette(mid);
}
QLineEdit, QPlainTextEdit, QTextEdit, QComboBox {
    border: 1px solid palette(mid);
    background: palette(base);
    padding: 1px 2px;
}
QLineEdit:hover, QPlainTextEdit:hover, QTextEdit:hover, QComboBox:hover,
QLineEdit:focus, QPlainTextEdit:focus, QTextEdit:focus, QComboBox:focus {
    border-color: palette(highlight);
}
QFrame[flatBevel="true"] {
    border: 1px solid palette(mid);
}
)");
}

void ApplyFlatStyle(QWidget* widget) {
    widget->setStyleSheet(FlatStyleSheet());
}

QFrame* MakeFlatBevel(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(name);
    bevel->setProperty("flatBevel", true);
    bevel->setFrameShape(QFrame::StyledPanel);
    bevel->setGeometry(geometry);
    bevel->lower();
    return bevel;
}
