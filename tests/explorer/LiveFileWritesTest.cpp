// SPDX-License-Identifier: GPL-3.0-or-later
// The file list follows files that other programs write: a song written over a while, or
// rewritten in place (its tags edited), shows its final size without a refresh.
#include "FileListModel.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Writes `kb` kilobytes at the end of the file, as another program would.
void Append(const QString& path, int kb, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | flags, 0644);
    ASSERT_GE(fd, 0);
    const QByteArray data(kb * 1024, 'x');
    ASSERT_EQ(::write(fd, data.constData(), static_cast<size_t>(data.size())), data.size());
    ::close(fd);
}

TEST(LiveFileWritesTest, AFileWrittenByAnotherProgramShowsItsFinalSize) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString music = MakeDir(QDir(tmp.path()).canonicalPath(), QStringLiteral("music"));
    const QString song = MakeFile(music, QStringLiteral("song.mp3"), 1024);
    const QString fresh = music + QStringLiteral("/fresh.mp3");
    TLsFilelistView28 list;
    list.SetDirectory(music);
    const auto sizeOf = [&](const QString& name) {
        const int row = list.ItemCaptions().indexOf(name);
        return row < 0 ? QString()
                       : list.CurrentView()
                             ->model()
                             ->index(row, FileListModel::SizeColumn)
                             .data()
                             .toString();
    };
    ASSERT_EQ(sizeOf(QStringLiteral("song.mp3")), QStringLiteral("1 KB"));
    struct Step {
        const char* what;
        std::function<void()> write;
        QString name;
        QString size;
    };
    const Step steps[] = {
        {"rewritten in place", [&] { Append(song, 99, 0); }, QStringLiteral("song.mp3"),
         QStringLiteral("100 KB")},
        // Made empty first; the list reads the folder before the data comes.
        {"made, then written a moment later",
         [&] {
             Append(fresh, 0, O_CREAT);
             QTest::qWait(500);
             Append(fresh, 50, 0);
         },
         QStringLiteral("fresh.mp3"), QStringLiteral("50 KB")},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.write();
        EXPECT_TRUE(QTest::qWaitFor([&] { return sizeOf(step.name) == step.size; }, 3000))
            << sizeOf(step.name).toStdString();
    }
}

} // namespace
