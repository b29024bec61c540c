#include "main/mainform.h"
#include "toolkit/reportlistview.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <benchmark/benchmark.h>

// The cost of each user action in a window whose list already holds many entries, and with a text
// of a million characters, every redraw it triggers included.
namespace {

class Window {
public:
    explicit Window(int entries) {
        form.show();
        list = form.findChild<ReportListView *>(QStringLiteral("ListBox"));
        for (int i = 0; i < entries; ++i) {
            add(QString::number(i), i % 3 == 1 ? QString() : QString::number(i + 1));
        }
        QApplication::processEvents();
    }
    void add(const QString &numerator, const QString &denominator) {
        const int last = list->rowCount() - 1;
        list->setCaption(last, numerator);
        list->setSubItem(last, denominator);
        list->appendRow(QStringLiteral("（新規作成）"), QString());
    }
    template <typename T> T *widget(const char *name) {
        return form.findChild<T *>(QString::fromLatin1(name));
    }
    void clickRow(int row) {
        list->scrollToItem(list->topLevelItem(row));
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    TMainForm form;
    ReportListView *list = nullptr;
};

void commitEntry(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)));
    window.clickRow(0);
    auto *change = window.widget<QPushButton>("ChangeB");
    for (auto _ : state) {
        change->click();
    }
}

void commitEntryRow(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)));
    window.clickRow(window.list->rowCount() - 1);
    auto *change = window.widget<QPushButton>("ChangeB");
    for (auto _ : state) {
        change->click();
        state.PauseTiming();
        window.list->removeRow(window.list->rowCount() - 2);
        state.ResumeTiming();
    }
}

void deleteEntry(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)));
    auto *remove = window.widget<QPushButton>("DeleteB");
    for (auto _ : state) {
        state.PauseTiming();
        window.list->appendRow(QStringLiteral("（新規作成）"), QString());
        window.list->setCaption(window.list->rowCount() - 2, QStringLiteral("1"));
        window.list->selectRow(0);
        state.ResumeTiming();
        remove->click();
    }
}

void clickToRefreshEditor(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)));
    int row = 0;
    for (auto _ : state) {
        window.clickRow(row);
        row = 1 - row;
    }
}

void makeMarkup(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)));
    auto *make = window.widget<QPushButton>("MakeB");
    for (auto _ : state) {
        make->click();
    }
}

void copyMarkup(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)));
    window.widget<QPushButton>("MakeB")->click();
    auto *copy = window.widget<QPushButton>("CopyB");
    for (auto _ : state) {
        copy->click();
    }
}

void toggleSample(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)));
    auto *sample = window.widget<QCheckBox>("VisSC");
    for (auto _ : state) {
        sample->click();
    }
}

// A million characters of Japanese and Latin mixed, as in a pasted document.
QString millionMixedCharacters() {
    return u"分数のテスト 1/2 + abc "_qs.repeated(1'000'000 / 17 + 1).left(1'000'000);
}

// One entry of a million characters over a short denominator, then the action.
void longEntry(benchmark::State &state, const char *action) {
    Window window(0);
    window.add(millionMixedCharacters(), QStringLiteral("2"));
    window.clickRow(0);
    auto *button = window.widget<QAbstractButton>(action);
    for (auto _ : state) {
        button->click();
        QApplication::processEvents();
    }
}

void clickLongEntry(benchmark::State &state) {
    Window window(0);
    window.add(millionMixedCharacters(), QStringLiteral("2"));
    int row = 0;
    for (auto _ : state) {
        window.clickRow(row);
        QApplication::processEvents();
        row = 1 - row;
    }
}

// The numerator box holding a million characters, focused, then keys as a person presses them.
void longTextInBox(benchmark::State &state, const char *action) {
    Window window(0);
    window.clickRow(0);
    auto *box = window.widget<QLineEdit>("NmntE");
    QGuiApplication::clipboard()->setText(millionMixedCharacters());
    box->setText(millionMixedCharacters());
    QTest::mouseClick(box, Qt::LeftButton);
    QApplication::processEvents();
    const QByteArray name(action);
    for (auto _ : state) {
        if (name == "paste") {
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        } else if (name == "selectAll") {
            QTest::keyClick(box, Qt::Key_End);
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        } else {
            // Tab from the list into the box, which selects its whole text.
            window.list->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(window.list, Qt::Key_Tab);
        }
        QApplication::processEvents();
    }
}

BENCHMARK_CAPTURE(longEntry, commit, "ChangeB")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(longEntry, make, "MakeB")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(longEntry, copy, "CopyB")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(longEntry, toggleSample, "VisSC")->Unit(benchmark::kMillisecond);
BENCHMARK(clickLongEntry)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(longTextInBox, paste, "paste")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(longTextInBox, selectAll, "selectAll")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(longTextInBox, tabInto, "tabInto")->Unit(benchmark::kMillisecond);

const std::vector<int64_t> Sizes{10, 1000, 10000, 100000};
BENCHMARK(commitEntry)->ArgsProduct({Sizes})->Unit(benchmark::kMicrosecond);
BENCHMARK(commitEntryRow)->ArgsProduct({Sizes})->Unit(benchmark::kMicrosecond);
BENCHMARK(deleteEntry)->ArgsProduct({Sizes})->Unit(benchmark::kMicrosecond);
BENCHMARK(clickToRefreshEditor)->ArgsProduct({Sizes})->Unit(benchmark::kMicrosecond);
BENCHMARK(makeMarkup)->ArgsProduct({Sizes})->Unit(benchmark::kMillisecond);
BENCHMARK(copyMarkup)->ArgsProduct({Sizes})->Unit(benchmark::kMillisecond);
BENCHMARK(toggleSample)->ArgsProduct({Sizes})->Unit(benchmark::kMicrosecond);

} // namespace
