// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileBatchWindow.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <thread>

FileBatchResult RunFileBatch(QWidget* parent, const QString& label, const QString& cancelText,
                             const std::function<FileBatchResult(FileBatchControl*)>& work) {
    FileBatchControl control;
    FileBatchResult result;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        result = work(&control);
        finished = true;
    });

    QProgressDialog dialog(label, cancelText, 0, 1000, parent);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    // Shown by the timer below, not by the dialog's own guess.
    dialog.setMinimumDuration(24 * 3600 * 1000);
    dialog.reset();
    QObject::connect(&dialog, &QProgressDialog::canceled, [&control] { control.cancel = true; });

    QEventLoop loop;
    QTimer poll;
    poll.setInterval(30);
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (finished) {
            loop.quit();
            return;
        }
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
    poll.start();
    if (!finished)
        loop.exec();
    worker.join();
    poll.stop();
    dialog.hide();
    return result;
}
