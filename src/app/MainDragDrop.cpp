// SPDX-License-Identifier: GPL-3.0-or-later
// Drops from the explorer and from other programs onto the Copy List and the Delete List.

#include "Main.h"

#include "FileOperations.h"
#include "ListOperations.h"
#include "ListTreeModel.h"
#include "ListTreeView.h"
#include "PathDrop.h"
#include "QtBoundary.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"

#include <QMimeData>
#include <QToolButton>
#include <QUrl>

#include <optional>

namespace {

// A drag may be started by an inner view of a component; it counts as the component's.
bool StartedBy(const QObject* source, const QObject* component) {
    for (const QObject* o = source; o; o = o->parent())
        if (o == component)
            return true;
    return false;
}

// The host paths of a drag from another program (text/uri-list); none when it carries no
// URLs or any of them is not a local file, as a file manager's remote folders are refused.
std::optional<std::vector<std::string>> LocalPaths(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return std::nullopt;
    std::vector<std::string> paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return std::nullopt;
        // The URL's bytes, also those of a name that is not UTF-8.
        paths.push_back(HostPathFromQt(PathOfUrl(url)));
    }
    return paths;
}

} // namespace

void TForm1::TreeView1DragOver(ListTreeView* sender, QObject* source, QPoint pos, bool& accept,
                               const QMimeData* data) {
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
    if (StartedBy(source, LsDirTree211) || StartedBy(source, LsFilelistView281))
        return;
    // Another program's files and folders: the same rules, read from the paths it gives.
    if (data && data->hasUrls()) {
        const auto paths = LocalPaths(data);
        if (!paths ||
            !stavio::CanTakePathDrop(stavio::PlanPathDrop(*paths, State.OtherAudioFormats), node))
            accept = false;
    }
}

void TForm1::TreeView1DragDrop(ListTreeView* sender, QObject* source, QPoint,
                               const QMimeData* data) {
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
    } else if (const auto paths = LocalPaths(data)) {
        {
            // The whole drop is one step.
            const stavio::ListHistory::Edit edit(State.History, sender->Model()->Tree());
            stavio::AddPathDrop(
                stavio::PlanPathDrop(*paths, State.OtherAudioFormats), sender->Model()->Tree(),
                copyList ? State.CurrentProject->CopyLinks : State.CurrentProject->DeleteLinks,
                State.Names, State.OtherAudioFormats);
        }
        // Files added into the selected folder change what it may hold.
        UpdateCommandStates();
    }
}

void TForm1::TreeView1DeleteKey(ListTreeView* sender) {
    QToolButton* button = sender == TreeView1 ? SpeedButton14 : SpeedButton15;
    if (button->isEnabled())
        button->click();
}
