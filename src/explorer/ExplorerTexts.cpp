// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExplorerTexts.h"

#include "Plural.h"

#include <array>
#include <utility>

namespace {

// One row per text, one column per language in the order of ExplorerLanguage.
using Row = std::array<const char*, 5>;

constexpr Row kTexts[] = {
    {"Poste de travail", "My Computer", "Mi PC", "Arbeitsplatz", "Risorse del computer"},
    {"Nom", "Name", "Nombre", "Name", "Nome"},
    {"Taille", "Size", "Tamaño", "Größe", "Dimensione"},
    {"Type", "Type", "Tipo", "Typ", "Tipo"},
    {"Modifié le", "Modified", "Modificado", "Geändert am", "Data modifica"},
    {"&Ouvrir", "&Open", "&Abrir", "Ö&ffnen", "&Apri"},
    {"&Copier", "&Copy", "&Copiar", "&Kopieren", "&Copia"},
    {"Co&uper", "Cu&t", "Cor&tar", "&Ausschneiden", "&Taglia"},
    {"C&oller", "&Paste", "&Pegar", "E&infügen", "I&ncolla"},
    {"&Affichage suivant", "Next &View", "&Vista siguiente", "Nächste A&nsicht",
     "&Visualizzazione successiva"},
    {"&Nouveau dossier", "&New Folder", "&Nueva carpeta", "&Neuer Ordner", "&Nuova cartella"},
    {"&Sélectionner tout", "Select &All", "&Seleccionar todo", "&Alles auswählen",
     "Seleziona &tutto"},
    {"&Supprimer", "&Delete", "&Eliminar", "&Löschen", "&Elimina"},
    {"&Renommer", "&Rename", "Cambiar &nombre", "&Umbenennen", "&Rinomina"},
    {"&Rechercher...", "&Find...", "&Buscar...", "&Suchen...", "T&rova..."},
    {"Ac&tualiser", "Re&fresh", "Ac&tualizar", "A&ktualisieren", "A&ggiorna"},
    {"Dossier &parent", "&Up One Level", "&Subir un nivel", "Eine Ebene &höher",
     "&Livello superiore"},
    {"Confirmer la suppression", "Confirm Delete", "Confirmar eliminación", "Löschen bestätigen",
     "Conferma eliminazione"},
    {"Voulez-vous vraiment placer ces %1 éléments dans la corbeille ?",
     "Are you sure you want to move these %1 items to the Trash?",
     "¿Seguro que desea mover estos %1 elementos a la papelera?",
     "Möchten Sie diese %1 Elemente wirklich in den Papierkorb verschieben?",
     "Spostare questi %1 elementi nel cestino?"},
    {"Fichier %1", "%1 File", "Archivo %1", "%1-Datei", "File %1"},
    {"Fichier", "File", "Archivo", "Datei", "File"},
    {"%1 Ko", "%1 KB", "%1 KB", "%1 KB", "%1 KB"},
    {"Nouveau dossier", "New Folder", "Nueva carpeta", "Neuer Ordner", "Nuova cartella"},
    {"Nom du nouveau dossier :", "Name of the new folder:", "Nombre de la nueva carpeta:",
     "Name des neuen Ordners:", "Nome della nuova cartella:"},
    {"Nom du fichier (caractères génériques * et ? admis) :",
     "File name (wildcards * and ? allowed):",
     "Nombre del archivo (se admiten los comodines * y ?):",
     "Dateiname (Platzhalter * und ? erlaubt):", "Nome del file (caratteri jolly * e ? ammessi):"},
    {"Aucun fichier trouvé.", "No file found.", "No se encontró ningún archivo.",
     "Keine Datei gefunden.", "Nessun file trovato."},
    {"Erreur", "Error", "Error", "Fehler", "Errore"},
    {"Opération impossible : %1", "Could not complete the operation: %1",
     "No se pudo completar la operación: %1", "Vorgang nicht möglich: %1",
     "Impossibile completare l'operazione: %1"},
    {"fichier spécial (tube, socket ou périphérique) ignoré",
     "special file (pipe, socket or device), skipped",
     "archivo especial (tubería, socket o dispositivo) omitido",
     "Spezialdatei (Pipe, Socket oder Gerät) übersprungen",
     "file speciale (pipe, socket o dispositivo) ignorato"},
    {"un dossier ne peut pas être copié dans lui-même", "a folder cannot be copied into itself",
     "una carpeta no se puede copiar en sí misma",
     "ein Ordner kann nicht in sich selbst kopiert werden",
     "una cartella non può essere copiata in se stessa"},
    {"Un fichier ou un dossier nommé « %1 » existe déjà.",
     "A file or folder named \"%1\" already exists.",
     "Ya existe un archivo o una carpeta con el nombre \"%1\".",
     "Eine Datei oder ein Ordner namens „%1“ ist bereits vorhanden.",
     "Esiste già un file o una cartella di nome \"%1\"."},
    {"« %1 » n'est pas un nom valide.", "\"%1\" is not a valid name.",
     "\"%1\" no es un nombre válido.", "„%1“ ist kein gültiger Name.",
     "\"%1\" non è un nome valido."},
    {"Ces %1 éléments ne sont pas sur le disque de votre dossier personnel. Les supprimer "
     "définitivement ?",
     "These %1 items are not on the disk of your home folder. Delete them permanently?",
     "Estos %1 elementos no están en el disco de su carpeta personal. ¿Eliminarlos "
     "definitivamente?",
     "Diese %1 Elemente liegen nicht auf dem Laufwerk Ihres persönlichen Ordners. Endgültig "
     "löschen?",
     "Questi %1 elementi non si trovano sul disco della cartella personale. Eliminarli "
     "definitivamente?"},
    {"Ces %1 éléments ne peuvent pas être placés dans la corbeille. Les supprimer "
     "définitivement ?",
     "These %1 items cannot be moved to the Trash. Delete them permanently?",
     "Estos %1 elementos no se pueden mover a la papelera. ¿Eliminarlos definitivamente?",
     "Diese %1 Elemente können nicht in den Papierkorb verschoben werden. Endgültig löschen?",
     "Questi %1 elementi non possono essere spostati nel cestino. Eliminarli definitivamente?"},
    {"Copie en cours...", "Copying...", "Copiando...", "Kopieren...", "Copia in corso..."},
    {"Déplacement en cours...", "Moving...", "Moviendo...", "Verschieben...",
     "Spostamento in corso..."},
    {"Suppression en cours...", "Deleting...", "Eliminando...", "Löschen...",
     "Eliminazione in corso..."},
    {"Annuler", "Cancel", "Cancelar", "Abbrechen", "Annulla"},
    {"Ce dossier ne peut pas être lu : %1", "This folder cannot be read: %1",
     "No se puede leer esta carpeta: %1", "Dieser Ordner kann nicht gelesen werden: %1",
     "Impossibile leggere questa cartella: %1"},
    {"Ouvrir ces %1 fichiers ?", "Open these %1 files?", "¿Abrir estos %1 archivos?",
     "Diese %1 Dateien öffnen?", "Aprire questi %1 file?"},
    {"Voulez-vous vraiment placer cet élément dans la corbeille ?",
     "Are you sure you want to move this item to the Trash?",
     "¿Seguro que desea mover este elemento a la papelera?",
     "Möchten Sie dieses Element wirklich in den Papierkorb verschieben?",
     "Spostare questo elemento nel cestino?"},
    {"Cet élément n'est pas sur le disque de votre dossier personnel. Le supprimer "
     "définitivement ?",
     "This item is not on the disk of your home folder. Delete it permanently?",
     "Este elemento no está en el disco de su carpeta personal. ¿Eliminarlo definitivamente?",
     "Dieses Element liegt nicht auf dem Laufwerk Ihres persönlichen Ordners. Endgültig "
     "löschen?",
     "Questo elemento non si trova sul disco della cartella personale. Eliminarlo "
     "definitivamente?"},
    {"Cet élément ne peut pas être placé dans la corbeille. Le supprimer définitivement ?",
     "This item cannot be moved to the Trash. Delete it permanently?",
     "Este elemento no se puede mover a la papelera. ¿Eliminarlo definitivamente?",
     "Dieses Element kann nicht in den Papierkorb verschoben werden. Endgültig löschen?",
     "Questo elemento non può essere spostato nel cestino. Eliminarlo definitivamente?"},
};

static_assert(std::size(kTexts) == static_cast<std::size_t>(ExplorerText::Count));

} // namespace

QLocale ExplorerLocale(ExplorerLanguage language) {
    constexpr QLocale::Language kLocales[] = {QLocale::French, QLocale::English, QLocale::Spanish,
                                              QLocale::German, QLocale::Italian};
    return QLocale(kLocales[static_cast<std::size_t>(language)]);
}

QString ExplorerCountTextOf(ExplorerLanguage language, ExplorerText text, qsizetype count) {
    constexpr std::pair<ExplorerText, ExplorerText> kSingular[] = {
        {ExplorerText::ConfirmDelete, ExplorerText::ConfirmDeleteOne},
        {ExplorerText::ConfirmDeletePermanently, ExplorerText::ConfirmDeletePermanentlyOne},
        {ExplorerText::TrashUnavailable, ExplorerText::TrashUnavailableOne},
    };
    // The program's rule for the languages; the explorer's languages are in the same order.
    const auto programLanguage = static_cast<stavio::Language>(static_cast<int>(language) + 1);
    if (stavio::TakesSingular(programLanguage, static_cast<std::uint64_t>(count)))
        for (const auto& [plural, singular] : kSingular)
            if (plural == text)
                return ExplorerTextOf(language, singular);
    return ExplorerTextOf(language, text).arg(count);
}

QString ExplorerTextOf(ExplorerLanguage language, ExplorerText text) {
    const auto row = static_cast<std::size_t>(text);
    const auto column = static_cast<std::size_t>(language);
    if (row >= std::size(kTexts) || column >= 5)
        return {};
    return QString::fromUtf8(kTexts[row][column]);
}
