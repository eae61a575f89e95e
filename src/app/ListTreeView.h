// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The view of the Copy List and the Delete List: read-only, never a drag source, and a drop
// target whose acceptance and drop are decided by the main window.

#include <QTreeView>

#include <functional>

class TForm1;
class ListTreeModel;

class ListTreeView : public QTreeView {
    Q_OBJECT
public:
    ListTreeView(TForm1& form, ListTreeModel* model, QWidget* parent = nullptr);

    ListTreeModel* Model() const { return model_; }

    // Who started a drag: the drag's own source by default. The offscreen platform runs no
    // drags, so its tests name the source here to drive the drag events for real.
    using DragSourceReader = std::function<QObject*(const QDropEvent*)>;
    void SetDragSourceReader(DragSourceReader reader);

protected:
    // A tree always has exactly one selected node, the one its commands act on: a click or
    // key may move the selection but never clear it (no Ctrl+click toggling, no click on the
    // empty area below the nodes).
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* e) const override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Opens every node that holds something, as the rows of single edits are shown.
    void ExpandFolders();

    TForm1& form_;
    ListTreeModel* model_;
    DragSourceReader dragSource_;
};
