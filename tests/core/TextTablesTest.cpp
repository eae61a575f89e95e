// SPDX-License-Identifier: GPL-3.0-or-later
#include "text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace stavio {
namespace {

constexpr Language AllLanguages[] = {Language::French, Language::English, Language::Spanish,
                                     Language::German, Language::Italian};

std::string T(const TextTable& table, Language language, int k) {
    return Text(table, language, k);
}

const std::vector<std::pair<const TextTable*, int>>& InterfaceTables() {
    static const std::vector<std::pair<const TextTable*, int>> tables = {
        {&AboutTexts, 4},        {&HintTexts, 14},     {&PropertyTexts, 11},
        {&RenderDialogTexts, 3}, {&FileMenuTexts, 8},  {&OptionsMenuTexts, 1},
        {&LanguageMenuTexts, 6}, {&HelpMenuTexts, 5},  {&MessageTexts, 6},
        {&FolderDialogTexts, 3}, {&InfoTitleTexts, 1}, {&InfoTexts, 2},
        {&ProgressTexts, 5},     {&PaneTexts, 4},
    };
    return tables;
}

TEST(TextTables, GroupSizesAddUpToSeventyThreeTextsPerLanguage) {
    int total = 0;
    for (const auto& [table, size] : InterfaceTables()) {
        EXPECT_EQ(table->groupSize, size);
        total += table->groupSize;
    }
    EXPECT_EQ(total, 73);
    EXPECT_EQ(RenderReportTexts.groupSize, 1);
    EXPECT_EQ(RenderStatusTexts.groupSize, 9);
}

TEST(TextTables, EveryTextIsSingleByteWindows1252) {
    // A UTF-8 sequence slipped into the tables would show as two odd characters.
    auto tables = InterfaceTables();
    tables.emplace_back(&RenderReportTexts, 1);
    tables.emplace_back(&LoadReportTexts, 1);
    tables.emplace_back(&TagColumnTexts, 5);
    tables.emplace_back(&ListToolTipTexts, 3);
    tables.emplace_back(&RenderStatusTexts, 9);
    tables.emplace_back(&TagReportTexts, 1);
    tables.emplace_back(&ConversionTexts, 5);
    for (const auto& [table, size] : tables)
        for (Language language : AllLanguages)
            for (int k = 0; k < size; ++k) {
                const char* text = Text(*table, language, k);
                ASSERT_NE(text, nullptr);
                for (const char* p = text; *p; ++p) {
                    const auto byte = static_cast<unsigned char>(*p);
                    EXPECT_TRUE(byte >= 0x20 && byte != 0x7F) << text;
                    EXPECT_TRUE(byte != 0xC3 && byte != 0xC2) << text;
                }
            }
}

TEST(TextTables, EntriesAreTakenFromTheBlockOfTheLanguage) {
    EXPECT_EQ(T(FileMenuTexts, Language::French, 0), "&Fichier");
    EXPECT_EQ(T(FileMenuTexts, Language::English, 0), "&File");
    EXPECT_EQ(T(FileMenuTexts, Language::Spanish, 0), "&Archivo");
    EXPECT_EQ(T(FileMenuTexts, Language::German, 0), "&Datei");
    EXPECT_EQ(T(FileMenuTexts, Language::Italian, 0), "File");
    EXPECT_EQ(T(FileMenuTexts, Language::Italian, 7), "Creare lo Script");
    EXPECT_EQ(T(FileMenuTexts, Language::English, 6), "E&xit");
    EXPECT_EQ(T(FileMenuTexts, Language::German, 2), "P&rojekteingeschaften...");
    EXPECT_EQ(T(FileMenuTexts, Language::German, 3), "&\xD6"
                                                     "ffnen");
    EXPECT_EQ(T(FileMenuTexts, Language::French, 2), "&Propri\xE9t\xE9s du Projet...");
}

TEST(TextTables, AccentedTextsAreWindows1252Bytes) {
    EXPECT_EQ(T(AboutTexts, Language::German, 0), "\xDC"
                                                  "ber dem KELVO \"Stavio\"");
    EXPECT_EQ(T(AboutTexts, Language::Spanish, 2), "Versi\xF3n 1.0");
    EXPECT_EQ(T(HintTexts, Language::French, 8), "Rafra\xEE"
                                                 "chir l'explorateur");
    EXPECT_EQ(T(HintTexts, Language::German, 1), "\xD6"
                                                 "ffnen Projekt");
    EXPECT_EQ(T(PropertyTexts, Language::Italian, 0), "Propriet\xE0 del Progetto:");
    EXPECT_EQ(T(RenderDialogTexts, Language::French, 1), "Cr\xE9"
                                                         "er...");
    EXPECT_EQ(T(OptionsMenuTexts, Language::German, 0), "M\xF6glichkeiten");
    EXPECT_EQ(T(LanguageMenuTexts, Language::Italian, 2), "&Fran\xE7"
                                                          "ais");
    EXPECT_EQ(T(LanguageMenuTexts, Language::French, 3), "E&spa\xF1ol");
    EXPECT_EQ(T(HelpMenuTexts, Language::German, 1), "&\xDC"
                                                     "ber...");
    EXPECT_EQ(T(HelpMenuTexts, Language::Spanish, 3), "P\xE1gina principal KELVO");
    EXPECT_EQ(T(MessageTexts, Language::Italian, 2),
              "Impossibile creare il File dello Script:il Progetto \xE8 vuoto!");
    EXPECT_EQ(T(FolderDialogTexts, Language::French, 1),
              "Saisissez le nom du nouveau r\xE9pertoire que vous d\xE9sirez ajouter \xE0 votre "
              "liste.");
    EXPECT_EQ(T(ProgressTexts, Language::French, 3), "Cr\xE9"
                                                     "ation du fichier Script : 'SCRIPT.TXT'...");
    EXPECT_EQ(T(InfoTexts, Language::Italian, 1),
              "La stringa di caratteri che hai editato sar\xE0 automaticamente convertita nel "
              "formato breve 8.3 (massimo 8 caratteri, maiuscolo, senza caratteri speciali).");
}

TEST(TextTables, SpacesAndQuotesBelongToTheTexts) {
    EXPECT_EQ(T(PropertyTexts, Language::French, 1), " Nom du Projet :");
    EXPECT_EQ(T(PropertyTexts, Language::French, 6), " Date de cr\xE9"
                                                     "ation :");
    EXPECT_EQ(T(PropertyTexts, Language::German, 7), " Austrahlungsdatum :");
    EXPECT_EQ(T(PropertyTexts, Language::Italian, 8), " Commenti:");
    EXPECT_EQ(T(FolderDialogTexts, Language::French, 2), "Nom : ");
    EXPECT_EQ(T(FolderDialogTexts, Language::Italian, 2), "Nome: ");
    EXPECT_EQ(T(ProgressTexts, Language::Italian, 3),
              "Generare il File di Script: \"SCRIPT:TXT\"...");
    EXPECT_NE(T(InfoTexts, Language::French, 1).find("max,  majuscules"), std::string::npos);
    EXPECT_EQ(T(AboutTexts, Language::Italian, 0),
              "Informazioni sul Software \"Stavio\" della KELVO");
}

TEST(TextTables, CellsWithoutTheirOwnTranslationHoldTheEnglishText) {
    EXPECT_EQ(T(AboutTexts, Language::French, 1), "KELVO \"Stavio\"");
    EXPECT_EQ(T(PropertyTexts, Language::French, 4), " Copyright :");
    EXPECT_EQ(T(PropertyTexts, Language::French, 9), "Ok");
    EXPECT_EQ(T(PropertyTexts, Language::German, 9), "OK");
    EXPECT_EQ(T(OptionsMenuTexts, Language::French, 0), "&Options");
    EXPECT_EQ(T(HelpMenuTexts, Language::German, 3), "KELVO &Home Page");
    EXPECT_EQ(T(PaneTexts, Language::Italian, 3), "Player Image");
    EXPECT_EQ(T(InfoTitleTexts, Language::Italian, 0), "Information");
    for (Language language : {Language::Spanish, Language::German}) {
        for (int k = 3; k < 14; ++k)
            EXPECT_EQ(T(HintTexts, language, k), T(HintTexts, Language::English, k)) << k;
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(T(MessageTexts, language, k), T(MessageTexts, Language::English, k)) << k;
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(T(ProgressTexts, language, k), T(ProgressTexts, Language::English, k));
    }
    for (Language language : AllLanguages) {
        EXPECT_EQ(T(LanguageMenuTexts, language, 1), "&English");
        EXPECT_EQ(T(LanguageMenuTexts, language, 4), "&Deutsch");
        EXPECT_EQ(T(AboutTexts, language, 3), "stavio.example");
    }
}

TEST(TextTables, CopyFailureReportIntroductions) {
    EXPECT_EQ(T(RenderReportTexts, Language::French, 0),
              "Impossible de copier certains fichiers MP3 :");
    EXPECT_EQ(T(RenderReportTexts, Language::English, 0), "Some MP3 files could not be copied:");
    EXPECT_EQ(T(RenderReportTexts, Language::Spanish, 0),
              "No se pudieron copiar algunos archivos MP3:");
    EXPECT_EQ(T(RenderReportTexts, Language::German, 0),
              "Einige MP3-Dateien konnten nicht kopiert werden:");
    EXPECT_EQ(T(RenderReportTexts, Language::Italian, 0), "Impossibile copiare alcuni file MP3:");
}

TEST(TextTables, LoadReportIntroductions) {
    EXPECT_EQ(LoadReportTexts.groupSize, 1);
    EXPECT_EQ(TextUtf8(LoadReportTexts, Language::French, 0),
              "Entrées ignorées (fichier source introuvable et nom enregistré inutilisable) :");
    EXPECT_EQ(TextUtf8(LoadReportTexts, Language::English, 0),
              "Entries left out (source file missing and stored name unusable):");
    EXPECT_EQ(TextUtf8(LoadReportTexts, Language::Spanish, 0),
              "Entradas omitidas (archivo de origen no encontrado y nombre guardado no válido):");
    EXPECT_EQ(TextUtf8(LoadReportTexts, Language::German, 0),
              "Ausgelassene Einträge (Quelldatei fehlt und gespeicherter Name unbrauchbar):");
    EXPECT_EQ(TextUtf8(LoadReportTexts, Language::Italian, 0),
              "Voci omesse (file di origine mancante e nome salvato non valido):");
}

TEST(TextTables, TagColumnCaptions) {
    const std::vector<std::vector<std::string>> byLanguage = {
        {"Titre", "Artiste", "Album", "Piste", "Durée"},
        {"Title", "Artist", "Album", "Track", "Length"},
        {"Título", "Artista", "Álbum", "Pista", "Duración"},
        {"Titel", "Interpret", "Album", "Titelnr.", "Länge"},
        {"Titolo", "Artista", "Album", "Traccia", "Durata"},
    };
    ASSERT_EQ(TagColumnTexts.groupSize, 5);
    for (Language language : AllLanguages)
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(
                TextUtf8(TagColumnTexts, language, k),
                byLanguage[static_cast<std::size_t>(language) - 1][static_cast<std::size_t>(k)]);
}

TEST(TextTables, Utf8FormForDisplay) {
    EXPECT_EQ(TextUtf8(OptionsMenuTexts, Language::German, 0), "M\xC3\xB6glichkeiten");
    EXPECT_EQ(TextUtf8(HintTexts, Language::French, 0), "Cr\xC3\xA9"
                                                        "er un nouveau projet");
    EXPECT_EQ(TextUtf8(PaneTexts, Language::English, 1), "Copy List");
}

} // namespace
} // namespace stavio
