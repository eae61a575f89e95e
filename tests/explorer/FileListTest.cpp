// SPDX-License-Identifier: GPL-3.0-or-later
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QListView>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

class FileListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = QDir(tmp.path()).canonicalPath();
    }
    void TearDown() override { ModalScript::CloseStray(); }

    QTemporaryDir tmp;
    QString dir;
    TLsFilelistView28 list;
};

TEST_F(FileListTest, ListsMp3FilesWhateverTheCaseAndNeverFolders) {
    for (const char* name : {"c.Mp3", "a.MP3", "b.mp3", "d.txt", ".hidden.mp3", "mp3", "e.mp3.bak"})
        MakeFile(dir, QString::fromLatin1(name));
    MakeDir(dir, QStringLiteral("x.mp3"));
    list.SetDirectory(dir);
    EXPECT_EQ(list.ItemCaptions(),
              (QStringList{QStringLiteral(".hidden.mp3"), QStringLiteral("a.MP3"),
                           QStringLiteral("b.mp3"), QStringLiteral("c.Mp3")}));

    list.SetMask(QStringLiteral("*.TXT;*.bak"));
    EXPECT_EQ(list.ItemCaptions(),
              (QStringList{QStringLiteral("d.txt"), QStringLiteral("e.mp3.bak")}));
}

TEST_F(FileListTest, StartsOnMyComputerInListViewWithNoFiles) {
    EXPECT_EQ(list.Directory(), TLsFilelistView28::MyComputer());
    EXPECT_EQ(TLsFilelistView28::MyComputer(), QStringLiteral("My Computer"));
    EXPECT_EQ(list.ViewStyle(), 2);
    EXPECT_EQ(list.Mask(), QStringLiteral("*.mp3"));
    EXPECT_TRUE(list.ItemCaptions().isEmpty());
    EXPECT_FALSE(list.HasSelection());
}

TEST_F(FileListTest, DirectorySetterAcceptsExistingFoldersAndMyComputerOnly) {
    QSignalSpy changes(&list, &TLsFilelistView28::DirectoryChanged);
    MakeFile(dir, QStringLiteral("a.mp3"));
    list.SetDirectory(dir + QLatin1Char('/'));
    EXPECT_EQ(list.Directory(), dir);
    EXPECT_EQ(changes.size(), 1);

    // The same folder again: nothing happens, not even a new listing.
    MakeFile(dir, QStringLiteral("b.mp3"));
    list.SetDirectory(dir);
    list.SetDirectory(dir + QLatin1Char('/'));
    EXPECT_EQ(changes.size(), 1);
    EXPECT_EQ(list.ItemCaptions(), QStringList{QStringLiteral("a.mp3")});

    for (const QString& bad :
         {QString(), dir + QStringLiteral("/missing"), dir + QStringLiteral("/a.mp3")}) {
        list.SetDirectory(bad);
        EXPECT_EQ(list.Directory(), dir) << bad.toStdString();
    }
    EXPECT_EQ(changes.size(), 1);

    list.SetDirectory(TLsFilelistView28::MyComputer());
    EXPECT_EQ(list.Directory(), TLsFilelistView28::MyComputer());
    EXPECT_TRUE(list.ItemCaptions().isEmpty());
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(FileListTest, RefreshListsAgainAndEmptiesAFolderThatHasGone) {
    const QString sub = MakeDir(dir, QStringLiteral("sub"));
    MakeFile(sub, QStringLiteral("a.mp3"));
    list.SetDirectory(sub);
    MakeFile(sub, QStringLiteral("b.mp3"));
    list.SelectCaptions({QStringLiteral("a.mp3")});
    list.Refresh();
    EXPECT_EQ(list.ItemCaptions(), (QStringList{QStringLiteral("a.mp3"), QStringLiteral("b.mp3")}));
    EXPECT_EQ(list.SelectedCaptions(), QStringList{QStringLiteral("a.mp3")});

    ASSERT_TRUE(QDir(sub).removeRecursively());
    list.Refresh();
    EXPECT_TRUE(list.ItemCaptions().isEmpty());
    EXPECT_EQ(list.Directory(), sub);
}

TEST_F(FileListTest, SelectedCaptionsComeInDisplayOrder) {
    for (const char* name : {"d.mp3", "B.mp3", "a.mp3", "c.mp3"})
        MakeFile(dir, QString::fromLatin1(name));
    list.SetDirectory(dir);
    list.SelectCaptions(
        {QStringLiteral("d.mp3"), QStringLiteral("a.mp3"), QStringLiteral("c.mp3")});
    EXPECT_TRUE(list.HasSelection());
    EXPECT_EQ(
        list.SelectedCaptions(),
        (QStringList{QStringLiteral("a.mp3"), QStringLiteral("c.mp3"), QStringLiteral("d.mp3")}));

    // Sorted by size in the details view, the display order is the size order.
    QFile::resize(dir + QStringLiteral("/d.mp3"), 1);
    QFile::resize(dir + QStringLiteral("/c.mp3"), 5000);
    list.Refresh();
    list.SetViewStyle(3);
    auto* details = qobject_cast<QTreeView*>(list.CurrentView());
    ASSERT_NE(details, nullptr);
    details->sortByColumn(1, Qt::AscendingOrder);
    EXPECT_EQ(list.ItemCaptions(), (QStringList{QStringLiteral("d.mp3"), QStringLiteral("a.mp3"),
                                                QStringLiteral("B.mp3"), QStringLiteral("c.mp3")}));
    EXPECT_EQ(
        list.SelectedCaptions(),
        (QStringList{QStringLiteral("d.mp3"), QStringLiteral("a.mp3"), QStringLiteral("c.mp3")}));
}

TEST_F(FileListTest, ViewStylesSwitchFacesAndKeepTheSelection) {
    MakeFile(dir, QStringLiteral("a.mp3"), 2048 * 1024);
    list.SetDirectory(dir);
    list.SelectCaptions({QStringLiteral("a.mp3")});
    QSignalSpy styles(&list, &TLsFilelistView28::ViewStyleChanged);

    list.SetViewStyle(0);
    auto* icons = qobject_cast<QListView*>(list.CurrentView());
    ASSERT_NE(icons, nullptr);
    EXPECT_EQ(icons->viewMode(), QListView::IconMode);
    EXPECT_EQ(icons->iconSize(), QSize(32, 32));

    list.SetViewStyle(1);
    EXPECT_EQ(icons->viewMode(), QListView::ListMode);
    EXPECT_EQ(icons->flow(), QListView::LeftToRight);
    EXPECT_EQ(icons->iconSize(), QSize(16, 16));

    list.SetViewStyle(2);
    EXPECT_EQ(icons->flow(), QListView::TopToBottom);

    list.SetViewStyle(3);
    auto* details = qobject_cast<QTreeView*>(list.CurrentView());
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->header()->sectionSize(3), 125);
    const QAbstractItemModel* model = details->model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("2,048 KB"));
    EXPECT_EQ(model->index(0, 2).data().toString(), QStringLiteral("MP3 File"));
    EXPECT_EQ(list.SelectedCaptions(), QStringList{QStringLiteral("a.mp3")});

    list.SetViewStyle(7); // out of range: ignored
    EXPECT_EQ(list.ViewStyle(), 3);
    EXPECT_EQ(styles.size(), 4);

    list.SetLanguage(ExplorerLanguage::lnFrench);
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Modifié le"));
    EXPECT_EQ(model->index(0, 2).data().toString(), QStringLiteral("Fichier MP3"));
    // Written as the language writes it, whatever the desktop's: a narrow no-break space.
    EXPECT_EQ(model->index(0, 1).data().toString(), QStringLiteral("2\u202F048 Ko"));
}

TEST_F(FileListTest, AFolderOfFiftyThousandFilesListsInSlicesWithoutBlocking) {
    // Memory-backed when the machine has it: making the files is not what is tested.
    const bool shm = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
    QTemporaryDir bigDir(shm ? QStringLiteral("/dev/shm/stavio-test-XXXXXX")
                             : dir + QStringLiteral("/big-XXXXXX"));
    ASSERT_TRUE(bigDir.isValid());
    const QString big = bigDir.path();
    for (int i = 0; i < 50000; ++i) {
        QFile file(big + QStringLiteral("/track%1.mp3").arg(i, 5, 10, QLatin1Char('0')));
        file.open(QIODevice::WriteOnly);
    }
    list.show();
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();
    list.SetDirectory(big);
    // SetDirectory returned with the folder still being read, and the event loop keeps
    // turning between the slices.
    EXPECT_TRUE(list.IsLoading());
    EXPECT_LT(list.CurrentView()->model()->rowCount(), 50000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.IsLoading(); }, 60000));
    EXPECT_GT(ticks, 2);
    const QAbstractItemModel* model = list.CurrentView()->model();
    ASSERT_EQ(model->rowCount(), 50000);
    EXPECT_EQ(model->index(0, 0).data().toString(), QStringLiteral("track00000.mp3"));
    EXPECT_EQ(model->index(49999, 0).data().toString(), QStringLiteral("track49999.mp3"));
}

// The details view's name column fits the names, but leaves the size beside them in the pane.
TEST_F(FileListTest, TheNameColumnFitsTheNamesWithinThePane) {
    list.resize(260, 300);
    list.show();
    list.SetViewStyle(3);
    for (const QString& folder : {QStringLiteral("a"), QString(60, QLatin1Char('x'))}) {
        const QString name = folder + QStringLiteral(".mp3");
        list.SetDirectory(QFileInfo(MakeFile(dir, folder + QLatin1Char('/') + name)).path());
        list.ItemCaptions(); // read to the end
        auto* details = static_cast<QTreeView*>(list.CurrentView());
        const int room = details->viewport()->width() - details->header()->sectionSize(1);
        const int text = details->fontMetrics().horizontalAdvance(name);
        const int column = details->header()->sectionSize(0);
        EXPECT_LE(column, room);
        EXPECT_GE(column, std::min(text, room)); // a short name shows whole
        EXPECT_EQ(column == room, text > room);  // a long one takes all the room
    }
}

} // namespace
