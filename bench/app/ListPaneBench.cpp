// SPDX-License-Identifier: GPL-3.0-or-later
// Adding a directory of 10,000 MP3 files to the Copy List through the main window: the
// explorer's listing, the 8.3 names, the tree, the item model and the view's layout.

#include "ListTreeView.h"
#include "Main.h"
#include "StavioApp.h"
#include "TLsDirTree21.h"
#include "TLsFilelistView28.h"
#include "WindowParts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <utime.h>

namespace {

constexpr int kFiles = 10000;

// One running program and a folder of kFiles MP3 files with long names, made once.
struct Setup {
    QTemporaryDir dir;
    QString music;
    std::unique_ptr<StavioApp> app;

    Setup() {
        const QString root = QDir(dir.path()).canonicalPath();
        // The aliases are remembered in the temporary folder, never in the user's home.
        qputenv("XDG_STATE_HOME", QFile::encodeName(root + QStringLiteral("/.state")));
        music = root + QStringLiteral("/A long album name");
        QDir().mkpath(music);
        for (int i = 0; i < kFiles; ++i) {
            QFile file(music + QStringLiteral("/Track number %1 of the album.mp3")
                                   .arg(i, 5, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
        }
        app = std::make_unique<StavioApp>(
            QFile::encodeName(root + QStringLiteral("/stavio")).toStdString());
        app->MainWindow().show();
        (void)QTest::qWaitFor([this] { return !PartsOf(app->MainWindow()).FirstActivation; }, 5000);
        PartsOf(app->MainWindow()).LsDirTree211->OpenPath(music);
        // The folder is listed before the command, as it is when the user sees it.
        (void)PartsOf(app->MainWindow()).LsFilelistView281->ItemCaptions();
    }
};

Setup& Shared() {
    static Setup setup;
    return setup;
}

void BM_AddDirectoryOf10000Mp3Files(benchmark::State& st) {
    Setup& s = Shared();
    TForm1& form = s.app->MainWindow();
    for (auto _ : st) {
        st.PauseTiming();
        form.State.CopyTree.Select(form.State.CopyTree.Root());
        form.SpeedButton14Click();
        QApplication::processEvents();
        // A new folder time makes the 8.3 names be worked out afresh, as on a first add.
        utime(QFile::encodeName(s.music).constData(), nullptr);
        QTest::qWait(60);
        st.ResumeTiming();

        form.SpeedButton6Click();
        QApplication::processEvents(); // the view lays out and paints the new rows
    }
    const auto* root = form.State.CopyTree.Root();
    if (root->ChildCount() != 1 || root->Child(0)->ChildCount() != kFiles)
        st.SkipWithError("the folder did not receive every file");
    st.counters["files"] = kFiles;
}
BENCHMARK(BM_AddDirectoryOf10000Mp3Files)->Unit(benchmark::kMillisecond)->Iterations(5);

// Deleting the folder again, with all its links.
void BM_DeleteFolderOf10000Mp3Files(benchmark::State& st) {
    Setup& s = Shared();
    TForm1& form = s.app->MainWindow();
    for (auto _ : st) {
        st.PauseTiming();
        form.State.CopyTree.Select(form.State.CopyTree.Root());
        form.SpeedButton14Click();
        form.SpeedButton6Click();
        QApplication::processEvents();
        st.ResumeTiming();

        form.SpeedButton14Click(); // the new folder is selected
        QApplication::processEvents();
    }
}
BENCHMARK(BM_DeleteFolderOf10000Mp3Files)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
