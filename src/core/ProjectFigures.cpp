// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProjectFigures.h"

#include "AudioFormats.h"
#include "ConversionCache.h"
#include "ListTree.h"
#include "Plural.h"
#include "Render.h"
#include "text.h"

#include <algorithm>
#include <optional>
#include <sys/stat.h>
#include <unordered_map>
#include <utility>

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

constexpr std::uint64_t Unknown = ~std::uint64_t{0};

} // namespace

ProjectFigures::ProjectFigures() : generation_(std::make_shared<std::atomic<std::uint64_t>>(0)) {}

ProjectFigures::~ProjectFigures() {
    ++*generation_;
}

SizeRequest ProjectFigures::Gather(const TProjectClass& project) {
    // Lists mostly grow at the end or lose entries, so the old links mostly open the new list
    // in order: that common start is kept as it is. Behind it links are met again by identity,
    // as Undo gives them back in the middle, and the disk is read only for links not met.
    const LinkList& current = project.CopyLinks;
    std::size_t common = 0;
    const std::size_t shorter = std::min(links_.size(), current.size());
    while (common < shorter && links_[common] == current[common])
        ++common;
    std::unordered_map<const TNodeFileLink*, std::uint64_t> seen;
    seen.reserve(links_.size() - common);
    for (std::size_t i = common; i < links_.size(); ++i) {
        if (sizes_[i] == Unknown)
            continue;
        seen.emplace(links_[i].get(), sizes_[i]);
        bytes_ -= sizes_[i];
    }
    links_.resize(common);
    sizes_.resize(common);
    for (std::size_t i = common; i < current.size(); ++i) {
        const auto it = seen.find(current[i].get());
        links_.push_back(current[i]);
        sizes_.push_back(it == seen.end() ? Unknown : it->second);
        if (it != seen.end())
            bytes_ += it->second;
    }

    SizeRequest request;
    request.generation = ++*generation_;
    request.latest = generation_;
    asked_.clear();
    for (std::size_t i = 0; i < sizes_.size(); ++i)
        if (sizes_[i] == Unknown) {
            asked_.push_back(i);
            request.paths.push_back(links_[i]->SourcePath);
        }
    values_.copyBytes = bytes_;
    values_.sizesPending = !asked_.empty();

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
    values_.deleteFiles = static_cast<int>(project.DeleteLinks.size());
    values_.scriptCount = static_cast<int>(count);
    return request;
}

SizeAnswer ProjectFigures::ReadSizes(const SizeRequest& request) {
    SizeAnswer answer{request.generation, {}};
    answer.sizes.reserve(request.paths.size());
    // A song of another format counts as the MP3 file it becomes on the player.
    std::optional<std::pair<ConversionSettings, ConversionCache>> conversion;
    for (const std::string& path : request.paths) {
        if (request.Superseded())
            break;
        std::uint64_t size = SourceSize(path);
        if (size > 0 && IsOtherAudioName(path)) {
            if (!conversion)
                conversion.emplace(LoadConversionSettings(), ConversionCache());
            size = ConvertedSize(conversion->second, path, conversion->first);
        }
        answer.sizes.push_back(size);
    }
    return answer;
}

bool ProjectFigures::Take(const SizeAnswer& answer) {
    if (answer.generation != *generation_ || answer.sizes.size() != asked_.size())
        return false;
    for (std::size_t i = 0; i < asked_.size(); ++i) {
        sizes_[asked_[i]] = answer.sizes[i];
        bytes_ += answer.sizes[i];
    }
    asked_.clear();
    values_.copyBytes = bytes_;
    values_.sizesPending = false;
    return true;
}

const ProjectFigureValues& ProjectFigures::Update(const TProjectClass& project) {
    Take(ReadSizes(Gather(project)));
    return values_;
}

std::string FiguresText(const ProjectFigureValues& values, Language language) {
    return FillText(
        RenderStatusTexts, language, 0,
        {CountText(language, CountPhrase::Files, static_cast<std::uint64_t>(values.copyFiles)),
         // Sizes still being read are not guessed at.
         values.sizesPending ? std::string("\u2026") : FormatSize(values.copyBytes, language),
         CountText(language, CountPhrase::Files, static_cast<std::uint64_t>(values.deleteFiles)),
         std::to_string(values.scriptCount)});
}

} // namespace stavio
