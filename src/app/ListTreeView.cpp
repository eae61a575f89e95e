#include "ListTreeView.h"

#include "ListTreeModel.h"
#include "Main.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>

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
    form_.TreeView1DragOver(this, dragSource_(e), e->position().toPoint(), accept);
    if (accept)
        e->acceptProposedAction();
    else
        e->ignore();
}

void ListTreeView::dragLeaveEvent(QDragLeaveEvent* e) {
    e->accept();
}

void ListTreeView::dropEvent(QDropEvent* e) {
    e->acceptProposedAction();
    form_.TreeView1DragDrop(this, dragSource_(e), e->position().toPoint());
}
