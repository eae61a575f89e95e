// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConversionDlg.h"

#include "ConversionCache.h"
#include "FlatStyle.h"
#include "MessageBoxes.h"
#include "Render.h"
#include "TextFile.h"
#include "text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

using stavio::ConversionQuality;

constexpr ConversionQuality kQualities[] = {
    ConversionQuality::V0,     ConversionQuality::V2,     ConversionQuality::V5,
    ConversionQuality::Cbr320, ConversionQuality::Cbr256, ConversionQuality::Cbr192,
    ConversionQuality::Cbr128,
};

constexpr std::uint64_t kGB = 1ULL << 30;

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

TConversionDlg::TConversionDlg(stavio::Language language, QWidget* parent)
    : QDialog(parent), language_(language), loaded_(stavio::LoadConversionSettings()),
      cacheFolder_(stavio::ConversionCacheFolder()) {
    setObjectName(QStringLiteral("ConversionDlg"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    auto text = [language](int k) {
        return Utf8(stavio::TextUtf8(stavio::ConversionDialogTexts, language, k));
    };
    setWindowTitle(text(1));

    QualityBox = new QComboBox(this);
    QualityBox->setObjectName(QStringLiteral("QualityBox"));
    for (const ConversionQuality quality : kQualities) {
        const int rate = stavio::HighestBitRate(quality);
        QString label;
        switch (quality) {
        case ConversionQuality::V0:
            label = text(3);
            break;
        case ConversionQuality::V2:
            label = text(4);
            break;
        case ConversionQuality::V5:
            label = text(5);
            break;
        default:
            label = Utf8(stavio::FillText(stavio::ConversionDialogTexts, language, 6,
                                          {std::to_string(rate)}));
        }
        QualityBox->addItem(label, static_cast<int>(quality));
    }
    QualityBox->setCurrentIndex(QualityBox->findData(static_cast<int>(loaded_.quality)));

    CoverBox = new QCheckBox(text(7), this);
    CoverBox->setObjectName(QStringLiteral("CoverBox"));
    CoverBox->setChecked(loaded_.embedCover);

    CacheLimitBox = new QSpinBox(this);
    CacheLimitBox->setObjectName(QStringLiteral("CacheLimitBox"));
    CacheLimitBox->setRange(1, 10000);
    CacheLimitBox->setSuffix(QLatin1Char(' ') +
                             Utf8(stavio::TextUtf8(stavio::UnitTexts, language, 1)));
    CacheLimitBox->setValue(static_cast<int>((loaded_.cacheLimitBytes + kGB / 2) / kGB));

    EmptyCacheButton = new QPushButton(this);
    EmptyCacheButton->setObjectName(QStringLiteral("EmptyCacheButton"));
    connect(EmptyCacheButton, &QPushButton::clicked, this, &TConversionDlg::EmptyCacheButtonClick);
    ShowCacheSize();

    OkButton = new QPushButton(Utf8(stavio::TextUtf8(stavio::PropertyTexts, language, 9)), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    CancelButton =
        new QPushButton(Utf8(stavio::TextUtf8(stavio::RenderDialogTexts, language, 2)), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(text(2), QualityBox);
    form->addRow(QString(), CoverBox);
    form->addRow(text(8), CacheLimitBox);
    form->addRow(QString(), EmptyCacheButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ApplyFlatStyle(this);
}

stavio::ConversionSettings TConversionDlg::Settings() const {
    stavio::ConversionSettings settings = loaded_;
    settings.quality = static_cast<ConversionQuality>(QualityBox->currentData().toInt());
    settings.embedCover = CoverBox->isChecked();
    // A limit of no whole number of GB stays as it was until the box is changed.
    const auto limit = static_cast<std::uint64_t>(CacheLimitBox->value()) * kGB;
    if (static_cast<int>((loaded_.cacheLimitBytes + kGB / 2) / kGB) != CacheLimitBox->value())
        settings.cacheLimitBytes = limit;
    return settings;
}

void TConversionDlg::accept() {
    try {
        stavio::SaveConversionSettings(Settings());
    } catch (const stavio::FileError& e) {
        ShowFileErrorBox(this, Utf8(std::string(e.what()) + ": " + e.Path()));
        return;
    }
    QDialog::accept();
}

void TConversionDlg::ShowCacheSize() {
    const stavio::ConversionCache cache(cacheFolder_);
    EmptyCacheButton->setText(
        Utf8(stavio::FillText(stavio::ConversionDialogTexts, language_, 9,
                              {stavio::FormatSize(cache.SizeBytes(), language_)})));
}

void TConversionDlg::EmptyCacheButtonClick() {
    stavio::ConversionCache(cacheFolder_).Clear();
    ShowCacheSize();
}
