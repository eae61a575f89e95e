// SPDX-License-Identifier: GPL-3.0-or-later
// The explorer as the user leaves it (width, hidden folders) comes back after a restart; a
// list folder added from it names its source folder.
#include "AppFixture.h"
#include "UserConfig.h"

#include <QSplitter>

class ExplorerLayoutTest : public AppFixture {
protected:
    void TearDown() override {
        QFile::remove(QString::fromStdString(stavio::UserConfigPath())); // shared by all tests
        AppFixture::TearDown();
    }
    QStringList MusicFolders() {
        Browse(root_ + QStringLiteral("/music"));
        QTreeWidgetItem* music = Parts().LsDirTree211->currentItem();
        music->setExpanded(true);
        QStringList names;
        for (int i = 0; i < music->childCount(); ++i)
            names.append(music->child(i)->text(0));
        return names;
    }
};

TEST_F(ExplorerLayoutTest, HiddenFoldersWidthAndFolderSources) {
    MakeFolder(QStringLiteral("music/.covers"));
    Start();
    const QStringList plain{QStringLiteral("Album"), QStringLiteral("Other")};
    EXPECT_EQ(MusicFolders(), plain);
    ASSERT_TRUE(Parts().LsDirTree211->actions().contains(Parts().ShowHiddenFolders1));
    Parts().ShowHiddenFolders1->trigger();
    EXPECT_EQ(MusicFolders(), QStringList{QStringLiteral(".covers")} + plain);
    QSplitterHandle* handle = Parts().ClientSplitter->handle(1);
    const int before = Parts().ClientSplitter->sizes().value(0);
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(1, 20));
    QTest::mouseMove(handle, QPoint(61, 20));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(61, 20));
    const int width = Parts().ClientSplitter->sizes().value(0);
    ASSERT_GT(width, before + 50);
    Form().close();
    app_.reset();
    Start();
    EXPECT_EQ(MusicFolders(), QStringList{QStringLiteral(".covers")} + plain);
    EXPECT_EQ(Parts().ClientSplitter->sizes().value(0), width);

    Browse(album_);
    Parts().SpeedButton6->click();
    EXPECT_EQ(
        Parts().CopyModel->data(Parts().CopyModel->IndexOf(Copy().Selected()), Qt::ToolTipRole),
        QStringLiteral("Source: ") + album_);
}
