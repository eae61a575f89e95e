// Drops from the explorer onto the Copy List and the Delete List.

#include "Main.h"

#include "ListOperations.h"
#include "ListTreeModel.h"
#include "ListTreeView.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"

namespace {

// A drag may be started by an inner view of a component; it counts as the component's.
bool StartedBy(const QObject* source, const QObject* component) {
    for (const QObject* o = source; o; o = o->parent())
        if (o == component)
            return true;
    return false;
}

} // namespace

void TForm1::TreeView1DragOver(ListTreeView* sender, QObject* source, QPoint pos, bool& accept) {
    // The node under the pointer becomes the selected node, for real: it stays selected
    // after the drag, and the command states follow.
    stavio::ListTree& tree = sender->Model()->Tree();
    stavio::ListNode* node = sender->Model()->NodeAt(sender->indexAt(pos));
    if (!node)
        node = tree.Root(); // below the last node
    if (node->IsMediaFile())
        node = node->Parent();
    tree.Select(node);

    if (StartedBy(source, LsDirTree211) && !stavio::CanHoldFolders(node))
        accept = false;
    if (StartedBy(source, LsFilelistView281) && !stavio::CanHoldFiles(node))
        accept = false;
}

void TForm1::TreeView1DragDrop(ListTreeView* sender, QObject* source, QPoint) {
    const bool copyList = sender == TreeView1;
    if (StartedBy(source, LsFilelistView281)) {
        if (copyList)
            SpeedButton11Click();
        else
            SpeedButton12Click();
    } else if (StartedBy(source, LsDirTree211)) {
        if (copyList)
            SpeedButton6Click();
        else
            SpeedButton7Click();
    }
}
