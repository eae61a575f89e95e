#include "FileListViews.h"

FileIconView::FileIconView(std::function<void()> startDrag, QWidget* parent)
    : QListView(parent), startDrag_(std::move(startDrag)) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
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
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
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
