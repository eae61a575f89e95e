// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs one long job at a time on a worker thread while the window's thread goes on with its
// events: it repaints, and Cancel is heard at once. The job reports through the
// ProgressDisplay it is handed; the reports reach the window's thread as queued signals,
// merged into the latest state when they come faster than every 25 ms. Finished comes once
// per job, on the window's thread, with what the job threw (or nothing).

#include "ProgressDisplay.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// What a job has shown so far: the whole state of a progress display.
struct JobReport {
    std::string caption;
    std::string statusText;
    std::string detailText;
    std::string copyFile;
    bool labelVisible = true;
    bool barVisible = true;
    int maximum = 0;
    int position = 0;
};

class JobRunner : public QObject {
    Q_OBJECT
public:
    using Job =
        std::function<void(stavio::ProgressDisplay& progress, const std::atomic<bool>& cancel)>;

    explicit JobRunner(QObject* parent = nullptr);
    ~JobRunner() override; // waits for a job still running

    // Starts job with the display as start shows it. Refused (false) while a job runs.
    bool Start(Job job, const JobReport& start);
    // Asks the running job to stop; it reads the flag between its steps.
    void Cancel() { cancel_ = true; }
    bool Running() const { return running_; }
    // The last report taken on the window's thread.
    const JobReport& Report() const { return shown_; }

signals:
    void Reported(const JobReport& report);
    void Finished(std::exception_ptr error);

private:
    class Relay;
    void Deliver();
    void DeliverNow();
    void Join();
    static constexpr qint64 kReportIntervalMs = 25;

    std::unique_ptr<Relay> relay_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    bool running_ = false;
    JobReport shown_;
    QElapsedTimer sinceDelivery_;
    bool deliveryWaits_ = false; // a delivery is due once the interval has passed
};
