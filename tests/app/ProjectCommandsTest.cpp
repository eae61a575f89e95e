// SPDX-License-Identifier: GPL-3.0-or-later
// New Project, Open, Save, Save as and Exit, with the question before a modified project is
// dropped.

#include "../core/TempDir.h"
#include "ProjetProperty.h"
#include "WorkflowFixture.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using FileDialogAct = std::function<void(QFileDialog*)>;

bool IsSaveDialog(QFileDialog* dialog) {
    return dialog->acceptMode() == QFileDialog::AcceptSave;
}
bool IsOpenDialog(QFileDialog* dialog) {
    return dialog->acceptMode() == QFileDialog::AcceptOpen;
}

const FileDialogAct Cancel = [](QFileDialog* dialog) { dialog->reject(); };

// Types path and presses the dialog's button once this answer is over, so that a question it
// asks goes to the next step.
FileDialogAct Type(const std::string& path) {
    return [path](QFileDialog* dialog) {
        dialog->selectFile(QString::fromStdString(path));
        QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog*>(dialog)->accept(); });
    };
}

class ProjectCommandsTest : public WorkflowTest {
protected:
    void Modify() { AddCopy("ROCK", "SONG.MP3", "/x/song.mp3"); }
};

TEST_F(ProjectCommandsTest, NewProjectOnAnUnchangedProjectAsksNothing) {
    Start();
    ModalScript script;
    script.Then<TForm3>([](TForm3* form) { PartsOf(form).mxFlatButton2->click(); });
    Form().New2Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
}

TEST_F(ProjectCommandsTest, NewProjectConfirmedStartsAnEmptyUnmodifiedProject) {
    Start();
    Modify();
    Project().TargetPath = "/elsewhere/";
    State().ProjectFileName = Path("old.scp");
    QStringList fields;
    ModalScript script;
    script.Box(QStringLiteral("&Non")).Then<TForm3>([&](TForm3* form) {
        fields << PartsOf(form).Edit1->text() << PartsOf(form).Edit2->text()
               << PartsOf(form).Memo1->toPlainText();
        PartsOf(form).Edit1->setText(QStringLiteral("Demo"));
        PartsOf(form).Edit3->setText(QStringLiteral("Me"));
        PartsOf(form).mxFlatButton1->click();
    });

    Form().New2Click();

    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(script.Texts(), QStringList{EnglishText(stavio::MessageTexts, 0)});
    EXPECT_EQ(script.Titles(), QStringList{QStringLiteral("Confirmation")});
    EXPECT_EQ(fields,
              (QStringList{QStringLiteral("New Project"), QString(), QStringLiteral("...")}));
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : Demo"));
    EXPECT_EQ(Project().ProjectName, "Demo");
    EXPECT_EQ(Project().Author, "Me");
    EXPECT_EQ(Project().Comments, std::vector<std::string>{"..."});
    EXPECT_EQ(Project().TargetPath, Folder());
    EXPECT_TRUE(Project().CopyLinks.empty());
    EXPECT_EQ(State().CopyTree.Root()->ChildCount(), 0);
    EXPECT_TRUE(State().ProjectFileName.empty());
    EXPECT_FALSE(State().IsModified());

    // Without a file name, Save asks for one.
    ModalScript save;
    save.Then<QFileDialog>(Cancel, IsSaveDialog);
    Form().Save1Click();
    EXPECT_TRUE(save.Finished());
}

TEST_F(ProjectCommandsTest, NewProjectCancelledKeepsTheProjectItsFileAndItsChanges) {
    Start();
    Modify();
    State().ProjectFileName = Path("kept.scp");
    ModalScript script;
    script.Box(QStringLiteral("&Non")).Then<TForm3>([](TForm3* form) {
        PartsOf(form).Edit1->setText(QStringLiteral("Ignored"));
        form->reject(); // the close box
    });

    Form().New2Click();

    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(Project().ProjectName, "New Project");
    EXPECT_EQ(Project().CopyLinks.size(), 1u);
    EXPECT_EQ(State().ProjectFileName, Path("kept.scp"));
    EXPECT_TRUE(State().IsModified());
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : New Project"));
}

TEST_F(ProjectCommandsTest, OpenAnsweringNoReplacesTheProjectWithoutSaving) {
    const std::string file = WriteProjectFile("other.scp", "Other");
    Start();
    Modify();
    ModalScript script;
    script.Box(QStringLiteral("&Non")).Then<QFileDialog>(Choose(file), IsOpenDialog);

    Form().Open1Click();

    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : Other"));
    EXPECT_EQ(State().ProjectFileName, file);
    ASSERT_EQ(Project().CopyLinks.size(), 1u);
    EXPECT_EQ(Project().CopyLinks[0]->Node->Text(), "STORED.MP3");
    EXPECT_FALSE(State().IsModified());
    EXPECT_EQ(App().ProgressDialog().windowTitle(),
              QStringLiteral("Open Project... : ") + QString::fromStdString(file));
}

TEST_F(ProjectCommandsTest, OpenAnsweringYesWithSaveAsCancelledLosesTheChange) {
    const std::string file = WriteProjectFile("other.scp", "Other");
    Start();
    Modify();
    ModalScript script;
    script.Box(QStringLiteral("&Oui"))
        .Then<QFileDialog>(Cancel, IsSaveDialog)
        .Then<QFileDialog>(Choose(file), IsOpenDialog);

    Form().Open1Click();

    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(Project().ProjectName, "Other");
    ASSERT_EQ(Project().CopyLinks.size(), 1u);
    EXPECT_EQ(Project().CopyLinks[0]->SourcePath, Path("stored.mp3"));
    EXPECT_EQ(QDir(dir_.path()).entryList({QStringLiteral("*.scp")}),
              QStringList{QStringLiteral("other.scp")});
}

TEST_F(ProjectCommandsTest, OpenCancelledChangesNothing) {
    Start();
    Project().ProjectName = "Mine";
    State().RecordSavedState();
    ModalScript script;
    script.Then<QFileDialog>(Cancel, IsOpenDialog);
    Form().Open1Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(Project().ProjectName, "Mine");
}

TEST_F(ProjectCommandsTest, TheOpenDialogTakesOnlyAnExistingFile) {
    Start();
    Modify();
    State().ProjectFileName = Path("mine.scp");
    ModalScript script; // the typo is refused by the dialog's own box, which stays open
    script.Box(QStringLiteral("&Non"))
        .Then<QFileDialog>(Type(Path("typed.scp")), IsOpenDialog)
        .Box(QStringLiteral("OK"))
        .Then<QFileDialog>(Cancel, IsOpenDialog);

    Parts().Open1->trigger();

    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(State().ProjectFileName, Path("mine.scp"));
    EXPECT_EQ(Project().CopyLinks.size(), 1u);
}

TEST_F(ProjectCommandsTest, SaveAsAddsTheExtensionAndSaveReusesTheFile) {
    Start();
    Project().ProjectName = "First";
    ModalScript saveAs;
    saveAs.Then<QFileDialog>(Choose(Path("named")), IsSaveDialog);
    Form().SaveAs1Click();
    EXPECT_TRUE(saveAs.Finished());
    const std::string file = Path("named.scp");
    EXPECT_EQ(State().ProjectFileName, file);
    ASSERT_TRUE(Exists(file));
    EXPECT_FALSE(State().IsModified());

    // The second save writes to the same file without a dialog.
    Project().ProjectName = "Second";
    {
        ModalScript none(1000);
        Form().Save1Click();
        EXPECT_TRUE(none.Unexpected.isEmpty());
    }
    EXPECT_NE(ReadBytes(file).find("Second"), std::string::npos);
    EXPECT_FALSE(State().IsModified());
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : New Project")); // saving leaves the title
}

TEST_F(ProjectCommandsTest, SaveFallsBackToSaveAsWhenTheFileWasDeleted) {
    Start();
    const std::string gone = WriteFile("gone.scp", "");
    State().ProjectFileName = gone;
    QFile::remove(QString::fromStdString(gone));
    const std::string replacement = Path("again.scp");
    ModalScript script;
    script.Then<QFileDialog>(Choose(replacement), IsSaveDialog);

    Form().Save1Click();

    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(State().ProjectFileName, replacement);
    EXPECT_TRUE(Exists(replacement));
    EXPECT_FALSE(Exists(gone));
}

TEST_F(ProjectCommandsTest, SaveAndTheYesAnswerRefuseAReadOnlyFile) {
    struct Case {
        const char* what;
        std::function<void(TForm1&)> fire;
        bool asked; // whether the save question comes first
    };
    const Case cases[] = {
        {"Save", [](TForm1& form) { PartsOf(form).Save1->trigger(); }, false},
        {"Yes to the question of New Project", [](TForm1& form) { PartsOf(form).New2->trigger(); },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start();
        const std::string path = WriteFile("locked.scp", "the old file\r\n");
        State().ProjectFileName = path;
        Modify();
        // The user's own read-only file, in a folder the user may write: the super-user
        // writes anything, so the save runs as an ordinary user.
        const bool asRoot = ::geteuid() == 0;
        if (asRoot) {
            ::chmod(dir_.path().toLocal8Bit().constData(), 0777);
            ::chown(path.c_str(), 65534, 65534);
        }
        ::chmod(path.c_str(), 0444);
        ModalScript script;
        if (c.asked)
            script.Box(QStringLiteral("&Oui"));
        script.Box(QStringLiteral("OK"));
        if (c.asked)
            script.Then<TForm3>([](TForm3* properties) { properties->reject(); });
        if (!stavio::test::AsOrdinaryUser([&] { c.fire(Form()); }))
            GTEST_SKIP() << "cannot act as an ordinary user";
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(script.Texts().size(), c.asked ? 2 : 1);
        EXPECT_TRUE(script.Texts().back().startsWith(QString::fromUtf8("Accès refusé")));
        EXPECT_EQ(ReadBytes(path), "the old file\r\n");
        EXPECT_TRUE(State().IsModified());
        ::chmod(path.c_str(), 0644);
        TearDown();
        app_.reset();
        QFile::remove(QString::fromStdString(SettingsPath())); // names the locked file
    }
}

TEST_F(ProjectCommandsTest, SaveAsAsksBeforeReplacingAnExistingFile) {
    Start();
    const std::tuple<const char*, const char*, stavio::Language> cases[] = {
        {"no.scp", "&Non", stavio::Language::French}, // the answer; none for a new file
        {"yes.scp", "&Oui", stavio::Language::German},
        {"new.scp", "", stavio::Language::English},
    };
    for (const auto& [file, answer, language] : cases) {
        SCOPED_TRACE(file);
        const std::string path = *answer ? WriteFile(file, "old") : Path(file);
        const bool replaced = QLatin1String(answer) != QLatin1String("&Non");
        State().CurrentLanguage = language;
        ModalScript script;
        script.Then<QFileDialog>(Type(path), IsSaveDialog);
        if (*answer)
            script.Box(QLatin1String(answer));
        if (!replaced)
            script.Then<QFileDialog>(Cancel, IsSaveDialog); // still open after No
        Parts().SaveAs1->trigger();
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(script.Texts().join(QString()),
                  *answer
                      ? QString::fromStdString(stavio::TextUtf8(stavio::DialogTexts, language, 0))
                            .arg(QLatin1String(file))
                      : QString());
        EXPECT_EQ(ReadBytes(path) != "old" && State().ProjectFileName == path, replaced);
    }
}

TEST_F(ProjectCommandsTest, SaveAsCancelledKeepsTheFileName) {
    Start();
    State().ProjectFileName = Path("before.scp");
    ModalScript script;
    script.Then<QFileDialog>(Cancel, IsSaveDialog);
    Form().SaveAs1Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(State().ProjectFileName, Path("before.scp"));
    EXPECT_FALSE(Exists(Path("before.scp")));
}

TEST_F(ProjectCommandsTest, ExitWithAModifiedProjectAsksOnceAndCloses) {
    Start();
    Modify();
    ModalScript script;
    script.Box(QStringLiteral("&Non"));
    Form().Exit1Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_FALSE(Form().isVisible());
}

TEST_F(ProjectCommandsTest, ExitAnsweringYesWithSaveAsCancelledStillCloses) {
    Start();
    Modify();
    ModalScript script;
    script.Box(QStringLiteral("&Oui")).Then<QFileDialog>(Cancel, IsSaveDialog);
    Form().Exit1Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_FALSE(Form().isVisible());
}

TEST_F(ProjectCommandsTest, ExitAnsweringYesSavesToTheExistingFile) {
    Start();
    const std::string file = Path("exit.scp");
    State().ProjectFileName = file;
    RunProgressJob(App(), 3);
    Project().ProjectName = "Changed";
    ModalScript script;
    script.Box(QStringLiteral("&Oui"));
    Form().Exit1Click();
    EXPECT_TRUE(script.Finished());
    EXPECT_NE(ReadBytes(file).find("Changed"), std::string::npos);
}

} // namespace
