#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes src/core/text.cpp: the interface texts as Windows-1252 C++ string literals.

The tables are kept here in UTF-8; each row lists French, English, Spanish, German, Italian,
and E stands for "the English text of the row". The generated file is committed and is the
reference; run this only to regenerate it:  python3 tools/gen_text_tables.py > src/core/text.cpp
"""

E = None  # the English text of the row

WEB_HOST = "stavio.example"

TABLES = [
    ("AboutTexts", [
        ["A propos de KELVO \"Stavio\"", "About KELVO \"Stavio\"", "Sobre el \"Stavio\" de KELVO",
         "Über dem KELVO \"Stavio\"", "Informazioni sul Software \"Stavio\" della KELVO"],
        [E, "KELVO \"Stavio\"", E, E, E],
        [E, "Version 1.0", "Versión 1.0", E, "Versione 1.0"],
        [WEB_HOST, WEB_HOST, WEB_HOST, WEB_HOST, WEB_HOST],
    ]),
    ("HintTexts", [
        ["Créer un nouveau projet", "Create a new project", "Nuevo Proyecto", "Neues Projekt",
         "Crea un nuovo Progetto"],
        ["Ouvrir un fichier projet", "Open a project file", "Abrir Proyecto", "Öffnen Projekt",
         "Apri un file di Progetto"],
        ["Enregistrer le projet", "Save current project", "Guardar Proyecto", "Speichern Projekt",
         "Salva il Progetto corrente"],
        ["Créer un script", "Create Script", E, E, "Creare lo Script"],
        ["Copier le répertoire sélectionné dans la liste de Copie",
         "Copy selected directory to Copy List", E, E,
         "Copia la Cartella selezionata nella Lista da Caricare"],
        ["Copier le répertoire sélectionné dans la liste de Suppression",
         "Copy selected directory to Delete List", E, E,
         "Copia la Cartella selezionata nella Lista da Cancellare"],
        ["Copier le(s) fichier(s) sélectionné(s) dans la liste de Copie",
         "Copy selected file(s) to Copy List", E, E,
         "Copia i File selezionati nella Lista da Caricare"],
        ["Copier le(s) fichier(s) sélectionné(s) dans la liste de Suppression",
         "Copy selected file(s) to Delete List", E, E,
         "Copia i File selezionati nella Lista da Cancellare"],
        ["Rafraîchir l'explorateur", "Refresh Explorer", E, E, "Aggiora Explorer"],
        ["Vue", "View", E, E, "Visualizza"],
        ["Supprimer le répertoire ou le fichier sélectionné dans la liste de Copie",
         "Delete selected directory or file in Copy List", E, E,
         "Cancella le Cartelle selezionate o i file dalla Lista da Caricare"],
        ["Créer un nouveau répertoire dans la liste de Copie",
         "Create a new directory in Copy List", E, E,
         "Crea una nuova Cartella nella Lista da Caricare"],
        ["Supprimer le répertoire ou le fichier sélectionné dans la liste de Suppression",
         "Delete selected directory or file in Delete List", E, E,
         "Cancella le cartelle o i File selezionati dalla Lista da Cancellare"],
        ["Créer un nouveau répertoire dans la liste de Suppression",
         "Create a new directory in Delete List", E, E,
         "Crea una nuova Cartella nella Lista da Cancellare"],
    ]),
    ("PropertyTexts", [
        ["Propriétés du Projet", "Project Properties", "Propiedades de Proyecto",
         "Projekteigenschaften", "Proprietà del Progetto:"],
        [" Nom du Projet :", " Name of Project :", " Nombre de Proyecto :", " Projektname :",
         " Nome del Progetto:"],
        [" Sujet :", " Subject :", " Tema :", " Thema :", " Oggetto:"],
        [" Auteur :", " Author :", " Autor :", " Autor :", " Autore:"],
        [E, " Copyright :", E, E, " Copyright:"],
        [" Client :", " Customer :", " Cliente :", " Klient :", " Cliente:"],
        [" Date de création :", " Creation Date :", " Fecha de Creación :", " Erzeugungsdatum :",
         " Data della Creazione:"],
        [" Date de diffusion :", " Distribution Date :", " Fecha de Emisión :",
         " Austrahlungsdatum :", " Data della Diffusione:"],
        [" Commentaires :", " Comments :", " Comentarios :", " Kommentare :", " Commenti:"],
        [E, "Ok", E, "OK", E],
        ["Annuler", "Cancel", "Anular", "Abbruch", "Cancella"],
    ]),
    ("RenderDialogTexts", [
        ["Créer le script dans : ...", "Create Script In : ...", E, E, "Creare lo Script in: ..."],
        ["Créer...", "Create...", E, E, "Creare..."],
        ["Annuler", "Cancel", "Anular", "Abbruch", "Cancella"],
    ]),
    ("FileMenuTexts", [
        ["&Fichier", "&File", "&Archivo", "&Datei", "File"],
        ["&Nouveau Projet", "&New Project", "&Nuevo Proyecto", "&Neues Projekt", "Nuovo Progetto"],
        ["&Propriétés du Projet...", "&Project Properties...", "&Propiedades de Proyecto...",
         "P&rojekteingeschaften...", "Proprietà del Progetto..."],
        ["&Ouvrir", "&Open", "A&brir", "&Öffnen", "Apri"],
        ["&Enregistrer", "&Save", "&Guardar", "S&peichern", "Salva"],
        ["Enregistrer &sous...", "Save &as...", "Guardar &como...", "Sp&eichern unter...",
         "Salva con nome..."],
        ["&Quitter", "E&xit", "&Salir", "&Beenden", "Esci"],
        ["Créer un script", "Create Script", E, E, "Creare lo Script"],
    ]),
    ("OptionsMenuTexts", [
        [E, "&Options", E, "Möglichkeiten", "Opzioni"],
    ]),
    ("LanguageMenuTexts", [
        ["&Langue", "&Language", "&Idioma", "&Sprache", "&Lingua"],
        [E, "&English", E, E, E],
        [E, "&Français", E, E, E],
        [E, "E&spañol", E, E, E],
        [E, "&Deutsch", E, E, E],
        [E, "&Italiano", E, E, E],
    ]),
    ("HelpMenuTexts", [
        ["&Aide", "&Help", "A&yuda", "&Hilfe", "Aiuto"],
        ["&A propos...", "&About...", "&Sobre...", "&Über...", "Informazioni..."],
        ["KELVO sur &Internet", "KELVO on the &Web", "KELVO en la Web", "KELVO im Internet",
         "KELVO sul Web"],
        ["Page d'&accueil de KELVO", "KELVO &Home Page", "Página principal KELVO", E,
         "Pagina Web principale KELVO"],
        ["Envoyer un Email au support technique KELVO",
         "&Send Email to KELVO's Technical Support",
         "Enviar email al Soporte Técnico de KELVO",
         "Eine Email zum technischen Support von KELVO senden",
         "Invia una Email al Supporto Tecnico della KELVO"],
    ]),
    ("MessageTexts", [
        ["Le projet actuel a été modifiée. Voulez-vous sauvegarder ces changements?",
         "The current project has been modified. Do you want to save these changes?", E, E,
         "Il progetto aperto è stato modificato. Vuoi salvare queste modifiche?"],
        ["Impossible de Créer le fichier script : fichier script trop long!",
         "Impossible to create script file : Script File too big!", E, E,
         "Impossibile creare il File dello Script: File Script troppo grande!"],
        ["Impossible de Créer le fichier script : projet vide!",
         "Impossible to create script file : Project empty!", E, E,
         "Impossibile creare il File dello Script:il Progetto è vuoto!"],
        ["Impossible de Créer le fichier script : aucun chemin existant sélectionné!",
         "Impossible to create script file : No existing path selected!", E, E,
         "Impossibile creare il File dello Script:Nessuna destinazione attuale è stata selezionata!"],
        ["Impossible de créer le répertoire : aucun nom de répertoire n'a été saisi!",
         "Impossible to create directory : No directory name edited!", E, E,
         "Impossibile creare la Cartella: non è stato inserito il nome della Cartella!"],
        ["Impossible de créer le répertoire : nom de répertoire interdit!",
         "Impossible to create directory : Forbidden directory name!", E, E,
         "Impossibile creare la Cartella: nome della Cartella non consentito!"],
    ]),
    ("FolderDialogTexts", [
        ["Edition du nom du répertoire", "Folder Name Edition", E, E,
         "Modifica il nome della Cartella"],
        ["Saisissez le nom du nouveau répertoire que vous désirez ajouter à votre liste.",
         "Enter the new folder name to be added to your list.", E, E,
         "Inserisci un nuovo nome alla Cartella da aggiungere alla tua Lista"],
        ["Nom : ", "Name: ", E, E, "Nome: "],
    ]),
    ("InfoTitleTexts", [
        ["Informations", "Information", E, E, E],
    ]),
    ("InfoTexts", [
        ["Les noms de fichiers et de répertoires contenus dans les listes de copie et de "
         "suppression sont conditionnés au format court 8.3.",
         "Names of files and folders included in the copy and delete lists must comply with "
         "the 8.3 short format", E, E,
         "I nomi delle Cartelle e dei File nelle liste da Copiare e da Cancellare, devono essere "
         "brevi e rispondere al formato di tipo 8.3 (caratteri)"],
        ["La chaîne de caractères que vous saisirez sera donc automatiquement conformée au "
         "format court 8.3 (8 caractères max,  majuscules, caractères spéciaux exclus).",
         "The character strings that you edit will automatically be converted into 8.3 short "
         "format (8 characters max, uppercase, no special characters).", E, E,
         "La stringa di caratteri che hai editato sarà automaticamente convertita nel formato "
         "breve 8.3 (massimo 8 caratteri, maiuscolo, senza caratteri speciali)."],
    ]),
    ("ProgressTexts", [
        ["Sauvegarde du projet...", "Save Project...", E, E, "Salva Progetto..."],
        ["Ouverture du projet...", "Open Project...", E, E, "Apri Progetto..."],
        ["Initialisation...", "Initialization...", E, E, "Attendere..."],
        ["Création du fichier Script : 'SCRIPT.TXT'...", "Generate Script file : 'SCRIPT.TXT'...",
         E, E, "Generare il File di Script: \"SCRIPT:TXT\"..."],
        ["Copie de fichier MP3...", "MP3 File Copy...", E, E, "MP3 Copia File..."],
    ]),
    ("PaneTexts", [
        ["Explorateur", "Explorer", E, E, "Esplora"],
        ["Liste de Copie", "Copy List", E, E, "Lista da Caricare"],
        ["Liste de Suppression", "Delete List", E, E, "Lista da Cancellare"],
        ["Image lecteur", "Player Image", E, E, E],
    ]),
    ("RenderReportTexts", [
        ["Impossible de copier certains fichiers MP3 :", "Some MP3 files could not be copied:",
         "No se pudieron copiar algunos archivos MP3:",
         "Einige MP3-Dateien konnten nicht kopiert werden:",
         "Impossibile copiare alcuni file MP3:"],
    ]),
    ("LoadReportTexts", [
        ["Entrées ignorées (fichier source introuvable et nom enregistré inutilisable) :",
         "Entries left out (source file missing and stored name unusable):",
         "Entradas omitidas (archivo de origen no encontrado y nombre guardado no válido):",
         "Ausgelassene Einträge (Quelldatei fehlt und gespeicherter Name unbrauchbar):",
         "Voci omesse (file di origine mancante e nome salvato non valido):"],
    ]),
    # The tag columns of the explorer's details view, and the labels of the lists' tooltips.
    ("TagColumnTexts", [
        ["Titre", "Title", "Título", "Titel", "Titolo"],
        ["Artiste", "Artist", "Artista", "Interpret", "Artista"],
        ["Album", "Album", "Álbum", "Album", "Album"],
        ["Piste", "Track", "Pista", "Titelnr.", "Traccia"],
        ["Durée", "Length", "Duración", "Länge", "Durata"],
    ]),
    # What a media entry of the lists stands for: its source file, and when it is gone.
    ("ListToolTipTexts", [
        ["Source", "Source", "Origen", "Quelle", "Origine"],
        ["Fichier", "File", "Archivo", "Datei", "File"],
        ["Fichier source introuvable", "Source file not found",
         "No se encuentra el archivo de origen", "Quelldatei nicht gefunden",
         "File di origine non trovato"],
    ]),
    # Entries 0, 1, 2 and 4 take their counted parts from CountTexts.
    ("RenderStatusTexts", [
        ["Copie : %1, %2 · Suppression : %3 · Script : %4 / 16384",
         "Copy: %1, %2 · Delete: %3 · Script: %4 / 16384",
         "Copia: %1, %2 · Borrado: %3 · Script: %4 / 16384",
         "Kopieren: %1, %2 · Löschen: %3 · Script: %4 / 16384",
         "Copia: %1, %2 · Cancellazione: %3 · Script: %4 / 16384"],
        ["Script créé : %1 (%2), %3, %4, en %5 s",
         "Script created: %1 (%2), %3, %4, in %5 s",
         "Script creado: %1 (%2), %3, %4, en %5 s",
         "Script erstellt: %1 (%2), %3, %4, in %5 s",
         "Script creato: %1 (%2), %3, %4, in %5 s"],
        ["Copie annulée : %1, script retiré",
         "Copy cancelled: %1, script removed",
         "Copia cancelada: %1, script eliminado",
         "Kopieren abgebrochen: %1, Script entfernt",
         "Copia annullata: %1, script rimosso"],
        ["Espace libre insuffisant sur la cible : il faut %1, il reste %2. Copier quand même ?",
         "Not enough free space on the target: %1 needed, %2 free. Copy anyway?",
         "No hay espacio libre suficiente en el destino: se necesitan %1, quedan %2. ¿Copiar de todos modos?",
         "Nicht genug freier Speicher auf dem Ziel: %1 benötigt, %2 frei. Trotzdem kopieren?",
         "Spazio libero insufficiente sulla destinazione: servono %1, liberi %2. Copiare comunque?"],
        ["Script non créé : %1 (%2), %3, %4, en %5 s",
         "Script not created: %1 (%2), %3, %4, in %5 s",
         "Script no creado: %1 (%2), %3, %4, en %5 s",
         "Script nicht erstellt: %1 (%2), %3, %4, in %5 s",
         "Script non creato: %1 (%2), %3, %4, in %5 s"],
        ["Le lecteur n'est plus là : %1. Copie arrêtée, script retiré",
         "The player is gone: %1. Copy stopped, script removed",
         "El reproductor ya no está: %1. Copia detenida, script eliminado",
         "Der Player ist nicht mehr da: %1. Kopieren angehalten, Script entfernt",
         "Il lettore non c'è più: %1. Copia interrotta, script rimosso"],
        ["Lecteur introuvable : %1",
         "Player not found: %1",
         "Reproductor no encontrado: %1",
         "Player nicht gefunden: %1",
         "Lettore non trovato: %1"],
        # Entries 7 and 8 gave way to CountTexts 10 to 13; kept so that entries keep their numbers.
        ["%1 fichiers non copiés",
         "%1 files not copied",
         "%1 archivos no copiados",
         "%1 Dateien nicht kopiert",
         "%1 file non copiati"],
        ["%1 chansons des dossiers numérotés ne viennent pas de Stavio et restent en place",
         "%1 songs in the numbered folders were not written by Stavio and stay",
         "%1 canciones de las carpetas numeradas no las escribió Stavio y se quedan",
         "%1 Titel in den nummerierten Ordnern stammen nicht von Stavio und bleiben",
         "%1 brani nelle cartelle numerate non sono stati scritti da Stavio e restano"],
    ]),
    ("TagReportTexts", [
        ["Pas un fichier audio MPEG", "Not an MPEG audio file", "No es un archivo de audio MPEG",
         "Keine MPEG-Audiodatei", "Non è un file audio MPEG"],
    ]),
    ("DialogTexts", [
        ["Le fichier « %1 » existe déjà. Voulez-vous le remplacer ?",
         "The file \"%1\" already exists. Do you want to replace it?",
         "El archivo «%1» ya existe. ¿Desea reemplazarlo?",
         "Die Datei „%1“ existiert bereits. Möchten Sie sie ersetzen?",
         "Il file «%1» esiste già. Sostituirlo?"],
        ["« %1 » refusé : un projet ne garde que les caractères Windows-1252.",
         "\"%1\" refused: a project keeps only Windows-1252 characters.",
         "«%1» rechazado: un proyecto solo guarda caracteres Windows-1252.",
         "„%1“ abgelehnt: Ein Projekt speichert nur Windows-1252-Zeichen.",
         "«%1» rifiutato: un progetto conserva solo caratteri Windows-1252."],
        ["Dossiers", "Folders", "Carpetas", "Ordner", "Cartelle"],
        ["Fichiers MP3", "MP3 files", "Archivos MP3", "MP3-Dateien", "File MP3"],
    ]),
    # Why a song of another format could not be converted to MP3 (file errors keep the
    # runtime's French texts).
    ("ConversionTexts", [
        ["Fichier MP3 : il est copié tel quel, jamais converti",
         "MP3 file: copied as it is, never converted",
         "Archivo MP3: se copia tal cual, nunca se convierte",
         "MP3-Datei: wird unverändert kopiert, nie umgewandelt",
         "File MP3: viene copiato così com'è, mai convertito"],
        ["Format audio illisible ou fichier endommagé", "Unreadable audio format or damaged file",
         "Formato de audio ilegible o archivo dañado",
         "Unlesbares Audioformat oder beschädigte Datei",
         "Formato audio illeggibile o file danneggiato"],
        ["L'encodeur MP3 a échoué", "The MP3 encoder failed", "El codificador MP3 ha fallado",
         "Der MP3-Encoder ist fehlgeschlagen", "Il codificatore MP3 non è riuscito"],
        ["Conversion annulée", "Conversion cancelled", "Conversión cancelada",
         "Umwandlung abgebrochen", "Conversione annullata"],
        ["La conversion remplacerait son fichier source",
         "The conversion would replace its source file",
         "La conversión reemplazaría su archivo de origen",
         "Die Umwandlung würde ihre Quelldatei ersetzen",
         "La conversione sostituirebbe il suo file di origine"],
    ]),
    ("EditMenuTexts", [
        ["&Édition", "&Edit", "&Edición", "&Bearbeiten", "&Modifica"],
        ["&Annuler", "&Undo", "&Deshacer", "&Rückgängig", "&Annulla"],
        ["&Rétablir", "&Redo", "&Rehacer", "&Wiederherstellen", "&Ripeti"],
    ]),
    # The explorer's context-menu entries that fill the lists.
    ("ListCommandTexts", [
        ["Ajouter à la liste de Copie", "Add to the Copy List", "Añadir a la lista de copia",
         "Zur Kopierliste hinzufügen", "Aggiungi alla Lista da Caricare"],
        ["Ajouter à la liste de Suppression", "Add to the Delete List",
         "Añadir a la lista de borrado", "Zur Löschliste hinzufügen",
         "Aggiungi alla Lista da Cancellare"],
    ]),
    # The units of sizes: megabytes and gigabytes, as each language abbreviates them.
    ("UnitTexts", [
        ["Mo", "MB", E, E, E],
        ["Go", "GB", E, E, E],
    ]),
    # Texts that count things: entry 2k is the singular form, 2k + 1 the plural; %1 is the
    # count that chooses between them.
    ("CountTexts", [
        ["%1 fichier", "%1 file", "%1 archivo", "%1 Datei", "%1 file"],
        ["%1 fichiers", "%1 files", "%1 archivos", "%1 Dateien", "%1 file"],
        ["%1 fichier copié", "%1 file copied", "%1 archivo copiado", "%1 Datei kopiert",
         "%1 file copiato"],
        ["%1 fichiers copiés", "%1 files copied", "%1 archivos copiados", "%1 Dateien kopiert",
         "%1 file copiati"],
        ["%1 inchangé", "%1 unchanged", "%1 sin cambios", "%1 unverändert", "%1 invariato"],
        ["%1 inchangés", "%1 unchanged", "%1 sin cambios", "%1 unverändert", "%1 invariati"],
        ["%1 ancien fichier retiré", "%1 stale file removed", "%1 archivo antiguo eliminado",
         "%1 veraltete Datei entfernt", "%1 file obsoleto rimosso"],
        ["%1 anciens fichiers retirés", "%1 stale files removed",
         "%1 archivos antiguos eliminados", "%1 veraltete Dateien entfernt",
         "%1 file obsoleti rimossi"],
        # %1 the files planned, %2 those copied.
        ["%2 sur %1 fichier copié", "%2 of %1 file copied", "%2 de %1 archivo copiado",
         "%2 von %1 Datei kopiert", "%2 di %1 file copiato"],
        ["%2 sur %1 fichiers copiés", "%2 of %1 files copied", "%2 de %1 archivos copiados",
         "%2 von %1 Dateien kopiert", "%2 di %1 file copiati"],
        ["%1 fichier non copié", "%1 file not copied", "%1 archivo no copiado",
         "%1 Datei nicht kopiert", "%1 file non copiato"],
        ["%1 fichiers non copiés", "%1 files not copied", "%1 archivos no copiados",
         "%1 Dateien nicht kopiert", "%1 file non copiati"],
        ["%1 chanson des dossiers numérotés ne vient pas de Stavio et reste en place",
         "%1 song in the numbered folders was not written by Stavio and stays",
         "%1 canción de las carpetas numeradas no la escribió Stavio y se queda",
         "%1 Titel in den nummerierten Ordnern stammt nicht von Stavio und bleibt",
         "%1 brano nelle cartelle numerate non è stato scritto da Stavio e resta"],
        ["%1 chansons des dossiers numérotés ne viennent pas de Stavio et restent en place",
         "%1 songs in the numbered folders were not written by Stavio and stay",
         "%1 canciones de las carpetas numeradas no las escribió Stavio y se quedan",
         "%1 Titel in den nummerierten Ordnern stammen nicht von Stavio und bleiben",
         "%1 brani nelle cartelle numerate non sono stati scritti da Stavio e restano"],
    ]),
    # The render's conversion stage: its caption, then the songs converted of those to convert.
    ("ConversionStageTexts", [
        ["Conversion des morceaux…", "Converting songs…", "Convirtiendo canciones…",
         "Titel werden konvertiert…", "Conversione dei brani…"],
        ["Morceaux convertis : %1 / %2", "Songs converted: %1 / %2",
         "Canciones convertidas: %1 / %2", "Konvertierte Titel: %1 / %2",
         "Brani convertiti: %1 / %2"],
    ]),
    # The conversion settings: the Options item, the dialog's title and its controls.
    ("ConversionDialogTexts", [
        ["Réglages de conversion…", "Conversion settings…", "Ajustes de conversión…",
         "Konvertierungseinstellungen…", "Impostazioni di conversione…"],
        ["Réglages de conversion", "Conversion settings", "Ajustes de conversión",
         "Konvertierungseinstellungen", "Impostazioni di conversione"],
        ["Qualité :", "Quality:", "Calidad:", "Qualität:", "Qualità:"],
        ["Débit variable V0 (meilleure qualité)", "Variable bit rate V0 (best quality)",
         "Tasa de bits variable V0 (máxima calidad)", "Variable Bitrate V0 (beste Qualität)",
         "Bitrate variabile V0 (qualità massima)"],
        ["Débit variable V2 (recommandé)", "Variable bit rate V2 (recommended)",
         "Tasa de bits variable V2 (recomendada)", "Variable Bitrate V2 (empfohlen)",
         "Bitrate variabile V2 (consigliato)"],
        ["Débit variable V5 (fichiers plus petits)", "Variable bit rate V5 (smaller files)",
         "Tasa de bits variable V5 (archivos más pequeños)",
         "Variable Bitrate V5 (kleinere Dateien)", "Bitrate variabile V5 (file più piccoli)"],
        ["Débit constant %1 kbit/s", "Constant bit rate %1 kbit/s",
         "Tasa de bits constante %1 kbit/s", "Konstante Bitrate %1 kbit/s",
         "Bitrate costante %1 kbit/s"],
        ["Intégrer la pochette", "Embed the cover", "Incluir la carátula", "Cover einbetten",
         "Incorpora la copertina"],
        ["Taille maximale du cache :", "Cache limit:", "Tamaño máximo de la caché:",
         "Maximale Cache-Größe:", "Dimensione massima della cache:"],
        ["Vider le cache (%1)", "Empty the cache (%1)", "Vaciar la caché (%1)",
         "Cache leeren (%1)", "Svuota la cache (%1)"],
    ]),
    # The Options menu's switch that lets the lists take songs of formats other than MP3.
    ("AudioFormatTexts", [
        ["Autres formats audio", "Other audio formats", "Otros formatos de audio",
         "Weitere Audioformate", "Altri formati audio"],
    ]),
    # The explorer's own options, in its context menus.
    ("ExplorerOptionTexts", [
        ["Afficher les dossiers cachés", "Show hidden folders", "Mostrar carpetas ocultas",
         "Versteckte Ordner anzeigen", "Mostra cartelle nascoste"],
    ]),
]

LANGUAGES = ["French", "English", "Spanish", "German", "Italian"]


def literal(text):
    """A C++ literal of the Windows-1252 bytes; the literal is split after each \\x escape,
    because a hex escape would otherwise swallow the hex digits that follow it."""
    pieces = [""]
    for byte in text.encode("cp1252"):
        if byte >= 0x80:
            pieces[-1] += "\\x%02X" % byte
            pieces.append("")
        elif byte in (0x22, 0x5C):
            pieces[-1] += "\\" + chr(byte)
        elif 0x20 <= byte < 0x7F:
            pieces[-1] += chr(byte)
        else:
            raise ValueError("control character in %r" % text)
    if len(pieces) > 1 and pieces[-1] == "":
        pieces.pop()
    return " ".join('"%s"' % piece for piece in pieces)


def main():
    print("// SPDX-License-Identifier: GPL-3.0-or-later")
    print("// Generated by tools/gen_text_tables.py, which keeps these tables in UTF-8; change both together.")
    print("// The interface texts, as Windows-1252 bytes.")
    print("// clang-format off")
    print()
    print('#include "text.h"')
    print()
    print('#include "TextFile.h"')
    print()
    print("#include <cassert>")
    print()
    print("namespace stavio {")
    for name, rows in TABLES:
        n = len(rows)
        print()
        print("static const char* const %s_[5 * %d] = {" % (name, n))
        for lang, language in enumerate(LANGUAGES):
            print("    // %s" % language)
            for row in rows:
                assert len(row) == 5, (name, row)
                text = row[lang] if row[lang] is not None else row[1]
                print("    %s," % literal(text))
        print("};")
    print()
    for name, rows in TABLES:
        print("const TextTable %s{%s_, %d};" % (name, name, len(rows)))
    print("""
const char* Text(const TextTable& table, Language language, int k)
{
    const int lang = static_cast<int>(language);
    assert(lang >= 1 && lang <= 5);
    assert(k >= 0 && k < table.groupSize);
    return table.texts[(lang - 1) * table.groupSize + k];
}

std::string TextUtf8(const TextTable& table, Language language, int k)
{
    return Cp1252ToUtf8(Text(table, language, k));
}

} // namespace stavio""")


if __name__ == "__main__":
    main()
