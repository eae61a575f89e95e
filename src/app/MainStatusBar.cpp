// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar: the project's figures after every change of the lists, and the summary of
// the last render until the lists change again.

#include "Main.h"

#include "ListTreeModel.h"
#include "Script.h"
#include "text.h"

#include <QLabel>
#include <QThreadPool>
#include <QTimer>

#include <functional>

namespace {

// Changes come in bursts (a folder of a thousand songs added, a project loaded): they are
// gathered for this long, then counted once.
constexpr int kStatusDelayMs = 30;

// The warning colour of a script that the player would refuse.
const QString kWarningColour = QStringLiteral("#c00000");

} // namespace

// Reads the sizes the figures lack on a thread beside the window's, which a project of a
// hundred thousand songs would otherwise stop for most of a second, and hands them back on
// the window's thread. It waits for its thread when it goes, so the window may close mid-read.
class StatusSizeReader : public QObject {
public:
    StatusSizeReader(QObject* parent, std::function<void(const stavio::SizeAnswer&)> deliver)
        : QObject(parent), deliver_(std::move(deliver)) {
        pool_.setMaxThreadCount(1);
    }
    ~StatusSizeReader() override {
        pool_.clear();
        pool_.waitForDone();
    }

    void Read(stavio::SizeRequest request) {
        pool_.clear(); // superseded before it started
        pool_.start([this, request = std::move(request)] {
            stavio::SizeAnswer answer = stavio::ProjectFigures::ReadSizes(request);
            if (request.Superseded())
                return;
            QMetaObject::invokeMethod(
                this, [this, answer = std::move(answer)] { deliver_(answer); },
                Qt::QueuedConnection);
        });
    }

private:
    std::function<void(const stavio::SizeAnswer&)> deliver_;
    QThreadPool pool_;
};

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
    sizeReader_ = new StatusSizeReader(this, [this](const stavio::SizeAnswer& answer) {
        // A render's summary stays until the lists change.
        if (figures_.Take(answer) && statusShowsFigures_)
            ShowFigures();
    });
}

void TForm1::UpdateStatusBar() {
    StatusTimer->stop();
    stavio::SizeRequest request = figures_.Gather(*State.CurrentProject);
    if (request.paths.size() <= stavio::ProjectFigures::InlineReads)
        figures_.Take(stavio::ProjectFigures::ReadSizes(request));
    else
        sizeReader_->Read(std::move(request));
    statusShowsFigures_ = true;
    ShowFigures();
}

void TForm1::ShowFigures() {
    const stavio::ProjectFigureValues& values = figures_.Values();
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
    statusShowsFigures_ = false;
    StatusPanel->setText(text.toHtmlEscaped());
}
