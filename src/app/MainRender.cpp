// SPDX-License-Identifier: GPL-3.0-or-later
#include "Main.h"

#include "MakeScript.h"
#include "MessageBoxes.h"
#include "ProgessBar.h"
#include "Render.h"
#include "StavioApp.h"
#include "text.h"

#include <QDialog>
#include <QFile>

namespace {

// At most this many failed files are named in the report.
constexpr size_t kReportedFailures = 10;

QString CopyFailureReport(stavio::Language language, const stavio::CopyReport& report) {
    QString text =
        QString::fromStdString(stavio::TextUtf8(stavio::RenderReportTexts, language, 0)) +
        QLatin1Char(' ') + QString::number(report.failures.size());
    for (size_t i = 0; i < report.failures.size() && i < kReportedFailures; ++i) {
        const stavio::CopyFailure& failure = report.failures[i];
        // A failure without a source is the final flush of the target itself.
        const std::string& path = failure.source.empty() ? failure.destination : failure.source;
        text += QLatin1Char('\n') + QFile::decodeName(QByteArray::fromStdString(path)) +
                QStringLiteral(": ") + QString::fromStdString(failure.reason);
    }
    return text;
}

} // namespace

void TForm1::RenderScript1Click() {
    const stavio::Language language = State.CurrentLanguage;
    if (State.CurrentProject->CopyLinks.empty() && State.CurrentProject->DeleteLinks.empty()) {
        ShowWarningBox(this, MessageText(language, 2));
        return;
    }
    TOKBottomDlg6* target = &App.RenderTargetDialog();
    if (target->exec() != QDialog::Accepted)
        return;
    // The tree gives folders without their final "/": the stored target, chosen again, stays
    // as it is stored and the project is not modified by it.
    const std::string chosen = target->SelectedPath();
    std::string& stored = State.CurrentProject->TargetPath;
    if (chosen.empty() || (chosen != stored && chosen + "/" != stored))
        stored = chosen;
    if (State.CurrentProject->TargetPath.empty()) {
        ShowWarningBox(this, MessageText(language, 3));
        return;
    }
    // One plan for the script and the copy; whether it fits is asked before anything is
    // written.
    stavio::RenderPipeline render(State, App.FreeSpace);
    if (const stavio::RenderSurvey survey = render.Survey(); !survey.Fits()) {
        const QString question = QString::fromStdString(
            stavio::FillText(stavio::RenderStatusTexts, language, 3,
                             {stavio::FormatSize(survey.bytesNeeded, language),
                              stavio::FormatSize(*survey.bytesFree, language)}));
        // Copying anyway fills the player: only a deliberate answer does it.
        if (!AskYesNo(this, question, DefaultAnswer::No))
            return;
    }
    // The copy runs also when the script was too big or could not be written.
    App.ProgressDialog().SetRender(&render);
    RunProgressJob(App, 4);
    RunProgressJob(App, 5);
    App.ProgressDialog().SetRender(nullptr);
    ShowStatusText(QString::fromStdString(stavio::SummaryText(render.Summary(), language)));
    const stavio::CopyReport& report = App.ProgressDialog().LastCopyReport();
    std::vector<std::string> failedSources;
    for (const stavio::CopyFailure& failure : report.failures)
        if (!failure.source.empty())
            failedSources.push_back(failure.source);
    RecheckSources(failedSources);
    if (!report.failures.empty())
        ShowWarningBox(this, CopyFailureReport(State.CurrentLanguage, report));
}
