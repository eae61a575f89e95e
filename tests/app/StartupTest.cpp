// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up with and without a remembered project, and the settings file written at close.

#include "TLsDirTree21.h"
#include "WorkflowFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTranslator>

#include <memory>

namespace {

using StartupTest = WorkflowTest;

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

TEST_F(StartupTest, TheRememberedProjectComesBackByItself) {
    const std::string file = WriteProjectFile("last.scp", "Remembered");
    WriteSettingsFile(file);
    ModalScript script(3000);
    Start();
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : Remembered"));
    EXPECT_EQ(State().ProjectFileName, file);
    EXPECT_EQ(Project().CopyLinks.size(), 1u);
    EXPECT_FALSE(State().IsModified());
    EXPECT_EQ(App().ProgressDialog().windowTitle(),
              QStringLiteral("Open Project... : ") + QString::fromStdString(file));

    // Coming back from a dialog does not load it again.
    Project().ProjectName = "Changed here";
    RunProgressJob(App(), 0);
    Form().activateWindow();
    QTest::qWait(50);
    EXPECT_EQ(Project().ProjectName, "Changed here");
}

TEST_F(StartupTest, AProjectNamedOnTheCommandLineOpensInsteadOfTheLastOne) {
    WriteSettingsFile(WriteProjectFile("last.scp", "Remembered"));
    const std::string named = WriteProjectFile("named.scp", "Named");
    const std::pair<std::string, const char*> cases[] = {
        {named, "Named"}, {Path("typo.scp"), "Remembered"}, // reported, and nothing else changes
    };
    for (const auto& [file, shown] : cases) {
        SCOPED_TRACE(file);
        ModalScript script;
        script.Box(QStringLiteral("OK"));
        app_ = std::make_unique<StavioApp>(ExecutablePath(), file);
        Form().show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !Parts().FirstActivation; }, 5000));
        EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : ") + QLatin1String(shown));
        EXPECT_EQ(script.Texts().join(QString()).contains(QStringLiteral("Fichier introuvable")),
                  file != named);
        EXPECT_FALSE(State().IsModified());
        app_.reset();
    }
}

TEST_F(StartupTest, ADeletedProjectIsIgnoredSilently) {
    WriteSettingsFile(Path("deleted.scp"));
    ModalScript script(3000);
    Start();
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : New Project"));
    EXPECT_FALSE(State().IsModified());
    EXPECT_EQ(App().ProgressDialog().windowTitle(), QStringLiteral("Progress")); // never shown
}

TEST_F(StartupTest, WithoutASettingsFileOneIsWrittenAndNothingIsLoaded) {
    ASSERT_FALSE(Exists(SettingsPath()));
    Start();
    EXPECT_TRUE(Exists(SettingsPath()));
    const std::vector<std::string> lines = Lines(ReadBytes(SettingsPath()));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[6], QFile::encodeName(QDir::homePath()).toStdString()); // no Music there
    EXPECT_EQ(Title(), QStringLiteral("KELVO Stavio : New Project"));
    EXPECT_TRUE(State().ProjectFileName.empty());
}

TEST_F(StartupTest, WithNoRememberedFolderTheExplorerOpensOnTheMusicElseTheHomeFolder) {
    const QString home = QDir::homePath(), music = home + QStringLiteral("/Music");
    for (const QString& expected : {home, music}) {
        SCOPED_TRACE(expected.toStdString());
        if (expected == music)
            QDir().mkpath(music);
        QFile::remove(QString::fromStdString(SettingsPath()));
        Start();
        EXPECT_EQ(Parts().LsDirTree211->SelectedPath(), expected);
        TearDown();
    }
    QDir(music).removeRecursively();
}

TEST_F(StartupTest, CloseWritesTheProjectSavedUnderANewName) {
    WriteSettingsFile("", stavio::Language::Italian);
    Start();
    const std::string file = Path("new name.scp");
    State().ProjectFileName = file;
    RunProgressJob(App(), 3);
    Form().close();
    const std::vector<std::string> lines = Lines(ReadBytes(SettingsPath()));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[2], "Italian");
    EXPECT_EQ(lines[4], file);
}

TEST_F(StartupTest, AfterNewProjectTheClosedProgramRemembersNoProject) {
    const std::string file = WriteProjectFile("last.scp", "Remembered");
    WriteSettingsFile(file);
    Start();
    RunProgressJob(App(), 2); // what New Project runs
    Form().close();
    EXPECT_EQ(Lines(ReadBytes(SettingsPath())).at(4), "");
}

TEST_F(StartupTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheProgramEnds) {
    Start();
    // A folder with content in the settings file's place: neither root nor anyone else can
    // replace it with a file.
    QFile::remove(QString::fromStdString(SettingsPath()));
    QDir().mkpath(QString::fromStdString(SettingsPath() + "/inside"));
    ModalScript script;
    script.Box(QStringLiteral("OK"));
    Form().close();
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(Form().isVisible());
    ASSERT_EQ(script.Texts().size(), 1);
    EXPECT_FALSE(script.Texts()[0].isEmpty());
}

TEST_F(StartupTest, AProgramThatCannotWriteBesideItselfKeepsItsSettingsInTheConfigFolder) {
    // No folder to write in beside the executable (main.cpp sets a private XDG_CONFIG_HOME).
    const QString configFile =
        qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/stavio/stavio.CFG");
    QFile::remove(configFile);
    ModalScript script(3000);
    app_ = std::make_unique<StavioApp>(Path("not-here/stavio"));
    Form().show();
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Parts().FirstActivation; }, 5000));
    EXPECT_TRUE(script.Unexpected.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(configFile));

    Parts().Italian1->trigger();
    Form().close();
    const std::string bytes = ReadBytes(QFile::encodeName(configFile).toStdString());
    QFile::remove(configFile);
    const std::vector<std::string> lines = Lines(bytes);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[2], "Italian");
    EXPECT_FALSE(Exists(Path("not-here")));
}

TEST(QtTranslationsTest, QtsOwnTextsFollowTheDesktopsLanguage) {
    struct Case {
        QLocale::Language language;
        const char* selectAll; // the edit menu's Select All, as Qt's translators wrote it
    };
    const Case cases[] = {
        {QLocale::French, "Tout sélectionner"},
        {QLocale::German, "Alles auswählen"},
        {QLocale::Spanish, "Seleccionar todo"},
        {QLocale::Italian, "Seleziona tutto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QLocale::languageToString(c.language).toStdString());
        QTranslator* translator = InstallQtTranslations(QLocale(c.language));
        ASSERT_NE(translator, nullptr);
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        const QList<QAction*> items = menu->actions();
        ASSERT_FALSE(items.isEmpty());
        QAction* selectAll = items.last(); // the menu ends with Select All
        EXPECT_EQ(selectAll->text().section(QLatin1Char('\t'), 0, 0).toStdString(), c.selectAll);
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace
