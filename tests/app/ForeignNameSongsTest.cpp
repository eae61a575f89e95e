// SPDX-License-Identifier: GPL-3.0-or-later
// A song whose file name is not UTF-8 shows its tags in the explorer's details view, and the
// list's tooltip finds its source, as for any other name.

#include "AppFixture.h"

#include "../core/Mp3Bytes.h"
#include "FileListModel.h"
#include "FileOperations.h"

#include <QTreeView>

#include <filesystem>

namespace {

class ForeignNameSongsTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        songs_ = MakeFolder(QStringLiteral("songs"));
        const std::string bytes =
            stavio::test::Id3v2(3, {{"TIT2", 0, "Latin"}, {"TPE1", 0, "The Band"}}) +
            stavio::test::Mp3Frames(120);
        for (const std::string& name :
             {std::string("caf\xC3\xA9.mp3"), std::string("caf\xE9.mp3")}) {
            std::FILE* file = std::fopen((Host(songs_) + '/' + name).c_str(), "wb");
            ASSERT_NE(file, nullptr);
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        Start();
    }
    void TearDown() override {
        AppFixture::TearDown();
        // QTemporaryDir cannot remove the names that are not UTF-8.
        std::error_code ignored;
        std::filesystem::remove_all(Host(songs_), ignored);
    }

    static std::string Host(const QString& path) { return QFile::encodeName(path).toStdString(); }

    QString songs_;
};

TEST_F(ForeignNameSongsTest, TagsAndToolTipsFindTheSongByItsRealBytes) {
    Browse(songs_);
    while (Parts().LsFilelistView281->ViewStyle() != 3)
        Parts().SpeedButton13->click();
    auto* view = qobject_cast<QTreeView*>(Parts().LsFilelistView281->CurrentView());
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Parts().LsFilelistView281->TagsLoading(); }, 5000));
    const QStringList captions = Parts().LsFilelistView281->ItemCaptions();
    ASSERT_EQ(captions.size(), 2);
    for (int row = 0; row < captions.size(); ++row) {
        const std::string name = HostBytes(captions[row]).toStdString();
        SCOPED_TRACE(name);
        EXPECT_EQ(
            view->model()->index(row, FileListModel::TitleColumn).data().toString().toStdString(),
            "Latin");

        Copy().Select(Copy().Root());
        stavio::AddFolderNode(row == 0 ? "A" : "B", Copy(), CopyLinks());
        const stavio::ListNode* song =
            stavio::AddFileNode(Host(songs_) + '/' + name, Copy(), CopyLinks(), State().Names);
        ASSERT_NE(song, nullptr);
        const QString tip = Parts()
                                .TreeView1->model()
                                ->data(Parts().TreeView1->Model()->IndexOf(song), Qt::ToolTipRole)
                                .toString();
        EXPECT_TRUE(tip.contains(QStringLiteral("Latin"))) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QStringLiteral("The Band"))) << tip.toStdString();
    }
}

} // namespace
