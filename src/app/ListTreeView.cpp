// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListTreeView.h"

#include "ListTreeModel.h"
#include "Main.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>

#include <vector>

ListTreeView::ListTreeView(TForm1& form, ListTreeModel* model, QWidget* parent)
    : QTreeView(parent), form_(form), model_(model),
      dragSource_([](const QDropEvent* e) { return e->source(); }) {
    setModel(model);
    model->SetSelectionModel(selectionModel());
    header()->hide();
    setFrameShape(QFrame::NoFrame);
    setIndentation(19);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false);
    setUniformRowHeights(true);
    setAutoScroll(true);
    // The selected node stays visible, in the active colours, when the tree loses the focus.
    QPalette p = palette();
    p.setBrush(QPalette::Inactive, QPalette::Highlight,
               p.brush(QPalette::Active, QPalette::Highlight));
    p.setBrush(QPalette::Inactive, QPalette::HighlightedText,
               p.brush(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    expandAll();
    // New nodes show at once: the parent of every inserted row is expanded.
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent, int, int) {
                if (parent.isValid() && !isExpanded(parent))
                    expand(parent);
            });
    // After a bulk change (a load, a reset) the tree looks as if its rows had come one by one.
    connect(model, &QAbstractItemModel::modelReset, this, &ListTreeView::ExpandFolders);
}

void ListTreeView::ExpandFolders() {
    // Only folders are visited: expanding is stored until the next layout, so this stays
    // linear in the number of folders whatever the number of media files.
    std::vector<QModelIndex> pending{model_->index(0, 0)};
    while (!pending.empty()) {
        const QModelIndex parent = pending.back();
        pending.pop_back();
        const int rows = model_->rowCount(parent);
        if (rows == 0)
            continue;
        expand(parent);
        for (int row = 0; row < rows; ++row) {
            const QModelIndex child = model_->index(row, 0, parent);
            if (!model_->NodeAt(child)->IsMediaFile())
                pending.push_back(child);
        }
    }
}

void ListTreeView::SetDragSourceReader(DragSourceReader reader) {
    dragSource_ = std::move(reader);
}

QItemSelectionModel::SelectionFlags ListTreeView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent*) const {
    return index.isValid() ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate;
}

void ListTreeView::dragEnterEvent(QDragEnterEvent* e) {
    // Every drag is welcome at first; the drag-over handler decides row by row.
    e->acceptProposedAction();
}

void ListTreeView::dragMoveEvent(QDragMoveEvent* e) {
    bool accept = true;
    form_.TreeView1DragOver(this, dragSource_(e), e->position().toPoint(), accept, e->mimeData());
    // Always a copy: a file manager that proposed a move must not take its files away.
    if (accept && (e->possibleActions() & Qt::CopyAction)) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
    } else {
        e->ignore();
    }
}

void ListTreeView::dragLeaveEvent(QDragLeaveEvent* e) {
    e->accept();
}

void ListTreeView::dropEvent(QDropEvent* e) {
    e->setDropAction(Qt::CopyAction);
    e->accept();
    form_.TreeView1DragDrop(this, dragSource_(e), e->position().toPoint(), e->mimeData());
}

void ListTreeView::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier) {
        form_.TreeView1DeleteKey(this);
        e->accept();
        return;
    }
    QTreeView::keyPressEvent(e);
}
