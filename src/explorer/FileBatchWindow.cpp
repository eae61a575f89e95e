// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileBatchWindow.h"

#include "JobRunner.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

FileBatchResult RunFileBatch(QWidget* parent, const QString& label, const QString& cancelText,
                             const std::function<FileBatchResult(FileBatchControl*)>& work) {
    FileBatchControl control;
    FileBatchResult result;

    QProgressDialog dialog(label, cancelText, 0, 1000, parent);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    // Shown by the timer below, not by the dialog's own guess.
    dialog.setMinimumDuration(24 * 3600 * 1000);
    dialog.reset();
    QObject::connect(&dialog, &QProgressDialog::canceled, [&control] { control.cancel = true; });

    // The batch's counters are read as it goes, every 30 ms, into the bar.
    QTimer poll;
    poll.setInterval(30);
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (dialog.wasCanceled())
            control.cancel = true;
        // By the data copied; a batch that moves no data (a delete) by its items.
        const qint64 total = control.bytesTotal.load();
        const int items = control.itemsTotal.load();
        if (total > 0)
            dialog.setValue(static_cast<int>(control.bytesDone.load() * 1000 / total));
        else if (items > 0)
            dialog.setValue(static_cast<int>(qint64(control.itemsDone.load()) * 1000 / items));
        if (++ticks * poll.interval() >= kFileBatchWindowDelayMs && !dialog.isVisible() &&
            !control.cancel)
            dialog.show();
    });

    // The caller waits for the batch as for a modal dialog: the window keeps repainting and
    // the progress window hears Cancel.
    QEventLoop wait;
    JobRunner runner;
    QObject::connect(&runner, &JobRunner::Finished, &wait, &QEventLoop::quit);
    runner.Start(
        [&](stavio::ProgressDisplay&, const std::atomic<bool>&) { result = work(&control); }, {});
    poll.start();
    wait.exec();
    poll.stop();
    dialog.hide();
    return result;
}
