// SPDX-License-Identifier: GPL-3.0-or-later
// A volume mounted under a name that is not UTF-8 (a player's Latin-1 label) is a drive of the
// tree that opens, like any other: its mount point keeps its real bytes.
#include "DriveList.h"
#include "FileOperations.h"
#include "TLsDirTree21.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(MountNamesTest, MountPointsKeepTheirRealBytes) {
    struct Case {
        const char* what;
        QByteArray line;       // as the mount table gives it
        QByteArray mountPoint; // the bytes of the folder
    };
    const Case cases[] = {
        {"UTF-8", "/dev/sdb1 /media/anna/M\xC3\x9CSIK vfat rw 0 0\n", "/media/anna/M\xC3\x9CSIK"},
        {"Latin-1", "/dev/sdb1 /media/anna/M\xDCSIK vfat rw 0 0\n", "/media/anna/M\xDCSIK"},
        {"Latin-1 and an escaped space", "/dev/sdb1 /media/anna/MY\\040M\xDCSIK vfat rw 0 0\n",
         "/media/anna/MY M\xDCSIK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QList<MountEntry> mounts = ParseMounts(c.line);
        ASSERT_EQ(mounts.size(), 1);
        EXPECT_EQ(HostBytes(mounts[0].mountPoint).toStdString(), c.mountPoint.toStdString());
        const QStringList drives = DriveMountPoints(mounts);
        ASSERT_EQ(drives.size(), 2);
        EXPECT_EQ(HostBytes(drives[1]).toStdString(), c.mountPoint.toStdString());
    }
}

TEST(MountNamesTest, TheDriveShowsItsNameAndOpens) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QByteArray player = QFile::encodeName(QDir(tmp.path()).canonicalPath()) + "/M\xDCSIK";
    ASSERT_TRUE(std::filesystem::create_directory(player.toStdString()));
    ASSERT_TRUE(std::filesystem::create_directory(player.toStdString() + "/Album"));
    TLsDirTree21 tree;
    tree.SetDrives({QStringLiteral("/"), HostString(player)});
    QTreeWidgetItem* drive = tree.topLevelItem(0)->child(1);
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->text(0).toStdString(),
              "M\xEF\xBF\xBDSIK (" + DisplayName(HostString(player)).toStdString() + ")");
    tree.setCurrentItem(drive);
    drive->setExpanded(true);
    ASSERT_EQ(drive->childCount(), 1);
    EXPECT_EQ(drive->child(0)->text(0), QStringLiteral("Album"));
    std::error_code ignored;
    std::filesystem::remove_all(player.toStdString(), ignored);
}

} // namespace
