#include "ProjectFigures.h"

#include "ListTree.h"
#include "Plural.h"
#include "Render.h"
#include "text.h"

#include <algorithm>
#include <sys/stat.h>

namespace stavio {

namespace {

// The length of "\A\B", the folder path of a node, without building it.
std::uint32_t FolderPathLength(const ListNode* node) {
    std::uint32_t length = 0;
    const ListNode* ancestor = node->Parent();
    for (int i = 1; i < node->Level() && ancestor != nullptr; ++i) {
        length += 1 + static_cast<std::uint32_t>(ancestor->Text().size());
        ancestor = ancestor->Parent();
    }
    return length;
}

std::uint32_t DigitCount(int number) {
    std::uint32_t digits = 1;
    for (int n = number; n >= 10; n /= 10)
        ++digits;
    return digits < 8 ? 8 : digits;
}

std::uint64_t SourceSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
               ? static_cast<std::uint64_t>(info.st_size)
               : 0;
}

} // namespace

const ProjectFigureValues& ProjectFigures::Update(const TProjectClass& project) {
    // Lists only grow at the end or lose entries, so the old links are met again in order.
    // The common start is kept as it is; behind it both tails are walked together, and the
    // disk is read only for links not met before.
    const LinkList& current = project.CopyLinks;
    std::size_t common = 0;
    const std::size_t shorter = std::min(links_.size(), current.size());
    while (common < shorter && links_[common] == current[common])
        ++common;
    std::size_t old = common;
    std::vector<std::uint64_t> tailSizes;
    tailSizes.reserve(current.size() - common);
    for (std::size_t i = common; i < current.size(); ++i) {
        while (old < links_.size() && links_[old] != current[i])
            ++old;
        tailSizes.push_back(old < links_.size() ? sizes_[old++]
                                                : SourceSize(current[i]->SourcePath));
    }
    for (std::size_t i = common; i < sizes_.size(); ++i)
        bytes_ -= sizes_[i];
    links_.resize(common);
    sizes_.resize(common);
    for (std::size_t i = common; i < current.size(); ++i) {
        links_.push_back(current[i]);
        sizes_.push_back(tailSizes[i - common]);
        bytes_ += tailSizes[i - common];
    }
    const std::uint64_t bytes = bytes_;

    // The script's count: "[DF]", "[CD]" and "[ES]" are 4 each; line ends are not counted;
    // a signed 32-bit sum, as the writer keeps it.
    std::uint32_t count = 4;
    if (!project.DeleteLinks.empty()) {
        count += 4;
        for (const LinkPtr& link : project.DeleteLinks)
            count += FolderPathLength(link->Node) + 1 +
                     static_cast<std::uint32_t>(link->Node->Text().size());
    }
    if (!project.CopyLinks.empty()) {
        count += 4;
        // A new run wherever the folder changes; sibling names are unique, so the parent
        // node stands for the folder path.
        const ListNode* previous = nullptr;
        int number = 0;
        for (const LinkPtr& link : project.CopyLinks) {
            const ListNode* parent = link->Node->Parent();
            if (number == 0 || parent != previous) {
                ++number;
                previous = parent;
                count += 1 + DigitCount(number) + 1 + FolderPathLength(link->Node);
            }
        }
    }
    values_.copyFiles = static_cast<int>(project.CopyLinks.size());
    values_.copyBytes = bytes;
    values_.deleteFiles = static_cast<int>(project.DeleteLinks.size());
    values_.scriptCount = static_cast<int>(count);
    return values_;
}

std::string FiguresText(const ProjectFigureValues& values, Language language) {
    return FillText(
        RenderStatusTexts, language, 0,
        {CountText(language, CountPhrase::Files, static_cast<std::uint64_t>(values.copyFiles)),
         FormatSize(values.copyBytes, language),
         CountText(language, CountPhrase::Files, static_cast<std::uint64_t>(values.deleteFiles)),
         std::to_string(values.scriptCount)});
}

} // namespace stavio
