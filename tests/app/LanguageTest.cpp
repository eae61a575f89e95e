// SPDX-License-Identifier: GPL-3.0-or-later
// Switching among the five languages from the Language submenu.

#include "AppFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <memory>

namespace {

using LanguageTest = AppFixture;

TEST_F(LanguageTest, GermanMenusWithEnglishHints) {
    Start();
    Parts().Deutsch1->trigger();
    EXPECT_EQ(State().CurrentLanguage, stavio::Language::German);
    EXPECT_TRUE(Parts().Deutsch1->isChecked());
    EXPECT_FALSE(Parts().English1->isChecked());
    EXPECT_EQ(Parts().File1->title(), QStringLiteral("&Datei"));
    EXPECT_EQ(Parts().Options1->title(), QString::fromUtf8("Möglichkeiten"));
    EXPECT_EQ(Parts().Help1->title(), QStringLiteral("&Hilfe"));
    EXPECT_EQ(Parts().Open1->text(), QString::fromUtf8("&Öffnen"));
    EXPECT_EQ(Parts().About1->text(), QString::fromUtf8("&Über..."));
    EXPECT_EQ(Parts().HomePage1->text(), QStringLiteral("KELVO &Home Page"));
    EXPECT_EQ(Parts().SpeedButton10->toolTip(), QStringLiteral("Neues Projekt"));
    EXPECT_EQ(Parts().SpeedButton6->toolTip(),
              QStringLiteral("Copy selected directory to Copy List"));
    EXPECT_EQ(Parts().ExplorerHeader->text(), QStringLiteral("Explorer"));
    EXPECT_EQ(Parts().LsDirTree211->Language(), ExplorerLanguage::lnGerman);
    EXPECT_EQ(Parts().LsFilelistView281->Language(), ExplorerLanguage::lnGerman);
}

TEST_F(LanguageTest, ItalianFileCaptionsHaveNoAccelerators) {
    Start();
    Parts().Italian1->trigger();
    EXPECT_EQ(Parts().File1->title(), QStringLiteral("File"));
    const QStringList expected{QStringLiteral("Nuovo Progetto"),
                               QString::fromUtf8("Proprietà del Progetto..."),
                               QStringLiteral("Apri"),
                               QStringLiteral("Salva"),
                               QStringLiteral("Salva con nome..."),
                               QStringLiteral("Esci"),
                               QStringLiteral("Creare lo Script")};
    const QList<QAction*> items{Parts().New2,         Parts().Property1, Parts().Open1,
                                Parts().Save1,        Parts().SaveAs1,   Parts().Exit1,
                                Parts().RenderScript1};
    for (int i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i]->text(), expected[i]);
    EXPECT_EQ(Parts().CopyListHeader->text(), QStringLiteral("Lista da Caricare"));
    EXPECT_EQ(Parts().PlayerImageHeader->text(), QStringLiteral("Player Image"));
}

TEST_F(LanguageTest, FrenchHintsAndHeadersAndTheUnchangedParts) {
    Start();
    Parts().French1->trigger();
    EXPECT_EQ(Parts().SpeedButton4->toolTip(), QString::fromUtf8("Rafraîchir l'explorateur"));
    EXPECT_EQ(Parts().SpeedButton5->toolTip(), Parts().SpeedButton4->toolTip());
    EXPECT_EQ(Parts().SpeedButton20->toolTip(),
              QString::fromUtf8("Créer un nouveau répertoire dans la liste de Suppression"));
    EXPECT_EQ(Parts().DeleteListHeader->text(), QStringLiteral("Liste de Suppression"));
    EXPECT_EQ(Parts().Language1->title(), QStringLiteral("&Langue"));
    EXPECT_EQ(Parts().French1->text(),
              QString::fromUtf8("&Français")); // the same in every language
    // Not translated: the caption, the hidden View menu and the list roots.
    EXPECT_EQ(Form().windowTitle(), QStringLiteral("KELVO Stavio : New Project"));
    EXPECT_EQ(Parts().Explorater1->text(), QStringLiteral("Explorer"));
    EXPECT_EQ(Parts().CopyModel->data(Parts().CopyModel->index(0, 0)).toString(),
              QStringLiteral("PLAYER"));

    Parts().Espaol1->trigger();
    EXPECT_EQ(Parts().File1->title(), QStringLiteral("&Archivo"));
    EXPECT_EQ(Parts().Help1->title(), QStringLiteral("A&yuda"));
    EXPECT_EQ(Parts().LsDirTree211->Language(), ExplorerLanguage::lnSpanish);
    Parts().English1->trigger();
    EXPECT_EQ(Parts().File1->title(), QStringLiteral("&File"));
    EXPECT_EQ(Parts().SpeedButton1->toolTip(), QStringLiteral("Create Script"));
}

TEST_F(LanguageTest, SwitchingKeepsTheExplorerFolderAndRelistsIt) {
    Start();
    Browse(album_);
    MakeFile(album_ + QStringLiteral("/new.mp3"));
    Form().Deutsch1Click();
    EXPECT_EQ(Parts().LsDirTree211->SelectedPath(), album_);
    EXPECT_TRUE(Parts().LsFilelistView281->ItemCaptions().contains(QStringLiteral("new.mp3")));
    // Choosing the current language applies it again.
    Form().Deutsch1Click();
    EXPECT_EQ(Parts().File1->title(), QStringLiteral("&Datei"));
}

TEST_F(LanguageTest, QtsOwnTextsFollowTheChosenLanguage) {
    Start();
    struct Case {
        QAction* MainWindowParts::*item;
        const char* selectAll; // the edit menu's last entry, as Qt's translators wrote it
    };
    const Case cases[] = {{&MainWindowParts::French1, "Tout sélectionner"},
                          {&MainWindowParts::Deutsch1, "Alles auswählen"},
                          {&MainWindowParts::English1, "Select All"}};
    for (const Case& c : cases) {
        (Parts().*c.item)->trigger();
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        EXPECT_EQ(menu->actions().last()->text().section(QLatin1Char('\t'), 0, 0),
                  QString::fromUtf8(c.selectAll));
    }
}

} // namespace
