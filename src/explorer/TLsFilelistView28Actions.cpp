// SPDX-License-Identifier: GPL-3.0-or-later
// The file list's own actions: keys, context menu and the file operations behind them.
#include "TLsFilelistView28.h"

#include "ExplorerTexts.h"
#include "FileBatchWindow.h"
#include "FileListModel.h"
#include "FileListViews.h"
#include "FileOperations.h"
#include "MessageBoxes.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace {

struct ActionEntry {
    const char* objectName;
    ExplorerText text;
    QKeySequence key;
    void (TLsFilelistView28::*handler)();
};

// The clipboard formats the desktops' file managers use to tell a cut from a copy.
const QString kGnomeFormat = QStringLiteral("x-special/gnome-copied-files");
const QString kKdeCutFormat = QStringLiteral("application/x-kde-cutselection");

} // namespace

void TLsFilelistView28::CreateActions() {
    const ActionEntry entries[] = {
        // Open and New folder have no key: Ctrl+O and Ctrl+N belong to the main window.
        {"actionOpen", ExplorerText::Open, QKeySequence(), &TLsFilelistView28::OpenSelection},
        {"actionCut", ExplorerText::Cut, QKeySequence(Qt::CTRL | Qt::Key_X),
         &TLsFilelistView28::CutSelection},
        {"actionCopy", ExplorerText::Copy, QKeySequence(Qt::CTRL | Qt::Key_C),
         &TLsFilelistView28::CopySelection},
        {"actionPaste", ExplorerText::Paste, QKeySequence(Qt::CTRL | Qt::Key_V),
         &TLsFilelistView28::PasteClipboard},
        {"actionDelete", ExplorerText::Delete, QKeySequence(Qt::Key_Delete),
         &TLsFilelistView28::DeleteSelection},
        {"actionRename", ExplorerText::Rename, QKeySequence(Qt::Key_F2),
         &TLsFilelistView28::RenameCurrent},
        {"actionNewFolder", ExplorerText::NewFolder, QKeySequence(), nullptr},
        {"actionSelectAll", ExplorerText::SelectAll, QKeySequence(Qt::CTRL | Qt::Key_A),
         &TLsFilelistView28::SelectAll},
        {"actionFind", ExplorerText::Find, QKeySequence(Qt::Key_F3), &TLsFilelistView28::FindFile},
        {"actionView", ExplorerText::View, QKeySequence(Qt::CTRL | Qt::Key_F),
         &TLsFilelistView28::NextViewStyle},
        {"actionUpOneLevel", ExplorerText::UpOneLevel, QKeySequence(Qt::Key_Backspace),
         &TLsFilelistView28::UpOneLevel},
        {"actionRefresh", ExplorerText::Refresh, QKeySequence(Qt::Key_F5),
         &TLsFilelistView28::Refresh},
    };
    for (const ActionEntry& entry : entries) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(entry.objectName));
        action->setShortcut(entry.key);
        // The keys work while the list or one of its views has the focus.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setData(static_cast<int>(entry.text));
        if (entry.handler)
            connect(action, &QAction::triggered, this, entry.handler);
        else
            connect(action, &QAction::triggered, this, [this] { CreateNewFolder(); });
        addAction(action);
        actionList_.append(action);
    }
}

void TLsFilelistView28::UpdateActions() {
    const bool selected = HasSelection();
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    bool pasteable = false;
    if (clip && clip->hasUrls()) {
        const QList<QUrl> urls = clip->urls();
        pasteable = std::any_of(urls.begin(), urls.end(),
                                [](const QUrl& url) { return url.isLocalFile(); });
    }
    const bool folder = InFolder();
    for (QAction* action : actionList_) {
        const QString name = action->objectName();
        bool enabled = true;
        if (name == QLatin1String("actionOpen") || name == QLatin1String("actionCopy") ||
            name == QLatin1String("actionCut") || name == QLatin1String("actionDelete") ||
            name == QLatin1String("actionRename"))
            enabled = selected;
        else if (name == QLatin1String("actionPaste"))
            enabled = folder && pasteable;
        else if (name == QLatin1String("actionSelectAll"))
            enabled = model_->rowCount() > 0 || IsLoading();
        else if (name != QLatin1String("actionView"))
            enabled = folder; // new folder, find, up one level, refresh
        action->setEnabled(enabled);
    }
}

void TLsFilelistView28::ApplyTexts() {
    for (QAction* action : actionList_)
        action->setText(
            ExplorerTextOf(language_, static_cast<ExplorerText>(action->data().toInt())));
}

void TLsFilelistView28::AddHostActions(const QList<QAction*>& actions) {
    for (QAction* action : actions) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        hostActions_.append(action);
    }
}

void TLsFilelistView28::ShowContextMenu(const QPoint& globalPos) {
    QMenu menu(this);
    if (!hostActions_.isEmpty()) {
        menu.addActions(hostActions_);
        menu.addSeparator();
    }
    for (QAction* action : actionList_) {
        menu.addAction(action);
        const QString name = action->objectName();
        if (name == QLatin1String("actionOpen") || name == QLatin1String("actionPaste") ||
            name == QLatin1String("actionRename") || name == QLatin1String("actionFind") ||
            name == QLatin1String("actionView"))
            menu.addSeparator();
    }
    menu.exec(globalPos);
}

void TLsFilelistView28::ShowError(const QList<FileProblem>& problems) {
    if (problems.isEmpty())
        return;
    QStringList lines;
    for (const FileProblem& problem : problems) {
        const QString name = DisplayName(QFileInfo(problem.path).fileName());
        lines.append(
            problem.reason.isEmpty() ? name : QStringLiteral("%1 : %2").arg(name, problem.reason));
    }
    ShowWarningBox(this, ExplorerTextOf(language_, ExplorerText::OperationFailed)
                             .arg(QLatin1Char('\n') + lines.join(QLatin1Char('\n'))));
}

void TLsFilelistView28::OpenSelection() {
    const QStringList paths = SelectedPaths();
    // Each file starts a program: many at once is asked for first.
    if (paths.size() > 10 &&
        !AskYesNo(this, ExplorerTextOf(language_, ExplorerText::ConfirmOpenMany).arg(paths.size())))
        return;
    for (const QString& path : paths)
        opener_(UrlOfPath(path));
}

void TLsFilelistView28::PutOnClipboard(bool cut) {
    const QStringList paths = SelectedPaths();
    if (paths.isEmpty())
        return;
    QList<QUrl> urls;
    QByteArray gnome = cut ? "cut" : "copy";
    for (const QString& path : paths) {
        const QUrl url = UrlOfPath(path);
        urls.append(url);
        gnome += '\n' + url.toEncoded();
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    QStringList shown;
    for (const QString& path : paths)
        shown.append(DisplayName(path));
    data->setText(shown.join(QLatin1Char('\n')));
    data->setData(kGnomeFormat, gnome);
    data->setData(kKdeCutFormat, cut ? "1" : "0");
    QGuiApplication::clipboard()->setMimeData(data);
}

void TLsFilelistView28::CopySelection() {
    PutOnClipboard(false);
}

void TLsFilelistView28::CutSelection() {
    PutOnClipboard(true);
}

void TLsFilelistView28::PasteClipboard() {
    if (!InFolder() || busy_)
        return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasUrls())
        return;
    QStringList sources;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            sources.append(PathOfUrl(url));
    }
    if (sources.isEmpty())
        return;
    const bool cut =
        data->data(kKdeCutFormat) == "1" || data->data(kGnomeFormat).startsWith("cut\n");
    const QString folder = directory_;
    const ExplorerLanguage language = language_;
    busy_ = true;
    const FileBatchResult result = RunFileBatch(
        this, ExplorerTextOf(language_, cut ? ExplorerText::Moving : ExplorerText::Copying),
        ExplorerTextOf(language_, ExplorerText::Cancel), [&](FileBatchControl* control) {
            return cut ? MoveInto(sources, folder, language, control)
                       : CopyInto(sources, folder, language, control);
        });
    busy_ = false;
    // Cut files are moved once; the clipboard no longer names them.
    if (cut && !result.cancelled)
        QGuiApplication::clipboard()->clear();
    Refresh();
    emit EntriesChanged(cut ? sources + QStringList{folder} : QStringList{folder});
    // The pasted files are selected where they went; in another folder the same names are
    // other files, which a Delete straight after would take.
    if (directory_ == folder)
        SelectCaptions(result.done);
    ShowError(result.failed + result.skipped);
}

void TLsFilelistView28::NextViewStyle() {
    SetViewStyle((viewStyle_ + 1) % 4);
}

QString TLsFilelistView28::CreateNewFolder() {
    if (!InFolder() || !IsFolder(directory_))
        return {};
    const QString proposed =
        UniqueName(directory_, ExplorerTextOf(language_, ExplorerText::NewFolderName));
    bool ok = false;
    const QString name = QInputDialog::getText(
        this, ExplorerTextOf(language_, ExplorerText::NewFolderName),
        ExplorerTextOf(language_, ExplorerText::NewFolderPrompt), QLineEdit::Normal, proposed, &ok);
    if (!ok || name.isEmpty())
        return {};
    QString path;
    const QString problem = MakeFolder(directory_, name, language_, &path);
    if (!problem.isEmpty()) {
        ShowWarningBox(this, problem);
        return {};
    }
    emit FolderCreated(path);
    return path;
}

void TLsFilelistView28::SelectAll() {
    // All means all: also the files of a folder still being read.
    model_->FinishLoading();
    CurrentView()->selectAll();
}

void TLsFilelistView28::DeleteSelection() {
    if (busy_)
        return;
    const QStringList paths = SelectedPaths();
    if (paths.isEmpty())
        return;
    // The desktop's trash is on the home volume; a file elsewhere (a player) would only
    // move to a hidden trash folder on its own volume, taking the same room.
    QStringList toTrash, elsewhere;
    for (const QString& path : paths)
        (OnHomeVolume(path) ? toTrash : elsewhere).append(path);
    QList<FileProblem> failed;
    QStringList permanent;
    if (!toTrash.isEmpty() &&
        AskYesNo(this,
                 ExplorerCountTextOf(language_, ExplorerText::ConfirmDelete, toTrash.size()))) {
        // Thousands of files take seconds to move: off the window's thread, with Cancel.
        busy_ = true;
        const FileBatchResult trashed =
            RunFileBatch(this, ExplorerTextOf(language_, ExplorerText::Deleting),
                         ExplorerTextOf(language_, ExplorerText::Cancel),
                         [&](FileBatchControl* control) { return MoveToTrash(toTrash, control); });
        busy_ = false;
        if (trashed.cancelled) { // the user stopped the delete: nothing more is asked
            Refresh();
            emit EntriesChanged(toTrash);
            return;
        }
        QStringList refused;
        for (const FileProblem& problem : trashed.failed)
            refused.append(problem.path);
        if (!refused.isEmpty() &&
            AskYesNo(this, ExplorerCountTextOf(language_, ExplorerText::TrashUnavailable,
                                               refused.size())))
            permanent += refused;
    }
    if (!elsewhere.isEmpty() &&
        AskYesNo(this, ExplorerCountTextOf(language_, ExplorerText::ConfirmDeletePermanently,
                                           elsewhere.size())))
        permanent += elsewhere;
    if (!permanent.isEmpty()) {
        busy_ = true;
        failed = RunFileBatch(this, ExplorerTextOf(language_, ExplorerText::Deleting),
                              ExplorerTextOf(language_, ExplorerText::Cancel),
                              [&](FileBatchControl* control) {
                                  return DeletePermanently(permanent, control);
                              })
                     .failed;
        busy_ = false;
    }
    Refresh();
    emit EntriesChanged(paths);
    ShowError(failed);
}

void TLsFilelistView28::UpOneLevel() {
    if (!InFolder())
        return;
    if (directory_ == QLatin1String("/")) {
        SetDirectory(MyComputer());
        return;
    }
    // The nearest folder above that still exists.
    QString parent = QFileInfo(directory_).absolutePath();
    while (parent != QLatin1String("/") && !IsFolder(parent))
        parent = QFileInfo(parent).absolutePath();
    SetDirectory(parent);
}

void TLsFilelistView28::RenameCurrent() {
    QAbstractItemView* view = CurrentView();
    QModelIndex index = selection_->currentIndex();
    if (!index.isValid() || !selection_->isSelected(index)) {
        const QModelIndexList selected = selection_->selectedIndexes();
        if (selected.isEmpty())
            return;
        index = selected.first();
        // The file being renamed is the current one: a change made meanwhile by another
        // program waits for the rename instead of closing the editor.
        selection_->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    const QModelIndex name = model_->index(index.row(), FileListModel::NameColumn);
    view->setFocus();
    view->edit(name);
    // The name is offered without its extension, which a new name without one keeps.
    if (auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(name))) {
        const QString text = editor->text();
        const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
        editor->setSelection(0, dot > 0 ? dot : text.size());
    }
}

void TLsFilelistView28::ShowRenameProblem(const QString& name, int outcome, const QString& reason) {
    switch (static_cast<RenameOutcome>(outcome)) {
    case RenameOutcome::Exists:
        ShowWarningBox(this,
                       ExplorerTextOf(language_, ExplorerText::NameExists).arg(DisplayName(name)));
        break;
    case RenameOutcome::Invalid:
        ShowWarningBox(this,
                       ExplorerTextOf(language_, ExplorerText::InvalidName).arg(DisplayName(name)));
        break;
    case RenameOutcome::Failed:
        ShowError({{JoinPath(directory_, name), reason}});
        break;
    default:
        break;
    }
}

void TLsFilelistView28::FindFile() {
    if (!InFolder())
        return;
    bool ok = false;
    // Taken as typed: a space is looked for like any other character, so " 1." finds
    // "Track 1.mp3" and not "Track 21.mp3".
    const QString pattern = QInputDialog::getText(
        this, ExplorerTextOf(language_, ExplorerText::Find).remove(QLatin1Char('&')),
        ExplorerTextOf(language_, ExplorerText::FindPrompt), QLineEdit::Normal, lastFind_, &ok);
    if (!ok || pattern.isEmpty())
        return;
    lastFind_ = pattern;
    // Without a wildcard the text is looked for anywhere in the name.
    const bool wild = pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'));
    const QRegularExpression re =
        WildcardExpression(wild ? pattern : QLatin1Char('*') + pattern + QLatin1Char('*'));
    QStringList found;
    for (const QString& name : ItemCaptions()) {
        if (re.match(name).hasMatch())
            found.append(name);
    }
    if (found.isEmpty()) {
        QMessageBox::information(
            this, ExplorerTextOf(language_, ExplorerText::Find).remove(QLatin1Char('&')),
            ExplorerTextOf(language_, ExplorerText::NothingFound));
        return;
    }
    SelectCaptions(found);
    CurrentView()->setFocus();
}
