// SPDX-License-Identifier: GPL-3.0-or-later
// The tag columns of the details view sort as people read, like the names: the order in
// which the songs of a selection go into the Copy List.
#include "FileListModel.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(TagColumnOrderTest, TitleArtistAndAlbumSortInNaturalOrder) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = QDir(tmp.path()).canonicalPath();
    // The file names run against the texts of their tags, so only the tags can sort them.
    const QStringList texts = {QStringLiteral("Zebra"), QStringLiteral("Track 10"),
                               QString::fromUtf8("\xC3\x89mile"), QStringLiteral("Track 2"),
                               QStringLiteral("emil")};
    for (int i = 0; i < texts.size(); ++i)
        MakeFile(dir, QStringLiteral("%1.mp3").arg(i));
    TLsFilelistView28 list;
    list.SetTagReader([texts](const QString& path) -> std::optional<FileTags> {
        const QString text = texts.value(QFileInfo(path).completeBaseName().toInt());
        return FileTags{text, text, text, 0, 0, QString()};
    });
    list.SetViewStyle(3);
    list.SetDirectory(dir);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.TagsLoading(); }, 5000));

    const QString expected =
        QString::fromUtf8("emil|\xC3\x89mile|Track 2|Track 10|Zebra"); // as a reader expects
    for (const int column :
         {FileListModel::TitleColumn, FileListModel::ArtistColumn, FileListModel::AlbumColumn}) {
        SCOPED_TRACE(column);
        list.CurrentView()->model()->sort(column, Qt::AscendingOrder);
        QStringList order;
        for (const QString& name : list.ItemCaptions())
            order << texts.value(QFileInfo(name).completeBaseName().toInt());
        EXPECT_EQ(order.join(QLatin1Char('|')).toStdString(), expected.toStdString());
    }
}

} // namespace
