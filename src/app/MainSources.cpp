// SPDX-License-Identifier: GPL-3.0-or-later
// The lists' sources as the program learns of them while it runs: an entry whose source the
// explorer or another program deleted, moved or renamed, or that a render could not find,
// is greyed at once, and no longer once its source is back.

#include "Main.h"

#include "FileOperations.h"
#include "ListOperations.h"
#include "ProgessBar.h"
#include "StavioApp.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"

#include <utility>

void TForm1::ConnectSources() {
    auto recheck = [this](const QStringList& paths) {
        std::vector<std::string> hostPaths;
        hostPaths.reserve(static_cast<std::size_t>(paths.size()));
        for (const QString& path : paths)
            hostPaths.push_back(HostBytes(path).toStdString());
        RecheckSources(hostPaths);
    };
    connect(LsFilelistView281, &TLsFilelistView28::EntriesChanged, this, recheck);
    connect(LsDirTree211, &TLsDirTree21::EntriesChanged, this, recheck);
}

void TForm1::RecheckSources(const std::vector<std::string>& paths) {
    // A job on the worker may be reading the lists: what changed waits for its end.
    if (App.ProgressDialog().JobRunning()) {
        deferredSources_.insert(deferredSources_.end(), paths.begin(), paths.end());
        return;
    }
    stavio::RecheckSources(State.CopyTree, State.CurrentProject->CopyLinks, paths);
    stavio::RecheckSources(State.DeleteTree, State.CurrentProject->DeleteLinks, paths);
}

void TForm1::RecheckDeferredSources() {
    if (!deferredSources_.empty())
        RecheckSources(std::exchange(deferredSources_, {}));
}
