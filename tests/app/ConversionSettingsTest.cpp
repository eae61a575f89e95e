// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion settings dialog from the Options menu: what OK keeps in stavio.conf, what
// Cancel leaves, and the button that empties the cache.

#include "AppFixture.h"
#include "ConversionCache.h"
#include "ConversionDlg.h"
#include "UserConfig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>

namespace {

class ConversionSettingsTest : public AppFixture {};

TEST_F(ConversionSettingsTest, TheDialogKeepsTheSettingsAndEmptiesTheCache) {
    Start();
    QFile::remove(QString::fromStdString(stavio::UserConfigPath()));
    const QString cache = QString::fromStdString(stavio::ConversionCacheFolder());
    QDir().mkpath(cache);
    MakeFile(cache + QStringLiteral("/e.key"));
    MakeFile(cache + QStringLiteral("/e.mp3"));
    QFile::resize(cache + QStringLiteral("/e.mp3"), 2 << 20);
    struct Row {
        const char* button;
        stavio::ConversionQuality quality;
        bool cover;
        std::uint64_t limit;
    };
    const Row rows[] = {
        {"Cancel", stavio::ConversionQuality::V2, true, 10ULL << 30}, // the defaults stay
        {"Ok", stavio::ConversionQuality::Cbr192, false, 3ULL << 30},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button);
        QString before, after;
        ModalScript script;
        script.Then<TConversionDlg>([&](TConversionDlg* dialog) {
            before = PartsOf(dialog).EmptyCacheButton->text();
            PartsOf(dialog).EmptyCacheButton->click();
            after = PartsOf(dialog).EmptyCacheButton->text();
            PartsOf(dialog).QualityBox->setCurrentIndex(5); // constant 192 kbit/s
            PartsOf(dialog).CoverBox->click();
            PartsOf(dialog).CacheLimitBox->setValue(3);
            ModalScript::Press(dialog, QString::fromLatin1(row.button));
        });
        Parts().ConversionSettings1->trigger();
        EXPECT_TRUE(script.Finished());
        const stavio::ConversionSettings settings = stavio::LoadConversionSettings();
        EXPECT_EQ(settings.quality, row.quality);
        EXPECT_EQ(settings.embedCover, row.cover);
        EXPECT_EQ(settings.cacheLimitBytes, row.limit);
        EXPECT_EQ(after, QStringLiteral("Empty the cache (0.0 MB)"));
        EXPECT_EQ(before, &row == rows ? QStringLiteral("Empty the cache (2.0 MB)") : after);
    }
}

} // namespace
