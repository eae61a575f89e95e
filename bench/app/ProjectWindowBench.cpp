// SPDX-License-Identifier: GPL-3.0-or-later
// The project commands of the main window on a library-sized project, on the offscreen
// platform: start-up load through the settings file, Open, New Project, Save, deleting a
// level-1 folder and PLAYER, switching the language and closing the window. The core's own
// load and save of the same file run in the same program, for comparison.
//
// Projects: L level-1 folders x 4 level-2 folders x 250 MP3 files in the Copy List, L = 100
// (100,000 entries) and L = 10 (10,000 entries). Every source file exists, so the names are
// derived from the disk as for a real library.
//
// Each figure is what the user waits for, from the command until the window has laid out
// and painted, less the fixed 100 ms each showing of the progress dialog stays up after its
// job (the counter "dialogs" says how many showings were subtracted). The counter
// "paint_gap_ms" is the longest time the progress dialog went without painting while a job
// ran.

#include "ListTreeModel.h"
#include "ListTreeView.h"
#include "Main.h"
#include "MakeScript.h"
#include "ProgessBar.h"
#include "ProgramState.h"
#include "ProgressDisplay.h"
#include "ProjectFile.h"
#include "ProjetProperty.h"
#include "Settings.h"
#include "StavioApp.h"
#include "TLsDirTree21.h"
#include "WindowParts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kLevel2PerLevel1 = 4;
constexpr int kFilesPerLevel2 = 250;
constexpr int kEntriesPerLevel1 = kLevel2PerLevel1 * kFilesPerLevel2; // 1,000
constexpr int kMaxLevel1 = 100;
const char* const kProjectName = "Library";

// The source files, made once, and one project file per size.
class Library {
public:
    Library() {
        root_ = QFile::encodeName(QDir(dir_.path()).canonicalPath()).toStdString();
        for (int a = 0; a < kMaxLevel1; ++a)
            for (int c = 0; c < kLevel2PerLevel1; ++c) {
                const std::string folder = SourceFolder(a, c);
                std::filesystem::create_directories(folder);
                for (int t = 0; t < kFilesPerLevel2; ++t)
                    std::ofstream(folder + SourceName(t));
            }
        // On the disk before measuring, so the write-back of 100,000 new files does not run
        // beside the first benchmarks; and the name cache trusts a folder only once its last
        // change is a little in the past.
        ::sync();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }

    const std::string& Root() const { return root_; }

    // The project file of level1 level-1 folders, written on first use.
    std::string Project(int level1) {
        const std::string path = root_ + "/library-" + std::to_string(level1) + ".scp";
        if (written_.count(level1))
            return path;
        std::ofstream file(path, std::ios::binary);
        file << "Group Of Program File of KELVO\r\n*****\r\n"
             << kProjectName << "\r\n\r\n\r\n\r\n\r\n\r\n\r\n1\r\n...\r\n"
             << root_ << "/target/\r\n*****\r\n"
             << level1 * kEntriesPerLevel1 << "\r\n0\r\n";
        for (int a = 0; a < level1; ++a)
            for (int c = 0; c < kLevel2PerLevel1; ++c) {
                char folders[64];
                std::snprintf(folders, sizeof folders, "ARTIST%02d\\CD%d\\", a, c + 1);
                for (int t = 0; t < kFilesPerLevel2; ++t)
                    file << SourceFolder(a, c) << SourceName(t) << "\r\nX\r\n" << folders << "\r\n";
            }
        written_[level1] = true;
        return path;
    }

private:
    std::string SourceFolder(int artist, int cd) const {
        char name[64];
        std::snprintf(name, sizeof name, "/music/Artist %03d/CD %d/", artist, cd + 1);
        return root_ + name;
    }
    static std::string SourceName(int track) {
        char name[64];
        std::snprintf(name, sizeof name, "Track %03d of the album.mp3", track);
        return name;
    }

    QTemporaryDir dir_;
    std::string root_;
    std::map<int, bool> written_;
};

Library& TheLibrary() {
    static Library library;
    return library;
}

void ProcessPending() {
    // Twice: the layout of the views posts the paint that follows it.
    for (int i = 0; i < 2; ++i) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 600000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.hasExpired(timeoutMs))
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Answers each modal widget that comes up with answer, from inside its own event loop.
class ModalAnswer : public QObject {
public:
    explicit ModalAnswer(std::function<bool(QWidget*)> answer) : answer_(std::move(answer)) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->isVisible() && modal != answered_ && answer_(modal))
                answered_ = modal;
            else if (answered_ && !answered_->isVisible())
                answered_ = nullptr;
        });
        timer_.start(1);
    }

private:
    std::function<bool(QWidget*)> answer_;
    QPointer<QWidget> answered_;
    QTimer timer_;
};

// Counts the showings of the progress dialog and the longest time it went without painting
// between being shown and the end of its job (which is 100 ms before it closes): in wall-clock
// time, and in CPU time of this thread, which is what the wall-clock gap would be on a machine
// of its own. STAVIO_BENCH_GAPS=1 in the environment lists every gap over 100 ms.
class DialogWatch : public QObject {
public:
    explicit DialogWatch(TOKBottomDlg1& dialog) : dialog_(dialog) {
        clock_.start();
        connect(&dialog, &QDialog::finished, this, [this] {
            ++showings;
            // The job's end, 100 ms of waiting ago; the thread used no CPU since.
            if (lastPaint_ >= 0)
                Gap(clock_.nsecsElapsed() / 1e6 - kLingerMs, ThreadCpuMs());
            lastPaint_ = -1;
        });
        for (QWidget* w : Watched())
            w->installEventFilter(this);
    }
    ~DialogWatch() override {
        for (QWidget* w : Watched())
            w->removeEventFilter(this);
    }

    int showings = 0;
    double longestGapMs = 0;
    double longestCpuGapMs = 0;

protected:
    bool eventFilter(QObject* object, QEvent* e) override {
        const double now = clock_.nsecsElapsed() / 1e6;
        if (e->type() == QEvent::Show && object == &dialog_) {
            lastPaint_ = now; // from here on the user waits for something to move
            lastPaintCpu_ = ThreadCpuMs();
        } else if (e->type() == QEvent::Paint && lastPaint_ >= 0) {
            Gap(now, ThreadCpuMs());
            lastPaint_ = now;
            lastPaintCpu_ = ThreadCpuMs();
        }
        return false;
    }

private:
    static constexpr double kLingerMs = 100;
    std::vector<QWidget*> Watched() const {
        return {&dialog_, PartsOf(dialog_).ProgressBar1, PartsOf(dialog_).Label1};
    }
    static double ThreadCpuMs() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    }
    void Gap(double now, double cpu) {
        if (getenv("STAVIO_BENCH_GAPS") && now - lastPaint_ > 100)
            fprintf(stderr, "%.0f ms (%.0f ms CPU) without painting, until %d/%d of %s\n",
                    now - lastPaint_, cpu - lastPaintCpu_, PartsOf(dialog_).ProgressBar1->value(),
                    PartsOf(dialog_).ProgressBar1->maximum(), qPrintable(dialog_.windowTitle()));
        longestGapMs = std::max(longestGapMs, now - lastPaint_);
        longestCpuGapMs = std::max(longestCpuGapMs, cpu - lastPaintCpu_);
    }

    TOKBottomDlg1& dialog_;
    QElapsedTimer clock_;
    double lastPaint_ = -1;
    double lastPaintCpu_ = 0;
};

// A running program whose settings file names the project of level1 folders.
struct Program {
    QTemporaryDir dir;
    std::unique_ptr<StavioApp> app;
    std::string project;

    explicit Program(int level1, bool loadAtStart = true) {
        project = TheLibrary().Project(level1);
        const std::string exe =
            QFile::encodeName(dir.path() + QStringLiteral("/stavio")).toStdString();
        stavio::SettingsValues values;
        values.projectFileName = loadAtStart ? project : std::string();
        values.lastExplorerDirectory = TheLibrary().Root() + "/music/Artist 000/CD 1/";
        stavio::WriteSettings(exe, values);
        app = std::make_unique<StavioApp>(exe);
        app->MainWindow().show();
        WaitFor([this] {
            return !PartsOf(app->MainWindow()).FirstActivation &&
                   !app->ProgressDialog().isVisible();
        });
        ProcessPending();
    }
    TForm1& Form() { return app->MainWindow(); }
    bool ShowsProject() const {
        return app->MainWindow().windowTitle() ==
               QStringLiteral("KELVO Stavio : ") + QLatin1String(kProjectName);
    }
    // Back to the project as the file holds it, the way Open does it.
    void Reload() {
        RunProgressJob(*app, 2);
        app->State.ProjectFileName = project;
        RunProgressJob(*app, 1);
        ProcessPending();
    }
};

constexpr double kLingerSeconds = 0.1; // Timer1 of the progress dialog

int Entries(const benchmark::State& st) {
    return static_cast<int>(st.range(0)) * kEntriesPerLevel1;
}

void Report(benchmark::State& st, int dialogs, const DialogWatch* watch = nullptr) {
    st.counters["entries"] = Entries(st);
    st.counters["dialogs"] = dialogs;
    if (watch) {
        st.counters["paint_gap_ms"] = watch->longestGapMs;
        st.counters["paint_gap_cpu_ms"] = watch->longestCpuGapMs;
    }
}

// --- the core alone ---

void BM_CoreLoad(benchmark::State& st) {
    const std::string project = TheLibrary().Project(static_cast<int>(st.range(0)));
    for (auto _ : st) {
        st.PauseTiming();
        auto state = std::make_unique<stavio::ProgramState>(TheLibrary().Root() + "/");
        state->ResetProject();
        stavio::NullProgress progress;
        st.ResumeTiming();
        stavio::LoadProjectFile(*state, project, progress);
        st.PauseTiming();
        if (static_cast<int>(state->CurrentProject->CopyLinks.size()) != Entries(st))
            st.SkipWithError("not every entry was loaded");
        state.reset();
        st.ResumeTiming();
    }
    st.counters["entries"] = Entries(st);
}

void BM_CoreSave(benchmark::State& st) {
    const std::string project = TheLibrary().Project(static_cast<int>(st.range(0)));
    stavio::ProgramState state(TheLibrary().Root() + "/");
    state.ResetProject();
    stavio::NullProgress progress;
    stavio::LoadProjectFile(state, project, progress);
    const std::string copy = TheLibrary().Root() + "/core-save.scp";
    for (auto _ : st)
        stavio::SaveProjectFile(state, copy, progress);
    st.counters["entries"] = Entries(st);
}

// --- the window ---

void BM_StartUpLoad(benchmark::State& st) {
    const int level1 = static_cast<int>(st.range(0));
    TheLibrary().Project(level1);
    for (auto _ : st) {
        QElapsedTimer clock;
        clock.start();
        Program program(level1);
        const double seconds = clock.nsecsElapsed() / 1e9 - kLingerSeconds;
        if (!program.ShowsProject())
            st.SkipWithError("the title does not show the project");
        st.SetIterationTime(seconds);
        st.PauseTiming();
        program.app->MainWindow().close();
        program.app.reset();
        st.ResumeTiming();
    }
    Report(st, 1);
}

void BM_Open(benchmark::State& st) {
    Program program(static_cast<int>(st.range(0)), false);
    TForm1& form = program.Form();
    const QString file = QFile::decodeName(QByteArray::fromStdString(program.project));
    DialogWatch watch(program.app->ProgressDialog());
    for (auto _ : st) {
        // The project in the window is the library itself, as when the user opens it again.
        ModalAnswer answer([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog)
                return false;
            dialog->selectFile(file);
            static_cast<QDialog*>(dialog)->accept(); // as its Open button does
            return true;
        });
        watch.showings = 0;
        QElapsedTimer clock;
        clock.start();
        PartsOf(form).Open1->trigger();
        ProcessPending();
        const double seconds = clock.nsecsElapsed() / 1e9 - watch.showings * kLingerSeconds;
        if (!program.ShowsProject() ||
            static_cast<int>(program.app->State.CurrentProject->CopyLinks.size()) != Entries(st))
            st.SkipWithError("the project was not opened");
        st.SetIterationTime(seconds);
    }
    Report(st, watch.showings, &watch);
}

void BM_NewProject(benchmark::State& st) {
    Program program(static_cast<int>(st.range(0)));
    TForm1& form = program.Form();
    DialogWatch watch(program.app->ProgressDialog());
    for (auto _ : st) {
        st.PauseTiming();
        if (!program.ShowsProject())
            program.Reload();
        QElapsedTimer clock;
        // The clock starts when the user confirms the Properties dialog.
        ModalAnswer answer([&](QWidget* modal) {
            auto* properties = qobject_cast<TForm3*>(modal);
            if (!properties)
                return false;
            clock.start();
            PartsOf(properties).mxFlatButton1->click();
            return true;
        });
        watch.showings = 0;
        st.ResumeTiming();
        PartsOf(form).New2->trigger();
        ProcessPending();
        const double seconds = clock.nsecsElapsed() / 1e9 - watch.showings * kLingerSeconds;
        if (program.app->State.CopyTree.Root()->ChildCount() != 0)
            st.SkipWithError("the lists were not emptied");
        st.SetIterationTime(seconds);
    }
    Report(st, watch.showings, &watch);
}

void BM_Save(benchmark::State& st) {
    Program program(static_cast<int>(st.range(0)));
    TForm1& form = program.Form();
    DialogWatch watch(program.app->ProgressDialog());
    for (auto _ : st) {
        watch.showings = 0;
        QElapsedTimer clock;
        clock.start();
        PartsOf(form).Save1->trigger();
        ProcessPending();
        st.SetIterationTime(clock.nsecsElapsed() / 1e9 - watch.showings * kLingerSeconds);
    }
    Report(st, watch.showings, &watch);
}

void BM_DeleteLevel1Folder(benchmark::State& st) {
    Program program(static_cast<int>(st.range(0)));
    TForm1& form = program.Form();
    stavio::ListTree& tree = program.app->State.CopyTree;
    for (auto _ : st) {
        st.PauseTiming();
        if (tree.Root()->ChildCount() < 2)
            program.Reload();
        // A folder in the middle of the list, chosen in the view as the user would.
        stavio::ListNode* folder = tree.Root()->Child(tree.Root()->ChildCount() / 2);
        PartsOf(form).TreeView1->setCurrentIndex(PartsOf(form).CopyModel->IndexOf(folder));
        ProcessPending();
        const size_t links = program.app->State.CurrentProject->CopyLinks.size();
        st.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        PartsOf(form).SpeedButton14->click();
        ProcessPending();
        st.SetIterationTime(clock.nsecsElapsed() / 1e9);
        if (program.app->State.CurrentProject->CopyLinks.size() != links - kEntriesPerLevel1)
            st.SkipWithError("the folder's links were not removed");
    }
    Report(st, 0);
}

void BM_DeletePlayer(benchmark::State& st) {
    Program program(static_cast<int>(st.range(0)));
    TForm1& form = program.Form();
    stavio::ListTree& tree = program.app->State.CopyTree;
    for (auto _ : st) {
        st.PauseTiming();
        if (tree.Root()->ChildCount() == 0)
            program.Reload();
        PartsOf(form).TreeView1->setCurrentIndex(PartsOf(form).CopyModel->IndexOf(tree.Root()));
        ProcessPending();
        st.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        PartsOf(form).SpeedButton14->click();
        ProcessPending();
        st.SetIterationTime(clock.nsecsElapsed() / 1e9);
        if (tree.Root()->ChildCount() != 0)
            st.SkipWithError("PLAYER was not emptied");
    }
    Report(st, 0);
}

void BM_SwitchLanguage(benchmark::State& st) {
    Program program(static_cast<int>(st.range(0)));
    TForm1& form = program.Form();
    bool french = true;
    for (auto _ : st) {
        QElapsedTimer clock;
        clock.start();
        (french ? PartsOf(form).French1 : PartsOf(form).English1)->trigger();
        ProcessPending();
        st.SetIterationTime(clock.nsecsElapsed() / 1e9);
        french = !french;
    }
    Report(st, 0);
}

// Closing the window with the project unchanged, and ending the program (every window and
// both lists released).
void BM_CloseWindow(benchmark::State& st) {
    for (auto _ : st) {
        st.PauseTiming();
        auto program = std::make_unique<Program>(static_cast<int>(st.range(0)));
        st.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        program->Form().close();
        ProcessPending();
        program->app.reset();
        st.SetIterationTime(clock.nsecsElapsed() / 1e9);
        st.PauseTiming();
        program.reset();
        st.ResumeTiming();
    }
    Report(st, 0);
}

// Render Script into an empty folder: the script and a copy of every (empty) source file.
// The copy itself is the core's; what counts here is that the dialog keeps painting.
void BM_Render(benchmark::State& st) {
    Program program(static_cast<int>(st.range(0)));
    TForm1& form = program.Form();
    DialogWatch watch(program.app->ProgressDialog());
    int round = 0;
    for (auto _ : st) {
        st.PauseTiming();
        const QString target = program.dir.path() + QStringLiteral("/player%1").arg(round++);
        QDir().mkpath(target);
        ModalAnswer answer([&](QWidget* modal) {
            auto* dialog = qobject_cast<TOKBottomDlg6*>(modal);
            if (!dialog)
                return false;
            PartsOf(dialog).LsDirTree211->OpenPath(target);
            PartsOf(dialog).mxFlatButton1->click();
            return true;
        });
        watch.showings = 0;
        st.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        PartsOf(form).RenderScript1->trigger();
        ProcessPending();
        st.SetIterationTime(clock.nsecsElapsed() / 1e9 - watch.showings * kLingerSeconds);
        st.PauseTiming();
        if (!QFile::exists(target + QStringLiteral("/00000001")))
            st.SkipWithError("nothing was copied");
        QDir(target).removeRecursively();
        st.ResumeTiming();
    }
    Report(st, watch.showings, &watch);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_CoreLoad)->Apply(Sizes)->Iterations(3);
BENCHMARK(BM_CoreSave)->Apply(Sizes)->Iterations(3);
BENCHMARK(BM_StartUpLoad)->Apply(Sizes)->UseManualTime()->Iterations(3);
BENCHMARK(BM_Open)->Apply(Sizes)->UseManualTime()->Iterations(3);
BENCHMARK(BM_NewProject)->Apply(Sizes)->UseManualTime()->Iterations(3);
BENCHMARK(BM_Save)->Apply(Sizes)->UseManualTime()->Iterations(3);
BENCHMARK(BM_DeleteLevel1Folder)->Apply(Sizes)->UseManualTime()->Iterations(5);
BENCHMARK(BM_DeletePlayer)->Apply(Sizes)->UseManualTime()->Iterations(3);
BENCHMARK(BM_SwitchLanguage)->Apply(Sizes)->UseManualTime()->Iterations(6);
BENCHMARK(BM_CloseWindow)->Apply(Sizes)->UseManualTime()->Iterations(3);
BENCHMARK(BM_Render)->Apply(Sizes)->UseManualTime()->Iterations(1);

} // namespace
