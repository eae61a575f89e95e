// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditFolder.h"

#include "FlatStyle.h"
#include "InfoBox.h"
#include "StavioApp.h"
#include "text.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QString Tr(const stavio::TextTable& table, stavio::Language language, int k) {
    return QString::fromStdString(stavio::TextUtf8(table, language, k));
}

} // namespace

TOKBottomDlg4::TOKBottomDlg4(StavioApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("OKBottomDlg4"));
    setFixedSize(337, 135);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    mxFlatBevel1 = MakeFlatBevel(this, QStringLiteral("mxFlatBevel1"), {8, 8, 321, 89});

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 16, 305, 33);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);

    mxFlatBevel2 = MakeFlatBevel(this, QStringLiteral("mxFlatBevel2"), {88, 64, 161, 21});

    mxFlatLabel1 = new QLabel(this);
    mxFlatLabel1->setObjectName(QStringLiteral("mxFlatLabel1"));
    // The caption is wider than its nominal 31 pixels in most fonts; it ends at the entry.
    mxFlatLabel1->setGeometry(96, 66, 62, 17);

    mxFlatEdit1 = new QLineEdit(this);
    mxFlatEdit1->setObjectName(QStringLiteral("mxFlatEdit1"));
    mxFlatEdit1->setGeometry(160, 64, 89, 21);
    mxFlatEdit1->setMaxLength(8);
    mxFlatEdit1->installEventFilter(this);
    connect(mxFlatEdit1, &QLineEdit::textEdited, this, &TOKBottomDlg4::mxFlatEdit1TextEdited);

    mxFlatButton3 = new QPushButton(QStringLiteral("?"), this);
    mxFlatButton3->setObjectName(QStringLiteral("mxFlatButton3"));
    mxFlatButton3->setGeometry(296, 64, 25, 25);
    connect(mxFlatButton3, &QPushButton::clicked, this, &TOKBottomDlg4::mxFlatButton3Click);

    mxFlatButton1 = new QPushButton(this);
    mxFlatButton1->setObjectName(QStringLiteral("mxFlatButton1"));
    mxFlatButton1->setGeometry(168, 104, 73, 25);
    connect(mxFlatButton1, &QPushButton::clicked, this, &QDialog::accept);

    mxFlatButton2 = new QPushButton(this);
    mxFlatButton2->setObjectName(QStringLiteral("mxFlatButton2"));
    mxFlatButton2->setGeometry(256, 104, 73, 25);
    connect(mxFlatButton2, &QPushButton::clicked, this, &QDialog::reject);

    for (QPushButton* b : {mxFlatButton1, mxFlatButton2, mxFlatButton3})
        b->setAutoDefault(false);
    setTabOrder(mxFlatButton1, mxFlatButton2);
    setTabOrder(mxFlatButton2, mxFlatEdit1);
    setTabOrder(mxFlatEdit1, mxFlatButton3);
    ApplyFlatStyle(this);
}

void TOKBottomDlg4::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

QString TOKBottomDlg4::Text() const {
    return mxFlatEdit1->text();
}

void TOKBottomDlg4::FormActivate() {
    const stavio::Language language = app_.State.CurrentLanguage;
    setWindowTitle(Tr(stavio::FolderDialogTexts, language, 0));
    Label1->setText(Tr(stavio::FolderDialogTexts, language, 1));
    mxFlatLabel1->setText(Tr(stavio::FolderDialogTexts, language, 2));
    mxFlatButton1->setText(Tr(stavio::PropertyTexts, language, 9));
    mxFlatButton2->setText(Tr(stavio::PropertyTexts, language, 10));
    // The last name is offered again, selected, so typing replaces it.
    mxFlatEdit1->setFocus();
    mxFlatEdit1->selectAll();
}

void TOKBottomDlg4::mxFlatEdit1TextEdited(const QString& text) {
    // One character for one character: a letter whose capital is more than one character
    // (ß) stays as typed, and the name rules replace it later. The length never changes, so
    // the cursor stays after what was typed.
    QString upper = text;
    for (QChar& c : upper)
        if (!c.isSurrogate())
            c = c.toUpper();
    if (upper == text)
        return;
    const int cursor = mxFlatEdit1->cursorPosition();
    mxFlatEdit1->setText(upper);
    mxFlatEdit1->setCursorPosition(cursor);
}

bool TOKBottomDlg4::eventFilter(QObject* watched, QEvent* e) {
    // mxFlatEdit1KeyDown: Enter closes the dialog with OK, as the OK button does.
    if (watched == mxFlatEdit1 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TOKBottomDlg4::mxFlatButton3Click() {
    TOKBottomDlg5& box = app_.InfoBox();
    const stavio::Language language = app_.State.CurrentLanguage;
    box.ShowLines(
        {Tr(stavio::InfoTexts, language, 0), QString(), Tr(stavio::InfoTexts, language, 1)});
    box.exec();
    // Back in the entry, so typing and Enter work at once.
    mxFlatEdit1->setFocus();
}
