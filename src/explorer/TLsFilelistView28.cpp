// SPDX-License-Identifier: GPL-3.0-or-later
#include "TLsFilelistView28.h"

#include "ExplorerDrag.h"
#include "ExplorerTexts.h"
#include "FileListModel.h"
#include "FileListViews.h"
#include "FileOperations.h"
#include "FolderWatcher.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QDrag>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScrollBar>
#include <QStackedLayout>
#include <QStyle>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {
// The modified date column keeps the width of the original explorer's.
constexpr int kModifiedColumnWidth = 125;
// The name column is never narrower, however short the names or narrow the pane.
constexpr int kNarrowestNameColumn = 100;
} // namespace

TLsFilelistView28::TLsFilelistView28(QWidget* parent) : QWidget(parent) {
    model_ = new FileListModel(this);
    const auto drag = [this] { StartDrag(); };
    iconView_ = new FileIconView(drag, this);
    detailsView_ = new FileDetailsView(drag, this);
    iconView_->setModel(model_);
    detailsView_->setModel(model_);
    // One selection for both faces, so a change of view style keeps it.
    selection_ = detailsView_->selectionModel();
    iconView_->setSelectionModel(selection_);

    QHeaderView* header = detailsView_->header();
    header->setStretchLastSection(false);
    header->resizeSection(FileListModel::NameColumn, 180);
    header->resizeSection(FileListModel::SizeColumn, 80);
    header->resizeSection(FileListModel::TypeColumn, 90);
    header->resizeSection(FileListModel::ModifiedColumn, kModifiedColumnWidth);
    for (const auto& [column, width] : {std::pair{FileListModel::TitleColumn, 180},
                                        {FileListModel::ArtistColumn, 130},
                                        {FileListModel::AlbumColumn, 130},
                                        {FileListModel::TrackColumn, 50},
                                        {FileListModel::LengthColumn, 60}}) {
        header->resizeSection(column, width);
        header->setSectionHidden(column, true); // until a tag reader is given
    }

    // Tags are read for the files the details view shows, as the folder is listed.
    tagLoader_ = new FileTagLoader(this);
    model_->SetTagSource(tagLoader_);
    // Only the rows in sight are painted again: telling every view of a change to all rows
    // of a big folder costs the window far more than the tags themselves.
    connect(tagLoader_, &FileTagLoader::TagsArrived, detailsView_->viewport(),
            [this] { detailsView_->viewport()->update(); });
    connect(model_, &QAbstractItemModel::modelReset, this,
            [this] { tagLoader_->Reset(model_->Folder()); });
    // Reading tags waits until the folder is listed, so listing goes as fast as without them
    // (an ordinary folder is listed at once; a huge one in a few tenths of a second).
    // Queued: the listing's last slice ends first, without the cost of queueing the reads.
    connect(model_, &FileListModel::LoadingFinished, this, [this] {
        tagsQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                tagsQueued_ = false;
                RequestTags(0, model_->rowCount() - 1);
            },
            Qt::QueuedConnection);
    });
    detailsView_->setSortingEnabled(true);
    detailsView_->sortByColumn(FileListModel::NameColumn, Qt::AscendingOrder);

    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->addWidget(iconView_);
    stack_->addWidget(detailsView_);

    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(iconView_),
                                    static_cast<QAbstractItemView*>(detailsView_)}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
            // A click beside the items is about the folder, not about a selection.
            if (!view->indexAt(pos).isValid())
                selection_->clearSelection();
            ShowContextMenu(view->viewport()->mapToGlobal(pos));
        });
        // Enter or a double click opens the files with the desktop's program.
        connect(view, &QAbstractItemView::activated, this, [this] { OpenSelection(); });
    }

    // Says why a folder cannot be read, over the empty list.
    notice_ = new QLabel(this);
    notice_->setObjectName(QStringLiteral("readNotice"));
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setWordWrap(true);
    notice_->setAutoFillBackground(true);
    notice_->setBackgroundRole(QPalette::Base);
    notice_->hide();

    connect(model_, &FileListModel::Renamed, this,
            [this](const QString& oldPath) { emit EntriesChanged({oldPath}); });
    // After the editor has closed, so the message does not interrupt it.
    connect(model_, &FileListModel::RenameRefused, this, &TLsFilelistView28::ShowRenameProblem,
            Qt::QueuedConnection);

    // The name column fits the names of each folder listed, until the user sizes it.
    connect(header, &QHeaderView::sectionResized, this, [this](int column) {
        if (column == FileListModel::NameColumn && !fittingNames_)
            nameSizedByUser_ = true;
    });
    connect(model_, &FileListModel::LoadingFinished, this, [this] {
        FitNameColumn();
        if (!pendingSelection_.isEmpty())
            RestoreSelection(pendingScroll_);
        ShowReadNotice();
    });
    connect(model_, &FileListModel::modelReset, this, [this] { ShowReadNotice(); });
    // The actions are enabled when they can act.
    connect(selection_, &QItemSelectionModel::selectionChanged, this,
            &TLsFilelistView28::UpdateActions);
    connect(model_, &FileListModel::modelReset, this, &TLsFilelistView28::UpdateActions);
    connect(model_, &FileListModel::rowsInserted, this, &TLsFilelistView28::UpdateActions);
    connect(model_, &FileListModel::rowsRemoved, this, &TLsFilelistView28::UpdateActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TLsFilelistView28::UpdateActions);

    opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    directory_ = MyComputer();
    // Files made, removed, renamed or rewritten (their tags edited) by other programs show
    // without a refresh; a burst of changes is read once.
    watcher_ = new FolderWatcher(this, true);
    changeTimer_ = new QTimer(this);
    changeTimer_->setSingleShot(true);
    changeTimer_->setInterval(200);
    connect(watcher_, &FolderWatcher::FolderChanged, changeTimer_, qOverload<>(&QTimer::start));
    connect(changeTimer_, &QTimer::timeout, this, [this] {
        const bool editing = CurrentView()->indexWidget(selection_->currentIndex()) != nullptr;
        if (busy_ || editing)
            changeTimer_->start(); // after the paste or the rename
        else {
            Refresh();
            emit EntriesChanged({directory_});
        }
    });

    CreateActions();
    SetViewStyle(2);
    ApplyTexts();
    UpdateActions();
}

void TLsFilelistView28::Watch() {
    watcher_->RemoveAll();
    if (InFolder())
        watcher_->AddPath(directory_);
}

void TLsFilelistView28::ShowReadNotice() {
    const QString error = model_->ReadError();
    notice_->setText(error.isEmpty()
                         ? QString()
                         : ExplorerTextOf(language_, ExplorerText::FolderUnreadable).arg(error));
    notice_->setVisible(!error.isEmpty() && model_->rowCount() == 0);
    if (notice_->isVisible()) {
        notice_->setGeometry(rect().adjusted(2, 2, -2, -2));
        notice_->raise();
    }
}

void TLsFilelistView28::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    notice_->setGeometry(rect().adjusted(2, 2, -2, -2));
    FitNameColumn();
}

void TLsFilelistView28::FitNameColumn() {
    if (viewStyle_ != 3 || nameSizedByUser_ || model_->IsLoading())
        return;
    // As wide as the names, but never so wide that the size beside them leaves the pane:
    // the other columns stay a short scroll away.
    QHeaderView* header = detailsView_->header();
    const int names = std::max(header->sectionSizeHint(FileListModel::NameColumn),
                               detailsView_->ContentWidth(FileListModel::NameColumn));
    const int room =
        detailsView_->viewport()->width() - header->sectionSize(FileListModel::SizeColumn);
    fittingNames_ = true;
    header->resizeSection(FileListModel::NameColumn,
                          std::max(kNarrowestNameColumn, std::min(names, room)));
    fittingNames_ = false;
}

QString TLsFilelistView28::MyComputer() {
    return QStringLiteral("My Computer");
}

void TLsFilelistView28::SetDirectory(const QString& dir) {
    if (dir == directory_)
        return;
    QString target = dir;
    if (dir != MyComputer()) {
        if (!IsFolder(dir))
            return;
        target = QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
        if (target == directory_)
            return;
    }
    directory_ = target;
    pendingSelection_.clear();
    nameSizedByUser_ = false;
    model_->Load(InFolder() ? directory_ : QString());
    Watch();
    UpdateActions();
    emit DirectoryChanged(directory_);
}

QString TLsFilelistView28::Directory() const {
    return directory_;
}

bool TLsFilelistView28::InFolder() const {
    return directory_ != MyComputer();
}

void TLsFilelistView28::Refresh() {
    Watch();
    // The selection comes back once the folder is read again, also when that takes
    // several slices; the current item and the scroll position too.
    QStringList selected = IsLoading() ? pendingSelection_ : SelectedCaptions();
    const QString current = model_->FileName(selection_->currentIndex().row());
    if (!current.isEmpty() && selected.removeOne(current))
        selected.prepend(current);
    const int scroll = CurrentView()->verticalScrollBar()->value();
    const bool present = InFolder() && IsFolder(directory_);
    pendingSelection_ = selected;
    model_->Load(present ? directory_ : QString());
    if (!IsLoading())
        RestoreSelection(scroll);
    else
        pendingScroll_ = scroll;
}

void TLsFilelistView28::RestoreSelection(int scroll) {
    const QStringList selected = std::move(pendingSelection_);
    pendingSelection_.clear();
    if (selected.isEmpty())
        return;
    SelectCaptions(selected, false);
    CurrentView()->verticalScrollBar()->setValue(scroll);
}

void TLsFilelistView28::SetLanguage(ExplorerLanguage language) {
    language_ = language;
    model_->SetLanguage(language);
    ApplyTexts();
    ShowReadNotice();
}

void TLsFilelistView28::SetViewStyle(int style) {
    if (style < 0 || style > 3 || style == viewStyle_)
        return;
    const bool hadFocus = CurrentView() && CurrentView()->hasFocus();
    viewStyle_ = style;
    const int small = style == 0 ? 32 : 16;
    if (style == 3) {
        stack_->setCurrentWidget(detailsView_);
        FitNameColumn();
        RequestTags(0, model_->rowCount() - 1);
    } else {
        iconView_->setViewMode(style == 0 ? QListView::IconMode : QListView::ListMode);
        iconView_->setIconSize(QSize(small, small));
        iconView_->setFlow(style == 2 ? QListView::TopToBottom : QListView::LeftToRight);
        iconView_->setWrapping(true);
        iconView_->setWordWrap(style == 0);
        // Changing the view mode resets these; items never move, drags always start.
        iconView_->setMovement(QListView::Static);
        iconView_->setDragEnabled(true);
        iconView_->setDragDropMode(QAbstractItemView::DragOnly);
        iconView_->setResizeMode(QListView::Adjust);
        // Large icons stand on a grid with room for three lines of name; the text views
        // size each item to its name.
        const int lines = 3 * iconView_->fontMetrics().lineSpacing();
        iconView_->setGridSize(style == 0 ? QSize(110, 32 + lines + 12) : QSize());
        iconView_->setUniformItemSizes(style == 0);
        iconView_->setSpacing(style == 0 ? 0 : 2);
        stack_->setCurrentWidget(iconView_);
    }
    if (hadFocus)
        CurrentView()->setFocus();
    emit ViewStyleChanged(style);
}

QAbstractItemView* TLsFilelistView28::CurrentView() const {
    if (viewStyle_ == 3)
        return detailsView_;
    return iconView_;
}

QStringList TLsFilelistView28::ItemCaptions() const {
    model_->FinishLoading();
    QStringList names;
    names.reserve(model_->rowCount());
    for (int row = 0; row < model_->rowCount(); ++row)
        names.append(model_->FileName(row));
    return names;
}

QStringList TLsFilelistView28::SelectedCaptions() const {
    // From the ranges, not from every selected cell.
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selection_->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList names;
    names.reserve(static_cast<qsizetype>(rows.size()));
    for (int row : rows)
        names.append(model_->FileName(row));
    return names;
}

QStringList TLsFilelistView28::SelectedPaths() const {
    QStringList paths;
    for (const QString& name : SelectedCaptions())
        paths.append(JoinPath(directory_, name));
    return paths;
}

bool TLsFilelistView28::HasSelection() const {
    return selection_->hasSelection();
}

void TLsFilelistView28::SelectCaptions(const QStringList& names) {
    SelectCaptions(names, true);
}

void TLsFilelistView28::SelectCaptions(const QStringList& names, bool reveal) {
    model_->FinishLoading();
    // Rows in order, joined into runs: one range per run, not one per row.
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names) {
        const int row = model_->RowOfName(name);
        if (row >= 0)
            rows.push_back(row);
    }
    const int first = rows.empty() ? -1 : rows.front();
    std::sort(rows.begin(), rows.end());
    QItemSelection wanted;
    const int last = FileListModel::ColumnCount - 1;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] <= rows[j] + 1)
            ++j;
        wanted.append(QItemSelectionRange(model_->index(rows[i], 0), model_->index(rows[j], last)));
        i = j + 1;
    }
    selection_->select(wanted, QItemSelectionModel::ClearAndSelect);
    if (first >= 0) {
        const QModelIndex current = model_->index(first, 0);
        selection_->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        if (reveal)
            CurrentView()->scrollTo(current);
    }
}

void TLsFilelistView28::SetMask(const QString& mask) {
    if (mask == model_->Mask())
        return;
    model_->SetMask(mask);
    Refresh();
}

QString TLsFilelistView28::Mask() const {
    return model_->Mask();
}

bool TLsFilelistView28::IsLoading() const {
    return model_->IsLoading();
}

bool TLsFilelistView28::CanStartDrag() const {
    return HasSelection();
}

void TLsFilelistView28::StartDrag() {
    if (!CanStartDrag())
        return;
    // The list itself is the source: a drop target reads the selection from it.
    auto* drag = new QDrag(this);
    QList<QUrl> urls;
    for (const QString& path : SelectedPaths())
        urls.append(UrlOfPath(path));
    drag->setMimeData(NewExplorerDragData(urls));
    drag->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(32, 32));
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void TLsFilelistView28::SetTagReader(FileTagReader reader) {
    const bool shown = static_cast<bool>(reader);
    tagLoader_->SetReader(std::move(reader));
    for (int column = FileListModel::TitleColumn; column <= FileListModel::LengthColumn; ++column)
        detailsView_->header()->setSectionHidden(column, !shown);
    RequestTags(0, model_->rowCount() - 1);
}

void TLsFilelistView28::SetTagCaptions(const QStringList& captions) {
    model_->SetTagCaptions(captions);
}

bool TLsFilelistView28::TagsLoading() const {
    return tagsQueued_ || !tagLoader_->IsIdle();
}

void TLsFilelistView28::RequestTags(int first, int last) {
    // Only the details view shows tags; the other views never make the disk work for them.
    if (viewStyle_ != 3 || !tagLoader_->HasReader() || model_->IsLoading() || first > last)
        return;
    QStringList names;
    names.reserve(last - first + 1);
    for (int row = first; row <= last; ++row)
        names.append(model_->FileName(row));
    tagLoader_->Request(names);
}

void TLsFilelistView28::SetUrlOpener(std::function<bool(const QUrl&)> opener) {
    opener_ = std::move(opener);
}
