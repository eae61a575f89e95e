// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgessBar.h"

#include "Main.h"
#include "MessageBoxes.h"
#include "ProjectFile.h"
#include "Script.h"
#include "StavioApp.h"
#include "TextFile.h"
#include "text.h"

#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The groups a load left out: the introduction and their count, then their source paths.
QString LoadReportText(stavio::Language language, const stavio::LoadReport& report) {
    QString text = Utf8(stavio::TextUtf8(stavio::LoadReportTexts, language, 0)) + QLatin1Char(' ') +
                   QString::number(report.leftOut);
    for (const std::string& source : report.leftOutSources)
        text += QLatin1Char('\n') + QFile::decodeName(QByteArray::fromStdString(source));
    return text;
}

// The dialog's client height, and that of the media copy with its line and Cancel button.
constexpr int kHeight = 57;
constexpr int kCopyHeight = 128;

} // namespace

TOKBottomDlg1::TOKBottomDlg1(StavioApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("OKBottomDlg1"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Progress"));
    setFixedSize(315, kHeight);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 297, 41);

    Label1 = new QLabel(QStringLiteral("..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 18, 281, 25);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(16, 16, 281, 25);
    ProgressBar1->setRange(0, 254);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    Timer1->setSingleShot(false);
    connect(Timer1, &QTimer::timeout, this, &TOKBottomDlg1::Timer1Timer);

    CopyFileLabel = new QLabel(this);
    CopyFileLabel->setObjectName(QStringLiteral("CopyFileLabel"));
    CopyFileLabel->setGeometry(16, 54, 281, 17);
    CopyFileLabel->hide();

    DetailLabel = new QLabel(this);
    DetailLabel->setObjectName(QStringLiteral("DetailLabel"));
    DetailLabel->setGeometry(16, 71, 281, 17);
    DetailLabel->hide();

    CancelButton = new QPushButton(this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(230, 95, 75, 25);
    CancelButton->setAutoDefault(false);
    CancelButton->hide();
    connect(CancelButton, &QPushButton::clicked, this, &TOKBottomDlg1::CancelButtonClick);

    connect(&runner_, &JobRunner::Reported, this, &TOKBottomDlg1::ShowReport);
    connect(&runner_, &JobRunner::Finished, this,
            [this](std::exception_ptr error) { FinishJob(runningMode_, error); });
}

void TOKBottomDlg1::SetCaption(const std::string& caption) {
    setWindowTitle(Utf8(caption));
}

void TOKBottomDlg1::SetStatusText(const std::string& text) {
    Label1->setText(Utf8(text));
}

void TOKBottomDlg1::ShowLabel(bool visible) {
    Label1->setVisible(visible);
}

void TOKBottomDlg1::ShowBar(bool visible) {
    ProgressBar1->setVisible(visible);
}

void TOKBottomDlg1::SetMaximum(int maximum) {
    ProgressBar1->setValue(position_);
    ProgressBar1->setMaximum(maximum);
    position_ = ProgressBar1->value(); // the bar drops a position outside its new range
}

void TOKBottomDlg1::SetPosition(int position) {
    // As the bar does, a position outside the range is ignored (unless the range is 0 to 0).
    const int minimum = ProgressBar1->minimum();
    const int maximum = ProgressBar1->maximum();
    if ((position < minimum || position > maximum) && (minimum != 0 || maximum != 0))
        return;
    position_ = position;
    ProgressBar1->setValue(position_);
}

int TOKBottomDlg1::Position() const {
    return position_;
}

void TOKBottomDlg1::SetDetailText(const std::string& text) {
    DetailLabel->setText(Utf8(text));
}

void TOKBottomDlg1::SetCopyFile(const std::string& name) {
    // A long name keeps its beginning and its extension.
    const QString shown = QString::fromUtf8(name.data(), qsizetype(name.size()));
    CopyFileLabel->setText(
        CopyFileLabel->fontMetrics().elidedText(shown, Qt::ElideMiddle, CopyFileLabel->width()));
}

void TOKBottomDlg1::ShowCopyControls(bool visible) {
    cancellable_ = visible;
    DetailLabel->setText(QString());
    DetailLabel->setVisible(visible);
    CopyFileLabel->setText(QString());
    CopyFileLabel->setVisible(visible);
    CancelButton->setText(QString::fromStdString(
        stavio::TextUtf8(stavio::RenderDialogTexts, app_.State.CurrentLanguage, 2)));
    CancelButton->setEnabled(visible);
    CancelButton->setVisible(visible);
    setFixedSize(315, visible ? kCopyHeight : kHeight);
}

void TOKBottomDlg1::CancelButtonClick() {
    if (!cancellable_)
        return;
    runner_.Cancel();
    CancelButton->setEnabled(false); // once is enough; the copy stops at its next block
}

void TOKBottomDlg1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The job starts once the window is on the screen, from the event loop of the modal
    // showing; returning focus later does not start it again.
    activationPending_ = true;
    QTimer::singleShot(0, this, &TOKBottomDlg1::FormActivate);
}

void TOKBottomDlg1::closeEvent(QCloseEvent* event) {
    if (jobRunning_) {
        event->ignore(); // the job completes before the dialog closes
        return;
    }
    Timer1->stop();
    QDialog::closeEvent(event);
}

void TOKBottomDlg1::keyPressEvent(QKeyEvent* event) {
    if (cancellable_ && event->key() == Qt::Key_Escape) {
        CancelButtonClick(); // Escape acts as Cancel during the copy
        event->accept();
        return;
    }
    if (jobRunning_ || Timer1->isActive()) {
        event->accept(); // Escape must not cut a job short
        return;
    }
    QDialog::keyPressEvent(event);
}

void TOKBottomDlg1::FormActivate() {
    if (!activationPending_ || !isVisible())
        return;
    activationPending_ = false;
    const unsigned char mode = app_.ProgressMode;
    jobFailed_ = false;
    if (mode < 1 || mode > 5) {
        Timer1->start();
        return;
    }
    SetMaximum(1);
    jobRunning_ = true;
    runningMode_ = mode;
    JobRunner::Job job;
    try {
        job = PrepareJob(mode);
    } catch (...) {
        FinishJob(mode, std::current_exception());
        return;
    }
    runner_.Start(std::move(job), Look());
}

JobRunner::Job TOKBottomDlg1::PrepareJob(unsigned char mode) {
    stavio::ProgramState& state = app_.State;
    switch (mode) {
    case 1:
        loadReport_ = {};
        workerLoadReport_ = {};
        loading_ = state.LoadingCopy();
        return [this, loading = loading_.get()](stavio::ProgressDisplay& progress,
                                                const std::atomic<bool>&) {
            workerLoadReport_ = stavio::LoadProjectFile(*loading, loading->ProjectFileName,
                                                        progress, app_.State.Names);
        };
    case 2: {
        // The lists leave the window at once; freeing their nodes is the worker's part.
        auto nodes = std::make_shared<std::vector<std::unique_ptr<stavio::ListNode>>>(
            app_.MainWindow().ResetProject());
        return [nodes](stavio::ProgressDisplay&, const std::atomic<bool>&) { nodes->clear(); };
    }
    case 3:
        return [&state](stavio::ProgressDisplay& progress, const std::atomic<bool>&) {
            stavio::SaveProjectFile(state, state.ProjectFileName, progress);
        };
    case 4: {
        ownRender_.reset(); // a new render starts here
        scriptCount_ = 0;
        stavio::RenderPipeline& render = Render();
        return [this, &render](stavio::ProgressDisplay& progress, const std::atomic<bool>&) {
            scriptCount_ = render.WriteScript(progress);
        };
    }
    default: {
        copyReport_ = {};
        renderSummary_ = {};
        stavio::RenderPipeline& render = Render();
        ShowCopyControls(true);
        return [&render](stavio::ProgressDisplay& progress, const std::atomic<bool>& cancel) {
            render.CopyMedia(progress, cancel);
        };
    }
    }
}

void TOKBottomDlg1::FinishJob(unsigned char mode, std::exception_ptr error) {
    stavio::ProgramState& state = app_.State;
    jobRunning_ = false;
    ProgressBar1->setValue(position_); // the job is over: the bar shows its last position
    if (mode == 1 && loading_) {
        // What was read before a failure stays, as it would have in place.
        state.TakeLoaded(*loading_);
        loading_.reset();
        loadReport_ = workerLoadReport_;
        if (!error)
            app_.MainWindow().SetProjectCaption();
    } else if (mode == 4 && !error && scriptCount_ > stavio::MaxScriptCount) {
        ShowErrorBox(this, MessageText(state.CurrentLanguage, 1));
    } else if (mode == 5) {
        ShowCopyControls(false);
        if (!error) {
            renderSummary_ = Render().Summary();
            copyReport_.filesCopied = renderSummary_.filesCopied + renderSummary_.filesUnchanged;
            copyReport_.bytesCopied = renderSummary_.bytesCopied;
            copyReport_.failures = renderSummary_.failures;
        }
        ownRender_.reset();
    }
    if (error) {
        jobFailed_ = true;
        // The application's general error handler: the runtime's text and the file. The
        // dialog goes with the box: left on screen with nothing to press, it looked hung.
        try {
            std::rethrow_exception(error);
        } catch (const stavio::FileError& failure) {
            ReportError(std::string(failure.what()) + "\n" + failure.Path());
        } catch (const std::exception& failure) {
            ReportError(failure.what());
        } catch (...) {
            ReportError("?");
        }
    }
    Timer1->start();
}

JobReport TOKBottomDlg1::Look() const {
    JobReport look;
    look.caption = windowTitle().toStdString();
    look.statusText = Label1->text().toStdString();
    look.detailText = DetailLabel->text().toStdString();
    look.labelVisible = !Label1->isHidden();
    look.barVisible = !ProgressBar1->isHidden();
    look.maximum = ProgressBar1->maximum();
    look.position = position_;
    return look;
}

void TOKBottomDlg1::ShowReport(const JobReport& report) {
    if (!jobRunning_)
        return;
    SetCaption(report.caption);
    SetStatusText(report.statusText);
    ShowLabel(report.labelVisible);
    ShowBar(report.barVisible);
    if (report.maximum != ProgressBar1->maximum())
        ProgressBar1->setMaximum(report.maximum);
    position_ = report.position;
    if (position_ < ProgressBar1->minimum())
        ProgressBar1->reset(); // as a new range does to a position outside it
    else
        ProgressBar1->setValue(position_);
    if (cancellable_) {
        SetDetailText(report.detailText);
        SetCopyFile(report.copyFile);
    }
}

stavio::RenderPipeline& TOKBottomDlg1::Render() {
    if (render_ != nullptr)
        return *render_;
    if (!ownRender_)
        ownRender_ = std::make_unique<stavio::RenderPipeline>(app_.State);
    return *ownRender_;
}

void TOKBottomDlg1::ReportError(const std::string& text) {
    ShowFileErrorBox(this, Utf8(text));
}

void TOKBottomDlg1::Timer1Timer() {
    Timer1->stop();
    done(QDialog::Accepted);
}

void RunProgressJob(StavioApp& app, unsigned char mode) {
    app.ProgressMode = mode;
    app.ProgressDialog().exec(); // the result is of no interest: a failed job was reported
    app.MainWindow().RecheckDeferredSources();
    // A load that left entries out says so once, over the main window, when it is over.
    const stavio::LoadReport& report = app.ProgressDialog().LastLoadReport();
    if (mode == 1 && !app.ProgressDialog().LastJobFailed() && report.leftOut > 0)
        ShowWarningBox(&app.MainWindow(), LoadReportText(app.State.CurrentLanguage, report));
}
