// SPDX-License-Identifier: GPL-3.0-or-later
// Folders that the file system allows but Qt cannot name: file names that are not UTF-8, links
// that point nowhere or at themselves. Every file is listed, and whatever the explorer lists
// is the very file of that name, so that adding, copying or deleting it never picks another.

#include "../core/TempDir.h"
#include "FileOperations.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QAction>

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes a file whose name is the given bytes, below folder.
void MakeRawFile(const QString& folder, const QByteArray& name, const QByteArray& content) {
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    std::FILE* file = std::fopen(path.constData(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(content.constData(), 1, static_cast<size_t>(content.size()), file);
    std::fclose(file);
}

using HostileNamesTest = ScratchFolderTest;

bool IsFileBytes(const QByteArray& path) {
    struct stat st = {};
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

TEST_F(HostileNamesTest, EveryFileIsListedAndIsTheFileOfThatName) {
    MakeRawFile(dir, "caf\xE9.mp3", "latin-1");
    MakeRawFile(dir, "\xFF\xFE.mp3", "raw");
    MakeRawFile(dir, "caf\xC3\xA9.mp3", "utf-8");
    MakeRawFile(dir, "ok.mp3", "ok");
    ASSERT_EQ(
        ::symlink("loop.mp3", QFile::encodeName(dir + QStringLiteral("/loop.mp3")).constData()), 0);
    ASSERT_EQ(
        ::symlink("nowhere", QFile::encodeName(dir + QStringLiteral("/dangling.mp3")).constData()),
        0);

    TLsFilelistView28 list;
    list.SetDirectory(dir);
    const QStringList captions = list.ItemCaptions();
    QStringList shown;
    for (int row = 0; row < list.CurrentView()->model()->rowCount(); ++row)
        shown << list.CurrentView()->model()->index(row, 0).data().toString();
    // Shown with replacement characters, in natural order; links to nothing are left out.
    EXPECT_EQ(
        shown,
        (QStringList{QString::fromUtf8("caf\xC3\xA9.mp3"), QString::fromUtf8("caf\xEF\xBF\xBD.mp3"),
                     QStringLiteral("ok.mp3"), QString::fromUtf8("\xEF\xBF\xBD\xEF\xBF\xBD.mp3")}));
    QList<QByteArray> bytes;
    for (const QString& caption : captions) {
        bytes << HostBytes(caption);
        EXPECT_TRUE(IsFileBytes(HostBytes(dir + QLatin1Char('/') + caption)))
            << caption.toStdString();
    }
    EXPECT_EQ(bytes,
              (QList<QByteArray>{"caf\xC3\xA9.mp3", "caf\xE9.mp3", "ok.mp3", "\xFF\xFE.mp3"}));
}

TEST_F(HostileNamesTest, CopyMoveAndDeleteActOnTheRealBytes) {
    const QString from = MakeDir(dir, QStringLiteral("from"));
    const QString to = MakeDir(dir, QStringLiteral("to"));
    MakeRawFile(from, "caf\xE9.mp3", "latin-1");
    MakeRawFile(from, "\xFF.mp3", "raw");
    TLsFilelistView28 list;
    list.show();
    const auto act = [&](const char* name) {
        list.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    };
    const auto inFolder = [](const QString& folder, const QByteArray& name) {
        return IsFileBytes(HostBytes(folder) + '/' + name);
    };
    list.SetDirectory(from);
    list.SelectCaptions({HostString("caf\xE9.mp3")});
    act("actionCopy");
    list.SetDirectory(to);
    act("actionPaste");
    EXPECT_TRUE(inFolder(to, "caf\xE9.mp3"));
    EXPECT_TRUE(inFolder(from, "caf\xE9.mp3"));

    list.SetDirectory(from);
    list.SelectCaptions({HostString("\xFF.mp3")});
    act("actionCut");
    list.SetDirectory(to);
    act("actionPaste");
    EXPECT_TRUE(inFolder(to, "\xFF.mp3"));
    EXPECT_FALSE(inFolder(from, "\xFF.mp3"));

    list.SelectCaptions({HostString("\xFF.mp3")});
    ModalScript yes;
    yes.Otherwise([](QWidget* box) { ModalScript::Press(box, QStringLiteral("&Oui")); });
    act("actionDelete");
    EXPECT_FALSE(inFolder(to, "\xFF.mp3"));
    EXPECT_TRUE(inFolder(TrashFolder() + QStringLiteral("/files"), "\xFF.mp3"));
}

TEST_F(HostileNamesTest, FoldersNamedInAnyBytesAreShownAndOpen) {
    MakeDir(dir, QStringLiteral("Music/Good"));
    const QByteArray bad = QFile::encodeName(dir + QStringLiteral("/Music/")).append("bad\xE9");
    ASSERT_EQ(::mkdir(bad.constData(), 0777), 0);
    std::FILE* song = std::fopen((bad + "/song.mp3").constData(), "wb");
    ASSERT_NE(song, nullptr);
    std::fclose(song);

    TLsDirTree21 tree;
    TLsFilelistView28 list;
    tree.SetFileList(&list);
    tree.OpenPath(dir + QStringLiteral("/Music"));
    ASSERT_NE(tree.currentItem(), nullptr);
    tree.currentItem()->setExpanded(true);
    QStringList texts;
    for (int i = 0; i < tree.currentItem()->childCount(); ++i)
        texts << tree.currentItem()->child(i)->text(0);
    EXPECT_EQ(texts, (QStringList{QString::fromUtf8("bad\xEF\xBF\xBD"), QStringLiteral("Good")}));
    tree.setCurrentItem(tree.currentItem()->child(0));
    EXPECT_EQ(HostBytes(tree.SelectedPath()), bad);
    EXPECT_EQ(list.ItemCaptions(), QStringList{QStringLiteral("song.mp3")});
}

// The file list of a folder it may not read, and of a folder reached through a link that
// points at its own folder, lists what it can and never loops.
TEST_F(HostileNamesTest, UnreadableAndLoopingFoldersInTheFileList) {
    const QString looping = MakeDir(dir, QStringLiteral("Loop"));
    MakeFile(looping, QStringLiteral("song.mp3"));
    ASSERT_TRUE(QFile::link(looping, looping + QStringLiteral("/again")));
    TLsFilelistView28 list;
    list.SetDirectory(looping + QStringLiteral("/again/again/again"));
    EXPECT_EQ(list.ItemCaptions(), QStringList{QStringLiteral("song.mp3")});

    const QString locked = MakeDir(dir, QStringLiteral("Locked"));
    MakeFile(locked, QStringLiteral("hidden.mp3"));
    QFile::setPermissions(locked,
                          QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    // The super-user reads every folder: look as an ordinary user.
    const bool asRoot = geteuid() == 0;
    if (asRoot) {
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                       QFileDevice::ExeOther);
    }
    QString shown;
    QStringList captions;
    if (!stavio::test::AsOrdinaryUser([&] {
            list.SetDirectory(locked);
            shown = list.Directory();
            captions = list.ItemCaptions();
        }))
        GTEST_SKIP() << "cannot act as an ordinary user";
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(shown, locked);
    EXPECT_TRUE(captions.isEmpty());
}

} // namespace
