// SPDX-License-Identifier: GPL-3.0-or-later
// The explorer follows the disk: files and folders made or removed by other programs, and
// volumes mounted or unmounted while it runs.
#include "FileOperations.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class LiveExplorerTest : public ScratchFolderTest {
protected:
    static QStringList Children(QTreeWidgetItem* item) {
        QStringList names;
        for (int i = 0; i < item->childCount(); ++i)
            names << item->child(i)->text(0);
        return names;
    }
};

// What another program does, on the file system's bytes: also in a folder whose name is
// not UTF-8, which the explorer keeps escaped (HostString).
void MakeFolder(const QString& path) {
    ::mkdir(HostBytes(path).constData(), 0777);
}
void Touch(const QString& path) {
    const int fd = ::open(HostBytes(path).constData(), O_WRONLY | O_CREAT, 0666);
    if (fd >= 0)
        ::close(fd);
}
void Remove(const QString& path) {
    ::unlink(HostBytes(path).constData());
}
void Rename(const QString& from, const QString& to) {
    ::rename(HostBytes(from).constData(), HostBytes(to).constData());
}

// The folders followed: an ordinary name, and one in Latin-1 that is not UTF-8.
const QByteArray kFolderNames[] = {"music", "caf\xE9"};

TEST_F(LiveExplorerTest, TheListFollowsFilesChangedByOtherProgramsAndKeepsTheSelection) {
    for (const QByteArray& folderName : kFolderNames) {
        SCOPED_TRACE(folderName.toStdString());
        const QString music = dir + QLatin1Char('/') + HostString(folderName);
        MakeFolder(music);
        Touch(music + QStringLiteral("/a.mp3"));
        Touch(music + QStringLiteral("/b.mp3"));
        TLsFilelistView28 list;
        list.SetDirectory(music);
        list.SelectCaptions({QStringLiteral("b.mp3")});
        struct Step {
            const char* what;
            std::function<void()> change;
            QStringList after;
        };
        const Step steps[] = {
            {"made",
             [&] { Touch(music + QStringLiteral("/c.mp3")); },
             {QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3")}},
            {"removed",
             [&] { Remove(music + QStringLiteral("/a.mp3")); },
             {QStringLiteral("b.mp3"), QStringLiteral("c.mp3")}},
            {"renamed",
             [&] { Rename(music + QStringLiteral("/c.mp3"), music + QStringLiteral("/d.mp3")); },
             {QStringLiteral("b.mp3"), QStringLiteral("d.mp3")}},
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            step.change();
            EXPECT_TRUE(QTest::qWaitFor([&] { return list.ItemCaptions() == step.after; }, 5000))
                << list.ItemCaptions().join(QLatin1Char(',')).toStdString();
            EXPECT_EQ(list.SelectedCaptions(), QStringList{QStringLiteral("b.mp3")});
        }
    }
}

TEST_F(LiveExplorerTest, TheTreeFollowsFoldersChangedByOtherPrograms) {
    for (const QByteArray& folderName : kFolderNames) {
        SCOPED_TRACE(folderName.toStdString());
        const QString parent = dir + QLatin1Char('/') + HostString(folderName);
        MakeFolder(parent);
        MakeFolder(parent + QStringLiteral("/Jazz"));
        TLsDirTree21 tree;
        tree.OpenPath(parent);
        QTreeWidgetItem* music = tree.currentItem();
        ASSERT_NE(music, nullptr);
        ASSERT_EQ(TLsDirTree21::PathOf(music), parent);
        music->setExpanded(true);
        ASSERT_EQ(Children(music), QStringList{QStringLiteral("Jazz")});
        MakeFolder(parent + QStringLiteral("/Blues"));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return Children(music) ==
                       QStringList{QStringLiteral("Blues"), QStringLiteral("Jazz")};
            },
            5000));
        ::rmdir(HostBytes(parent + QStringLiteral("/Jazz")).constData());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return Children(music) == QStringList{QStringLiteral("Blues")}; }, 5000));
    }
}

TEST_F(LiveExplorerTest, AVolumeMountedAfterStartAppearsAsADriveAndGoesWhenUnmounted) {
    TLsDirTree21 tree;
    const QString point =
        QStringLiteral("/mnt/stavio-test-%1").arg(QCoreApplication::applicationPid());
    QDir().mkpath(point);
    const QString source = MakeDir(dir, QStringLiteral("player"));
    // A bind mount of an ordinary folder: a volume of the disk's own file system type.
    if (::mount(QFile::encodeName(source).constData(), QFile::encodeName(point).constData(),
                nullptr, MS_BIND, nullptr) != 0) {
        QDir().rmdir(point);
        GTEST_SKIP() << "mounting needs root";
    }
    const auto shown = [&] { return tree.Drives().contains(point); };
    EXPECT_TRUE(QTest::qWaitFor(shown, 5000));
    EXPECT_TRUE(Children(tree.topLevelItem(0))
                    .contains(QStringLiteral("stavio-test-%1 (%2)")
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(point)));
    tree.OpenPath(point);
    EXPECT_EQ(tree.SelectedPath(), point);
    ::umount2(QFile::encodeName(point).constData(), MNT_DETACH);
    QDir().rmdir(point);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown(); }, 5000));
    EXPECT_EQ(tree.SelectedLevel(), 0);
}

} // namespace
