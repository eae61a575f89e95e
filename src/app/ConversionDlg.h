// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The conversion settings: the quality songs of other formats are converted with, whether
// their cover goes along, how large the cache of converted songs may grow, and a button that
// empties it. Shown from the Options menu; OK keeps the settings in stavio.conf.

#include "ConversionSettings.h"
#include "ProgramState.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

class TConversionDlg : public QDialog {
    Q_OBJECT
public:
    TConversionDlg(stavio::Language language, QWidget* parent = nullptr);

    // The settings as the controls show them.
    stavio::ConversionSettings Settings() const;

protected:
    void accept() override;

private:
    // The tests reach the controls through WindowParts (tests/support/WindowParts.h).
    template <class> friend struct WindowParts;

    QComboBox* QualityBox;
    QCheckBox* CoverBox;
    QSpinBox* CacheLimitBox; // in GB
    QPushButton* EmptyCacheButton;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    void ShowCacheSize();
    void EmptyCacheButtonClick();

    stavio::Language language_;
    stavio::ConversionSettings loaded_;
    std::string cacheFolder_;
};
