// SPDX-License-Identifier: GPL-3.0-or-later
// The progress dialog: which job each mode runs, what it shows, and how it closes.

#include "WorkflowFixture.h"

#include <QLabel>
#include <QProgressBar>

namespace {

class ProgressDialogTest : public WorkflowTest {
protected:
    TOKBottomDlg1& Dialog() { return App().ProgressDialog(); }
};

TEST_F(ProgressDialogTest, ModesOutsideOneToFiveRunNothingAndClose) {
    Start();
    Project().ProjectName = "Kept";
    for (unsigned char mode : {0, 6, 255}) {
        ModalScript script(3000);
        RunProgressJob(App(), mode);
        EXPECT_FALSE(Dialog().isVisible()) << int(mode);
        EXPECT_TRUE(script.Unexpected.isEmpty());
    }
    EXPECT_EQ(Project().ProjectName, "Kept");
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("Progress"));
}

TEST_F(ProgressDialogTest, ResetShowsTheLabelKeepsTheCaptionAndEmptiesTheProject) {
    Start();
    Project().ProjectName = "Old";
    AddCopy("ROCK", "SONG.MP3", "/x/song.mp3");
    State().ProjectFileName = Path("old.scp");
    Form().SetProjectCaption();

    RunProgressJob(App(), 2);

    // The first job since the start leaves the initial caption.
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("Progress"));
    EXPECT_FALSE(PartsOf(Dialog()).Label1->isHidden());
    EXPECT_TRUE(PartsOf(Dialog()).ProgressBar1->isHidden());
    EXPECT_EQ(PartsOf(Dialog()).Label1->text(), QStringLiteral("Initialization..."));
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : New Project"));
    EXPECT_TRUE(State().ProjectFileName.empty());
    EXPECT_TRUE(Project().CopyLinks.empty());
    EXPECT_EQ(State().CopyTree.Root()->ChildCount(), 0);
    EXPECT_EQ(State().CopyTree.Selected(), State().CopyTree.Root());
    EXPECT_EQ(Project().TargetPath, Folder());
    EXPECT_FALSE(State().IsModified());
}

TEST_F(ProgressDialogTest, SaveAndOpenShowTheirCaptionsAndTheLoadedName) {
    Start();
    State().CurrentLanguage = stavio::Language::French;
    Project().ProjectName = "Demo";
    AddCopy("ROCK", "SONG.MP3", "/x/song.mp3");
    const std::string file = Path("demo.scp");
    State().ProjectFileName = file;

    RunProgressJob(App(), 3);
    EXPECT_TRUE(Exists(file));
    EXPECT_FALSE(State().IsModified());
    const QString saving =
        QStringLiteral("Sauvegarde du projet... : ") + QString::fromStdString(file);
    EXPECT_EQ(Dialog().windowTitle(), saving);
    EXPECT_TRUE(PartsOf(Dialog()).Label1->isHidden());
    EXPECT_FALSE(PartsOf(Dialog()).ProgressBar1->isHidden());

    // A reset after another job keeps that job's caption.
    RunProgressJob(App(), 2);
    EXPECT_EQ(Dialog().windowTitle(), saving);
    EXPECT_EQ(PartsOf(Dialog()).Label1->text(), QStringLiteral("Initialisation..."));
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : New Project"));

    State().CurrentLanguage = stavio::Language::English;
    State().ProjectFileName = file;
    RunProgressJob(App(), 1);
    EXPECT_EQ(Dialog().windowTitle(),
              QStringLiteral("Open Project... : ") + QString::fromStdString(file));
    EXPECT_TRUE(PartsOf(Dialog()).Label1->isHidden());
    EXPECT_FALSE(PartsOf(Dialog()).ProgressBar1->isHidden());
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : Demo"));
    ASSERT_EQ(Project().CopyLinks.size(), 1u);
    EXPECT_EQ(Project().CopyLinks[0]->SourcePath, "/x/song.mp3");
    EXPECT_FALSE(State().IsModified());
}

TEST_F(ProgressDialogTest, AFailedLoadIsReportedAndTheDialogGoesWithTheBox) {
    Start();
    const std::string missing = Path("missing.scp");
    State().ProjectFileName = missing;
    ModalScript script;
    script.Box(QStringLiteral("OK"));

    RunProgressJob(App(), 1); // returns: the dialog closed itself after the box

    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_TRUE(Dialog().LastJobFailed());
    ASSERT_EQ(script.Texts().size(), 1);
    EXPECT_TRUE(script.Texts()[0].startsWith(QStringLiteral("Fichier introuvable")));
    EXPECT_TRUE(script.Texts()[0].contains(QString::fromStdString(missing)));
    // The caption of the main window is only set after a load that went through.
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : New Project"));
}

TEST_F(ProgressDialogTest, ABadCountInAProjectFileIsReportedWithTheRuntimesText) {
    Start();
    State().ProjectFileName =
        WriteFile("bad.scp", "header\r\n-\r\nBad\r\n\r\n\r\n\r\n\r\n\r\n\r\nmany\r\n");
    ModalScript script;
    script.Box(QStringLiteral("OK"));

    RunProgressJob(App(), 1);

    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(script.Texts(),
              QStringList{QStringLiteral("'many' n'est pas une valeur enti\u00e8re correcte")});
    EXPECT_EQ(Project().ProjectName, "Bad"); // what was read before the error stays
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : New Project"));
}

TEST_F(ProgressDialogTest, ATooBigScriptIsReportedOnceAndTheDialogStillClosesItself) {
    Start();
    // 600 delete lines of 31 characters: well over 16384.
    for (int i = 0; i < 600; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%07d.MP3", i);
        AddDelete("FOLDER01/FOLDER02", name);
    }
    Project().TargetPath = Path("target/");
    QDir().mkpath(QString::fromStdString(Path("target")));
    ModalScript script;
    script.Box(QStringLiteral("&Abandon"));

    RunProgressJob(App(), 4);

    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty()); // the box's return of focus ran nothing again
    EXPECT_EQ(script.Texts(), QStringList{EnglishText(stavio::MessageTexts, 1)});
    EXPECT_EQ(script.Titles(), QStringList{QStringLiteral("Erreur")});
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_FALSE(Dialog().LastJobFailed());
    EXPECT_EQ(Dialog().windowTitle(), EnglishText(stavio::ProgressTexts, 3));
    // The script takes its place once the copy is over, too big as it is.
    EXPECT_FALSE(Exists(Path("target/SYSTEM/SCRIPT.TXT")));
    RunProgressJob(App(), 5);
    EXPECT_TRUE(Exists(Path("target/SYSTEM/SCRIPT.TXT")));
}

TEST_F(ProgressDialogTest, TheBarReachesTheEndOfTheCopyJob) {
    Start();
    for (int i = 0; i < 5; ++i) {
        const std::string name = "S" + std::to_string(i) + ".MP3";
        AddCopy("ROCK", name, WriteFile("src/" + name, "x"));
    }
    Project().TargetPath = Path("out");
    QDir().mkpath(QString::fromStdString(Path("out")));

    RunProgressJob(App(), 5);

    EXPECT_EQ(PartsOf(Dialog()).ProgressBar1->value(), PartsOf(Dialog()).ProgressBar1->maximum());
    EXPECT_GE(PartsOf(Dialog()).ProgressBar1->maximum(), 5);
    EXPECT_EQ(Dialog().LastCopyReport().filesCopied, 5);
    EXPECT_TRUE(Dialog().LastCopyReport().failures.empty());
}

} // namespace
