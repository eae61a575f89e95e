// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project at a glance, for the status bar: the Copy List's files and their total size,
// the Delete List's files and the script's counted size. Kept up to date cheaply: a file's
// size is read once, when its link first shows up, and the reading can run beside the
// window: the counts are known at once, the sizes follow.

#include "ProgramState.h"
#include "ProjectClasses.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace stavio {

struct ProjectFigureValues {
    int copyFiles = 0;
    std::uint64_t copyBytes = 0; // sources that cannot be read count 0
    bool sizesPending = false;   // copyBytes lacks sizes still being read
    int deleteFiles = 0;
    int scriptCount = 0; // as the script writer counts it
};

// The sizes the figures still lack. The paths are copies: whoever reads them needs nothing of
// the project, which the window goes on changing meanwhile.
struct SizeRequest {
    std::uint64_t generation = 0;
    std::vector<std::string> paths;
    // Moved on by every newer request, so that a reader of this one can give up.
    std::shared_ptr<const std::atomic<std::uint64_t>> latest;
    bool Superseded() const { return latest && *latest != generation; }
};

struct SizeAnswer {
    std::uint64_t generation = 0;
    std::vector<std::uint64_t> sizes; // one per path, in order; fewer when given up
};

class ProjectFigures {
public:
    // So few sizes cost nothing to read on the caller's thread.
    static constexpr std::size_t InlineReads = 64;

    ProjectFigures();
    ~ProjectFigures(); // a reader still busy gives up
    ProjectFigures(const ProjectFigures&) = delete;
    ProjectFigures& operator=(const ProjectFigures&) = delete;

    // Counts the project at once, with the sizes of links seen before; the sizes of the
    // others are asked for, and pending in Values() until the answer is taken. Any request
    // still out is superseded.
    SizeRequest Gather(const TProjectClass& project);
    // Reads the sizes asked for; safe on any thread.
    static SizeAnswer ReadSizes(const SizeRequest& request);
    // Takes the sizes in; false, changing nothing, for an answer to a superseded request.
    bool Take(const SizeAnswer& answer);

    // Gathers and reads at once.
    const ProjectFigureValues& Update(const TProjectClass& project);
    const ProjectFigureValues& Values() const { return values_; }

private:
    // The Copy List's links at the last count, held so that no new link can take the
    // address of one seen before, and their sources' sizes (Unknown until read).
    LinkList links_;
    std::vector<std::uint64_t> sizes_;
    std::vector<std::size_t> asked_; // the rows of the latest request, in its order
    std::uint64_t bytes_ = 0;        // the sum of the known sizes
    std::shared_ptr<std::atomic<std::uint64_t>> generation_;
    ProjectFigureValues values_;
};

// RenderStatusTexts entry 0 filled with the figures, in UTF-8.
std::string FiguresText(const ProjectFigureValues& values, Language language);

} // namespace stavio
