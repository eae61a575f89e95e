// The file list's own actions: keys, context menu and the file operations behind them.
#include "TLsFilelistView28.h"

#include "ExplorerTexts.h"
#include "FileListModel.h"
#include "FileListViews.h"
#include "FileOperations.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

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

void TLsFilelistView28::ApplyTexts() {
    for (QAction* action : actionList_)
        action->setText(
            ExplorerTextOf(language_, static_cast<ExplorerText>(action->data().toInt())));
}

void TLsFilelistView28::ShowContextMenu(const QPoint& globalPos) {
    QMenu menu(this);
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

void TLsFilelistView28::ShowError(const QStringList& failed) {
    if (failed.isEmpty())
        return;
    QStringList names;
    for (const QString& path : failed)
        names.append(QFileInfo(path).fileName());
    QMessageBox::warning(this, ExplorerTextOf(language_, ExplorerText::ErrorTitle),
                         ExplorerTextOf(language_, ExplorerText::OperationFailed)
                             .arg(names.join(QStringLiteral(", "))));
}

void TLsFilelistView28::OpenSelection() {
    for (const QString& path : SelectedPaths())
        opener_(QUrl::fromLocalFile(path));
}

void TLsFilelistView28::PutOnClipboard(bool cut) {
    const QStringList paths = SelectedPaths();
    if (paths.isEmpty())
        return;
    QList<QUrl> urls;
    QByteArray gnome = cut ? "cut" : "copy";
    for (const QString& path : paths) {
        const QUrl url = QUrl::fromLocalFile(path);
        urls.append(url);
        gnome += '\n' + url.toEncoded();
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    data->setText(paths.join(QLatin1Char('\n')));
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
    if (!InFolder())
        return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasUrls())
        return;
    QStringList sources;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            sources.append(url.toLocalFile());
    }
    if (sources.isEmpty())
        return;
    const bool cut =
        data->data(kKdeCutFormat) == "1" || data->data(kGnomeFormat).startsWith("cut\n");
    const FileBatchResult result =
        cut ? MoveInto(sources, directory_) : CopyInto(sources, directory_);
    // Cut files are moved once; the clipboard no longer names them.
    if (cut)
        QGuiApplication::clipboard()->clear();
    Refresh();
    SelectCaptions(result.done);
    ShowError(result.failed);
}

void TLsFilelistView28::NextViewStyle() {
    SetViewStyle((viewStyle_ + 1) % 4);
}

QString TLsFilelistView28::CreateNewFolder() {
    if (!InFolder() || !QFileInfo(directory_).isDir())
        return {};
    const QString proposed =
        UniqueName(directory_, ExplorerTextOf(language_, ExplorerText::NewFolderName));
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, ExplorerTextOf(language_, ExplorerText::NewFolderName),
                              ExplorerTextOf(language_, ExplorerText::NewFolderPrompt),
                              QLineEdit::Normal, proposed, &ok)
            .trimmed();
    if (!ok || name.isEmpty())
        return {};
    const QString path = JoinPath(directory_, name);
    if (name.contains(QLatin1Char('/')) || name == QLatin1String("..") ||
        name == QLatin1String(".") || !QDir().mkdir(path)) {
        ShowError({path});
        return {};
    }
    emit FolderCreated(path);
    return path;
}

void TLsFilelistView28::SelectAll() {
    CurrentView()->selectAll();
}

void TLsFilelistView28::DeleteSelection() {
    const QStringList paths = SelectedPaths();
    if (paths.isEmpty())
        return;
    const auto answer = QMessageBox::question(
        this, ExplorerTextOf(language_, ExplorerText::ConfirmDeleteTitle),
        ExplorerTextOf(language_, ExplorerText::ConfirmDelete).arg(paths.size()),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    const FileBatchResult result = MoveToTrash(paths);
    Refresh();
    ShowError(result.failed);
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
    while (parent != QLatin1String("/") && !QFileInfo(parent).isDir())
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
    }
    view->setFocus();
    view->edit(model_->index(index.row(), FileListModel::NameColumn));
}

void TLsFilelistView28::FindFile() {
    if (!InFolder())
        return;
    bool ok = false;
    const QString pattern =
        QInputDialog::getText(
            this, ExplorerTextOf(language_, ExplorerText::Find).remove(QLatin1Char('&')),
            ExplorerTextOf(language_, ExplorerText::FindPrompt), QLineEdit::Normal, lastFind_, &ok)
            .trimmed();
    if (!ok || pattern.isEmpty())
        return;
    lastFind_ = pattern;
    // Without a wildcard the text is looked for anywhere in the name.
    const bool wild = pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'));
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(
                                    wild ? pattern : QLatin1Char('*') + pattern + QLatin1Char('*'),
                                    QRegularExpression::DefaultWildcardConversion),
                                QRegularExpression::CaseInsensitiveOption);
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
