// Folders that the file system allows but Qt cannot name: file names that are not UTF-8, links
// that point nowhere or at themselves. Whatever the explorer lists must be the very file the
// user sees, so that adding it to a list never picks another file.

#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

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

class HostileNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = QDir(tmp.path()).canonicalPath();
    }
    void TearDown() override {
        CloseStrayModals();
        // QDir cannot remove what it cannot name: the bytes go first.
        std::error_code ignored;
        std::filesystem::remove_all(QFile::encodeName(dir).toStdString(), ignored);
    }

    QTemporaryDir tmp;
    QString dir;
};

TEST_F(HostileNamesTest, EveryListedFileIsTheFileOfThatName) {
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
    EXPECT_TRUE(captions.contains(QStringLiteral("ok.mp3")));
    EXPECT_TRUE(captions.contains(QString::fromUtf8("caf\xC3\xA9.mp3")));
    for (const QString& caption : captions) {
        const QFileInfo info(dir + QLatin1Char('/') + caption);
        EXPECT_TRUE(info.isFile()) << caption.toStdString();
    }
    // A name Qt cannot decode would come back as another name: it is left out, not guessed.
    EXPECT_FALSE(captions.contains(QString::fromUtf8("caf\xEF\xBF\xBD.mp3")));
}

TEST_F(HostileNamesTest, FoldersNamedInBytesQtCannotDecodeAreLeftOut) {
    MakeDir(dir, QStringLiteral("Music/Good"));
    ASSERT_EQ(
        ::mkdir(QFile::encodeName(dir + QStringLiteral("/Music/")).append("bad\xE9").constData(),
                0777),
        0);

    TLsDirTree21 tree;
    tree.OpenPath(dir + QStringLiteral("/Music"));
    ASSERT_NE(tree.currentItem(), nullptr);
    tree.currentItem()->setExpanded(true);
    QStringList children;
    for (int i = 0; i < tree.currentItem()->childCount(); ++i) {
        const QString path = TLsDirTree21::PathOf(tree.currentItem()->child(i));
        EXPECT_TRUE(QFileInfo(path).isDir()) << path.toStdString();
        children << QFileInfo(path).fileName();
    }
    EXPECT_TRUE(children.contains(QStringLiteral("Good")));
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
        if (seteuid(65534) != 0)
            GTEST_SKIP() << "cannot act as an ordinary user";
    }
    list.SetDirectory(locked);
    const QString shown = list.Directory();
    const QStringList captions = list.ItemCaptions();
    if (asRoot && seteuid(0) != 0)
        FAIL() << "cannot return to the super-user";
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(shown, locked);
    EXPECT_TRUE(captions.isEmpty());
}

} // namespace
