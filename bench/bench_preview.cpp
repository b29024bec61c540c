// Cost of the sample redraw as the fraction list grows, and of one commit with all the redraws
// it sets off. Run: build/bench/bench_preview
#include "fractions/fractionlist.h"
#include "main/mainform.h"
#include "preview/sample.h"
#include "toolkit/fonts.h"
#include "toolkit/qtsurface.h"
#include "toolkit/reportlistview.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

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

// One redraw that paints: the font is handed in again first, so the picture is not known to be
// up to date.
void BM_RedrawPainting(benchmark::State &state, fractions::Entry entry) {
    ReportListView view;
    view.appendRow(fractions::FractionList::EntryRowCaption, QString());
    fractions::FractionList list(view);
    fill(list, static_cast<int>(state.range(0)), entry);
    toolkit::QtSurface surface(277, 77);
    preview::Sample sample(surface);
    const toolkit::Font font = previewFont();
    for (auto _ : state) {
        sample.setFont(font);
        sample.redraw(list);
    }
}

// One redraw of an unchanged list: most redraws of one user action are of this kind.
void BM_RedrawUnchanged(benchmark::State &state, fractions::Entry entry) {
    ReportListView view;
    view.appendRow(fractions::FractionList::EntryRowCaption, QString());
    fractions::FractionList list(view);
    fill(list, static_cast<int>(state.range(0)), entry);
    toolkit::QtSurface surface(277, 77);
    preview::Sample sample(surface);
    sample.setFont(previewFont());
    sample.redraw(list);
    for (auto _ : state) {
        sample.redraw(list);
    }
}

struct Form {
    Form() {
        form.show();
        auto *listBox = form.findChild<ReportListView *>(QStringLiteral("ListBox"));
        fractions::FractionList list(*listBox);
        fill(list, 10'000, {QStringLiteral("12"), QStringLiteral("345")});
        nmntE = form.findChild<QLineEdit *>(QStringLiteral("NmntE"));
        dnmnE = form.findChild<QLineEdit *>(QStringLiteral("DnmnE"));
        changeB = form.findChild<QPushButton *>(QStringLiteral("ChangeB"));
        deleteB = form.findChild<QPushButton *>(QStringLiteral("DeleteB"));
        this->listBox = listBox;
    }
    TMainForm form;
    ReportListView *listBox;
    QLineEdit *nmntE;
    QLineEdit *dnmnE;
    QPushButton *changeB;
    QPushButton *deleteB;
};

// Changing the first entry, which is in the picture: the picture changes with every commit.
void BM_CommitFirstEntry(benchmark::State &state) {
    Form f;
    f.listBox->selectRow(0);
    bool odd = false;
    for (auto _ : state) {
        f.nmntE->setText(odd ? QStringLiteral("1") : QStringLiteral("7"));
        f.dnmnE->setText(QStringLiteral("2"));
        f.changeB->click();
        odd = !odd;
    }
}

// Adding an entry at the end through the entry row; the added entry is taken away again
// outside the timing so that the list keeps its length.
void BM_CommitNewEntry(benchmark::State &state) {
    Form f;
    for (auto _ : state) {
        f.listBox->selectRow(f.listBox->rowCount() - 1);
        f.nmntE->setText(QStringLiteral("1"));
        f.dnmnE->setText(QStringLiteral("2"));
        f.changeB->click();
        state.PauseTiming();
        f.listBox->selectRow(f.listBox->rowCount() - 2);
        f.deleteB->click();
        state.ResumeTiming();
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
BENCHMARK(BM_CommitFirstEntry)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CommitNewEntry)->Unit(benchmark::kMicrosecond);
