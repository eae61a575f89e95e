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
    Form().Deutsch1->trigger();
    EXPECT_EQ(State().CurrentLanguage, stavio::Language::German);
    EXPECT_TRUE(Form().Deutsch1->isChecked());
    EXPECT_FALSE(Form().English1->isChecked());
    EXPECT_EQ(Form().File1->title(), QStringLiteral("&Datei"));
    EXPECT_EQ(Form().Options1->title(), QString::fromUtf8("Möglichkeiten"));
    EXPECT_EQ(Form().Help1->title(), QStringLiteral("&Hilfe"));
    EXPECT_EQ(Form().Open1->text(), QString::fromUtf8("&Öffnen"));
    EXPECT_EQ(Form().About1->text(), QString::fromUtf8("&Über..."));
    EXPECT_EQ(Form().HomePage1->text(), QStringLiteral("KELVO &Home Page"));
    EXPECT_EQ(Form().SpeedButton10->toolTip(), QStringLiteral("Neues Projekt"));
    EXPECT_EQ(Form().SpeedButton6->toolTip(),
              QStringLiteral("Copy selected directory to Copy List"));
    EXPECT_EQ(Form().ExplorerHeader->text(), QStringLiteral("Explorer"));
    EXPECT_EQ(Form().LsDirTree211->Language(), ExplorerLanguage::lnGerman);
    EXPECT_EQ(Form().LsFilelistView281->Language(), ExplorerLanguage::lnGerman);
}

TEST_F(LanguageTest, ItalianFileCaptionsHaveNoAccelerators) {
    Start();
    Form().Italian1->trigger();
    EXPECT_EQ(Form().File1->title(), QStringLiteral("File"));
    const QStringList expected{QStringLiteral("Nuovo Progetto"),
                               QString::fromUtf8("Proprietà del Progetto..."),
                               QStringLiteral("Apri"),
                               QStringLiteral("Salva"),
                               QStringLiteral("Salva con nome..."),
                               QStringLiteral("Esci"),
                               QStringLiteral("Creare lo Script")};
    const QList<QAction*> items{Form().New2,    Form().Property1, Form().Open1,        Form().Save1,
                                Form().SaveAs1, Form().Exit1,     Form().RenderScript1};
    for (int i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i]->text(), expected[i]);
    EXPECT_EQ(Form().CopyListHeader->text(), QStringLiteral("Lista da Caricare"));
    EXPECT_EQ(Form().PlayerImageHeader->text(), QStringLiteral("Player Image"));
}

TEST_F(LanguageTest, FrenchHintsAndHeadersAndTheUnchangedParts) {
    Start();
    Form().French1->trigger();
    EXPECT_EQ(Form().SpeedButton4->toolTip(), QString::fromUtf8("Rafraîchir l'explorateur"));
    EXPECT_EQ(Form().SpeedButton5->toolTip(), Form().SpeedButton4->toolTip());
    EXPECT_EQ(Form().SpeedButton20->toolTip(),
              QString::fromUtf8("Créer un nouveau répertoire dans la liste de Suppression"));
    EXPECT_EQ(Form().DeleteListHeader->text(), QStringLiteral("Liste de Suppression"));
    EXPECT_EQ(Form().Language1->title(), QStringLiteral("&Langue"));
    EXPECT_EQ(Form().French1->text(), QString::fromUtf8("&Français")); // the same in every language
    // Not translated: the caption, the hidden View menu and the list roots.
    EXPECT_EQ(Form().windowTitle(), QStringLiteral("KELVO Stavio : New Project"));
    EXPECT_EQ(Form().Explorater1->text(), QStringLiteral("Explorer"));
    EXPECT_EQ(Form().CopyModel->data(Form().CopyModel->index(0, 0)).toString(),
              QStringLiteral("PLAYER"));

    Form().Espaol1->trigger();
    EXPECT_EQ(Form().File1->title(), QStringLiteral("&Archivo"));
    EXPECT_EQ(Form().Help1->title(), QStringLiteral("A&yuda"));
    EXPECT_EQ(Form().LsDirTree211->Language(), ExplorerLanguage::lnSpanish);
    Form().English1->trigger();
    EXPECT_EQ(Form().File1->title(), QStringLiteral("&File"));
    EXPECT_EQ(Form().SpeedButton1->toolTip(), QStringLiteral("Create Script"));
}

TEST_F(LanguageTest, SwitchingKeepsTheExplorerFolderAndRelistsIt) {
    Start();
    Browse(album_);
    MakeFile(album_ + QStringLiteral("/new.mp3"));
    Form().Deutsch1Click();
    EXPECT_EQ(Form().LsDirTree211->SelectedPath(), album_);
    EXPECT_TRUE(Form().LsFilelistView281->ItemCaptions().contains(QStringLiteral("new.mp3")));
    // Choosing the current language applies it again.
    Form().Deutsch1Click();
    EXPECT_EQ(Form().File1->title(), QStringLiteral("&Datei"));
}

TEST_F(LanguageTest, QtsOwnTextsFollowTheChosenLanguage) {
    Start();
    struct Case {
        QAction* TForm1::*item;
        const char* selectAll; // the edit menu's last entry, as Qt's translators wrote it
    };
    const Case cases[] = {{&TForm1::French1, "Tout sélectionner"},
                          {&TForm1::Deutsch1, "Alles auswählen"},
                          {&TForm1::English1, "Select All"}};
    for (const Case& c : cases) {
        (Form().*c.item)->trigger();
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        EXPECT_EQ(menu->actions().last()->text().section(QLatin1Char('\t'), 0, 0),
                  QString::fromUtf8(c.selectAll));
    }
}

} // namespace
