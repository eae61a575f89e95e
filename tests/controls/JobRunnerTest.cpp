// SPDX-License-Identifier: GPL-3.0-or-later
// A job on the runner's worker while the window's thread goes on: it repaints, Cancel reaches
// the job at once, the reports arrive merged, the end arrives once with what the job threw.

#include "JobRunner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <stdexcept>
#include <utility>

namespace {

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

struct Ends {
    int count = 0;
    std::exception_ptr error;
};

void Record(JobRunner& runner, Ends& ends) {
    QObject::connect(&runner, &JobRunner::Finished, [&ends](std::exception_ptr error) {
        ++ends.count;
        ends.error = error;
    });
}

TEST(JobRunnerTest, TheWindowGoesOnWhileAJobHoldsAndCancelReachesItAtOnce) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<qint64> heardAfterMs{-1};
    QElapsedTimer sinceCancel;
    JobRunner runner;
    Ends ends;
    Record(runner, ends);
    // A check that fails returns at once: the job is let go then too, before the runner
    // waits for it.
    struct LetGo {
        std::promise<void>& release;
        bool done = false;
        void operator()() {
            if (!std::exchange(done, true))
                release.set_value();
        }
        ~LetGo() { (*this)(); }
    } letGo{release};
    ASSERT_TRUE(runner.Start(
        [&](stavio::ProgressDisplay& progress, const std::atomic<bool>& cancel) {
            progress.SetMaximum(100000);
            for (int i = 1; i <= 100000; ++i)
                progress.SetPosition(i);
            released.wait();
            progress.SetStatusText("Let go");
            while (!cancel.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            heardAfterMs = sinceCancel.elapsed();
        },
        {}));
    EXPECT_FALSE(runner.Start([](stavio::ProgressDisplay&, const std::atomic<bool>&) {}, {}));

    PaintCounter window;
    window.show();
    QTest::qWait(50);
    const int paints = window.paints;
    window.update();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.paints > paints; }, 1000)); // job holds
    ASSERT_TRUE(QTest::qWaitFor([&] { return runner.Report().position == 100000; }, 2000));
    EXPECT_EQ(runner.Report().maximum, 100000);
    EXPECT_TRUE(runner.Running());
    EXPECT_EQ(ends.count, 0);

    letGo();
    // A report made long after the first ones still comes while the job runs.
    ASSERT_TRUE(QTest::qWaitFor([&] { return runner.Report().statusText == "Let go"; }, 2000));
    sinceCancel.start();
    runner.Cancel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends.count == 1; }, 2000));
    EXPECT_GE(heardAfterMs.load(), 0);
    EXPECT_LT(heardAfterMs.load(), 100);
    EXPECT_FALSE(runner.Running());
    EXPECT_FALSE(ends.error);
    QTest::qWait(50);
    EXPECT_EQ(ends.count, 1);
}

TEST(JobRunnerTest, WhatAJobThrowsArrivesWithItsLastReport) {
    JobRunner runner;
    Ends ends;
    Record(runner, ends);
    JobReport start;
    start.caption = "Before";
    runner.Start(
        [](stavio::ProgressDisplay& progress, const std::atomic<bool>&) {
            progress.SetStatusText("Halfway");
            throw std::runtime_error("Disque plein");
        },
        start);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends.count == 1; }, 2000));
    ASSERT_TRUE(ends.error);
    EXPECT_THROW(std::rethrow_exception(ends.error), std::runtime_error);
    EXPECT_EQ(runner.Report().statusText, "Halfway");
    EXPECT_EQ(runner.Report().caption, "Before");
}

} // namespace

int main(int argc, char** argv) {
    if (!getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
