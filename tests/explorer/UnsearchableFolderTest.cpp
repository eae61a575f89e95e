// SPDX-License-Identifier: GPL-3.0-or-later
// A folder whose names may be read but whose files may not be looked at (read right without
// search right) says why the list is empty, as an unreadable folder does.
#include "../core/TempDir.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(UnsearchableFolderTest, AFolderWithoutSearchRightSaysSoInsteadOfLookingEmpty) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = QDir(tmp.path()).canonicalPath();
    ASSERT_EQ(::chmod(QFile::encodeName(dir).constData(), 0755), 0);
    const QString folder = MakeDir(dir, QStringLiteral("music"));
    MakeFile(folder, QStringLiteral("song.mp3"));
    struct Case {
        const char* what;
        mode_t mode;
        QStringList captions;
        bool notice;
    };
    const Case cases[] = {
        {"read and search", 0755, {QStringLiteral("song.mp3")}, false},
        {"read without search", 0644, {}, true},
        {"search without read", 0111, {}, true}, // the owner's rights too
    };
    TLsFilelistView28 list;
    list.show();
    auto* notice = list.findChild<QLabel*>(QStringLiteral("readNotice"));
    ASSERT_NE(notice, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), c.mode), 0);
        QStringList captions;
        ASSERT_TRUE(stavio::test::AsOrdinaryUser([&] {
            list.SetDirectory(TLsFilelistView28::MyComputer());
            list.SetDirectory(folder);
            captions = list.ItemCaptions();
        }));
        EXPECT_EQ(list.Directory(), folder);
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(notice->isVisible(), c.notice);
        if (c.notice) {
            EXPECT_EQ(notice->text().toStdString(), "This folder cannot be read: Accès refusé");
        }
    }
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

} // namespace
