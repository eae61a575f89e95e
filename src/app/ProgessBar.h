// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress dialog: the one modal window in which every long job runs. A caller sets
// StavioApp::ProgressMode and shows the dialog modally; the dialog starts the job once when it
// is shown, on a worker thread, shows what the job reports, and closes itself 100 ms after the
// job ended. The window's thread only presents: it repaints and hears Cancel throughout.

#include "JobRunner.h"
#include "MediaCopy.h"
#include "ProgressDisplay.h"
#include "ProjectFile.h"
#include "Render.h"

#include <QDialog>

#include <memory>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class StavioApp;

class TOKBottomDlg1 : public QDialog, public stavio::ProgressDisplay {
    Q_OBJECT
public:
    explicit TOKBottomDlg1(StavioApp& app, QWidget* parent = nullptr);

    // What the jobs report to.
    void SetCaption(const std::string& caption) override;
    void SetStatusText(const std::string& text) override;
    void ShowLabel(bool visible) override;
    void ShowBar(bool visible) override;
    void SetMaximum(int maximum) override;
    void SetPosition(int position) override;
    int Position() const override;

    // The outcome of the last media copy (mode 5), read by the render command.
    const stavio::CopyReport& LastCopyReport() const { return copyReport_; }
    // What the last load (mode 1) left out.
    const stavio::LoadReport& LastLoadReport() const { return loadReport_; }
    // The copy's sizes, rate and time left, under the bar.
    void SetDetailText(const std::string& text) override;
    // The copy line: the file being copied, above its figures.
    void SetCopyFile(const std::string& name) override;

    // The render whose script (mode 4) and copy (mode 5) the next showings run; without one,
    // the two jobs make their own from the current project.
    void SetRender(stavio::RenderPipeline* render) { render_ = render; }

    const stavio::RenderSummary& LastRenderSummary() const { return renderSummary_; }
    // True when the last job ended with an error instead of completing.
    bool LastJobFailed() const { return jobFailed_; }
    bool JobRunning() const { return jobRunning_; }
    // Runs the jobs; for the tests that hold one back.
    JobRunner& Runner() { return runner_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    template <class> friend struct WindowParts;

    QFrame* Bevel1;
    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QTimer* Timer1;
    // Shown during the media copy only: the sizes, rate and time left, and Cancel.
    QLabel* DetailLabel;
    QLabel* CopyFileLabel;
    QPushButton* CancelButton;

    void FormActivate();
    void Timer1Timer();
    // Each job in two halves: what the window's thread does first, handing back the part
    // that runs on the worker, and what it does once that part ended (error: what it threw).
    JobRunner::Job PrepareJob(unsigned char mode);
    void FinishJob(unsigned char mode, std::exception_ptr error);
    void ShowReport(const JobReport& report);
    JobReport Look() const;
    void ReportError(const std::string& text);
    stavio::RenderPipeline& Render();
    void ShowCopyControls(bool visible);
    void CancelButtonClick();

    StavioApp& app_;
    bool activationPending_ = false; // set by each showing, consumed by its one activation
    bool jobRunning_ = false;
    int position_ = 0; // the job's position; the bar follows it now and then
    bool jobFailed_ = false;
    bool cancellable_ = false; // the media copy listens to Cancel and Escape
    unsigned char runningMode_ = 0;
    stavio::RenderPipeline* render_ = nullptr;
    std::unique_ptr<stavio::RenderPipeline> ownRender_;
    stavio::CopyReport copyReport_;
    stavio::LoadReport loadReport_;
    stavio::RenderSummary renderSummary_;
    // What the worker hands back: the loaded state and report, the script's line count.
    std::unique_ptr<stavio::ProgramState> loading_;
    stavio::LoadReport workerLoadReport_;
    int scriptCount_ = 0;
    // Last, so that it is gone first: a job still running is waited for while what it
    // writes to is still there.
    JobRunner runner_;
};

// The caller's side of a job: select it, show the dialog modally, return once it closed.
void RunProgressJob(StavioApp& app, unsigned char mode);
