#include "Main.h"

#include "MakeScript.h"
#include "MessageBoxes.h"
#include "ProgessBar.h"
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
    TOKBottomDlg6* target = App.OKBottomDlg6;
    if (target->exec() != QDialog::Accepted)
        return;
    State.CurrentProject->TargetPath = target->SelectedPath();
    if (State.CurrentProject->TargetPath.empty()) {
        ShowWarningBox(this, MessageText(language, 3));
        return;
    }
    // The copy runs also when the script was too big or could not be written.
    RunProgressJob(App, 4);
    RunProgressJob(App, 5);
    const stavio::CopyReport& report = App.OKBottomDlg1->LastCopyReport();
    if (!report.failures.empty())
        ShowWarningBox(this, CopyFailureReport(State.CurrentLanguage, report));
}
