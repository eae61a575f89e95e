// SPDX-License-Identifier: GPL-3.0-or-later
// What the program knows of the songs: the tags in the explorer's details view and the
// tooltips that tell which song stands behind each 8.3 name of the lists.

#include "Main.h"

#include "FileOperations.h"
#include "ListTreeModel.h"
#include "QtBoundary.h"
#include "StavioApp.h"
#include "TLsFilelistView28.h"
#include "Tags.h"
#include "text.h"

#include <QFileInfo>

#include <sys/stat.h>

namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void TForm1::ConnectTags() {
    CopyModel->SetToolTips([this](const stavio::ListNode* node) { return ListEntryToolTip(node); });
    DeleteModel->SetToolTips(
        [this](const stavio::ListNode* node) { return ListEntryToolTip(node); });
    // Called on the explorer's worker threads: the cache is safe for that.
    LsFilelistView281->SetTagReader([cache = &App.Tags](
                                        const QString& path) -> std::optional<FileTags> {
        const std::optional<stavio::TrackTags> tags =
            cache->Tags(HostPathFromQt(path)); // the real bytes, also of a name not in UTF-8
        if (!tags)
            return std::nullopt;
        return FileTags{Utf8(tags->Title),   Utf8(tags->Artist),
                        Utf8(tags->Album),   static_cast<int>(tags->Track),
                        tags->LengthSeconds, Utf8(stavio::FormatTrackLength(tags->LengthSeconds))};
    });
}

QString TForm1::ListEntryToolTip(const stavio::ListNode* node) const {
    if (!node)
        return {};
    if (const std::string* folder = node->SourceFolder())
        return Utf8(stavio::TextUtf8(stavio::ListToolTipTexts, State.CurrentLanguage, 0)) +
               QStringLiteral(": ") + DisplayName(QtPathFromHost(*folder));
    if (!node->IsMediaFile())
        return {};
    const stavio::TProjectClass& project = *State.CurrentProject;
    const stavio::TNodeFileLink* link = nullptr;
    for (const stavio::LinkList* links : {&project.CopyLinks, &project.DeleteLinks})
        for (const stavio::LinkPtr& candidate : *links)
            if (candidate->HasNode(node)) {
                link = candidate.get();
                break;
            }
    if (!link)
        return {};

    const stavio::Language language = State.CurrentLanguage;
    auto text = [language](const stavio::TextTable& table, int k) {
        return Utf8(stavio::TextUtf8(table, language, k));
    };
    auto line = [](const QString& label, const QString& value) {
        return label + QStringLiteral(": ") + value;
    };
    // The source's real bytes: a name that is not UTF-8 is shown with replacement characters
    // and still found.
    const QString path = DisplayName(QtPathFromHost(link->SourcePath));
    QStringList lines = {line(text(stavio::ListToolTipTexts, 0), path),
                         line(text(stavio::ListToolTipTexts, 1), QFileInfo(path).fileName())};
    struct stat source = {};
    if (::stat(link->SourcePath.c_str(), &source) != 0 || !S_ISREG(source.st_mode)) {
        lines.append(text(stavio::ListToolTipTexts, 2));
        return lines.join(QLatin1Char('\n'));
    }
    if (const std::optional<stavio::TrackTags> tags = App.Tags.Tags(link->SourcePath)) {
        const std::pair<int, std::string> fields[] = {
            {0, tags->Title},
            {1, tags->Artist},
            {2, tags->Album},
            {4, stavio::FormatTrackLength(tags->LengthSeconds)},
        };
        for (const auto& [k, value] : fields)
            if (!value.empty())
                lines.append(line(text(stavio::TagColumnTexts, k), Utf8(value)));
    }
    return lines.join(QLatin1Char('\n'));
}
