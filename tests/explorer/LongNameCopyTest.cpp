// SPDX-License-Identifier: GPL-3.0-or-later
// A copy beside a file whose name is near the longest a folder entry may hold (255 bytes)
// gets a free name that fits, the end of the stem giving way to the number.
#include "FileOperations.h"
#include "TestHelpers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(LongNameCopyTest, ACopyOfALongNameGetsAFreeNameThatFits) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = QDir(tmp.path()).canonicalPath();
    struct Case {
        const char* what;
        QString name;
        QString copy; // the name of the copy
    };
    const QString e = QString::fromUtf8("\xC3\xA9"); // two bytes
    const Case cases[] = {
        {"short", QStringLiteral("song.mp3"), QStringLiteral("song (2).mp3")},
        {"251 bytes", QString(247, QLatin1Char('x')) + QStringLiteral(".mp3"),
         QString(247, QLatin1Char('x')) + QStringLiteral(" (2).mp3")},
        {"255 bytes of two-byte letters", QString(125, e[0]) + QStringLiteral("x.mp3"),
         QString(123, e[0]) + QStringLiteral(" (2).mp3")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString folder = MakeDir(dir, QString::fromLatin1(c.what));
        MakeFile(folder, c.name);
        const FileBatchResult result =
            CopyInto({JoinPath(folder, c.name)}, folder, ExplorerLanguage::lnFrench);
        EXPECT_TRUE(result.failed.isEmpty())
            << (result.failed.isEmpty() ? std::string() : result.failed[0].reason.toStdString());
        EXPECT_EQ(result.done.join(QLatin1Char('|')).toStdString(), c.copy.toStdString());
        EXPECT_TRUE(QFileInfo::exists(JoinPath(folder, c.copy)));
        EXPECT_LE(HostBytes(c.copy).size(), 255);
    }
}

} // namespace
