// The entry point of the benchmarks that need a window: measured off screen, whatever the desktop,
// with the window's fonts mapped as the program maps them.
#include "toolkit/fonts.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    toolkit::installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
