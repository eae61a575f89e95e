// The status bar: the project's figures after every change of the lists, and the summary of
// the last render until the lists change again.

#include "Main.h"

#include "ListTreeModel.h"
#include "Script.h"
#include "text.h"

#include <QLabel>
#include <QTimer>

namespace {

// Changes come in bursts (a folder of a thousand songs added, a project loaded): they are
// gathered for this long, then counted once.
constexpr int kStatusDelayMs = 30;

// The warning colour of a script that the player would refuse.
const QString kWarningColour = QStringLiteral("#c00000");

} // namespace

void TForm1::ConnectStatusBar() {
    StatusTimer = new QTimer(this);
    StatusTimer->setObjectName(QStringLiteral("StatusTimer"));
    StatusTimer->setSingleShot(true);
    StatusTimer->setInterval(kStatusDelayMs);
    connect(StatusTimer, &QTimer::timeout, this, &TForm1::UpdateStatusBar);
    for (ListTreeModel* model : {CopyModel, DeleteModel}) {
        connect(model, &QAbstractItemModel::rowsInserted, StatusTimer, qOverload<>(&QTimer::start));
        connect(model, &QAbstractItemModel::rowsRemoved, StatusTimer, qOverload<>(&QTimer::start));
        connect(model, &QAbstractItemModel::modelReset, StatusTimer, qOverload<>(&QTimer::start));
    }
}

void TForm1::UpdateStatusBar() {
    StatusTimer->stop();
    const stavio::ProjectFigureValues& values = figures_.Update(*State.CurrentProject);
    const QString text =
        QString::fromStdString(stavio::FiguresText(values, State.CurrentLanguage)).toHtmlEscaped();
    if (values.scriptCount <= stavio::MaxScriptCount) {
        StatusPanel->setText(text);
        return;
    }
    // The script part comes last in every language.
    const qsizetype split = text.lastIndexOf(QChar(0x00B7)) + 1;
    StatusPanel->setText(
        text.left(split) +
        QStringLiteral("<span style=\"color:%1\">%2</span>").arg(kWarningColour, text.mid(split)));
}

void TForm1::ShowStatusText(const QString& text) {
    StatusTimer->stop();
    StatusPanel->setText(text.toHtmlEscaped());
}
