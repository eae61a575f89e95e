// SPDX-License-Identifier: GPL-3.0-or-later
// The main of the benchmarks that need widgets: one QApplication, on the offscreen platform
// unless another is asked for (QT_QPA_PLATFORM=xcb under Xvfb, say).
#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (!getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
