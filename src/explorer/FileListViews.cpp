// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileListViews.h"

#include <QStyledItemDelegate>

namespace {

// Large icons stand each on a cell of the grid, which has room for three lines of name: an
// item takes the whole cell, whatever the first or the last name the view measured (with
// items of one size, the view gives every item the size of one sample). In the text views an
// item is never wider than the view: a longer name ends in "..." instead of being cut.
class FileItemDelegate : public QStyledItemDelegate {
public:
    explicit FileItemDelegate(QListView* view) : QStyledItemDelegate(view), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (view_->viewMode() == QListView::IconMode && view_->gridSize().isValid())
            return view_->gridSize();
        QSize hint = QStyledItemDelegate::sizeHint(option, index);
        const int room = view_->viewport()->width() - 2 * view_->spacing();
        if (room > 0 && hint.width() > room)
            hint.setWidth(room);
        return hint;
    }

private:
    QListView* view_;
};

} // namespace

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
    setItemDelegate(new FileItemDelegate(this));
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
