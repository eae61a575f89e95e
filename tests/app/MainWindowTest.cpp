// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as it comes up: layout, menus, tool bars, start-up and close.

#include "AppFixture.h"

#include "Settings.h"
#include "TextFile.h"

#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>

#include <fstream>
#include <sstream>

namespace {

using MainWindowTest = AppFixture;

TEST_F(MainWindowTest, ComesUpInEnglishOnANewProjectWithBothRootsSelected) {
    Start();
    EXPECT_EQ(Form().windowTitle(), QStringLiteral("KELVO Stavio : New Project"));
    EXPECT_EQ(Form().size(), QSize(800, 600));
    EXPECT_EQ(Parts().File1->title(), QStringLiteral("&File"));
    EXPECT_EQ(Parts().ExplorerHeader->text(), QStringLiteral("Explorer"));
    EXPECT_EQ(Copy().Selected(), Copy().Root());
    EXPECT_EQ(Delete().Selected(), Delete().Root());
    EXPECT_EQ(Parts().TreeView1->currentIndex(), Parts().CopyModel->index(0, 0));
    EXPECT_FALSE(State().IsModified());
    EXPECT_TRUE(Parts().English1->isChecked());
    // The explorer shows the home folder (the test's home has no music folder).
    EXPECT_EQ(Parts().LsDirTree211->SelectedPath(), QDir::homePath());
    EXPECT_EQ(Parts().LsFilelistView281->Directory(), QDir::homePath());
    EXPECT_EQ(Parts().LastExplorerDirectory, QDir::homePath());
    EXPECT_EQ(Parts().FileListViewStyle, 2);
}

TEST_F(MainWindowTest, MenusShortcutsAndHiddenParts) {
    Start();
    EXPECT_EQ(Parts().New2->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(Parts().Property1->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    EXPECT_EQ(Parts().SaveAs1->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+S")));
    EXPECT_EQ(Parts().RenderScript1->shortcut(), QKeySequence(QStringLiteral("F9")));
    EXPECT_EQ(Parts().Exit1->shortcut(), QKeySequence(QStringLiteral("Alt+F4")));
    EXPECT_EQ(Parts().About1->shortcut(), QKeySequence(QStringLiteral("F1")));
    EXPECT_FALSE(Parts().New2->icon().isNull());
    EXPECT_FALSE(Parts().RenderScript1->icon().isNull());

    // The View menu never shows; its items only toggle their own check marks.
    EXPECT_FALSE(Parts().View1->menuAction()->isVisible());
    Form().CopyList1Click();
    Form().Explorater1Click();
    EXPECT_TRUE(Parts().CopyList1->isChecked());
    EXPECT_TRUE(Parts().Explorater1->isChecked());
    Form().CopyList1Click();
    EXPECT_FALSE(Parts().CopyList1->isChecked());
    EXPECT_TRUE(Parts().Explorater1->isChecked());

    EXPECT_FALSE(Parts().PlayerImagePane->isVisible());
    EXPECT_TRUE(Parts().TreeView1->isVisible());
    EXPECT_FALSE(Parts().TreeView3->isVisible());

    const QStringList visibleMenus{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                   QStringLiteral("&Options"), QStringLiteral("&Help")};
    QStringList shown;
    for (QAction* a : Form().menuBar()->actions())
        if (a->isVisible())
            shown << a->text();
    EXPECT_EQ(shown, visibleMenus);
}

TEST_F(MainWindowTest, ToolButtonSizesSplittersAndStatusBar) {
    Start();
    for (QToolButton* b :
         {Parts().SpeedButton10, Parts().SpeedButton8, Parts().SpeedButton9, Parts().SpeedButton1})
        EXPECT_EQ(b->size(), QSize(40, 34)) << b->objectName().toStdString();
    for (QToolButton* b :
         {Parts().SpeedButton6, Parts().SpeedButton7, Parts().SpeedButton4, Parts().SpeedButton11,
          Parts().SpeedButton12, Parts().SpeedButton5, Parts().SpeedButton13, Parts().SpeedButton14,
          Parts().SpeedButton19, Parts().SpeedButton15, Parts().SpeedButton20}) {
        EXPECT_EQ(b->size(), QSize(24, 24)) << b->objectName().toStdString();
        EXPECT_TRUE(b->autoRaise());
        EXPECT_FALSE(b->toolTip().isEmpty());
    }
    for (const char* name : {"ClientSplitter", "ExplorerSplitter", "ListSplitter"}) {
        auto* splitter = Form().findChild<QSplitter*>(QString::fromLatin1(name));
        ASSERT_NE(splitter, nullptr) << name;
        EXPECT_FALSE(splitter->childrenCollapsible());
        EXPECT_EQ(splitter->handleWidth(), 3);
    }
    auto* client = Form().findChild<QSplitter*>(QStringLiteral("ClientSplitter"));
    EXPECT_EQ(client->widget(0)->width(), 260);
    EXPECT_EQ(Parts().LsDirTree211->height(), 214);
    // The status panel spans the bar: it holds the project's figures.
    EXPECT_GT(Form().findChild<QLabel*>(QStringLiteral("StatusPanel"))->width(), 400);
    EXPECT_EQ(Parts().ExplorerHeader->parentWidget()->height(), 24);
    EXPECT_TRUE(Parts().ExplorerHeader->font().bold());
}

TEST_F(MainWindowTest, CloseWritesTheSettingsWithTheLanguage) {
    Start();
    Parts().Italian1->trigger();
    Browse(album_);
    Parts().Exit1->trigger();
    EXPECT_FALSE(Form().isVisible());
    stavio::SettingsValues values;
    stavio::ReadSettings(ExecutablePath(), values);
    EXPECT_EQ(values.language, stavio::Language::Italian);
    EXPECT_EQ(values.lastExplorerDirectory, QFile::encodeName(album_).toStdString());
    EXPECT_EQ(values.projectFileName, "");
}

TEST_F(MainWindowTest, TheSettingsFileGivesLanguageAndFolderAtStart) {
    stavio::SettingsValues values;
    values.language = stavio::Language::German;
    values.lastExplorerDirectory = QFile::encodeName(other_).toStdString();
    values.projectFileName = QFile::encodeName(root_ + QStringLiteral("/gone.scp")).toStdString();
    stavio::WriteSettings(ExecutablePath(), values);
    Start();
    EXPECT_TRUE(Parts().Deutsch1->isChecked());
    EXPECT_EQ(Parts().File1->title(), QStringLiteral("&Datei"));
    EXPECT_EQ(Parts().LsDirTree211->SelectedPath(), other_);
    EXPECT_EQ(Parts().LsFilelistView281->Directory(), other_);
    EXPECT_EQ(Form().windowTitle(), QStringLiteral("KELVO Stavio : New Project"));
    EXPECT_EQ(State().ProjectFileName, values.projectFileName);
}

TEST_F(MainWindowTest, AnUnreadableSettingsFileIsReportedAndTheFirstActivationSkipped) {
    // A folder in the settings file's place can be neither read nor created.
    QDir().mkpath(QString::fromStdString(stavio::SettingsFileName(ExecutablePath())));
    ModalScript script;
    script.Box(QStringLiteral("OK"));
    app_ = std::make_unique<StavioApp>(ExecutablePath());
    ASSERT_TRUE(script.Finished());
    const ModalScript::SeenBox& box = script.Boxes.at(0);
    EXPECT_EQ(box.title, QStringLiteral("Stavio"));
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_FALSE(box.text.isEmpty());
    Form().show();
    QTest::qWait(50);
    EXPECT_FALSE(Parts().FirstActivation);
    // No texts applied, no saved state recorded: the fresh project counts as modified.
    EXPECT_EQ(Parts().ExplorerHeader->text(), QString());
    EXPECT_TRUE(State().IsModified());
}

TEST_F(MainWindowTest, TheSystemLanguageDecidesTheFirstStart) {
    // The tests run in the C locale: English.
    EXPECT_EQ(TForm1::SystemDefaultLanguage(), stavio::Language::English);
    Start();
    EXPECT_NE(ReadBytes(stavio::SettingsFileName(ExecutablePath())).find("\r\nEnglish\r\n"),
              std::string::npos);
}

TEST_F(MainWindowTest, AMissingExplorerFolderIsKeptUntilTheUserChoosesAnother) {
    // An unmounted drive: the remembered folder is not there at start.
    const QString gone = root_ + QStringLiteral("/unmounted/Music");
    stavio::SettingsValues values;
    values.language = stavio::Language::English;
    values.lastExplorerDirectory = QFile::encodeName(gone).toStdString();
    stavio::WriteSettings(ExecutablePath(), values);
    Start();
    QTest::qWait(50);
    EXPECT_EQ(Parts().LastExplorerDirectory, gone);
    Parts().SpeedButton4->click(); // a refresh cannot open it either
    Parts().Deutsch1->trigger();   // nor applying a language
    EXPECT_EQ(Parts().LastExplorerDirectory, gone);
    Parts().Exit1->trigger();
    stavio::ReadSettings(ExecutablePath(), values);
    EXPECT_EQ(values.lastExplorerDirectory, QFile::encodeName(gone).toStdString());

    // Mounted again: the next start opens it; a folder the user selects replaces it.
    QDir().mkpath(gone);
    Start();
    EXPECT_EQ(Parts().LsDirTree211->SelectedPath(), gone);
    Browse(album_);
    EXPECT_EQ(Parts().LastExplorerDirectory, album_);
}

} // namespace
