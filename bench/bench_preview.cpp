// Cost of the sample redraw as the fraction list grows. The cost of whole actions, every redraw
// they set off included, is measured by bench_actions. Run: build/bench/bench_preview
#include "fractions/fractionlist.h"
#include "preview/sample.h"
#include "toolkit/platform/fonts.h"
#include "toolkit/qt/qtsurface.h"
#include "toolkit/widgets/reportlistview.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

toolkit::Font previewFont() {
    QFont face(QString::fromUtf16(toolkit::LayoutFaceName));
    face.setPixelSize(19);
    return {face, Qt::black};
}

void fill(fractions::FractionList &list, int entries, const fractions::Entry &entry) {
    for (int i = 0; i < entries; ++i) {
        list.commit(list.count() - 1, entry);
    }
}

// A list of `entries` copies of `entry` and the sample drawn from it.
struct SampleOfList {
    SampleOfList(int entries, const fractions::Entry &entry) { fill(list, entries, entry); }
    toolkit::ReportListView view;
    fractions::FractionList list{view};
    toolkit::QtSurface surface{277, 77};
    preview::Sample sample{surface};
};

// One redraw that paints: the font is handed in again first, so the picture is not known to be
// up to date.
void BM_RedrawPainting(benchmark::State &state, fractions::Entry entry) {
    SampleOfList sample(static_cast<int>(state.range(0)), entry);
    const toolkit::Font font = previewFont();
    for (auto _ : state) {
        sample.sample.setFont(font);
        sample.sample.redraw(sample.list);
    }
}

// One redraw of an unchanged list: most redraws of one user action are of this kind.
void BM_RedrawUnchanged(benchmark::State &state, fractions::Entry entry) {
    SampleOfList sample(static_cast<int>(state.range(0)), entry);
    sample.sample.setFont(previewFont());
    sample.sample.redraw(sample.list);
    for (auto _ : state) {
        sample.sample.redraw(sample.list);
    }
}

const fractions::Entry Wide{QStringLiteral("12"), QStringLiteral("345")};
const fractions::Entry Narrow{QStringLiteral("1"), QStringLiteral("2")};

} // namespace

BENCHMARK_CAPTURE(BM_RedrawPainting, wide, Wide)->Arg(10)->Arg(1'000)->Arg(10'000)->Arg(100'000);
BENCHMARK_CAPTURE(BM_RedrawPainting, narrow, Narrow)
    ->Arg(10)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000);
BENCHMARK_CAPTURE(BM_RedrawUnchanged, wide, Wide)->Arg(10)->Arg(100'000);
BENCHMARK_CAPTURE(BM_RedrawUnchanged, narrow, Narrow)->Arg(10)->Arg(100'000);
