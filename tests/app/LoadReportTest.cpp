// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a project whose sources are not mounted: the entries that keep their stored names
// are shown as missing, and one warning box names what was left out.

#include "ListTreeModel.h"
#include "WorkflowFixture.h"

#include <QAction>
#include <QBrush>
#include <QFileDialog>
#include <QPalette>

namespace {

class LoadReportTest : public WorkflowTest {};

TEST_F(LoadReportTest, OpenShowsMissingEntriesGreyedAndOneWarningForWhatWasLeftOut) {
    const std::string present = WriteFile("music/song.mp3", "x");
    const std::string gone = Path("player/OLD/Track 1.mp3");
    const std::string unnamed = Path("player/OLD/Track 2.mp3");
    const std::string file = WriteFile(
        "unplugged.scp", "Group Of Program File of KELVO\r\n*****\r\nUnplugged\r\n\r\n\r\n\r\n"
                         "\r\n\r\n\r\n0\r\n/t\r\n*****\r\n1\r\n2\r\n" +
                             present + "\r\nX\r\nROCK\\\r\n" + gone +
                             "\r\nTRACK1~1.MP3\r\nOLD\\\r\n" + unnamed + "\r\n\r\nOLD\\\r\n");
    Start();
    ModalScript script;
    script.Then<QFileDialog>(Choose(file)).Box(QStringLiteral("&Abandon"));

    Parts().Open1->trigger();

    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_EQ(script.Titles(), QStringList{QStringLiteral("Avertissement")});
    EXPECT_EQ(script.Texts(),
              QStringList{EnglishText(stavio::LoadReportTexts, 0) + QStringLiteral(" 1\n") +
                          QString::fromStdString(unnamed)});
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : Unplugged"));

    // The kept entry: greyed, its tooltip naming its source as not found; a present one looks
    // as always.
    const stavio::ListNode* kept = State().DeleteTree.Root()->Child(0)->Child(0);
    ASSERT_EQ(kept->Text(), "TRACK1~1.MP3");
    const QModelIndex missing = Parts().DeleteModel->IndexOf(kept);
    const QString notFound = EnglishText(stavio::ListToolTipTexts, 2);
    EXPECT_TRUE(missing.data(Qt::ToolTipRole).toString().contains(QString::fromStdString(gone)));
    EXPECT_TRUE(missing.data(Qt::ToolTipRole).toString().contains(notFound));
    EXPECT_EQ(missing.data(Qt::ForegroundRole).value<QBrush>().color(),
              QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text));
    const QModelIndex song =
        Parts().CopyModel->IndexOf(State().CopyTree.Root()->Child(0)->Child(0));
    EXPECT_FALSE(song.data(Qt::ToolTipRole).toString().contains(notFound));
    EXPECT_FALSE(song.data(Qt::ForegroundRole).isValid());
}

TEST_F(LoadReportTest, AProjectWhoseSourcesAllExistOpensWithoutAWarning) {
    const std::string file = WriteProjectFile("fine.scp", "Fine");
    Start();
    ModalScript script;
    script.Then<QFileDialog>(Choose(file));
    Parts().Open1->trigger();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_EQ(Project().ProjectName, "Fine");
}

} // namespace
