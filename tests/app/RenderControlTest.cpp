// SPDX-License-Identifier: GPL-3.0-or-later
// What the window shows of a render: the fit question, the copy's Cancel button and Escape,
// and the status bar's figures and summary.

#include "MakeScript.h"
#include "TLsDirTree21.h"
#include "WorkflowFixture.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

#include <unistd.h>

namespace {

class RenderControlTest : public WorkflowTest {
protected:
    // A song of size bytes that takes no room on the disk where it lies.
    std::string Song(const std::string& name, off_t size) {
        const std::string path = WriteFile("src/" + name, "");
        EXPECT_EQ(::truncate(path.c_str(), size), 0);
        return path;
    }
    std::string MakeTarget() {
        const std::string target = Path("player");
        QDir(QString::fromStdString(target)).removeRecursively();
        QDir().mkpath(QString::fromStdString(target));
        return target;
    }
    static std::function<void(TOKBottomDlg6*)> Pick(const std::string& folder) {
        return [folder](TOKBottomDlg6* dialog) {
            PartsOf(dialog).LsDirTree211->OpenPath(QString::fromStdString(folder));
            PartsOf(dialog).mxFlatButton1->click();
        };
    }
    QString StatusText() {
        // The panel holds rich text: the script part may be coloured.
        QTextDocument document;
        document.setHtml(Parts().StatusPanel->text());
        return document.toPlainText();
    }
    bool StatusShows(const QString& text) {
        return QTest::qWaitFor([&] { return StatusText() == text; }, 2000);
    }
};

TEST_F(RenderControlTest, ARenderThatDoesNotFitAsksFirst) {
    struct Case {
        const char* answer;
        bool rendered;
    };
    // Enter takes the default answer: copying anyway fills the player, so it is No.
    for (const Case& c : {Case{"&Non", false}, Case{"Enter", false}, Case{"&Oui", true}}) {
        SCOPED_TRACE(c.answer);
        Start();
        AddCopy("ROCK", "BIG.MP3", Song("big.mp3", 3 << 20));
        AddDelete("OLD", "GONE.MP3");
        App().FreeSpace = [](const std::string&) { return std::uint64_t(1) << 20; };
        const std::string target = MakeTarget();
        ModalScript script;
        script.Then<TOKBottomDlg6>(Pick(target));
        if (QLatin1String(c.answer) == QLatin1String("Enter"))
            script.Then<QMessageBox>(
                [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
        else
            script.Box(QLatin1String(c.answer));

        Parts().RenderScript1->trigger();

        EXPECT_TRUE(script.Finished());
        EXPECT_TRUE(script.Unexpected.isEmpty());
        if (!script.Boxes.empty()) {
            EXPECT_EQ(script.Titles(), QStringList{QStringLiteral("Confirmation")});
            EXPECT_EQ(script.Texts(), QStringList{QStringLiteral(
                                          "Not enough free space on the target: 3.0 MB needed, "
                                          "1.0 MB free. Copy anyway?")});
        }
        EXPECT_EQ(Exists(target + "/SYSTEM/SCRIPT.TXT"), c.rendered);
        EXPECT_EQ(Exists(target + "/00000001/BIG.MP3"), c.rendered);
        TearDown();
    }
}

// Cancel in the middle of four files, by the button or by Escape.
TEST_F(RenderControlTest, CancelStopsTheCopyAndRemovesTheScript) {
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Cancel button");
        Start();
        State().CurrentLanguage = stavio::Language::French;
        constexpr off_t kSize = 48 << 20;
        for (int i = 0; i < 4; ++i) {
            const std::string name = "S" + std::to_string(i) + ".MP3";
            AddCopy(i < 2 ? "ROCK" : "JAZZ", name, Song(name, kSize));
        }
        const std::string target = MakeTarget();
        QString caption;
        ModalScript script;
        script.Then<TOKBottomDlg6>(Pick(target))
            .Then<TOKBottomDlg1>(
                [&](TOKBottomDlg1* dialog) {
                    caption = PartsOf(dialog).CancelButton->text();
                    if (escape)
                        QTest::keyClick(dialog, Qt::Key_Escape);
                    else
                        PartsOf(dialog).CancelButton->click();
                },
                [](TOKBottomDlg1* dialog) {
                    return PartsOf(dialog).CancelButton->isVisible() &&
                           PartsOf(dialog).ProgressBar1->value() > 0;
                });

        Parts().RenderScript1->trigger();

        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(caption, QStringLiteral("Annuler"));
        EXPECT_FALSE(Exists(target + "/SYSTEM/SCRIPT.TXT"));
        int whole = 0;
        for (const char* folder : {"/00000001/", "/00000002/"})
            for (int i = 0; i < 4; ++i) {
                const QFileInfo file(QString::fromStdString(target + folder + "S") +
                                     QString::number(i) + QStringLiteral(".MP3"));
                if (file.exists()) {
                    EXPECT_EQ(file.size(), kSize) << "no partial file stays";
                    ++whole;
                }
            }
        EXPECT_LT(whole, 4);
        EXPECT_EQ(
            StatusText(),
            QStringLiteral("Copie annulée : %1 sur 4 fichiers copiés, script retiré").arg(whole));
        // The copy's line and button are gone for the next job.
        EXPECT_FALSE(
            PartsOf(App().ProgressDialog()).CancelButton->isVisibleTo(&App().ProgressDialog()));
        EXPECT_EQ(App().ProgressDialog().height(), 57);
        TearDown();
    }
}

TEST_F(RenderControlTest, StatusBarShowsTheProjectAndTheRenderSummary) {
    Start();
    AddCopy("ROCK", "A.MP3", Song("a.mp3", 1 << 20));
    AddCopy("ROCK", "B.MP3", Song("b.mp3", 1536 << 10));
    AddDelete("OLD", "GONE.MP3");
    // [DF] 4, \OLD\GONE.MP3 13, [CD] 4, \00000001 \ROCK 15, [ES] 4
    EXPECT_TRUE(
        StatusShows(QStringLiteral("Copy: 2 files, 2.5 MB · Delete: 1 file · Script: 40 / 16384")))
        << StatusText().toStdString();

    // Deleting a folder of the Copy List through its tool button.
    State().CopyTree.Select(State().CopyTree.Root()->Child(0));
    Parts().SpeedButton14->click();
    EXPECT_TRUE(
        StatusShows(QStringLiteral("Copy: 0 files, 0.0 MB · Delete: 1 file · Script: 21 / 16384")))
        << StatusText().toStdString();

    // In another language; a script over the limit is drawn in the warning colour.
    Parts().Deutsch1->trigger();
    for (int i = 0; i < 1100; ++i)
        AddDelete("FOLDER01/FOLDER02", "F" + std::to_string(1000000 + i) + ".MP3");
    EXPECT_TRUE(StatusShows(QStringLiteral(
        "Kopieren: 0 Dateien, 0,0 MB · Löschen: 1101 Dateien · Script: 34121 / 16384")))
        << StatusText().toStdString();
    EXPECT_TRUE(Parts().StatusPanel->text().contains(QStringLiteral("color:#c00000")));

    // A project loaded from its file.
    const std::string projectFile = WriteProjectFile("p.scp", "Loaded");
    RunProgressJob(App(), 2);
    State().ProjectFileName = projectFile;
    RunProgressJob(App(), 1);
    EXPECT_TRUE(StatusShows(
        QStringLiteral("Kopieren: 1 Datei, 0,0 MB · Löschen: 0 Dateien · Script: 25 / 16384")))
        << StatusText().toStdString();

    // After a render, its summary; rendering again copies nothing.
    const std::string target = MakeTarget();
    for (const char* expected : {"Script erstellt: 1 Datei kopiert (0,0 MB), 0 unverändert",
                                 "Script erstellt: 0 Dateien kopiert (0,0 MB), 1 unverändert"}) {
        ModalScript script;
        script.Then<TOKBottomDlg6>(Pick(target));
        Parts().RenderScript1->trigger();
        EXPECT_TRUE(script.Finished());
        EXPECT_TRUE(StatusText().startsWith(QString::fromUtf8(expected)))
            << StatusText().toStdString();
    }
}

} // namespace
