#include "TLsDirTree21.h"

#include "DriveList.h"
#include "ExplorerDrag.h"
#include "ExplorerTexts.h"
#include "FileOperations.h"
#include "TLsFilelistView28.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QDrag>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QInputDialog>
#include <QPersistentModelIndex>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;

int LevelOf(const QTreeWidgetItem* item) {
    int level = -1;
    for (; item; item = item->parent())
        ++level;
    return level;
}

bool IsInside(const QTreeWidgetItem* item, const QTreeWidgetItem* ancestor) {
    for (; item; item = item->parent()) {
        if (item == ancestor)
            return true;
    }
    return false;
}

QString DriveCaption(const QString& mountPoint) {
    if (mountPoint == QLatin1String("/"))
        return mountPoint;
    return QStringLiteral("%1 (%2)").arg(QFileInfo(mountPoint).fileName(), mountPoint);
}

} // namespace

TLsDirTree21::TLsDirTree21(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderHidden(true);
    // No lines and no expand button at the computer's level.
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setExpandsOnDoubleClick(true);

    opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { LoadChildren(item, false); });
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { CurrentChanged(current); });
    CreateActions();
    Reload();
}

QString TLsDirTree21::PathOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, kPathRole).toString() : QString();
}

bool TLsDirTree21::IsLoaded(const QTreeWidgetItem* item) {
    return item && item->data(0, kLoadedRole).toBool();
}

void TLsDirTree21::SetDrives(const QStringList& mountPoints) {
    customDrives_ = !mountPoints.isEmpty();
    drives_ = mountPoints;
    Reload();
}

void TLsDirTree21::Reload() {
    quiet_ = true;
    clear();
    if (!customDrives_)
        drives_ = SystemDrives();
    const QFileIconProvider icons;
    root_ = new QTreeWidgetItem(this);
    root_->setIcon(0, icons.icon(QFileIconProvider::Computer));
    root_->setData(0, kLoadedRole, true);
    for (const QString& drive : drives_) {
        auto* item = new QTreeWidgetItem(root_);
        item->setText(0, DriveCaption(drive));
        item->setIcon(0, icons.icon(QFileIconProvider::Drive));
        item->setData(0, kPathRole, drive);
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    root_->setExpanded(true);
    ApplyTexts();
    quiet_ = false;
}

QTreeWidgetItem* TLsDirTree21::NewFolderItem(QTreeWidgetItem* parent, const QString& name,
                                             int index) {
    static const QIcon folderIcon = QFileIconProvider().icon(QFileIconProvider::Folder);
    auto* item = new QTreeWidgetItem;
    item->setText(0, name);
    item->setIcon(0, folderIcon);
    item->setData(0, kPathRole, JoinPath(PathOf(parent), name));
    // Whether it holds folders is known once it is opened.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    parent->insertChild(index, item);
    return item;
}

void TLsDirTree21::LoadChildren(QTreeWidgetItem* item, bool force) {
    if (!item || item == root_ || (IsLoaded(item) && !force))
        return;
    const QString path = PathOf(item);
    if (!QFileInfo(path).isDir()) {
        // The folder has gone: leave it for its parent.
        if (LevelOf(item) >= 2) {
            QPersistentModelIndex gone = indexFromItem(item);
            QTimer::singleShot(0, this, [this, gone] {
                QTreeWidgetItem* vanished = gone.isValid() ? itemFromIndex(gone) : nullptr;
                if (!vanished)
                    return;
                if (IsInside(currentItem(), vanished))
                    setCurrentItem(vanished->parent());
                delete vanished;
            });
        }
        return;
    }
    // Symbolic links to folders are shown like folders; as each level is read only when
    // opened, a link loop never recurses by itself. Unreadable folders stay empty.
    const QStringList names = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                                   QDir::Name | QDir::IgnoreCase);

    // Merge, so that the opened sub-folders and the selection stay where they are.
    for (int i = item->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* child = item->child(i);
        if (names.contains(child->text(0)))
            continue;
        if (IsInside(currentItem(), child))
            setCurrentItem(item);
        delete child;
    }
    int pos = 0;
    for (const QString& name : names) {
        if (pos < item->childCount() && item->child(pos)->text(0) == name) {
            ++pos;
            continue;
        }
        if (QTreeWidgetItem* existing = ChildNamed(item, name)) {
            pos = item->indexOfChild(existing) + 1;
            continue;
        }
        NewFolderItem(item, name, pos++);
    }
    item->setData(0, kLoadedRole, true);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QTreeWidgetItem* TLsDirTree21::ChildNamed(QTreeWidgetItem* item, const QString& name) const {
    for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->text(0) == name)
            return item->child(i);
    }
    return nullptr;
}

QTreeWidgetItem* TLsDirTree21::EnsureChild(QTreeWidgetItem* item, const QString& name) {
    if (QTreeWidgetItem* child = ChildNamed(item, name))
        return child;
    // A folder that its parent does not list (a parent we may pass but not read).
    int pos = 0;
    while (pos < item->childCount() &&
           QString::compare(item->child(pos)->text(0), name, Qt::CaseInsensitive) < 0)
        ++pos;
    return NewFolderItem(item, name, pos);
}

void TLsDirTree21::OpenPath(const QString& path) {
    if (path.size() <= 1)
        return;
    const QFileInfo info(path);
    if (!info.isDir())
        return;
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    const QString drive = DriveForPath(drives_, folder);
    if (drive.isEmpty())
        return;
    QTreeWidgetItem* item = nullptr;
    for (int i = 0; i < root_->childCount() && !item; ++i) {
        if (PathOf(root_->child(i)) == drive)
            item = root_->child(i);
    }
    if (!item)
        return;
    const QStringList parts = folder.mid(drive.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    quiet_ = true;
    for (const QString& part : parts) {
        LoadChildren(item, false);
        item->setExpanded(true);
        item = EnsureChild(item, part);
    }
    setCurrentItem(item);
    quiet_ = false;
    scrollToItem(item, QAbstractItemView::PositionAtCenter);
    CurrentChanged(item);
}

QString TLsDirTree21::SelectedPath() const {
    return PathOf(currentItem());
}

int TLsDirTree21::SelectedLevel() const {
    return LevelOf(currentItem());
}

void TLsDirTree21::CurrentChanged(QTreeWidgetItem* current) {
    if (quiet_ || !current)
        return;
    if (current != root_ && !QFileInfo(PathOf(current)).isDir()) {
        LoadChildren(current, true); // leaves a folder that has gone
        return;
    }
    emit OnDirChange(SelectedPath());
    if (list_)
        list_->SetDirectory(current == root_ ? TLsFilelistView28::MyComputer() : PathOf(current));
}

void TLsDirTree21::SetFileList(TLsFilelistView28* list) {
    for (const auto& c : listConnections_)
        disconnect(c);
    listConnections_.clear();
    list_ = list;
    if (!list)
        return;
    listConnections_.append(
        connect(list, &TLsFilelistView28::DirectoryChanged, this, &TLsDirTree21::FollowList));
    listConnections_.append(
        connect(list, &TLsFilelistView28::FolderCreated, this, &TLsDirTree21::FolderCreated));
    if (QTreeWidgetItem* current = currentItem())
        list->SetDirectory(current == root_ ? TLsFilelistView28::MyComputer() : PathOf(current));
}

void TLsDirTree21::FollowList(const QString& dir) {
    if (dir == TLsFilelistView28::MyComputer()) {
        if (currentItem() != root_)
            setCurrentItem(root_);
        return;
    }
    if (dir != SelectedPath())
        OpenPath(dir);
}

void TLsDirTree21::FolderCreated(const QString& path) {
    const QString parent = QFileInfo(path).absolutePath();
    QTreeWidgetItem* current = currentItem();
    if (current && PathOf(current) == parent && IsLoaded(current))
        LoadChildren(current, true);
}

void TLsDirTree21::RefreshSelected() {
    QTreeWidgetItem* current = currentItem();
    if (current && current != root_ && IsLoaded(current))
        LoadChildren(current, true);
}

void TLsDirTree21::SetUrlOpener(std::function<bool(const QUrl&)> opener) {
    opener_ = std::move(opener);
}

void TLsDirTree21::startDrag(Qt::DropActions) {
    if (!currentItem())
        return;
    // The tree itself is the source: a drop target reads SelectedPath from it.
    auto* drag = new QDrag(this);
    drag->setMimeData(NewExplorerDragData());
    drag->setPixmap(currentItem()->icon(0).pixmap(32, 32));
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void TLsDirTree21::SetLanguage(ExplorerLanguage language) {
    language_ = language;
    ApplyTexts();
}

void TLsDirTree21::CreateActions() {
    setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto add = [this](const char* name, ExplorerText text, const QKeySequence& key) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setData(static_cast<int>(text));
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        addAction(action);
        return action;
    };
    // Open and New folder have no key: Ctrl+O and Ctrl+N belong to the main window.
    connect(add("actionOpen", ExplorerText::Open, QKeySequence()), &QAction::triggered, this,
            [this] {
                if (SelectedLevel() >= 1)
                    opener_(QUrl::fromLocalFile(SelectedPath()));
            });
    connect(add("actionNewFolder", ExplorerText::NewFolder, QKeySequence()), &QAction::triggered,
            this, &TLsDirTree21::NewFolder);
    connect(add("actionRefresh", ExplorerText::Refresh, QKeySequence(Qt::Key_F5)),
            &QAction::triggered, this, &TLsDirTree21::RefreshSelected);
}

void TLsDirTree21::ApplyTexts() {
    if (root_)
        root_->setText(0, ExplorerTextOf(language_, ExplorerText::MyComputer));
    for (QAction* action : actions())
        action->setText(
            ExplorerTextOf(language_, static_cast<ExplorerText>(action->data().toInt())));
}

void TLsDirTree21::NewFolder() {
    QTreeWidgetItem* current = currentItem();
    if (!current || current == root_)
        return;
    const QString parent = PathOf(current);
    bool ok = false;
    const QString name =
        QInputDialog::getText(
            this, ExplorerTextOf(language_, ExplorerText::NewFolderName),
            ExplorerTextOf(language_, ExplorerText::NewFolderPrompt), QLineEdit::Normal,
            UniqueName(parent, ExplorerTextOf(language_, ExplorerText::NewFolderName)), &ok)
            .trimmed();
    if (!ok || name.isEmpty() || name.contains(QLatin1Char('/')) ||
        !QDir().mkdir(JoinPath(parent, name)))
        return;
    OpenPath(JoinPath(parent, name));
}
