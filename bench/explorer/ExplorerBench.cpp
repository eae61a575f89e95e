// SPDX-License-Identifier: GPL-3.0-or-later
// How long the file list takes to list a folder of 50,000 MP3 files, and the longest
// time the window goes without handling its events meanwhile; a refresh and a sort of
// that folder; the directory tree opening a folder of 20,000 sub-folders; and a folder of
// 10,000 tagged songs in the details view, with the time until all their tags are in.
#include "FileListModel.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "Tags.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

// CPU time of the calling thread: on a shared machine a pause of the window is partly the
// scheduler's; the thread's own CPU time between two turns is the work the program did.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Watches the window's event loop from a timer that fires at every turn: the longest time
// between two turns (what the user could feel), and the most CPU time the window's thread
// spent in one of them. Turn() counts a step the caller ran without the loop.
class PauseMeter {
public:
    PauseMeter() {
        ticker_.setInterval(0);
        QObject::connect(&ticker_, &QTimer::timeout, [this] { Turn(); });
        clock_.start();
        lastCpu_ = ThreadCpuMs();
        ticker_.start();
    }
    void Turn() {
        const qint64 now = clock_.elapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
        const double cpu = ThreadCpuMs();
        busiest_ = std::max(busiest_, cpu - lastCpu_);
        lastCpu_ = cpu;
    }
    // Forgets the pauses so far: what follows is measured alone.
    void Restart() {
        Turn();
        longest_ = 0;
        busiest_ = 0;
    }
    void Stop() {
        Turn();
        ticker_.stop();
    }
    qint64 Elapsed() const { return clock_.elapsed(); }
    qint64 Longest() const { return longest_; }
    double Busiest() const { return busiest_; }

private:
    QTimer ticker_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
    double lastCpu_ = 0;
    double busiest_ = 0;
};

constexpr int kFiles = 50000;
constexpr int kFolders = 20000;

// A folder filled once by `fill` and kept for the whole run, in memory where the machine
// has it: making the files is not what is measured.
QString ScratchFolder(const std::function<void(const QString&)>& fill) {
    static std::vector<std::unique_ptr<QTemporaryDir>> kept;
    const bool shm = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
    kept.push_back(
        std::make_unique<QTemporaryDir>((shm ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
                                        QStringLiteral("/stavio-bench-XXXXXX")));
    const QString path = kept.back()->path();
    fill(path);
    return path;
}

const QString& BigFolder() {
    static const QString path = ScratchFolder([](const QString& folder) {
        for (int i = 0; i < kFiles; ++i) {
            QFile file(folder + QStringLiteral("/track%1.mp3").arg(i, 5, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
        }
    });
    return path;
}

void BM_ListFiftyThousandFiles(benchmark::State& state) {
    const QString folder = BigFolder();
    for (auto _ : state) {
        FileListModel model;
        model.Load(folder);
        model.FinishLoading();
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ListFiftyThousandFiles)->Unit(benchmark::kMillisecond);

// The window's event loop keeps turning while the list reads: the longest pause
// between two turns is what the user could feel.
void BM_LongestPauseWhileListing(benchmark::State& state) {
    const QString folder = BigFolder();
    qint64 longest = 0;
    double busiest = 0;
    for (auto _ : state) {
        TLsFilelistView28 list;
        PauseMeter meter;
        list.SetDirectory(folder);
        meter.Turn(); // the first, synchronous slice
        while (list.IsLoading())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        meter.Stop();
        longest = std::max(longest, meter.Longest());
        busiest = std::max(busiest, meter.Busiest());
    }
    state.counters["longest_pause_ms"] = static_cast<double>(longest);
    state.counters["longest_pause_cpu_ms"] = busiest;
}
BENCHMARK(BM_LongestPauseWhileListing)->Unit(benchmark::kMillisecond)->Iterations(3);

const QString& ManyFolders() {
    static const QString path =
        ScratchFolder([](const QString& folder) {
            QDir().mkpath(folder + QStringLiteral("/parent"));
            for (int i = 0; i < kFolders; ++i)
                QDir().mkdir(folder + QStringLiteral("/parent/Album %1").arg(i));
        }) +
        QStringLiteral("/parent");
    return path;
}

// Expanding a folder of 20,000 sub-folders in the directory tree, shown on the screen.
void BM_ExpandTwentyThousandFolders(benchmark::State& state) {
    const QString folder = ManyFolders();
    TLsDirTree21 tree;
    tree.resize(300, 400);
    tree.show();
    for (auto _ : state) {
        state.PauseTiming();
        tree.Reload();
        tree.OpenPath(folder);
        QTreeWidgetItem* parent = tree.currentItem();
        QApplication::processEvents();
        state.ResumeTiming();
        parent->setExpanded(true);
        QApplication::processEvents(); // the layout and the paint of the new rows
        benchmark::DoNotOptimize(parent->childCount());
    }
    state.SetItemsProcessed(state.iterations() * kFolders);
}
BENCHMARK(BM_ExpandTwentyThousandFolders)->Unit(benchmark::kMillisecond)->Iterations(3);

// F5 with every one of 50,000 files selected: the longest pause of the window (the
// longest time between two turns of its event loop, as while listing), and the whole
// selection kept.
void BM_RefreshKeepsFiftyThousandSelected(benchmark::State& state) {
    const QString folder = BigFolder();
    TLsFilelistView28 list;
    list.show();
    list.SetDirectory(folder);
    list.ItemCaptions();
    qint64 longest = 0;
    double busiest = 0;
    qsizetype kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        list.SelectAll();
        QApplication::processEvents();
        state.ResumeTiming();
        PauseMeter meter;
        list.Refresh();
        meter.Turn(); // the synchronous part of F5
        while (list.IsLoading())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        // The layout and the paint of the rows that follow the end of the reading.
        QApplication::processEvents();
        QApplication::processEvents();
        meter.Stop();
        longest = std::max(longest, meter.Longest());
        busiest = std::max(busiest, meter.Busiest());
        kept = list.SelectedCaptions().size();
    }
    state.counters["longest_pause_ms"] = static_cast<double>(longest);
    state.counters["longest_pause_cpu_ms"] = busiest;
    state.counters["kept_selected"] = static_cast<double>(kept);
}
BENCHMARK(BM_RefreshKeepsFiftyThousandSelected)->Unit(benchmark::kMillisecond)->Iterations(3);

// Sorting 50,000 listed files by type, then by name again.
void BM_SortFiftyThousandByType(benchmark::State& state) {
    const QString folder = BigFolder();
    FileListModel model;
    model.Load(folder);
    model.FinishLoading();
    for (auto _ : state) {
        model.sort(FileListModel::TypeColumn, Qt::AscendingOrder);
        model.sort(FileListModel::NameColumn, Qt::AscendingOrder);
    }
}
BENCHMARK(BM_SortFiftyThousandByType)->Unit(benchmark::kMillisecond);

constexpr int kSongs = 10000;

// Small real songs: an ID3v2.3 tag (title, artist, album, track), four silent MPEG frames
// and an ID3v1 tag.
QByteArray SongBytes(int i) {
    auto frame = [](const char* id, const QByteArray& text) {
        const QByteArray content = '\0' + text;
        QByteArray f = id;
        const quint32 n = static_cast<quint32>(content.size());
        f += static_cast<char>(n >> 24);
        f += static_cast<char>(n >> 16);
        f += static_cast<char>(n >> 8);
        f += static_cast<char>(n);
        f += QByteArray(2, '\0');
        return f + content;
    };
    const QByteArray number = QByteArray::number(i);
    const QByteArray body = frame("TIT2", "Song " + number) + frame("TPE1", "Artist " + number) +
                            frame("TALB", "Album") + frame("TRCK", QByteArray::number(i % 20 + 1));
    const quint32 n = static_cast<quint32>(body.size());
    QByteArray bytes("ID3\x03\x00\x00", 6);
    for (int shift : {21, 14, 7, 0})
        bytes += static_cast<char>((n >> shift) & 0x7F);
    bytes += body;
    QByteArray audioFrame(417, '\0');
    audioFrame[0] = '\xFF';
    audioFrame[1] = '\xFB';
    audioFrame[2] = '\x90';
    for (int k = 0; k < 4; ++k)
        bytes += audioFrame;
    QByteArray v1 = "TAG" + ("Song " + number).leftJustified(30, '\0');
    v1 += QByteArray(128 - v1.size(), '\0');
    return bytes + v1;
}

const QString& SongFolder() {
    static const QString path = ScratchFolder([](const QString& folder) {
        for (int i = 0; i < kSongs; ++i) {
            QFile file(folder + QStringLiteral("/Song %1.mp3").arg(i, 5, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
            file.write(SongBytes(i));
        }
    });
    return path;
}

// The reader the program gives the explorer: the tag cache over TagLib.
FileTagReader CachedReader(stavio::TagCache& cache) {
    return [&cache](const QString& path) -> std::optional<FileTags> {
        const auto tags = cache.Tags(QFile::encodeName(path).toStdString());
        if (!tags)
            return std::nullopt;
        return FileTags{QString::fromStdString(tags->Title),
                        QString::fromStdString(tags->Artist),
                        QString::fromStdString(tags->Album),
                        static_cast<int>(tags->Track),
                        tags->LengthSeconds,
                        QString::fromStdString(stavio::FormatTrackLength(tags->LengthSeconds))};
    };
}

// Listing 10,000 songs in the details view: state.range(0) 0 without tags (the list as it
// was), 1 with the tag columns and a cold tag cache. The time is the listing's alone, until
// the list is complete; the counters tell when the last tag came in, and the longest pause of
// the event loop while the folder was listed and then while its tags were read.
void BM_DetailsViewTenThousandSongs(benchmark::State& state) {
    const QString folder = SongFolder();
    const bool withTags = state.range(0) != 0;
    qint64 longestWhileListing = 0;
    qint64 longestWhileTagging = 0;
    double busiestWhileTagging = 0;
    double allTagsMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        stavio::TagCache cache;
        auto list = std::make_unique<TLsFilelistView28>();
        list->resize(800, 600);
        list->SetViewStyle(3);
        if (withTags)
            list->SetTagReader(CachedReader(cache));
        list->show();
        QApplication::processEvents();
        state.ResumeTiming();

        PauseMeter meter;
        list->SetDirectory(folder);
        meter.Turn();
        while (list->IsLoading())
            QApplication::processEvents(QEventLoop::AllEvents, 50);

        state.PauseTiming();
        // From here on the pauses are those of the tags alone.
        const qint64 listingPause = meter.Longest();
        meter.Restart();
        while (list->TagsLoading())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        QApplication::processEvents(); // the last repaint of the tag columns
        allTagsMs = std::max(allTagsMs, static_cast<double>(meter.Elapsed()));
        meter.Stop();
        longestWhileListing = std::max(longestWhileListing, listingPause);
        longestWhileTagging = std::max(longestWhileTagging, meter.Longest());
        busiestWhileTagging = std::max(busiestWhileTagging, meter.Busiest());
        if (withTags && list->CurrentView()
                            ->model()
                            ->index(kSongs - 1, FileListModel::TitleColumn)
                            .data()
                            .toString()
                            .isEmpty())
            state.SkipWithError("tags missing");
        list.reset();
        state.ResumeTiming();
    }
    state.counters["all_tags_in_ms"] = allTagsMs;
    state.counters["pause_listing_ms"] = static_cast<double>(longestWhileListing);
    state.counters["pause_tags_ms"] = static_cast<double>(longestWhileTagging);
    state.counters["pause_tags_cpu_ms"] = busiestWhileTagging;
}
BENCHMARK(BM_DetailsViewTenThousandSongs)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
