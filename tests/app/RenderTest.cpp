// SPDX-License-Identifier: GPL-3.0-or-later
// Render Script: the target dialog, the script and the numbered folders, and the messages.

#include "MakeScript.h"
#include "TLsDirTree21.h"
#include "WorkflowFixture.h"

#include <QLabel>
#include <QPushButton>

namespace {

using TargetAct = std::function<void(TOKBottomDlg6*)>;

class RenderTest : public WorkflowTest {
protected:
    // The copy list of the worked example and one file to delete.
    void FillExample() {
        AddCopy("ROCK", "SONG1.MP3", WriteFile("src/song one.mp3", "song one"));
        AddCopy("JAZZ/LIVE", "TAKE1.MP3", WriteFile("src/take.mp3", "take"));
        AddCopy("ROCK", "SONG2.MP3", WriteFile("src/song2.mp3", "song two"));
        AddDelete("OLD", "GONE.MP3");
    }
    std::string MakeTarget() {
        const std::string target = Path("player");
        QDir().mkpath(QString::fromStdString(target));
        return target;
    }
    static TargetAct Pick(const std::string& folder, QString* openedOn = nullptr) {
        return [folder, openedOn](TOKBottomDlg6* dialog) {
            if (openedOn)
                *openedOn = PartsOf(dialog).LsDirTree211->SelectedPath();
            PartsOf(dialog).LsDirTree211->OpenPath(QString::fromStdString(folder));
            PartsOf(dialog).mxFlatButton1->click();
        };
    }
};

TEST_F(RenderTest, RendersTheScriptAndTheNumberedFolders) {
    Start();
    FillExample();
    State().RecordSavedState();
    const std::string target = MakeTarget();
    QString openedOn;
    QString title;
    ModalScript script;
    script.Then<TOKBottomDlg6>([&](TOKBottomDlg6* dialog) {
        title = dialog->windowTitle();
        Pick(target, &openedOn)(dialog);
    });

    Form().RenderScript1Click();

    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    // A new project's target is the program's folder, which the dialog does not offer.
    EXPECT_NE(openedOn + QLatin1Char('/'), QString::fromStdString(Folder()));
    EXPECT_EQ(title, QStringLiteral("Create Script In : ..."));
    EXPECT_EQ(ReadBytes(target + "/SYSTEM/SCRIPT.TXT"),
              "[DF]\r\n\\OLD\\GONE.MP3\r\n[CD]\r\n\\00000001 \\ROCK\r\n"
              "\\00000002 \\JAZZ\\LIVE\r\n\\00000003 \\ROCK\r\n[ES]\r\n");
    EXPECT_EQ(ReadBytes(target + "/00000001/SONG1.MP3"), "song one");
    EXPECT_EQ(ReadBytes(target + "/00000002/TAKE1.MP3"), "take");
    EXPECT_EQ(ReadBytes(target + "/00000003/SONG2.MP3"), "song two");
    EXPECT_EQ(QDir(QString::fromStdString(target + "/00000001")).entryList(QDir::Files),
              QStringList{QStringLiteral("SONG1.MP3")});
    EXPECT_EQ(Project().TargetPath, target);
    EXPECT_TRUE(State().IsModified()); // the new target is not saved yet
}

// Chosen again, the stored target stays as it is stored: the render does not modify the
// project.
TEST_F(RenderTest, RenderingIntoTheStoredTargetLeavesTheProjectUnmodified) {
    Start();
    FillExample();
    const std::string target = MakeTarget();
    Project().TargetPath = target + "/";
    State().RecordSavedState();
    ModalScript script;
    script.Then<TOKBottomDlg6>(Pick(target));
    Parts().RenderScript1->trigger();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(Project().TargetPath, target + "/");
    EXPECT_FALSE(State().IsModified());
}

TEST_F(RenderTest, TheDialogOpensOnTheProjectsTargetInItsLanguage) {
    Start();
    FillExample();
    const std::string target = MakeTarget();
    Project().TargetPath = target + "/";
    State().CurrentLanguage = stavio::Language::French;
    QStringList texts;
    ModalScript script;
    script.Then<TOKBottomDlg6>([&](TOKBottomDlg6* dialog) {
        texts << PartsOf(dialog).LsDirTree211->SelectedPath() << dialog->windowTitle()
              << PartsOf(dialog).mxFlatButton1->text() << PartsOf(dialog).mxFlatButton2->text();
        EXPECT_EQ(PartsOf(dialog).LsDirTree211->Language(), ExplorerLanguage::lnFrench);
        PartsOf(dialog).mxFlatButton2->click();
    });
    Form().RenderScript1Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(texts, (QStringList{QString::fromStdString(target),
                                  QStringLiteral("Créer le script dans : ..."),
                                  QStringLiteral("Créer..."), QStringLiteral("Annuler")}));

    // The player unplugged: the dialog names the folder that is not there.
    Project().TargetPath = target + "/gone";
    QString missing;
    script.Then<TOKBottomDlg6>([&](TOKBottomDlg6* dialog) {
        missing = PartsOf(dialog).MissingLabel->isVisible() ? PartsOf(dialog).MissingLabel->text()
                                                            : QString();
        PartsOf(dialog).mxFlatButton2->click();
    });
    Parts().RenderScript1->trigger();
    EXPECT_EQ(missing, QStringLiteral("Lecteur introuvable : ") + QString::fromStdString(target) +
                           QStringLiteral("/gone"));
}

TEST_F(RenderTest, TheDialogOpensOnTheTargetElseTheFirstRemovableDriveElseNothing) {
    Start();
    FillExample();
    const QString stick = QString::fromStdString(MakeTarget()), root = QStringLiteral("/");
    // The project's target, the drives, what the dialog shows selected.
    const std::tuple<std::string, QStringList, QString> cases[] = {
        {Path("src/"), {root, stick}, QString::fromStdString(Path("src"))},
        {Folder(), {root, stick}, stick}, // a new project's: the program's folder
        {Path("gone/"), {root, stick}, stick},
        {Path("gone/"), {root}, QString()},
    };
    for (const auto& [target, drives, expected] : cases) {
        Project().TargetPath = target;
        PartsOf(App().RenderTargetDialog()).LsDirTree211->SetDrives(drives);
        ModalScript script;
        script.Then<TOKBottomDlg6>([&](TOKBottomDlg6* dialog) {
            EXPECT_EQ(PartsOf(dialog).LsDirTree211->SelectedPath(), expected) << target;
            PartsOf(dialog).mxFlatButton2->click();
        });
        Parts().RenderScript1->trigger();
        EXPECT_TRUE(script.Finished());
    }
}

TEST_F(RenderTest, CancellingTheTargetDialogChangesNothing) {
    Start();
    FillExample();
    State().RecordSavedState();
    const std::string target = MakeTarget();
    ModalScript script;
    script.Then<TOKBottomDlg6>([&](TOKBottomDlg6* dialog) {
        PartsOf(dialog).LsDirTree211->OpenPath(QString::fromStdString(target));
        dialog->reject(); // the close box
    });
    Form().RenderScript1Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_EQ(Project().TargetPath, Folder());
    EXPECT_FALSE(State().IsModified());
    EXPECT_TRUE(QDir(QString::fromStdString(target)).isEmpty());
}

TEST_F(RenderTest, AnEmptyProjectIsRefusedBeforeAnyDialog) {
    Start();
    ModalScript script;
    script.Box(QStringLiteral("&Abandon"));
    Form().RenderScript1Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_EQ(script.Texts(), QStringList{EnglishText(stavio::MessageTexts, 2)});
    EXPECT_EQ(script.Titles(), QStringList{QStringLiteral("Avertissement")});
}

TEST_F(RenderTest, NoFolderSelectedLeavesTheTargetEmptyAndWritesNothing) {
    Start();
    FillExample();
    ModalScript script;
    script
        .Then<TOKBottomDlg6>([](TOKBottomDlg6* dialog) {
            // The computer itself stands for no folder.
            PartsOf(dialog).LsDirTree211->setCurrentItem(
                PartsOf(dialog).LsDirTree211->topLevelItem(0));
            PartsOf(dialog).mxFlatButton1->click();
        })
        .Box(QStringLiteral("&Abandon"));
    Form().RenderScript1Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(script.Texts(), QStringList{EnglishText(stavio::MessageTexts, 3)});
    EXPECT_TRUE(Project().TargetPath.empty());
    EXPECT_FALSE(Exists(Folder() + "SYSTEM"));
}

TEST_F(RenderTest, AMissingSourceIsReportedAndTheOthersAreCopied) {
    Start();
    FillExample();
    const std::string missing = Path("src/take.mp3");
    QFile::remove(QString::fromStdString(missing));
    const std::string target = MakeTarget();
    ModalScript script;
    script.Then<TOKBottomDlg6>(Pick(target)).Box(QStringLiteral("&Abandon"));

    Form().RenderScript1Click();

    EXPECT_TRUE(script.Finished());
    ASSERT_EQ(script.Texts().size(), 1);
    EXPECT_EQ(script.Titles(), QStringList{QStringLiteral("Avertissement")});
    const QStringList lines = script.Texts()[0].split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Some MP3 files could not be copied: 1"));
    EXPECT_EQ(lines[1], QString::fromStdString(missing) + QStringLiteral(": Fichier introuvable"));
    EXPECT_EQ(ReadBytes(target + "/00000001/SONG1.MP3"), "song one");
    EXPECT_EQ(ReadBytes(target + "/00000003/SONG2.MP3"), "song two");
    EXPECT_FALSE(Exists(target + "/00000002/TAKE1.MP3"));
}

TEST_F(RenderTest, TheReportNamesAtMostTenFiles) {
    Start();
    for (int i = 0; i < 12; ++i)
        AddCopy("ROCK", "S" + std::to_string(i) + ".MP3", Path("absent" + std::to_string(i)));
    const std::string target = MakeTarget();
    State().CurrentLanguage = stavio::Language::German;
    ModalScript script;
    script.Then<TOKBottomDlg6>(Pick(target)).Box(QStringLiteral("&Abandon"));
    Form().RenderScript1Click();
    ASSERT_EQ(script.Texts().size(), 1);
    const QStringList lines = script.Texts()[0].split(QLatin1Char('\n'));
    EXPECT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0], QStringLiteral("Einige MP3-Dateien konnten nicht kopiert werden: 12"));
}

TEST_F(RenderTest, ADeleteOnlyProjectWritesTheScriptAndCopiesNothing) {
    Start();
    AddDelete("OLD", "GONE.MP3");
    const std::string target = MakeTarget();
    ModalScript script;
    script.Then<TOKBottomDlg6>(Pick(target));
    Form().RenderScript1Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_EQ(ReadBytes(target + "/SYSTEM/SCRIPT.TXT"), "[DF]\r\n\\OLD\\GONE.MP3\r\n[ES]\r\n");
    EXPECT_EQ(QDir(QString::fromStdString(target)).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("SYSTEM")});
}

} // namespace
