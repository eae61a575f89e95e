// SPDX-License-Identifier: GPL-3.0-or-later
#include "InfoBox.h"

#include "FlatStyle.h"
#include "StavioApp.h"
#include "text.h"

#include <QPlainTextEdit>
#include <QPushButton>

TOKBottomDlg5::TOKBottomDlg5(StavioApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("OKBottomDlg5"));
    setFixedSize(313, 214);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    mxFlatMemo1 = new QPlainTextEdit(this);
    mxFlatMemo1->setObjectName(QStringLiteral("mxFlatMemo1"));
    mxFlatMemo1->setGeometry(8, 8, 297, 169);
    mxFlatMemo1->setReadOnly(true);
    mxFlatMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    mxFlatButton1 = new QPushButton(this);
    mxFlatButton1->setObjectName(QStringLiteral("mxFlatButton1"));
    mxFlatButton1->setGeometry(120, 184, 73, 25);
    mxFlatButton1->setDefault(true);
    connect(mxFlatButton1, &QPushButton::clicked, this, &QDialog::accept);
    ApplyFlatStyle(this);
}

void TOKBottomDlg5::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TOKBottomDlg5::ShowLines(const QStringList& lines) {
    mxFlatMemo1->clear();
    for (const QString& line : lines)
        mxFlatMemo1->appendPlainText(line);
}

void TOKBottomDlg5::FormActivate() {
    const stavio::Language language = app_.State.CurrentLanguage;
    setWindowTitle(QString::fromStdString(stavio::TextUtf8(stavio::InfoTitleTexts, language, 0)));
    mxFlatButton1->setText(
        QString::fromStdString(stavio::TextUtf8(stavio::PropertyTexts, language, 9)));
    mxFlatButton1->setFocus();
}
