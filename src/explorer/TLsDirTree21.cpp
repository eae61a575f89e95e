// SPDX-License-Identifier: GPL-3.0-or-later
#include "TLsDirTree21.h"

#include "DriveList.h"
#include "ExplorerDrag.h"
#include "ExplorerTexts.h"
#include "FileListModel.h"
#include "FileOperations.h"
#include "FolderWatcher.h"
#include "MessageBoxes.h"
#include "TLsFilelistView28.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QDrag>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QPersistentModelIndex>
#include <QScrollBar>
#include <QSet>
#include <QTimer>
#include <QTreeWidgetItemIterator>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLoadedRole = Qt::UserRole + 1;
constexpr int kNameRole = Qt::UserRole + 2; // the folder's host name, stray bytes escaped
// Opened folders watched for changes at most (each takes a kernel watch).
constexpr int kWatchedFolders = 256;

QString NameOf(const QTreeWidgetItem* item) {
    return item->data(0, kNameRole).toString();
}

// The sub-folders of `path` (links to folders too), in natural order; `error` receives
// why the folder could not be read. Names starting with "." are hidden folders.
QStringList FolderNames(const QString& path, bool hidden, QString* error) {
    QStringList names;
    DIR* dir = ::opendir(HostBytes(path).constData());
    if (!dir) {
        *error = ReasonOfErrno(errno);
        return names;
    }
    const int fd = ::dirfd(dir);
    while (const dirent* d = ::readdir(dir)) {
        if (d->d_name[0] == '.' &&
            (!hidden || std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0))
            continue;
        if (d->d_type != DT_DIR) {
            struct stat st = {};
            if ((d->d_type != DT_LNK && d->d_type != DT_UNKNOWN) ||
                ::fstatat(fd, d->d_name, &st, 0) != 0 || !S_ISDIR(st.st_mode))
                continue;
        }
        names.append(HostString(QByteArray(d->d_name)));
    }
    ::closedir(dir);
    // One sort key per name: comparing keys is a byte comparison.
    const QCollator collator = FileListModel::NaturalCollator();
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(static_cast<std::size_t>(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        keys.emplace_back(collator.sortKey(DisplayName(names[i])), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        const int c = a.first.compare(b.first);
        return c != 0 ? c < 0 : names[a.second] < names[b.second];
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto& key : keys)
        sorted.append(names[key.second]);
    return sorted;
}

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
    return QStringLiteral("%1 (%2)").arg(DisplayName(QFileInfo(mountPoint).fileName()),
                                         DisplayName(mountPoint));
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
    // One column as wide as its longest name: deep folders scroll sideways, never cut.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { LoadChildren(item, false); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        UpdateActions();
        CurrentChanged(current);
    });
    CreateActions();
    Reload();

    mounts_ = new MountWatcher(this);
    connect(mounts_, &MountWatcher::MountsChanged, this, &TLsDirTree21::DrivesChanged);
    folders_ = new FolderWatcher(this);
    connect(folders_, &FolderWatcher::FolderChanged, this, &TLsDirTree21::FolderChanged);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        const QString path = PathOf(item);
        if (!path.isEmpty() && folders_->Folders().size() < kWatchedFolders)
            folders_->AddPath(path);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (!PathOf(item).isEmpty())
            folders_->RemovePath(PathOf(item));
    });
}

void TLsDirTree21::DrivesChanged() {
    if (customDrives_)
        return;
    const QStringList now = SystemDrives();
    if (now == drives_)
        return;
    drives_ = now;
    // Drives that left go with their folders; the selection falls back to the computer.
    PruneChildren(root_, [&](QTreeWidgetItem* drive) { return now.contains(PathOf(drive)); });
    const QFileIconProvider icons;
    for (int i = 0; i < now.size(); ++i) {
        if (i < root_->childCount() && PathOf(root_->child(i)) == now[i])
            continue;
        auto* item = new QTreeWidgetItem;
        item->setText(0, DriveCaption(now[i]));
        item->setIcon(0, icons.icon(QFileIconProvider::Drive));
        item->setData(0, kPathRole, now[i]);
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        root_->insertChild(i, item);
    }
}

QTreeWidgetItem* TLsDirTree21::ItemOfPath(const QString& path) const {
    const QString drive = DriveForPath(drives_, path);
    QTreeWidgetItem* item = nullptr;
    for (int i = 0; i < root_->childCount() && !item; ++i) {
        if (PathOf(root_->child(i)) == drive)
            item = root_->child(i);
    }
    const QStringList parts = path.mid(drive.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (!item)
            return nullptr;
        item = ChildNamed(item, part);
    }
    return item;
}

void TLsDirTree21::FolderChanged(const QString& path) {
    QTreeWidgetItem* item = ItemOfPath(path);
    if (item && IsLoaded(item))
        LoadChildren(item, true);
    if (!IsFolder(path))
        folders_->RemovePath(path);
    emit EntriesChanged({path});
}

void TLsDirTree21::PruneChildren(QTreeWidgetItem* parent,
                                 const std::function<bool(QTreeWidgetItem*)>& keep) {
    // A selection inside a removed item moves up to the parent, never to nothing.
    for (int i = parent->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* child = parent->child(i);
        if (keep(child))
            continue;
        if (IsInside(currentItem(), child))
            setCurrentItem(parent);
        delete child;
    }
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
    UpdateActions();
    quiet_ = false;
}

QTreeWidgetItem* TLsDirTree21::NewFolderItem(QTreeWidgetItem* parent, const QString& name,
                                             int index) {
    QTreeWidgetItem* item = MakeFolderItem(PathOf(parent), name);
    if (index >= 0)
        parent->insertChild(index, item);
    return item;
}

QTreeWidgetItem* TLsDirTree21::MakeFolderItem(const QString& parentPath, const QString& name) {
    static const QIcon folderIcon = QFileIconProvider().icon(QFileIconProvider::Folder);
    auto* item = new QTreeWidgetItem;
    item->setText(0, DisplayName(name));
    item->setIcon(0, folderIcon);
    item->setData(0, kPathRole, JoinPath(parentPath, name));
    item->setData(0, kNameRole, name);
    // Whether it holds folders is known once it is opened.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void TLsDirTree21::LoadChildren(QTreeWidgetItem* item, bool force) {
    if (!item || item == root_ || (IsLoaded(item) && !force))
        return;
    const QString path = PathOf(item);
    if (!IsFolder(path)) {
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
    // opened, a link loop never recurses by itself.
    QString error;
    const QStringList names = FolderNames(path, showHidden_, &error);
    // A folder that cannot be read says so.
    item->setToolTip(0, error.isEmpty()
                            ? QString()
                            : ExplorerTextOf(language_, ExplorerText::FolderUnreadable).arg(error));
    if (item->childCount() == 0) {
        // First reading: every item at once.
        QList<QTreeWidgetItem*> items;
        items.reserve(names.size());
        for (const QString& name : names)
            items.append(MakeFolderItem(path, name));
        item->addChildren(items);
    } else {
        // Merge, so that the opened sub-folders and the selection stay where they are;
        // both sides are in the same order, so one pass does it.
        // A hidden folder the user is in stays until the user leaves it.
        const QSet<QString> wanted(names.begin(), names.end());
        PruneChildren(item, [&](QTreeWidgetItem* child) {
            return wanted.contains(NameOf(child)) ||
                   (IsInside(currentItem(), child) && IsFolder(PathOf(child)));
        });
        QSet<QString> present;
        for (int i = 0; i < item->childCount(); ++i)
            present.insert(NameOf(item->child(i)));
        int pos = 0;
        for (const QString& name : names) {
            if (present.contains(name)) {
                while (pos < item->childCount() && NameOf(item->child(pos)) != name)
                    ++pos;
                ++pos;
                continue;
            }
            NewFolderItem(item, name, std::min(pos, item->childCount()));
            ++pos;
        }
    }
    item->setData(0, kLoadedRole, true);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QTreeWidgetItem* TLsDirTree21::ChildNamed(QTreeWidgetItem* item, const QString& name) const {
    for (int i = 0; i < item->childCount(); ++i) {
        if (NameOf(item->child(i)) == name)
            return item->child(i);
    }
    return nullptr;
}

QTreeWidgetItem* TLsDirTree21::EnsureChild(QTreeWidgetItem* item, const QString& name) {
    if (QTreeWidgetItem* child = ChildNamed(item, name))
        return child;
    // A folder that its parent does not list (a parent we may pass but not read).
    const QCollator collator = FileListModel::NaturalCollator();
    int pos = 0;
    while (pos < item->childCount() &&
           collator.compare(item->child(pos)->text(0), DisplayName(name)) < 0)
        ++pos;
    return NewFolderItem(item, name, pos);
}

void TLsDirTree21::OpenPath(const QString& path) {
    // A one-character path names no folder, except "/", a drive like the others here.
    if (path.isEmpty() || (path.size() == 1 && path != QLatin1String("/")))
        return;
    if (!IsFolder(path))
        return;
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
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
    RevealLabelOf(item);
    CurrentChanged(item);
}

void TLsDirTree21::RevealLabelOf(QTreeWidgetItem* item) {
    // Centring also centres sideways, which cuts the names' beginnings in a narrow pane.
    // The tree stays at its left edge while the item's icon and the start of its name show
    // there; a deeper one is shown from its parent's branch line.
    // The column's width and so the scroll range follow the newly opened folders first.
    header()->resizeSections(QHeaderView::ResizeToContents);
    updateGeometries();
    QScrollBar* sideways = horizontalScrollBar();
    const int left = visualItemRect(item).left() + sideways->value();
    const int room = viewport()->width();
    const int start = iconSize().width() + fontMetrics().horizontalAdvance(item->text(0).left(4));
    sideways->setValue(left + start <= room ? 0 : left - indentation());
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
    if (current != root_ && !IsFolder(PathOf(current))) {
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

void TLsDirTree21::SetShowHidden(bool show) {
    if (show == showHidden_)
        return;
    showHidden_ = show;
    // Every folder read so far is read again, parents first: a folder that goes takes its
    // opened sub-folders with it.
    QList<QPersistentModelIndex> loaded;
    for (QTreeWidgetItemIterator it(this); *it; ++it)
        if (*it != root_ && IsLoaded(*it))
            loaded.append(indexFromItem(*it));
    for (const QPersistentModelIndex& index : loaded)
        if (index.isValid())
            LoadChildren(itemFromIndex(index), true);
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
    QList<QUrl> urls;
    if (SelectedLevel() >= 2) // a folder; the computer and the drives are no files
        urls.append(UrlOfPath(SelectedPath()));
    drag->setMimeData(NewExplorerDragData(urls));
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
        ownActions_.append(action);
        return action;
    };
    // Open and New folder have no key: Ctrl+O and Ctrl+N belong to the main window.
    connect(add("actionOpen", ExplorerText::Open, QKeySequence()), &QAction::triggered, this,
            [this] {
                if (SelectedLevel() >= 1)
                    opener_(UrlOfPath(SelectedPath()));
            });
    connect(add("actionNewFolder", ExplorerText::NewFolder, QKeySequence()), &QAction::triggered,
            this, &TLsDirTree21::NewFolder);
    connect(add("actionRefresh", ExplorerText::Refresh, QKeySequence(Qt::Key_F5)),
            &QAction::triggered, this, &TLsDirTree21::RefreshSelected);
}

void TLsDirTree21::AddHostActions(const QList<QAction*>& actions) {
    QAction* first = ownActions_.isEmpty() ? nullptr : ownActions_.first();
    for (QAction* action : actions) {
        action->setShortcutContext(Qt::WidgetShortcut);
        insertAction(first, action);
    }
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    insertAction(first, separator);
}

void TLsDirTree21::UpdateActions() {
    // Each action acts on a drive or a folder: not on the computer, nor without a selection.
    const bool folder = SelectedLevel() >= 1;
    for (QAction* action : ownActions_)
        action->setEnabled(folder);
}

void TLsDirTree21::ApplyTexts() {
    if (root_)
        root_->setText(0, ExplorerTextOf(language_, ExplorerText::MyComputer));
    for (QAction* action : ownActions_)
        action->setText(
            ExplorerTextOf(language_, static_cast<ExplorerText>(action->data().toInt())));
}

void TLsDirTree21::NewFolder() {
    QTreeWidgetItem* current = currentItem();
    if (!current || current == root_)
        return;
    const QString parent = PathOf(current);
    bool ok = false;
    const QString name = QInputDialog::getText(
        this, ExplorerTextOf(language_, ExplorerText::NewFolderName),
        ExplorerTextOf(language_, ExplorerText::NewFolderPrompt), QLineEdit::Normal,
        UniqueName(parent, ExplorerTextOf(language_, ExplorerText::NewFolderName)), &ok);
    if (!ok || name.isEmpty())
        return;
    QString path;
    const QString problem = MakeFolder(parent, name, language_, &path);
    if (!problem.isEmpty()) {
        ShowWarningBox(this, problem);
        return;
    }
    OpenPath(path);
}
