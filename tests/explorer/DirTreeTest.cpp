// SPDX-License-Identifier: GPL-3.0-or-later
#include "../core/TempDir.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class DirTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        root = QDir(tmp.path()).canonicalPath();
        MakeDir(root, QStringLiteral("Music/Rock/Live"));
        MakeDir(root, QStringLiteral("Music/Jazz"));
        MakeDir(root, QStringLiteral("Music/.hidden"));
    }
    void TearDown() override { ModalScript::CloseStray(); }

    QTreeWidgetItem* ItemOf(const QString& path) {
        for (QTreeWidgetItem* i :
             tree.findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive)) {
            if (TLsDirTree21::PathOf(i) == path)
                return i;
        }
        return nullptr;
    }

    QTemporaryDir tmp;
    QString root;
    TLsDirTree21 tree;
};

TEST_F(DirTreeTest, StartsWithTheComputerAndItsDrivesAndNothingSelected) {
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* computer = tree.topLevelItem(0);
    EXPECT_EQ(computer->text(0), QStringLiteral("My Computer"));
    ASSERT_GE(computer->childCount(), 1);
    EXPECT_EQ(TLsDirTree21::PathOf(computer->child(0)), QStringLiteral("/"));
    EXPECT_EQ(tree.SelectedLevel(), -1);
    EXPECT_EQ(tree.SelectedPath(), QString());
}

TEST_F(DirTreeTest, OpenPathSelectsAnExistingFolderAndReportsIt) {
    QSignalSpy changes(&tree, &TLsDirTree21::OnDirChange);
    const QString rock = root + QStringLiteral("/Music/Rock");
    tree.OpenPath(rock + QLatin1Char('/')); // a trailing "/" names the same folder
    EXPECT_EQ(tree.SelectedPath(), rock);
    EXPECT_EQ(tree.SelectedLevel(), 1 + rock.count(QLatin1Char('/')));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0][0].toString(), rock);
    // Every folder above is expanded; the selected item is the current one.
    for (QTreeWidgetItem* i = tree.currentItem()->parent(); i; i = i->parent())
        EXPECT_TRUE(i->isExpanded()) << TLsDirTree21::PathOf(i).toStdString();

    // Opening the same folder again reports it again.
    tree.OpenPath(rock);
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(DirTreeTest, OpenPathIgnoresMissingEmptyAndOneCharacterPaths) {
    const QString jazz = root + QStringLiteral("/Music/Jazz");
    tree.OpenPath(jazz);
    QSignalSpy changes(&tree, &TLsDirTree21::OnDirChange);
    for (const QString& path :
         {root + QStringLiteral("/Music/Missing"), QString(), QStringLiteral("a"),
          MakeFile(root, QStringLiteral("Music/file.mp3"))}) {
        tree.OpenPath(path);
        EXPECT_EQ(tree.SelectedPath(), jazz) << path.toStdString();
    }
    EXPECT_EQ(changes.size(), 0);
}

TEST_F(DirTreeTest, TheTreeFollowsTheListUpToTheRootAndTheComputer) {
    TLsFilelistView28 list;
    tree.SetFileList(&list);
    tree.OpenPath(root + QStringLiteral("/Music/Rock"));
    list.show();
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
    list.CurrentView()->setFocus();
    for (int i = 0; i < 64 && list.Directory() != QLatin1String("/"); ++i) {
        QTest::keyClick(list.CurrentView(), Qt::Key_Backspace);
        EXPECT_EQ(tree.SelectedPath(), list.Directory());
    }
    EXPECT_EQ(tree.SelectedPath(), QStringLiteral("/"));
    EXPECT_EQ(tree.SelectedLevel(), 1);
    QTest::keyClick(list.CurrentView(), Qt::Key_Backspace);
    EXPECT_EQ(list.Directory(), TLsFilelistView28::MyComputer());
    EXPECT_EQ(tree.SelectedLevel(), 0);
}

TEST_F(DirTreeTest, DeepFoldersWithLongNamesScrollSidewaysInsteadOfBeingCut) {
    const QString deep = MakeDir(root, QStringLiteral("A folder with a rather long name/"
                                                      "Another folder with a long name/"
                                                      "The deepest folder of this little tree"));
    tree.show();
    // The opened folder's name shows from its beginning; the tree leaves its left edge only
    // when that is the way to show it.
    struct Case {
        const char* folder; // below the test's folder
        int width;
        bool sideways;
    };
    const Case cases[] = {
        {"/Music", 250, false},
        {"/A folder with a rather long name/Another folder with a long name/"
         "The deepest folder of this little tree",
         160, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        tree.resize(c.width, 200);
        tree.OpenPath(root + QString::fromUtf8(c.folder));
        QApplication::processEvents();
        const QRect item = tree.visualItemRect(tree.currentItem());
        EXPECT_GE(item.left(), 0);
        EXPECT_LT(item.left() + tree.iconSize().width(), tree.viewport()->width());
        EXPECT_EQ(tree.horizontalScrollBar()->value() > 0, c.sideways);
        // The column is as wide as the longest name, so the rest is reached sideways.
        const int textWidth = tree.fontMetrics().horizontalAdvance(tree.currentItem()->text(0));
        EXPECT_GE(tree.header()->sectionSize(0), item.left() + textWidth);
    }
    EXPECT_GT(tree.horizontalScrollBar()->maximum(), 0);
}

TEST_F(DirTreeTest, SelectingTheComputerOrADriveGivesTheirPaths) {
    QSignalSpy changes(&tree, &TLsDirTree21::OnDirChange);
    QTreeWidgetItem* computer = tree.topLevelItem(0);
    tree.setCurrentItem(computer->child(0));
    EXPECT_EQ(tree.SelectedLevel(), 1);
    EXPECT_EQ(tree.SelectedPath(), QStringLiteral("/"));
    tree.setCurrentItem(computer);
    EXPECT_EQ(tree.SelectedLevel(), 0);
    EXPECT_EQ(tree.SelectedPath(), QString());
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0][0].toString(), QStringLiteral("/"));
    EXPECT_EQ(changes[1][0].toString(), QString());
}

TEST_F(DirTreeTest, OpenPathGoesThroughTheDriveWithTheLongestMountPoint) {
    const QString volume = MakeDir(root, QStringLiteral("vol"));
    MakeDir(root, QStringLiteral("vol/Album"));
    tree.SetDrives({QStringLiteral("/"), volume});
    tree.OpenPath(volume + QStringLiteral("/Album"));
    EXPECT_EQ(tree.SelectedPath(), volume + QStringLiteral("/Album"));
    EXPECT_EQ(tree.SelectedLevel(), 2);
    EXPECT_EQ(TLsDirTree21::PathOf(tree.currentItem()->parent()), volume);

    tree.OpenPath(volume);
    EXPECT_EQ(tree.SelectedLevel(), 1);
    EXPECT_EQ(tree.SelectedPath(), volume);
}

TEST_F(DirTreeTest, FoldersAreReadOnlyWhenOpenedAndIncludeHiddenOnes) {
    tree.OpenPath(root + QStringLiteral("/Music"));
    QTreeWidgetItem* music = tree.currentItem();
    EXPECT_FALSE(TLsDirTree21::IsLoaded(music));
    EXPECT_EQ(music->childCount(), 0);
    EXPECT_EQ(music->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    music->setExpanded(true);
    ASSERT_TRUE(TLsDirTree21::IsLoaded(music));
    QStringList names;
    for (int i = 0; i < music->childCount(); ++i)
        names.append(music->child(i)->text(0));
    EXPECT_EQ(names, (QStringList{QStringLiteral(".hidden"), QStringLiteral("Jazz"),
                                  QStringLiteral("Rock")}));
    // One level at a time: Rock's own folders wait until Rock is opened.
    QTreeWidgetItem* rock = music->child(2);
    EXPECT_FALSE(TLsDirTree21::IsLoaded(rock));
    EXPECT_EQ(rock->childCount(), 0);

    // A folder without sub-folders loses its expand mark once opened.
    QTreeWidgetItem* jazz = music->child(1);
    jazz->setExpanded(true);
    EXPECT_EQ(jazz->childCount(), 0);
    EXPECT_EQ(jazz->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

TEST_F(DirTreeTest, SymbolicLinkLoopsAreShownButNeverFollowedByThemselves) {
    const QString loopDir = MakeDir(root, QStringLiteral("Loop"));
    ASSERT_TRUE(QFile::link(loopDir, loopDir + QStringLiteral("/again")));
    tree.OpenPath(loopDir);
    tree.currentItem()->setExpanded(true);
    ASSERT_EQ(tree.currentItem()->childCount(), 1);
    EXPECT_FALSE(TLsDirTree21::IsLoaded(tree.currentItem()->child(0)));

    // Walking into the loop works one level at a time.
    const QString deep = loopDir + QStringLiteral("/again/again/again");
    tree.OpenPath(deep);
    EXPECT_EQ(tree.SelectedPath(), deep);
}

TEST_F(DirTreeTest, UnreadableFoldersAreShownAndStayEmpty) {
    const QString locked = MakeDir(root, QStringLiteral("Music/Locked"));
    MakeDir(root, QStringLiteral("Music/Locked/inside"));
    QFile::setPermissions(locked, QFileDevice::Permissions());
    // The super-user reads every folder: look as an ordinary user for this test.
    const bool asRoot = geteuid() == 0;
    if (asRoot) {
        for (const QString& open : {root, root + QStringLiteral("/Music")})
            QFile::setPermissions(open, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::ExeOther);
    }
    QTreeWidgetItem* item = nullptr;
    int children = -1;
    const bool ran = stavio::test::AsOrdinaryUser([&] {
        tree.OpenPath(root + QStringLiteral("/Music"));
        if (tree.currentItem())
            tree.currentItem()->setExpanded(true);
        item = ItemOf(locked);
        if (item) {
            item->setExpanded(true);
            children = item->childCount();
        }
    });
    if (!ran)
        GTEST_SKIP() << "cannot act as an ordinary user";
    const bool shown = item != nullptr;
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(shown);
    EXPECT_EQ(children, 0);
    EXPECT_TRUE(TLsDirTree21::IsLoaded(item));
}

TEST_F(DirTreeTest, AFolderThatDisappearsIsLeftForItsParent) {
    const QString gone = MakeDir(root, QStringLiteral("Music/Gone"));
    tree.OpenPath(root + QStringLiteral("/Music"));
    tree.currentItem()->setExpanded(true);
    QTreeWidgetItem* item = ItemOf(gone);
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(QDir(gone).removeRecursively());

    QSignalSpy changes(&tree, &TLsDirTree21::OnDirChange);
    tree.setCurrentItem(item);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ItemOf(gone) == nullptr; }, 5000));
    EXPECT_EQ(tree.SelectedPath(), root + QStringLiteral("/Music"));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes[0][0].toString(), root + QStringLiteral("/Music"));
}

TEST_F(DirTreeTest, ReloadRebuildsFromScratchAndRefreshFindsNewFolders) {
    tree.OpenPath(root + QStringLiteral("/Music"));
    tree.currentItem()->setExpanded(true);
    MakeDir(root, QStringLiteral("Music/Blues"));
    tree.RefreshSelected();
    EXPECT_NE(ItemOf(root + QStringLiteral("/Music/Blues")), nullptr);
    EXPECT_EQ(tree.SelectedPath(), root + QStringLiteral("/Music"));

    tree.Reload();
    EXPECT_EQ(tree.SelectedLevel(), -1);
    EXPECT_EQ(ItemOf(root + QStringLiteral("/Music")), nullptr);
    tree.OpenPath(root + QStringLiteral("/Music/Blues"));
    EXPECT_EQ(tree.SelectedPath(), root + QStringLiteral("/Music/Blues"));
}

TEST_F(DirTreeTest, LanguageRenamesTheComputerAndTheMenu) {
    const std::pair<ExplorerLanguage, const char*> names[] = {
        {ExplorerLanguage::lnFrench, "Poste de travail"},
        {ExplorerLanguage::lnEnglish, "My Computer"},
        {ExplorerLanguage::lnSpanish, "Mi PC"},
        {ExplorerLanguage::lnGerman, "Arbeitsplatz"},
        {ExplorerLanguage::lnItalian, "Risorse del computer"},
    };
    for (const auto& [language, name] : names) {
        tree.SetLanguage(language);
        EXPECT_EQ(tree.Language(), language);
        EXPECT_EQ(tree.topLevelItem(0)->text(0), QString::fromUtf8(name));
    }
    tree.SetLanguage(ExplorerLanguage::lnGerman);
    tree.Reload();
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QStringLiteral("Arbeitsplatz"));
    auto* refresh = tree.findChild<QAction*>(QStringLiteral("actionRefresh"));
    ASSERT_NE(refresh, nullptr);
    EXPECT_EQ(refresh->text(), QStringLiteral("A&ktualisieren"));
}

TEST_F(DirTreeTest, TheBoundFileListFollowsTheTreeAndTheTreeTheList) {
    MakeFile(root, QStringLiteral("Music/Rock/song.mp3"));
    TLsFilelistView28 list;
    tree.SetFileList(&list);
    tree.OpenPath(root + QStringLiteral("/Music/Rock"));
    EXPECT_EQ(list.Directory(), root + QStringLiteral("/Music/Rock"));
    EXPECT_EQ(list.ItemCaptions(), QStringList{QStringLiteral("song.mp3")});

    QSignalSpy changes(&tree, &TLsDirTree21::OnDirChange);
    list.UpOneLevel();
    EXPECT_EQ(tree.SelectedPath(), root + QStringLiteral("/Music"));
    EXPECT_EQ(changes.size(), 1);

    tree.setCurrentItem(tree.topLevelItem(0));
    EXPECT_EQ(list.Directory(), TLsFilelistView28::MyComputer());
    EXPECT_TRUE(list.ItemCaptions().isEmpty());
}

} // namespace
