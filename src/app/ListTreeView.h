#pragma once
// The view of the Copy List and the Delete List: read-only, never a drag source, and a drop
// target whose acceptance and drop are decided by the main window.

#include <QTreeView>

class TForm1;
class ListTreeModel;

class ListTreeView : public QTreeView {
    Q_OBJECT
public:
    ListTreeView(TForm1& form, ListTreeModel* model, QWidget* parent = nullptr);

    ListTreeModel* Model() const { return model_; }

protected:
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
};
