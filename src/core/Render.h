// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The render as one pipeline: a plan made once (runs, numbers, destinations), then the fit
// check, the script, the copy and a summary. The window's progress jobs and stavio-cli drive
// these steps and only present what they return.
//
// What a render may touch: it works below the target folder only, never through a link and
// never into another file system. It removes only files its record (SYSTEM/STAVIO.LST) says
// an earlier render wrote and that are still as written, and never a source of this render.
// Every file is written under a temporary name and renamed into place when whole, and
// SCRIPT.TXT stands on the target only while the numbered folders hold all it describes.

#include "ConversionCache.h"
#include "MediaCopy.h"
#include "ProgramState.h"
#include "ProgressDisplay.h"
#include "RenderRecord.h"
#include "TargetFolder.h"
#include "text.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
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
    // Songs of other formats that have no converted file in the cache yet, and what they are
    // estimated to take once converted (counted in bytesToCopy too).
    int songsToConvert = 0;
    std::uint64_t bytesToConvert = 0;
    // What the render adds, in whole allocation units: the files to copy, the script, the
    // record and new folders, less what it replaces or removes.
    std::uint64_t bytesNeeded = 0;
    std::optional<std::uint64_t> bytesFree; // nothing: unknown, and then nobody is asked
    bool Fits() const { return !bytesFree || bytesNeeded <= *bytesFree; }
};

struct RenderSummary {
    int filesPlanned = 0;
    int filesCopied = 0;
    int filesUnchanged = 0;
    int staleRemoved = 0;
    // Songs in the numbered folders this render uses that no render of ours wrote; they stay.
    int foreignSongs = 0;
    std::uint64_t bytesCopied = 0;
    double seconds = 0;
    bool cancelled = false;
    // The script is not on the target: it could not be written, or the copy did not end.
    bool scriptFailed = false;
    // The target itself failed (full, read-only, input/output error): the copy stopped.
    bool targetFailed = false;
    // The target's file system went away (unplugged, unmounted): the copy stopped.
    bool targetGone = false;
    // The target folder was not there: nothing was written.
    bool targetMissing = false;
    std::vector<CopyFailure> failures;
    std::string targetPath; // as the user knows it, for the texts
};

class RenderPipeline {
public:
    explicit RenderPipeline(ProgramState& state, FreeSpaceProbe freeSpace = FileSystemFreeSpace);
    ~RenderPipeline();

    const RenderPlan& Plan() const { return plan_; }

    // Copies every file, also those found unchanged.
    void SetCopyAll(bool all) { copyAll_ = all; }

    // How songs of other formats are converted, and where the converted files are kept: the
    // user's settings and cache unless set. workers 0: one per core.
    void SetConversion(const ConversionSettings& settings, std::string cacheFolder,
                       int workers = 0);

    // The target folder exists; a render never makes it.
    bool TargetExists() const;

    // The bytes the copy would add against the target's free space; writes nothing.
    RenderSurvey Survey() const;

    // Job 4: the script, under a temporary name in SYSTEM (made when missing); it takes its
    // place at the end of the copy. Returns the counted size. Throws FileError.
    int WriteScript(ProgressDisplay& progress);

    // Job 5: removes the old script and the files of earlier renders that this one does not
    // write, copies what changed, watching cancel between blocks, then puts the new script
    // in place unless the copy was cancelled or the target failed, and writes the record.
    void CopyMedia(ProgressDisplay& progress, const std::atomic<bool>& cancel);

    // A render stopped before its copy: the target is left as it was found.
    void Abandon();

    const RenderSummary& Summary() const { return summary_; }

private:
    bool OpenTarget(int& error);
    // Converts into the cache the songs of other formats that the target does not hold as
    // converted with these settings already; entries gets each one's cache entry, by plan
    // index. False when cancelled.
    bool ConvertAhead(ProgressDisplay& progress, const std::atomic<bool>& cancel,
                      const std::function<bool(const RenderItem&)>& onTarget,
                      std::vector<std::optional<ConversionCache::Entry>>& entries);

    ProgramState& state_;
    FreeSpaceProbe freeSpace_;
    RenderPlan plan_;
    RenderSummary summary_;
    bool copyAll_ = false;
    ConversionSettings conversion_;
    std::string cacheFolder_;
    int workers_ = 0;
    std::int64_t startNs_ = 0;
    std::optional<TargetFolder> target_;
    bool madeSystem_ = false;
    bool scriptWritten_ = false; // the temporary script is complete
    bool copyRan_ = false;
};

// "12,3 MB" or "1,1 GB": one decimal and the language's decimal separator.
std::string FormatSize(std::uint64_t bytes, Language language);
// Entry k of a table for the language, in UTF-8, with %1, %2 ... replaced by args.
std::string FillText(const TextTable& table, Language language, int k,
                     const std::vector<std::string>& args);

// The summary line of a finished render: RenderStatusTexts entry 1, entry 4 when the script
// is not on the target, entry 2 after Cancel or entry 5 when the target went away; then the
// files not copied and the songs left that Stavio did not write, when there are any.
std::string SummaryText(const RenderSummary& summary, Language language);

} // namespace stavio
