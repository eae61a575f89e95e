// SPDX-License-Identifier: GPL-3.0-or-later
#include "MediaCopy.h"

#include "Render.h"

namespace stavio {

std::vector<MediaCopyItem> MediaCopyPlan(const TProjectClass& project) {
    const RenderPlan plan = MakeRenderPlan(project);
    std::vector<MediaCopyItem> items;
    items.reserve(plan.items.size());
    for (const RenderItem& item : plan.items)
        items.push_back({item.source, plan.runs[item.run].folder, item.destination});
    return items;
}

CopyReport CopyMedia(ProgramState& state, ProgressDisplay& progress) {
    RenderPipeline render(state);
    const std::atomic<bool> never{false};
    render.CopyMedia(progress, never);
    const RenderSummary& summary = render.Summary();
    CopyReport report;
    report.filesCopied = summary.filesCopied + summary.filesUnchanged;
    report.bytesCopied = summary.bytesCopied;
    report.failures = summary.failures;
    return report;
}

} // namespace stavio
