#include "FileListViews.h"

FileIconView::FileIconView(std::function<void()> startDrag, QWidget* parent)
    : QListView(parent), startDrag_(std::move(startDrag)) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Renaming starts from F2 or the context menu only, never from a slow second click.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(500);
}

void FileIconView::startDrag(Qt::DropActions) {
    startDrag_();
}

FileDetailsView::FileDetailsView(std::function<void()> startDrag, QWidget* parent)
    : QTreeView(parent), startDrag_(std::move(startDrag)) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Renaming starts from F2 or the context menu only, never from a slow second click.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
}

void FileDetailsView::startDrag(Qt::DropActions) {
    startDrag_();
}
