// SPDX-License-Identifier: GPL-3.0-or-later
// Deleting thousands of files to the trash takes seconds: the window keeps working meanwhile
// (with the progress window and Cancel of the other file operations).
#include "ModalScript.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAction>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

bool Exists(const QString& path) {
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

class TrashManyFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        music = MakeDir(QDir(tmp.path()).canonicalPath(), QStringLiteral("music"));
        for (int i = 0; i < kFiles; ++i)
            MakeFile(music, QStringLiteral("song %1.mp3").arg(i, 5, 10, QLatin1Char('0')), 1);
        first = music + QStringLiteral("/song 00000.mp3");
        last = music + QStringLiteral("/song %1.mp3").arg(kFiles - 1, 5, 10, QLatin1Char('0'));
        list.SetDirectory(music);
        list.show();
        list.SelectAll();
    }
    static constexpr int kFiles = 2000;
    QTemporaryDir tmp;
    QString music, first, last;
    TLsFilelistView28 list;
};

TEST_F(TrashManyFilesTest, TheWindowKeepsWorkingWhileTheFilesGoToTheTrash) {
    // The files go in display order: while the window still handles events, the first is
    // gone and the last still there.
    bool answered = false;
    bool sawHalfway = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (answered && !Exists(first) && Exists(last))
            sawHalfway = true;
    });
    watch.start(0);
    ModalScript answers;
    answers.Then<QMessageBox>([&](QMessageBox* box) {
        ModalScript::Press(box, QStringLiteral("&Oui"));
        answered = true;
    });
    list.findChild<QAction*>(QStringLiteral("actionDelete"))->trigger();
    EXPECT_TRUE(sawHalfway);
    EXPECT_FALSE(Exists(last));
    EXPECT_EQ(answers.Texts().size(), 1);
    EXPECT_TRUE(answers.Unexpected.isEmpty())
        << answers.Unexpected.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(list.ItemCaptions().isEmpty());
}

} // namespace
