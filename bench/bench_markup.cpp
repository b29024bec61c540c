#include "markup/tablemarkup.h"

#include <QStringList>

#include <benchmark/benchmark.h>

namespace {

fractions::EntryVector mixedRow(int count) {
    std::vector<fractions::Entry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (i % 3 == 1) {
            entries.push_back({QStringLiteral("+"), {}});
        } else {
            entries.push_back({QString::number(i), QString::number(i + 1)});
        }
    }
    return fractions::EntryVector(std::move(entries));
}

void generateTable(benchmark::State &state) {
    const auto entries = mixedRow(static_cast<int>(state.range(0)));
    const QString path = QStringLiteral("./fracline.gif");
    for (auto _ : state) {
        benchmark::DoNotOptimize(markup::tableText(entries, path));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(generateTable)->RangeMultiplier(10)->Range(10, 100000)->Complexity(benchmark::oN);

// The floor for generation: the same output bytes appended to one buffer.
void concatenateSameOutput(benchmark::State &state) {
    const auto entries = mixedRow(static_cast<int>(state.range(0)));
    // Split after every line feed the generator writes, so the pieces join to the same bytes.
    const QStringList lines = markup::tableText(entries, QStringLiteral("./fracline.gif"))
                                  .split(u'\n', Qt::SkipEmptyParts);
    qsizetype size = 0;
    for (const QString &line : lines) {
        size += line.size() + 1;
    }
    for (auto _ : state) {
        QString buffer;
        buffer.reserve(size);
        for (const QString &line : lines) {
            buffer.append(line).append(u'\n');
        }
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(concatenateSameOutput)->RangeMultiplier(10)->Range(10, 100000);

} // namespace

BENCHMARK_MAIN();
