// SPDX-License-Identifier: GPL-3.0-or-later
// The tag columns of the file list's details view: read off the window's thread through the
// reader the program gives, filled in as they come, and only for the details view.

#include "FileListModel.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeView>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace {

// A reader that makes tags up from the name ("b.mp3": title "B", track 2) and notes the
// threads it ran on.
struct FakeReader {
    std::shared_ptr<std::atomic<int>> reads = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<bool>> onWindowThread = std::make_shared<std::atomic<bool>>(false);

    FileTagReader Reader() const {
        return [reads = reads, onWindowThread = onWindowThread,
                window = QThread::currentThread()](const QString& path) -> std::optional<FileTags> {
            ++*reads;
            if (QThread::currentThread() == window)
                *onWindowThread = true;
            const QString name = QFileInfo(path).completeBaseName();
            if (name == QStringLiteral("unreadable"))
                return std::nullopt;
            return FileTags{name.toUpper(),
                            QStringLiteral("Artist"),
                            QStringLiteral("Album"),
                            name.at(0).unicode() - 'a' + 1,
                            61,
                            QStringLiteral("1:01")};
        };
    }
};

class FileTagsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = QDir(tmp.path()).canonicalPath();
        for (const char* name : {"a.mp3", "c.mp3", "b.mp3", "unreadable.mp3"})
            MakeFile(dir, QString::fromLatin1(name));
    }

    QAbstractItemModel* Model() { return list.CurrentView()->model(); }
    QHeaderView* Header() {
        list.SetViewStyle(3);
        return static_cast<QTreeView*>(list.CurrentView())->header();
    }
    // The texts of one row, from the Title column on.
    QStringList TagTexts(const QString& name) {
        const int row = list.ItemCaptions().indexOf(name);
        QStringList texts;
        for (int c = FileListModel::TitleColumn; c <= FileListModel::LengthColumn; ++c)
            texts << Model()->index(row, c).data().toString();
        return texts;
    }
    bool WaitForTags() {
        return QTest::qWaitFor([this] { return !list.TagsLoading(); }, 5000);
    }

    QTemporaryDir tmp;
    QString dir;
    TLsFilelistView28 list;
    FakeReader fake;
};

TEST_F(FileTagsTest, DetailsViewShowsTagsAfterItsOwnColumnsOnceAReaderIsGiven) {
    list.SetDirectory(dir);
    QHeaderView* header = Header();
    ASSERT_EQ(Model()->columnCount(), 9);
    for (int c = FileListModel::TitleColumn; c <= FileListModel::LengthColumn; ++c)
        EXPECT_TRUE(header->isSectionHidden(c)) << c; // no reader, no tag columns

    list.SetTagCaptions({QStringLiteral("Titre"), QStringLiteral("Artiste"),
                         QStringLiteral("Album"), QStringLiteral("Piste"),
                         QStringLiteral("Durée")});
    list.SetTagReader(fake.Reader());
    QStringList captions;
    for (int c = 0; c < Model()->columnCount(); ++c) {
        EXPECT_FALSE(header->isSectionHidden(c)) << c;
        captions << Model()->headerData(c, Qt::Horizontal).toString();
    }
    EXPECT_EQ(
        captions.mid(FileListModel::TitleColumn),
        (QStringList{QStringLiteral("Titre"), QStringLiteral("Artiste"), QStringLiteral("Album"),
                     QStringLiteral("Piste"), QStringLiteral("Durée")}));
    EXPECT_EQ(captions.first(), QStringLiteral("Name")); // the list's own columns stay first

    ASSERT_TRUE(WaitForTags());
    EXPECT_EQ(TagTexts(QStringLiteral("b.mp3")),
              (QStringList{QStringLiteral("B"), QStringLiteral("Artist"), QStringLiteral("Album"),
                           QStringLiteral("2"), QStringLiteral("1:01")}));
    EXPECT_EQ(TagTexts(QStringLiteral("unreadable.mp3")), QStringList(5, QString()));
    EXPECT_EQ(*fake.reads, 4);
    EXPECT_FALSE(*fake.onWindowThread);
}

TEST_F(FileTagsTest, TagsAreReadOnlyForTheDetailsViewAndOncePerListing) {
    list.SetTagReader(fake.Reader());
    list.SetDirectory(dir);
    for (int style : {0, 1, 2})
        list.SetViewStyle(style);
    QTest::qWait(50);
    EXPECT_EQ(*fake.reads, 0); // the other views never read tags

    list.SetViewStyle(3);
    ASSERT_TRUE(WaitForTags());
    EXPECT_EQ(*fake.reads, 4);
    list.SetViewStyle(2);
    list.SetViewStyle(3);
    ASSERT_TRUE(WaitForTags());
    EXPECT_EQ(*fake.reads, 4); // already known

    // Listing again reads again (the program's reader keeps its own cache).
    MakeFile(dir, QStringLiteral("d.mp3"));
    list.Refresh();
    ASSERT_TRUE(WaitForTags());
    EXPECT_EQ(*fake.reads, 9);
    EXPECT_EQ(TagTexts(QStringLiteral("d.mp3")).first(), QStringLiteral("D"));
}

TEST_F(FileTagsTest, AnotherFolderDropsTheTagsOfTheLastOne) {
    list.SetTagReader(fake.Reader());
    list.SetViewStyle(3);
    list.SetDirectory(dir);
    ASSERT_TRUE(WaitForTags());
    const QString other = MakeDir(dir, QStringLiteral("other"));
    MakeFile(other, QStringLiteral("a.mp3"));
    list.SetDirectory(other);
    // Until the new folder's tags come, nothing of the old folder shows.
    const int row = list.ItemCaptions().indexOf(QStringLiteral("a.mp3"));
    if (list.TagsLoading()) {
        EXPECT_EQ(Model()->index(row, FileListModel::TitleColumn).data().toString(), QString());
    }
    ASSERT_TRUE(WaitForTags());
    EXPECT_EQ(Model()->index(row, FileListModel::TitleColumn).data().toString(),
              QStringLiteral("A"));
}

TEST_F(FileTagsTest, SortingByATagColumnUsesTheTags) {
    list.SetTagReader([](const QString& path) -> std::optional<FileTags> {
        const QString name = QFileInfo(path).completeBaseName();
        // Tracks in the opposite order of the names.
        const int track = name == QStringLiteral("a") ? 3 : (name == QStringLiteral("b") ? 2 : 1);
        return FileTags{QString(), QString(), QString(), track, 0, QString()};
    });
    list.SetViewStyle(3);
    list.SetDirectory(dir);
    ASSERT_TRUE(WaitForTags());
    Model()->sort(FileListModel::TrackColumn, Qt::AscendingOrder);
    EXPECT_EQ(list.ItemCaptions(),
              (QStringList{QStringLiteral("c.mp3"), QStringLiteral("unreadable.mp3"),
                           QStringLiteral("b.mp3"), QStringLiteral("a.mp3")}));
}

} // namespace
