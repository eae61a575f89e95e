// SPDX-License-Identifier: GPL-3.0-or-later
// Renaming and new folders on a volume that ignores case, as a player's FAT volume does:
// a real FAT image, mounted through FUSE for the time of the test.
#include "FileOperations.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <sys/mount.h>
#include <unistd.h>

namespace {

// A 2 MB FAT image mounted read-write while the object lives. Needs root (for /dev/fuse),
// mkfs.vfat and fusefat; Why() says what was missing.
class FatVolume {
public:
    explicit FatVolume(const QString& work) : image_(work + QStringLiteral("/player.img")) {
        path_ = work + QStringLiteral("/player");
        QDir().mkpath(path_);
        const QString mkfs = QStandardPaths::findExecutable(
            QStringLiteral("mkfs.vfat"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        const QString fusefat = QStandardPaths::findExecutable(QStringLiteral("fusefat"));
        if (::geteuid() != 0 || !QFile::exists(QStringLiteral("/dev/fuse")))
            why_ = QStringLiteral("mounting through FUSE needs root and /dev/fuse");
        else if (mkfs.isEmpty() || fusefat.isEmpty())
            why_ = QStringLiteral("mkfs.vfat or fusefat is missing");
        else if (QProcess::execute(mkfs, {QStringLiteral("-C"), image_, QStringLiteral("2048")}) !=
                 0)
            why_ = QStringLiteral("mkfs.vfat failed");
        else if (QProcess::execute(
                     fusefat, {QStringLiteral("-o"), QStringLiteral("rw+"), image_, path_}) != 0)
            why_ = QStringLiteral("fusefat could not mount the image");
        else
            mounted_ = true;
    }
    ~FatVolume() {
        if (mounted_)
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    QString Why() const { return why_; }
    QString Path() const { return path_; }

private:
    QString image_;
    QString path_;
    QString why_;
    bool mounted_ = false;
};

std::string Names(const QString& folder) {
    return QDir(folder)
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)
        .join(QLatin1Char(','))
        .toStdString();
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FatVolumeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        volume = std::make_unique<FatVolume>(work.path());
        if (!volume->Mounted())
            GTEST_SKIP() << volume->Why().toStdString();
        player = volume->Path();
        // The volume really ignores case: one file answers to both spellings.
        ASSERT_TRUE(QFile(player + QStringLiteral("/probe.mp3")).open(QIODevice::WriteOnly));
        ASSERT_TRUE(QFile::exists(player + QStringLiteral("/PROBE.MP3")));
        ASSERT_TRUE(QFile::remove(player + QStringLiteral("/probe.mp3")));
    }

    QTemporaryDir work;
    std::unique_ptr<FatVolume> volume; // unmounted before the work folder goes
    QString player;
};

TEST_F(FatVolumeTest, RenamesAndNewFoldersOnAVolumeThatIgnoresCase) {

    struct Case {
        const char* rename; // the file renamed
        const char* to;
        RenameOutcome outcome;
        const char* after; // the folder's names afterwards
    };
    const Case cases[] = {
        // Only the case changes: the file takes the new spelling, its contents kept.
        {"song.mp3", "SONG.mp3", RenameOutcome::Renamed, "SONG.mp3,other.mp3"},
        {"song.mp3", "Song.Mp3", RenameOutcome::Renamed, "Song.Mp3,other.mp3"},
        // Another file holds the name in another case: refused, both files whole.
        {"song.mp3", "OTHER.MP3", RenameOutcome::Exists, "other.mp3,song.mp3"},
        {"song.mp3", "song.mp3", RenameOutcome::Unchanged, "other.mp3,song.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rename) + " -> " + c.to);
        for (const QString& name : QDir(player).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(player + QLatin1Char('/') + name);
        for (const char* name : {"song.mp3", "other.mp3"}) {
            QFile file(player + QLatin1Char('/') + QString::fromLatin1(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(name);
        }
        QString reason;
        EXPECT_EQ(RenameInFolder(player, QString::fromLatin1(c.rename), QString::fromLatin1(c.to),
                                 &reason),
                  c.outcome)
            << reason.toStdString();
        EXPECT_EQ(Names(player), c.after);
        EXPECT_EQ(Contents(player + QStringLiteral("/other.mp3")), QByteArray("other.mp3"));
        EXPECT_EQ(Contents(player + QLatin1Char('/') + QString::fromLatin1(c.to)),
                  QByteArray(c.outcome == RenameOutcome::Exists ? "other.mp3" : "song.mp3"));
    }

    // A new folder whose name is taken in another case says so and makes nothing.
    for (const QString& name : QDir(player).entryList(QDir::Files))
        QFile::remove(player + QLatin1Char('/') + name);
    ASSERT_TRUE(QDir(player).mkdir(QStringLiteral("Album")));
    QString made;
    const QString message =
        MakeFolder(player, QStringLiteral("ALBUM"), ExplorerLanguage::lnEnglish, &made);
    EXPECT_TRUE(message.contains(QStringLiteral("already exists"))) << message.toStdString();
    EXPECT_TRUE(made.isEmpty());
    EXPECT_EQ(Names(player), "Album");
}

// Copies and moves onto the player: a name taken in another case gets a free name, the file
// that holds it stays whole, a link the volume cannot hold is reported, and nothing
// half-written or temporary is left.
TEST_F(FatVolumeTest, CopiesAndMovesOntoAVolumeThatIgnoresCaseLoseNothing) {
    const QString music = work.path() + QStringLiteral("/music");
    QDir().mkpath(music + QStringLiteral("/Album"));
    auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(player + QStringLiteral("/SONG.MP3"), "on the player");
    write(music + QStringLiteral("/Song.mp3"), "from the disk");
    write(music + QStringLiteral("/Moved.mp3"), "moved");
    write(music + QStringLiteral("/Album/Track.mp3"), "track");
    ASSERT_TRUE(
        QFile::link(QStringLiteral("Track.mp3"), music + QStringLiteral("/Album/link.mp3")));

    const FileBatchResult copied =
        CopyInto({music + QStringLiteral("/Song.mp3"), music + QStringLiteral("/Album")}, player,
                 ExplorerLanguage::lnEnglish);
    const FileBatchResult moved =
        MoveInto({music + QStringLiteral("/Moved.mp3")}, player, ExplorerLanguage::lnEnglish);

    EXPECT_EQ(Names(player), "Album,Moved.mp3,SONG.MP3,Song (2).mp3");
    EXPECT_EQ(Names(player + QStringLiteral("/Album")), "Track.mp3");
    EXPECT_EQ(Contents(player + QStringLiteral("/SONG.MP3")), QByteArray("on the player"));
    EXPECT_EQ(Contents(player + QStringLiteral("/Song (2).mp3")), QByteArray("from the disk"));
    EXPECT_EQ(Contents(player + QStringLiteral("/Album/Track.mp3")), QByteArray("track"));
    EXPECT_EQ(Contents(player + QStringLiteral("/Moved.mp3")), QByteArray("moved"));
    ASSERT_EQ(copied.failed.size(), 1); // the link: FAT holds none
    EXPECT_TRUE(copied.failed[0].path.endsWith(QStringLiteral("link.mp3")));
    EXPECT_TRUE(moved.failed.isEmpty());
    EXPECT_FALSE(QFile::exists(music + QStringLiteral("/Moved.mp3")));
}

} // namespace
