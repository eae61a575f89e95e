// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveList.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kMounts = "sysfs /sys sysfs rw,nosuid 0 0\n"
                           "proc /proc proc rw 0 0\n"
                           "/dev/sda2 / ext4 rw,relatime 0 0\n"
                           "tmpfs /run tmpfs rw 0 0\n"
                           "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                           "/dev/sda1 /boot/efi vfat rw 0 0\n"
                           "/dev/sdb1 /media/anna/MY\\040PLAYER vfat rw 0 0\n"
                           "/dev/sdc1 /run/media/bob/DISK exfat rw 0 0\n"
                           "/dev/sdd1 /mnt/music ext4 rw 0 0\n"
                           "tmpfs /mnt/scratch tmpfs rw 0 0\n"
                           "/dev/sde1 /srv/card vfat rw 0 0\n"
                           "overlay /var/lib/docker/overlay2/x/merged overlay rw 0 0\n"
                           "/dev/sdb1 /media/anna/MY\\040PLAYER vfat rw 0 0\n";

TEST(DriveListTest, ParsesMountLinesAndDecodesEscapedSpaces) {
    const QList<MountEntry> mounts = ParseMounts(kMounts);
    ASSERT_EQ(mounts.size(), 13);
    EXPECT_EQ(mounts[6].device, QStringLiteral("/dev/sdb1"));
    EXPECT_EQ(mounts[6].mountPoint, QStringLiteral("/media/anna/MY PLAYER"));
    EXPECT_EQ(mounts[6].fsType, QStringLiteral("vfat"));
}

TEST(DriveListTest, KeepsRootAndUserVolumesOnly) {
    const QStringList drives = DriveMountPoints(ParseMounts(kMounts));
    // Root first; no pseudo file systems, no firmware partition, no duplicates.
    EXPECT_EQ(drives,
              (QStringList{QStringLiteral("/"), QStringLiteral("/media/anna/MY PLAYER"),
                           QStringLiteral("/mnt/music"), QStringLiteral("/run/media/bob/DISK"),
                           QStringLiteral("/srv/card")}));
}

TEST(DriveListTest, RootIsPresentEvenWithoutMounts) {
    EXPECT_EQ(DriveMountPoints({}), QStringList{QStringLiteral("/")});
    EXPECT_TRUE(SystemDrives().startsWith(QStringLiteral("/")));
}

TEST(DriveListTest, PicksTheLongestMountPointPrefix) {
    const QStringList drives{QStringLiteral("/"), QStringLiteral("/media/usb"),
                             QStringLiteral("/media/usb/inner")};
    EXPECT_EQ(DriveForPath(drives, QStringLiteral("/home/anna")), QStringLiteral("/"));
    EXPECT_EQ(DriveForPath(drives, QStringLiteral("/media/usb")), QStringLiteral("/media/usb"));
    EXPECT_EQ(DriveForPath(drives, QStringLiteral("/media/usb/Music")),
              QStringLiteral("/media/usb"));
    EXPECT_EQ(DriveForPath(drives, QStringLiteral("/media/usb/inner/a")),
              QStringLiteral("/media/usb/inner"));
    // A name that merely begins like the mount point is not on it.
    EXPECT_EQ(DriveForPath(drives, QStringLiteral("/media/usb2/a")), QStringLiteral("/"));
    EXPECT_EQ(DriveForPath({QStringLiteral("/media/usb")}, QStringLiteral("/home")), QString());
}

} // namespace
