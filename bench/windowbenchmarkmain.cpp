// The entry point of the benchmarks that need a window: measured off screen, whatever the desktop,
// set up as the program sets its process up.
#include "toolkit/platform/process.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    toolkit::setUpProcess();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
