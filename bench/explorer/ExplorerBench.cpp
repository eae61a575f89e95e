// How long the file list takes to list a folder of 50,000 MP3 files, and the longest
// time the window goes without handling its events meanwhile; a refresh and a sort of
// that folder; the directory tree opening a folder of 20,000 sub-folders.
#include "FileListModel.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"

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
#include <memory>

namespace {

constexpr int kFiles = 50000;
constexpr int kFolders = 20000;

const QString& BigFolder() {
    static std::unique_ptr<QTemporaryDir> dir;
    static QString path;
    if (!dir) {
        const bool shm = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
        dir = std::make_unique<QTemporaryDir>(shm ? QStringLiteral("/dev/shm/stavio-bench-XXXXXX")
                                                  : QDir::tempPath() +
                                                        QStringLiteral("/stavio-bench-XXXXXX"));
        path = dir->path();
        for (int i = 0; i < kFiles; ++i) {
            QFile file(path + QStringLiteral("/track%1.mp3").arg(i, 5, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
        }
    }
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
    for (auto _ : state) {
        TLsFilelistView28 list;
        QElapsedTimer clock;
        qint64 last = 0;
        QTimer ticker;
        ticker.setInterval(0);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        clock.start();
        ticker.start();
        list.SetDirectory(folder);
        longest = std::max(longest, clock.elapsed()); // the first, synchronous slice
        last = clock.elapsed();
        while (list.IsLoading())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    state.counters["longest_pause_ms"] = static_cast<double>(longest);
}
BENCHMARK(BM_LongestPauseWhileListing)->Unit(benchmark::kMillisecond)->Iterations(3);

const QString& ManyFolders() {
    static std::unique_ptr<QTemporaryDir> dir;
    static QString path;
    if (!dir) {
        const bool shm = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
        dir = std::make_unique<QTemporaryDir>(shm ? QStringLiteral("/dev/shm/stavio-bench-XXXXXX")
                                                  : QDir::tempPath() +
                                                        QStringLiteral("/stavio-bench-XXXXXX"));
        path = dir->path() + QStringLiteral("/parent");
        QDir().mkpath(path);
        for (int i = 0; i < kFolders; ++i)
            QDir().mkdir(path + QStringLiteral("/Album %1").arg(i));
    }
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

// F5 with every one of 50,000 files selected: the longest pause of the window, and the
// whole selection kept.
void BM_RefreshKeepsFiftyThousandSelected(benchmark::State& state) {
    const QString folder = BigFolder();
    TLsFilelistView28 list;
    list.show();
    list.SetDirectory(folder);
    list.ItemCaptions();
    qint64 longest = 0;
    qsizetype kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        list.SelectAll();
        QApplication::processEvents();
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        list.Refresh();
        longest = std::max(longest, clock.elapsed());
        qint64 last = clock.elapsed();
        while (list.IsLoading()) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        }
        QApplication::processEvents();
        longest = std::max(longest, clock.elapsed() - last);
        kept = list.SelectedCaptions().size();
    }
    state.counters["longest_pause_ms"] = static_cast<double>(longest);
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

} // namespace

int main(int argc, char** argv) {
    if (!getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
