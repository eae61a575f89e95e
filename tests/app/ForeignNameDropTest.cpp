// SPDX-License-Identifier: GPL-3.0-or-later
// A song dragged from a file manager onto the Copy List is added by its real bytes, also
// when its name is not UTF-8 (the URL carries such bytes percent-encoded).

#include "AppFixture.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <filesystem>

namespace {

class ForeignNameDropTest : public AppFixture {
protected:
    void TearDown() override {
        AppFixture::TearDown();
        // QTemporaryDir cannot remove the names that are not UTF-8.
        std::error_code ignored;
        std::filesystem::remove_all(QFile::encodeName(root_).toStdString() + "/names", ignored);
    }

    // Drags urls from another program over the Copy List's selected node and drops them.
    void DropOnSelected(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        ListTreeView* view = Parts().TreeView1;
        const QPoint pos = view->visualRect(view->Model()->IndexOf(Copy().Selected())).center();
        QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        QDragMoveEvent move(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
        ASSERT_TRUE(move.isAccepted());
        QDropEvent drop(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &drop);
    }
};

TEST_F(ForeignNameDropTest, DroppedSongsAreAddedByTheirRealBytes) {
    Start();
    Form().resize(800, 600);
    QApplication::processEvents();
    const std::string folder = QFile::encodeName(root_).toStdString() + "/names";
    std::filesystem::create_directory(folder);
    struct Case {
        const char* what;
        std::string name;
        const char* encoded; // as a file manager writes it in the URL
    };
    const Case cases[] = {
        {"UTF-8", "caf\xC3\xA9 #1.mp3", "caf%C3%A9%20%231.mp3"},
        {"Latin-1", "caf\xE9.mp3", "caf%E9.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::FILE* file = std::fopen((folder + '/' + c.name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
        Copy().Select(Copy().Root());
        stavio::DeleteSelectedNode(Copy(), CopyLinks());
        stavio::AddFolderNode("A", Copy(), CopyLinks());
        QApplication::processEvents();
        const std::size_t before = CopyLinks().size();
        DropOnSelected({QUrl::fromEncoded(
            QByteArray("file://") + QUrl::toPercentEncoding(QString::fromStdString(folder), "/") +
            '/' + c.encoded)});
        ASSERT_EQ(CopyLinks().size(), before + 1);
        EXPECT_EQ(CopyLinks().back()->SourcePath, folder + '/' + c.name);
    }
}

} // namespace
