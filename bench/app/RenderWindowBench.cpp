// SPDX-License-Identifier: GPL-3.0-or-later
// A render from the main window onto a slow player, against `stavio-cli render` of the same
// project onto the same player. The player is a FAT image mounted through FUSE (fusefat), a
// file system about as quick as a cheap USB player; without fusefat, mkfs.vfat or /dev/fuse
// the bench says so and renders into a plain folder instead.
//
// The project: 1,000 songs of 200 KB in ten player folders. Each render starts on an empty
// player and ends with the player's flush.
//
// Figures:
// - BM_CliRender: the command-line tool, as a child process.
// - BM_WindowRender: Render from the menu, the target dialog answered at once. Counter
//   "longest_pause_ms": the longest the window's thread went without handling its events
//   (a 5 ms timer that should tick throughout); "vs_cli": this time over the last CLI time.
// - BM_WindowCancel: Cancel pressed a third of the way through the copy; "cancel_ms": from
//   the press until the job has ended.

#include "Main.h"
#include "MakeScript.h"
#include "ProgessBar.h"
#include "Settings.h"
#include "StavioApp.h"
#include "TLsDirTree21.h"
#include "WindowParts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int kSongs = 1000;
constexpr int kSongBytes = 200 * 1024;
constexpr int kSongsPerFolder = 100;

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// The songs, the project and the player, made once.
class Setup {
public:
    Setup() {
        root_ = QFile::encodeName(QDir(dir_.path()).canonicalPath()).toStdString();
        const std::string sources = root_ + "/src";
        QDir().mkpath(QString::fromStdString(sources));
        std::mt19937 random(7);
        std::string bytes(kSongBytes, '\0');
        for (int i = 0; i < kSongs; ++i) {
            for (char& byte : bytes)
                byte = static_cast<char>(random());
            char name[32];
            std::snprintf(name, sizeof name, "/TRACK%03d.MP3", i);
            std::ofstream(sources + name, std::ios::binary) << bytes;
        }
        player_ = root_ + "/player";
        QDir().mkpath(QString::fromStdString(player_));
        const std::string image = root_ + "/player.img";
        fuse_ = Shell("command -v fusefat >/dev/null") &&
                QFile::exists(QStringLiteral("/dev/fuse")) &&
                Shell("PATH=$PATH:/sbin:/usr/sbin mkfs.vfat -C " + Quoted(image) +
                      " 400000 >/dev/null") &&
                Shell("fusefat -o rw+ " + Quoted(image) + " " + Quoted(player_));
        if (!fuse_)
            std::fprintf(stderr, "fusefat is not at hand: the player is a plain folder\n");

        project_ = root_ + "/bench.scp";
        std::ofstream out(project_, std::ios::binary);
        out << "Group Of Program File of KELVO\r\n*****\r\nRender bench\r\n\r\n\r\n\r\n\r\n\r\n"
               "\r\n0\r\n"
            << player_ << "/\r\n*****\r\n"
            << kSongs << "\r\n0\r\n";
        for (int i = 0; i < kSongs; ++i) {
            char group[128];
            std::snprintf(group, sizeof group, "TRACK%03d.MP3\r\nTRACK%03d.MP3\r\nALBUM%02d\\\r\n",
                          i, i, i / kSongsPerFolder);
            out << sources << "/" << group;
        }
        Shell("sync");
    }
    ~Setup() {
        if (fuse_)
            Shell("fusermount -u " + Quoted(player_) + " 2>/dev/null || umount " + Quoted(player_));
    }
    // The player as a render finds it the first time: empty.
    void EmptyPlayer() const { Shell("rm -rf " + Quoted(player_) + "/* && sync"); }
    const std::string& Root() const { return root_; }
    const std::string& Project() const { return project_; }
    const std::string& Player() const { return player_; }

private:
    QTemporaryDir dir_;
    std::string root_;
    std::string project_;
    std::string player_;
    bool fuse_ = false;
};

Setup& TheSetup() {
    static Setup setup;
    return setup;
}

double lastCliSeconds = 0;

void BM_CliRender(benchmark::State& st) {
    for (auto _ : st) {
        st.PauseTiming();
        TheSetup().EmptyPlayer();
        st.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        if (!Shell(std::string(STAVIO_CLI) + " render " + Quoted(TheSetup().Project()) +
                   " >/dev/null"))
            st.SkipWithError("stavio-cli render failed");
        lastCliSeconds = clock.nsecsElapsed() / 1e9;
        st.SetIterationTime(lastCliSeconds);
    }
}

// The program with the project open, as a user would have it before Render.
struct Program {
    QTemporaryDir dir;
    std::unique_ptr<StavioApp> app;

    Program() {
        const std::string exe =
            QFile::encodeName(dir.path() + QStringLiteral("/stavio")).toStdString();
        stavio::SettingsValues values;
        values.projectFileName = TheSetup().Project();
        values.lastExplorerDirectory = TheSetup().Root() + "/";
        stavio::WriteSettings(exe, values);
        app = std::make_unique<StavioApp>(exe);
        app->MainWindow().show();
        QElapsedTimer waited;
        waited.start();
        while ((PartsOf(app->MainWindow()).FirstActivation || app->ProgressDialog().isVisible()) &&
               waited.elapsed() < 60000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (app->State.CurrentProject->CopyLinks.size() != kSongs)
            std::fprintf(stderr, "the project did not come back at the start\n");
    }
};

// Ticks every 5 ms on the window's thread and keeps the longest time between two ticks.
class PauseWatch : public QObject {
public:
    PauseWatch() {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] {
            const double now = clock_.nsecsElapsed() / 1e6;
            longestMs = std::max(longestMs, now - last_);
            last_ = now;
            if (onTick)
                onTick();
        });
        clock_.start();
        timer_.start();
    }
    double longestMs = 0;
    std::function<void()> onTick;

private:
    QTimer timer_;
    QElapsedTimer clock_;
    double last_ = 0;
};

// Renders through the menu; the target dialog is answered with the player as soon as it is
// up. A PauseWatch made before keeps ticking throughout.
double RenderFromTheMenu(Program& program) {
    QTimer answer;
    answer.setInterval(2);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* target = qobject_cast<TOKBottomDlg6*>(QApplication::activeModalWidget());
        if (target == nullptr || !target->isVisible())
            return;
        answer.stop();
        PartsOf(target).LsDirTree211->OpenPath(QString::fromStdString(TheSetup().Player()));
        PartsOf(target).mxFlatButton1->click();
    });
    answer.start();
    QElapsedTimer clock;
    clock.start();
    PartsOf(program.app->MainWindow()).RenderScript1->trigger();
    return clock.nsecsElapsed() / 1e9;
}

void BM_WindowRender(benchmark::State& st) {
    Program program;
    double longest = 0;
    double seconds = 0;
    for (auto _ : st) {
        st.PauseTiming();
        TheSetup().EmptyPlayer();
        st.ResumeTiming();
        PauseWatch watch;
        seconds = RenderFromTheMenu(program);
        // The progress dialog stays up 100 ms after each of its two jobs.
        seconds -= 0.2;
        st.SetIterationTime(seconds);
        longest = std::max(longest, watch.longestMs);
        if (program.app->ProgressDialog().LastCopyReport().filesCopied != kSongs)
            st.SkipWithError("not every song was copied");
    }
    st.counters["longest_pause_ms"] = longest;
    if (lastCliSeconds > 0)
        st.counters["vs_cli"] = seconds / lastCliSeconds;
}

void BM_WindowCancel(benchmark::State& st) {
    Program program;
    double cancelMs = 0;
    double longest = 0;
    for (auto _ : st) {
        st.PauseTiming();
        TheSetup().EmptyPlayer();
        st.ResumeTiming();
        PauseWatch watch;
        TOKBottomDlg1& dialog = program.app->ProgressDialog();
        QElapsedTimer sincePress;
        bool pressed = false;
        watch.onTick = [&] {
            if (!pressed && PartsOf(dialog).CancelButton->isVisible() &&
                PartsOf(dialog).ProgressBar1->value() * 3 >
                    PartsOf(dialog).ProgressBar1->maximum()) {
                pressed = true;
                sincePress.start();
                PartsOf(dialog).CancelButton->click();
            }
            if (pressed && cancelMs == 0 && !dialog.JobRunning())
                cancelMs = sincePress.nsecsElapsed() / 1e6;
        };
        st.SetIterationTime(RenderFromTheMenu(program));
        longest = std::max(longest, watch.longestMs);
        if (!pressed)
            st.SkipWithError("the copy ended before Cancel could be pressed");
    }
    st.counters["cancel_ms"] = cancelMs;
    st.counters["longest_pause_ms"] = longest;
}

} // namespace

BENCHMARK(BM_CliRender)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(2);
BENCHMARK(BM_WindowRender)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(2);
BENCHMARK(BM_WindowCancel)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
