// SPDX-License-Identifier: GPL-3.0-or-later
// The five interface languages of the main window.

#include "Main.h"

#include "ListTreeView.h"
#include "QtBoundary.h"
#include "StavioApp.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "text.h"

#include <QAbstractItemView>
#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QTreeView>

using stavio::Language;

Language TForm1::SystemDefaultLanguage() {
    switch (QLocale::system().language()) {
    case QLocale::German:
        return Language::German;
    case QLocale::Spanish:
        return Language::Spanish;
    case QLocale::French:
        return Language::French;
    case QLocale::Italian:
        return Language::Italian;
    default:
        return Language::English;
    }
}

namespace {

QLocale::Language QtLanguageOf(Language language) {
    switch (language) {
    case Language::French:
        return QLocale::French;
    case Language::Spanish:
        return QLocale::Spanish;
    case Language::German:
        return QLocale::German;
    case Language::Italian:
        return QLocale::Italian;
    case Language::English:
        break;
    }
    return QLocale::English;
}

} // namespace

QAction* TForm1::LanguageAction(Language language) const {
    switch (language) {
    case Language::French:
        return French1;
    case Language::Spanish:
        return Espaol1;
    case Language::German:
        return Deutsch1;
    case Language::Italian:
        return Italian1;
    case Language::English:
        break;
    }
    return English1;
}

void TForm1::ApplyLanguage() {
    const Language language = State.CurrentLanguage;
    auto text = [language](const stavio::TextTable& table, int k) {
        return QString::fromStdString(stavio::TextUtf8(table, language, k));
    };

    File1->setTitle(text(stavio::FileMenuTexts, 0));
    const QList<QAction*> fileItems{New2, Property1, Open1, Save1, SaveAs1, Exit1, RenderScript1};
    for (int k = 0; k < fileItems.size(); ++k)
        fileItems[k]->setText(text(stavio::FileMenuTexts, k + 1));

    Edit1->setTitle(text(stavio::EditMenuTexts, 0));
    Undo1->setText(text(stavio::EditMenuTexts, 1));
    Redo1->setText(text(stavio::EditMenuTexts, 2));

    Options1->setTitle(text(stavio::OptionsMenuTexts, 0));
    ConversionSettings1->setText(text(stavio::ConversionDialogTexts, 0));
    OtherAudioFormats1->setText(text(stavio::AudioFormatTexts, 0));

    Language1->setTitle(text(stavio::LanguageMenuTexts, 0));
    const QList<QAction*> languageItems{English1, French1, Espaol1, Deutsch1, Italian1};
    for (int k = 0; k < languageItems.size(); ++k)
        languageItems[k]->setText(text(stavio::LanguageMenuTexts, k + 1));

    Help1->setTitle(text(stavio::HelpMenuTexts, 0));
    About1->setText(text(stavio::HelpMenuTexts, 1));
    Web1->setTitle(text(stavio::HelpMenuTexts, 2));
    HomePage1->setText(text(stavio::HelpMenuTexts, 3));
    SendEmailToSupport1->setText(text(stavio::HelpMenuTexts, 4));

    const std::pair<QToolButton*, int> hints[] = {
        {SpeedButton10, 0},  {SpeedButton8, 1},   {SpeedButton9, 2},   {SpeedButton1, 3},
        {SpeedButton6, 4},   {SpeedButton7, 5},   {SpeedButton4, 8},   {SpeedButton11, 6},
        {SpeedButton12, 7},  {SpeedButton5, 8},   {SpeedButton13, 9},  {SpeedButton14, 10},
        {SpeedButton19, 11}, {SpeedButton15, 12}, {SpeedButton20, 13},
    };
    // The buttons show only icons: a screen reader announces them by their hint.
    for (const auto& [button, k] : hints) {
        button->setToolTip(text(stavio::HintTexts, k));
        button->setAccessibleName(text(stavio::HintTexts, k));
    }

    for (QAction* action : {AddFolderToCopyList1, AddFilesToCopyList1})
        action->setText(text(stavio::ListCommandTexts, 0));
    for (QAction* action : {AddFolderToDeleteList1, AddFilesToDeleteList1})
        action->setText(text(stavio::ListCommandTexts, 1));
    NewCopyFolder1->setText(text(stavio::HintTexts, 11));
    NewDeleteFolder1->setText(text(stavio::HintTexts, 13));
    ShowHiddenFolders1->setText(text(stavio::ExplorerOptionTexts, 0));

    ExplorerHeader->setText(text(stavio::PaneTexts, 0));
    CopyListHeader->setText(text(stavio::PaneTexts, 1));
    DeleteListHeader->setText(text(stavio::PaneTexts, 2));
    PlayerImageHeader->setText(text(stavio::PaneTexts, 3));
    TreeView1->setAccessibleName(CopyListHeader->text());
    TreeView2->setAccessibleName(DeleteListHeader->text());
    TreeView3->setAccessibleName(PlayerImageHeader->text());
    LsDirTree211->setAccessibleName(text(stavio::DialogTexts, 2));
    for (QAbstractItemView* view : LsFilelistView281->findChildren<QAbstractItemView*>())
        view->setAccessibleName(text(stavio::DialogTexts, 3));

    // Qt's own texts, in the file dialogs and the edit menus, speak the same language; the
    // message boxes keep their French titles and buttons. Deleting a translator uninstalls it.
    delete QtTranslator;
    QtTranslator = InstallQtTranslations(QLocale(QtLanguageOf(language)), this);

    LsDirTree211->SetLanguage(ExplorerLanguageOf(language));
    LsFilelistView281->SetLanguage(ExplorerLanguageOf(language));
    QStringList tagCaptions;
    for (int k = 0; k < stavio::TagColumnTexts.groupSize; ++k)
        tagCaptions.append(text(stavio::TagColumnTexts, k));
    LsFilelistView281->SetTagCaptions(tagCaptions);
    LsDirTree211->OpenPath(LastExplorerDirectory);
    LsFilelistView281->Refresh();
    StatusTimer->start(); // the figures in the new language
}

namespace {

void ChooseLanguage(TForm1& form, Language language) {
    form.LanguageAction(language)->setChecked(true);
    form.State.CurrentLanguage = language;
    form.ApplyLanguage();
}

} // namespace

void TForm1::English1Click() {
    ChooseLanguage(*this, Language::English);
}
void TForm1::French1Click() {
    ChooseLanguage(*this, Language::French);
}
void TForm1::Espaol1Click() {
    ChooseLanguage(*this, Language::Spanish);
}
void TForm1::Deutsch1Click() {
    ChooseLanguage(*this, Language::German);
}
void TForm1::Italian1Click() {
    ChooseLanguage(*this, Language::Italian);
}
