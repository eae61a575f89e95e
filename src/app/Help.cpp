// SPDX-License-Identifier: GPL-3.0-or-later
#include "Help.h"

#include "StavioApp.h"
#include "text.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

namespace {

// The product logo: the maker's name on a dark blue plate.
QPixmap Logo() {
    QPixmap pixmap(128, 54);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient plate(0, 0, 0, 54);
    plate.setColorAt(0, QColor(40, 70, 140));
    plate.setColorAt(1, QColor(15, 30, 80));
    painter.setBrush(plate);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, 126, 52), 8, 8);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(26);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 2, 128, 34), Qt::AlignCenter, QStringLiteral("KELVO"));
    font.setPixelSize(11);
    font.setBold(false);
    painter.setFont(font);
    painter.setPen(QColor(190, 210, 255));
    painter.drawText(QRect(0, 32, 128, 18), Qt::AlignCenter, QStringLiteral("Stavio"));
    return pixmap;
}

} // namespace

TForm2::TForm2(StavioApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("Form2"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(431, 119);
    const QIcon icon(QStringLiteral(":/icons/app.svg"));
    setWindowIcon(icon);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 417, 73);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(16, 16, 128, 54);
    Image1->setPixmap(Logo());

    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(10);
    auto staticText = [&](const char* name, int top, const QFont& font) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(152, top, 225, QFontMetrics(font).height() + 2);
        return label;
    };
    StaticText1 = staticText("StaticText1", 19, arial);
    StaticText2 = staticText("StaticText2", 40, font());
    StaticText3 = staticText("StaticText3", 57, arial);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(386, 32, 32, 32);
    Image2->setPixmap(icon.pixmap(32, 32));

    mxFlatButton1 = new QPushButton(QStringLiteral("OK"), this);
    mxFlatButton1->setObjectName(QStringLiteral("mxFlatButton1"));
    mxFlatButton1->setGeometry(352, 88, 73, 25);
    mxFlatButton1->setDefault(true);
    connect(mxFlatButton1, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TForm2::FormActivate() {
    const stavio::Language language = app_.State.CurrentLanguage;
    auto text = [&](int k) {
        return QString::fromUtf8(stavio::TextUtf8(stavio::AboutTexts, language, k).c_str());
    };
    setWindowTitle(text(0));
    StaticText1->setText(text(1));
    StaticText2->setText(text(2));
    StaticText3->setText(text(3));
}
