#pragma once
// The render as one pipeline: a plan made once (runs, numbers, destinations), then the fit
// check, the script, the removal of stale songs, the copy and a summary. The window's
// progress jobs and stavio-cli drive these steps and only present what they return.

#include "MediaCopy.h"
#include "ProgramState.h"
#include "ProgressDisplay.h"
#include "text.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace stavio {

// One run of consecutive Copy List entries with the same player folder: one folder line of
// the script and one numbered folder of the target.
struct RenderRun {
    int number = 0;           // 1, 2, ...
    std::string playerFolder; // "\A" or "\A\B"
    std::string folder;       // target/0000000n
};

struct RenderItem {
    std::string source;
    std::string name;        // the list name, under which the file is stored
    std::size_t run = 0;     // index into RenderPlan::runs
    std::string destination; // run folder + "/" + name
};

struct RenderPlan {
    std::string target;            // without its trailing "/"
    std::vector<RenderRun> runs;   // numbered 1, 2, ... in order
    std::vector<RenderItem> items; // one per CopyLinks entry, in list order
};

// "%.8d": the name of a numbered folder.
std::string NumberedFolderName(int number);

// The runs and numbers of the project's Copy List, computed once for the script and the copy.
RenderPlan MakeRenderPlan(const TProjectClass& project);

// Free bytes of the file system holding folder, or nothing when it cannot be told.
using FreeSpaceProbe = std::function<std::optional<std::uint64_t>(const std::string& folder)>;
std::optional<std::uint64_t> FileSystemFreeSpace(const std::string& folder);

// What the target holds already, read once before anything is written.
struct RenderSurvey {
    int filesToCopy = 0;
    int filesUnchanged = 0;
    std::uint64_t bytesToCopy = 0; // the sizes of the files to copy
    std::uint64_t bytesNeeded = 0; // what they add: their sizes less what they replace
    std::optional<std::uint64_t> bytesFree;
    bool Fits() const { return !bytesFree || bytesNeeded <= *bytesFree; }
};

struct RenderSummary {
    int filesPlanned = 0;
    int filesCopied = 0;
    int filesUnchanged = 0;
    int staleRemoved = 0;
    std::uint64_t bytesCopied = 0;
    double seconds = 0;
    bool cancelled = false;
    // The script could not be written; the songs are copied all the same.
    bool scriptFailed = false;
    std::vector<CopyFailure> failures;
};

class RenderPipeline {
public:
    explicit RenderPipeline(ProgramState& state, FreeSpaceProbe freeSpace = FileSystemFreeSpace);

    const RenderPlan& Plan() const { return plan_; }

    // The bytes the copy would add against the target's free space; writes nothing.
    RenderSurvey Survey() const;

    // Job 4: SYSTEM/SCRIPT.TXT from the plan; returns the counted size. Throws FileError.
    int WriteScript(ProgressDisplay& progress);

    // Job 5: removes the stale songs, then copies what changed, watching cancel between
    // blocks. A cancelled copy removes the file it was writing and this render's script.
    void CopyMedia(ProgressDisplay& progress, const std::atomic<bool>& cancel);

    const RenderSummary& Summary() const { return summary_; }

private:
    void RemoveStaleSongs();

    ProgramState& state_;
    FreeSpaceProbe freeSpace_;
    RenderPlan plan_;
    RenderSummary summary_;
    std::int64_t startNs_ = 0;
};

// Removes, from the target's numbered folders, the songs the plan does not put there, and
// the emptied folders beyond the plan's last number; returns how many files went.
int RemoveStaleSongs(const RenderPlan& plan);

// "12,3 MB" or "1,1 GB": one decimal and the language's decimal separator.
std::string FormatSize(std::uint64_t bytes, Language language);
// Entry k of a table for the language, in UTF-8, with %1, %2 ... replaced by args.
std::string FillText(const TextTable& table, Language language, int k,
                     const std::vector<std::string>& args);

// The summary line of a finished render: RenderStatusTexts entry 1, entry 4 when the script
// could not be written, or entry 2 after Cancel.
std::string SummaryText(const RenderSummary& summary, Language language);

} // namespace stavio
