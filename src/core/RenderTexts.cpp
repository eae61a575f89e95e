// SPDX-License-Identifier: GPL-3.0-or-later
// The texts a render shows: sizes, and the summary of a finished render.
#include "Render.h"

#include "Plural.h"
#include "text.h"

#include <algorithm>
#include <cstdio>

namespace stavio {

namespace {

std::string WithOneDecimal(double value, Language language) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string result = text;
    if (language != Language::English)
        std::replace(result.begin(), result.end(), '.', ',');
    return result;
}

} // namespace

std::string FormatSize(std::uint64_t bytes, Language language) {
    constexpr double kMB = 1024.0 * 1024.0;
    constexpr double kGB = kMB * 1024.0;
    const double value = static_cast<double>(bytes);
    // Below 1000 MB in MB, above in GB: the figure never needs four digits before the point.
    if (value < 1000 * kMB)
        return WithOneDecimal(value / kMB, language) + ' ' + TextUtf8(UnitTexts, language, 0);
    return WithOneDecimal(value / kGB, language) + ' ' + TextUtf8(UnitTexts, language, 1);
}

std::string FillText(const TextTable& table, Language language, int k,
                     const std::vector<std::string>& args) {
    const std::string text = TextUtf8(table, language, k);
    std::string result;
    result.reserve(text.size() + 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const size_t index = static_cast<size_t>(text[i + 1] - '1');
            if (index < args.size()) {
                result += args[index];
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

std::string SummaryText(const RenderSummary& summary, Language language) {
    if (summary.targetMissing)
        return FillText(RenderStatusTexts, language, 6, {summary.targetPath});
    std::string text;
    if (summary.targetGone)
        text = FillText(RenderStatusTexts, language, 5, {summary.targetPath});
    else if (summary.cancelled)
        text = FillText(RenderStatusTexts, language, 2,
                        {CountText(language, CountPhrase::CopiedOfPlanned,
                                   static_cast<std::uint64_t>(summary.filesPlanned),
                                   {std::to_string(summary.filesCopied)})});
    else
        text = FillText(RenderStatusTexts, language, summary.scriptFailed ? 4 : 1,
                        {CountText(language, CountPhrase::FilesCopied,
                                   static_cast<std::uint64_t>(summary.filesCopied)),
                         FormatSize(summary.bytesCopied, language),
                         CountText(language, CountPhrase::Unchanged,
                                   static_cast<std::uint64_t>(summary.filesUnchanged)),
                         CountText(language, CountPhrase::StaleRemoved,
                                   static_cast<std::uint64_t>(summary.staleRemoved)),
                         WithOneDecimal(summary.seconds, language)});
    // The flush of the target is not a file of the list.
    const auto notCopied = std::count_if(summary.failures.begin(), summary.failures.end(),
                                         [](const CopyFailure& f) { return !f.source.empty(); });
    if (notCopied > 0)
        text += " \xC2\xB7 " +
                CountText(language, CountPhrase::NotCopied, static_cast<std::uint64_t>(notCopied));
    if (summary.foreignSongs > 0)
        text += " \xC2\xB7 " + CountText(language, CountPhrase::ForeignSongs,
                                         static_cast<std::uint64_t>(summary.foreignSongs));
    return text;
}

} // namespace stavio
