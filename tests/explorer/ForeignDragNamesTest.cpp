// SPDX-License-Identifier: GPL-3.0-or-later
// Files dragged from the explorer to another program (a file manager, a player) are named
// by their real bytes, also when they are not UTF-8.
#include "FileOperations.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "TestHelpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

// Drags from the component's viewport; the drag it made.
QDrag* DragAndTake(QObject* component, QWidget* viewport, QPoint at) {
    DragFrom(viewport, at);
    return LastDrag(component);
}

// The paths another program reads from the text/uri-list of a drag, one a line, as bytes.
std::string UriListPaths(const QMimeData* data) {
    std::string paths;
    for (const QByteArray& line : data->data(QStringLiteral("text/uri-list")).split('\n')) {
        const QByteArray uri = line.trimmed();
        if (uri.startsWith("file://"))
            paths += QByteArray::fromPercentEncoding(uri.mid(7)).toStdString() + '\n';
    }
    return paths;
}

class ForeignDragNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = QFile::encodeName(QDir(tmp.path()).canonicalPath());
    }
    void TearDown() override {
        // QTemporaryDir cannot remove the names that are not UTF-8.
        std::error_code ignored;
        std::filesystem::remove_all(dir.toStdString(), ignored);
    }

    QTemporaryDir tmp;
    QByteArray dir;
};

TEST_F(ForeignDragNamesTest, DraggedFilesAndFoldersCarryTheirRealBytes) {
    struct Case {
        const char* what;
        QByteArray folder; // below the test's folder
        QByteArray file;   // in that folder
    };
    const Case cases[] = {
        {"UTF-8 names", "Albums \xC3\xA9t\xC3\xA9", "caf\xC3\xA9 #1.mp3"},
        {"Latin-1 names", "Alb\xE9", "caf\xE9 \xFF.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray folder = dir + '/' + c.folder;
        const QByteArray file = folder + '/' + c.file;
        ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
        std::FILE* out = std::fopen(file.constData(), "wb");
        ASSERT_NE(out, nullptr);
        std::fclose(out);

        TLsDirTree21 tree;
        TLsFilelistView28 list;
        tree.SetFileList(&list);
        tree.resize(300, 400);
        list.resize(300, 200);
        tree.show();
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
        tree.OpenPath(HostString(folder));
        ASSERT_EQ(HostBytes(list.Directory()), folder);
        list.SelectAll();
        QTest::qWait(50); // lets the view lay its items out
        QAbstractItemView* view = list.CurrentView();
        QDrag* drag = DragAndTake(&list, view->viewport(),
                                  view->visualRect(view->model()->index(0, 0)).center());
        ASSERT_NE(drag, nullptr);
        EXPECT_EQ(UriListPaths(drag->mimeData()), file.toStdString() + '\n');

        drag =
            DragAndTake(&tree, tree.viewport(), tree.visualItemRect(tree.currentItem()).center());
        ASSERT_NE(drag, nullptr);
        EXPECT_EQ(UriListPaths(drag->mimeData()), folder.toStdString() + '\n');
    }
}

} // namespace
