#pragma once
// The project at a glance, for the status bar: the Copy List's files and their total size,
// the Delete List's files and the script's counted size. Kept up to date cheaply: a file's
// size is read once, when its link first shows up.

#include "ProgramState.h"
#include "ProjectClasses.h"

#include <cstdint>
#include <string>
#include <vector>

namespace stavio {

struct ProjectFigureValues {
    int copyFiles = 0;
    std::uint64_t copyBytes = 0; // sources that cannot be read count 0
    int deleteFiles = 0;
    int scriptCount = 0; // as the script writer counts it
};

class ProjectFigures {
public:
    // Brings the figures in line with the project; sizes of links seen before are reused.
    const ProjectFigureValues& Update(const TProjectClass& project);
    const ProjectFigureValues& Values() const { return values_; }

private:
    // The Copy List's links at the last update, held so that no new link can take the
    // address of one seen before, and their sources' sizes.
    LinkList links_;
    std::vector<std::uint64_t> sizes_;
    std::uint64_t bytes_ = 0; // the sum of sizes_
    ProjectFigureValues values_;
};

// RenderStatusTexts entry 0 filled with the figures, in UTF-8.
std::string FiguresText(const ProjectFigureValues& values, Language language);

} // namespace stavio
