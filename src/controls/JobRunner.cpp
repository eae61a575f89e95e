// SPDX-License-Identifier: GPL-3.0-or-later
#include "JobRunner.h"

#include <QMetaObject>
#include <QTimer>

// The display the job talks to, on the worker thread. It keeps the job's view of the bar
// (the job reads its position back) and hands a copy of the whole state over to the window's
// thread, one delivery at a time.
class JobRunner::Relay : public stavio::ProgressDisplay {
public:
    Relay(JobRunner& runner, const JobReport& start) : runner_(runner), state_(start) {
        value_ = start.position;
    }

    void SetCaption(const std::string& caption) override {
        Change([&](JobReport& r) { r.caption = caption; });
    }
    void SetStatusText(const std::string& text) override {
        Change([&](JobReport& r) { r.statusText = text; });
    }
    void ShowLabel(bool visible) override {
        Change([&](JobReport& r) { r.labelVisible = visible; });
    }
    void ShowBar(bool visible) override {
        Change([&](JobReport& r) { r.barVisible = visible; });
    }
    void SetDetailText(const std::string& text) override {
        Change([&](JobReport& r) { r.detailText = text; });
    }
    void SetCopyFile(const std::string& name) override {
        Change([&](JobReport& r) { r.copyFile = name; });
    }
    // As a progress bar from 0 does: a new range drops a position outside it.
    void SetMaximum(int maximum) override {
        Change([&](JobReport& r) {
            r.maximum = std::max(0, maximum);
            if (value_ < -1 || value_ > r.maximum)
                value_ = -1;
            r.position = value_;
        });
    }
    // A position outside the range is ignored, unless the range is 0 to 0.
    void SetPosition(int position) override {
        Change([&](JobReport& r) {
            if ((position < 0 || position > r.maximum) && r.maximum != 0)
                return;
            value_ = position;
            r.position = value_;
        });
    }
    int Position() const override { return value_; }

    JobReport Take() {
        const std::lock_guard lock(mutex_);
        posted_ = false;
        return state_;
    }

private:
    template <class Edit> void Change(Edit edit) {
        bool post;
        {
            const std::lock_guard lock(mutex_);
            edit(state_);
            post = !posted_;
            posted_ = true;
        }
        if (post)
            QMetaObject::invokeMethod(&runner_, &JobRunner::Deliver, Qt::QueuedConnection);
    }

    JobRunner& runner_;
    int value_ = 0; // the job's own view, read back by StepIt
    std::mutex mutex_;
    JobReport state_;
    bool posted_ = false;
};

JobRunner::JobRunner(QObject* parent) : QObject(parent) {
    qRegisterMetaType<std::exception_ptr>("std::exception_ptr");
}

JobRunner::~JobRunner() {
    cancel_ = true;
    Join();
}

void JobRunner::Join() {
    if (worker_.joinable())
        worker_.join();
}

bool JobRunner::Start(Job job, const JobReport& start) {
    if (running_)
        return false;
    Join();
    running_ = true;
    cancel_ = false;
    shown_ = start;
    relay_ = std::make_unique<Relay>(*this, start);
    worker_ = std::thread([this, job = std::move(job)] {
        std::exception_ptr error;
        try {
            job(*relay_, cancel_);
        } catch (...) {
            error = std::current_exception();
        }
        // Queued behind every report the job made, so the last one is shown first.
        QMetaObject::invokeMethod(
            this,
            [this, error] {
                Join();
                DeliverNow(); // the last report, whatever the interval
                running_ = false;
                emit Finished(error);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void JobRunner::Deliver() {
    if (!relay_ || deliveryWaits_)
        return;
    // A job that reports at every step would keep the window's thread busy taking reports,
    // on a small machine at the cost of the job: the window takes one every 25 ms at most.
    const qint64 since = sinceDelivery_.isValid() ? sinceDelivery_.elapsed() : kReportIntervalMs;
    if (running_ && since < kReportIntervalMs) {
        deliveryWaits_ = true;
        QTimer::singleShot(int(kReportIntervalMs - since), this, [this] {
            deliveryWaits_ = false;
            Deliver();
        });
        return;
    }
    DeliverNow();
}

void JobRunner::DeliverNow() {
    sinceDelivery_.restart();
    shown_ = relay_->Take();
    emit Reported(shown_);
}
