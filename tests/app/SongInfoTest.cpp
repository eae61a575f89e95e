// SPDX-License-Identifier: GPL-3.0-or-later
// What the window tells of the songs: the tooltip behind each list name, and the tag
// columns of the explorer's details view, from the files' real tags.

#include "AppFixture.h"

#include "../core/Mp3Bytes.h"
#include "FileListModel.h"

#include <QHeaderView>
#include <QTreeView>

namespace {

class SongInfoTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        const std::string audio = stavio::test::Mp3Frames(120); // 3 s
        song_ = Write(QStringLiteral("Song One.mp3"),
                      stavio::test::Id3v2(3, {{"TIT2", 0, "Caf\xE9"},
                                              {"TPE1", 0, "The Band"},
                                              {"TALB", 0, "First Album"},
                                              {"TRCK", 0, "7"}}) +
                          audio);
        bare_ = Write(QStringLiteral("untagged song.mp3"), audio);
        gone_ = Write(QStringLiteral("gone away.mp3"), audio);
        Start();
    }

    QString Write(const QString& name, const std::string& bytes) {
        const QString path = MakeFolder(QStringLiteral("songs")) + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }

    static std::string Host(const QString& path) { return QFile::encodeName(path).toStdString(); }

    QString ToolTip(ListTreeView* view, const stavio::ListNode* node) {
        return view->model()->data(view->Model()->IndexOf(node), Qt::ToolTipRole).toString();
    }

    QString song_, bare_, gone_;
};

TEST_F(SongInfoTest, AListEntryTellsItsSourceAndItsSong) {
    stavio::ListNode* folder = stavio::AddFolderNode("A", Copy(), CopyLinks());
    stavio::ListNode* song = stavio::AddFileNode(Host(song_), Copy(), CopyLinks(), State().Names);
    stavio::ListNode* bare = stavio::AddFileNode(Host(bare_), Copy(), CopyLinks(), State().Names);
    stavio::ListNode* gone = stavio::AddFileNode(Host(gone_), Copy(), CopyLinks(), State().Names);
    QFile::remove(gone_);
    Delete().Select(Delete().Root());
    stavio::AddFolderNode("B", Delete(), DeleteLinks());
    stavio::ListNode* deleted =
        stavio::AddFileNode(Host(song_), Delete(), DeleteLinks(), State().Names);

    struct Case {
        const char* what;
        ListTreeView* view;
        const stavio::ListNode* node;
        QAction* language;
        QStringList lines; // empty: no tooltip
    };
    const Case cases[] = {
        {"a tagged song",
         Parts().TreeView1,
         song,
         Parts().English1,
         {QStringLiteral("Source: ") + song_, QStringLiteral("File: Song One.mp3"),
          QStringLiteral("Title: Café"), QStringLiteral("Artist: The Band"),
          QStringLiteral("Album: First Album"), QStringLiteral("Length: 0:03")}},
        {"a song without tags",
         Parts().TreeView1,
         bare,
         Parts().English1,
         {QStringLiteral("Source: ") + bare_, QStringLiteral("File: untagged song.mp3"),
          QStringLiteral("Length: 0:03")}},
        {"a missing source",
         Parts().TreeView1,
         gone,
         Parts().English1,
         {QStringLiteral("Source: ") + gone_, QStringLiteral("File: gone away.mp3"),
          QStringLiteral("Source file not found")}},
        {"the Delete List, in French",
         Parts().TreeView2,
         deleted,
         Parts().French1,
         {QStringLiteral("Source: ") + song_, QStringLiteral("Fichier: Song One.mp3"),
          QStringLiteral("Titre: Café"), QStringLiteral("Artiste: The Band"),
          QStringLiteral("Album: First Album"), QStringLiteral("Durée: 0:03")}},
        {"in German, missing",
         Parts().TreeView1,
         gone,
         Parts().Deutsch1,
         {QStringLiteral("Quelle: ") + gone_, QStringLiteral("Datei: gone away.mp3"),
          QStringLiteral("Quelldatei nicht gefunden")}},
        {"a folder", Parts().TreeView1, folder, Parts().English1, {}},
        {"the root", Parts().TreeView2, Delete().Root(), Parts().English1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.language->trigger();
        EXPECT_EQ(ToolTip(c.view, c.node).split(QLatin1Char('\n'), Qt::SkipEmptyParts), c.lines);
    }
}

TEST_F(SongInfoTest, TheDetailsViewShowsTheTagsInTheWindowsLanguage) {
    Parts().French1->trigger();
    Browse(MakeFolder(QStringLiteral("songs")));
    for (int i = 0; i < 3; ++i) // list, details: the View button's order from the start
        if (Parts().FileListViewStyle != 3)
            Parts().SpeedButton13->click();
    ASSERT_EQ(Parts().LsFilelistView281->ViewStyle(), 3);
    auto* view = qobject_cast<QTreeView*>(Parts().LsFilelistView281->CurrentView());
    ASSERT_NE(view, nullptr);
    QAbstractItemModel* model = view->model();
    QStringList captions;
    for (int c = FileListModel::TitleColumn; c <= FileListModel::LengthColumn; ++c) {
        EXPECT_FALSE(view->header()->isSectionHidden(c));
        captions << model->headerData(c, Qt::Horizontal).toString();
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Titre"), QStringLiteral("Artiste"),
                                     QStringLiteral("Album"), QStringLiteral("Piste"),
                                     QStringLiteral("Durée")}));

    const int row =
        Parts().LsFilelistView281->ItemCaptions().indexOf(QStringLiteral("Song One.mp3"));
    ASSERT_GE(row, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Parts().LsFilelistView281->TagsLoading(); }, 5000));
    QStringList texts;
    for (int c = FileListModel::TitleColumn; c <= FileListModel::LengthColumn; ++c)
        texts << model->index(row, c).data().toString();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Café"), QStringLiteral("The Band"),
                                  QStringLiteral("First Album"), QStringLiteral("7"),
                                  QStringLiteral("0:03")}));

    Parts().English1->trigger();
    EXPECT_EQ(model->headerData(FileListModel::TrackColumn, Qt::Horizontal).toString(),
              QStringLiteral("Track"));
}

} // namespace
