#include "main/mainform.h"
#include "markup/rowreader.h"
#include "toolkit/widgets/reportlistview.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <benchmark/benchmark.h>
#include <malloc.h>

using namespace Qt::StringLiterals;

// The cost of each user action in a window whose list already holds many entries, and with a text
// of a million characters, every redraw it triggers and the painting that follows included.
namespace {

// Entries are fractions, or every third one a whole number; as plain numbers, or with markup in
// every cell.
enum class Entries { Fractions, Mixed, MixedMarkup };

class Window {
public:
    explicit Window(int entries, Entries kind = Entries::Mixed) {
        form.show();
        list = form.findChild<toolkit::ReportListView *>(QStringLiteral("ListBox"));
        const auto cell = [kind](int n) {
            return kind == Entries::MixedMarkup ? u"<b>%1</b>&nbsp;&frac12;"_s.arg(n)
                                                : QString::number(n);
        };
        for (int i = 0; i < entries; ++i) {
            const bool whole = kind != Entries::Fractions && i % 3 == 1;
            add(cell(i), whole ? QString() : cell(i + 1));
        }
        QApplication::processEvents();
    }
    void add(const QString &numerator, const QString &denominator) {
        const int last = list->rowCount() - 1;
        list->setCaption(last, numerator);
        list->setSubItem(last, denominator);
        list->appendRow(fractions::FractionList::EntryRowCaption, QString());
    }
    template <typename T> T *widget(const char *name) {
        return form.findChild<T *>(QString::fromLatin1(name));
    }
    // Activates a control and paints what it changed.
    void click(QAbstractButton *control) {
        control->click();
        QApplication::processEvents();
    }
    // Runs a command, a button or an item of the pane's menu, and paints what it changed.
    void run(const char *command) {
        if (auto *button = widget<QAbstractButton>(command)) {
            button->click();
        } else {
            widget<QAction>(command)->trigger();
        }
        QApplication::processEvents();
    }
    void clickRow(int row) {
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        const QRect rect = list->visualRect(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QApplication::processEvents();
    }

    TMainForm form;
    toolkit::ReportListView *list = nullptr;
};

void commitEntry(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)));
    window.clickRow(0);
    auto *change = window.widget<QPushButton>("ChangeB");
    for (auto _ : state) {
        window.click(change);
    }
}

// Change on an entry while the pane follows the list: the pane, made once by the command, is made
// again after every commit, editing the lines that differ.
void commitFollowed(benchmark::State &state, const char *command) {
    Window window(static_cast<int>(state.range(0)));
    window.run(command);
    window.clickRow(0);
    auto *numerator = window.widget<QLineEdit>("NmntE");
    auto *change = window.widget<QPushButton>("ChangeB");
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        numerator->setText(QString::number(++n % 2));
        state.ResumeTiming();
        window.click(change);
    }
}

void commitEntryRow(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)));
    window.clickRow(window.list->rowCount() - 1);
    auto *change = window.widget<QPushButton>("ChangeB");
    for (auto _ : state) {
        window.click(change);
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
        window.list->appendRow(fractions::FractionList::EntryRowCaption, QString());
        window.list->setCaption(window.list->rowCount() - 2, QStringLiteral("1"));
        window.list->selectRow(0);
        state.ResumeTiming();
        window.click(remove);
    }
}

// Ctrl+Z, or Ctrl+Y, in the list after the first entry was deleted: every row below it moves.
void undoDelete(benchmark::State &state, bool redo) {
    Window window(static_cast<int>(state.range(0)));
    window.clickRow(0);
    window.click(window.widget<QPushButton>("DeleteB"));
    if (redo) {
        window.run("UndoMI");
    }
    for (auto _ : state) {
        window.run(redo ? "RedoMI" : "UndoMI");
        state.PauseTiming();
        window.run(redo ? "UndoMI" : "RedoMI");
        state.ResumeTiming();
    }
}

// The heap that 1,000 steps of history take: each of 1,000 ordinary entries committed with a new
// numerator, its old one kept for undo.
void historyMemory(benchmark::State &state) {
    for (auto _ : state) {
        Window window(1000);
        auto *numerator = window.widget<QLineEdit>("NmntE");
        auto *change = window.widget<QPushButton>("ChangeB");
        const size_t before = mallinfo2().uordblks;
        for (int row = 0; row < 1000; ++row) {
            window.list->selectRow(row);
            numerator->setText(QString::number(row + 1000));
            change->click();
        }
        QApplication::processEvents();
        state.counters["bytes"] = static_cast<double>(mallinfo2().uordblks - before);
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

// Make, or one of the pane menu's commands, into an empty pane: the pane is filled.
void makeMarkup(benchmark::State &state, Entries kind, const char *command) {
    Window window(static_cast<int>(state.range(0)), kind);
    auto *pane = window.widget<QPlainTextEdit>("Memo");
    for (auto _ : state) {
        state.PauseTiming();
        pane->clear();
        QApplication::processEvents();
        state.ResumeTiming();
        window.run(command);
    }
}

// The common round: one more entry, then Make again: the pane is edited where the lines differ.
// Between rounds the entry goes again and Make brings the pane back.
void makeAfterAddingEntry(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)), Entries::Fractions);
    auto *make = window.widget<QPushButton>("MakeB");
    window.click(make);
    for (auto _ : state) {
        state.PauseTiming();
        window.add(QStringLiteral("1"), QStringLiteral("2"));
        QApplication::processEvents();
        state.ResumeTiming();
        window.click(make);
        state.PauseTiming();
        window.list->removeRow(window.list->rowCount() - 2);
        window.click(make);
        state.ResumeTiming();
    }
}

void copyMarkup(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)), Entries::Fractions);
    window.click(window.widget<QPushButton>("MakeB"));
    auto *copy = window.widget<QPushButton>("CopyB");
    for (auto _ : state) {
        window.click(copy);
    }
}

// 画像としてコピー: the row's picture laid out, drawn, encoded and put on the clipboard.
void copyPicture(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)), Entries::Mixed);
    for (auto _ : state) {
        window.run("CopyImageMI");
    }
}

void toggleSample(benchmark::State &state) {
    Window window(static_cast<int>(state.range(0)));
    auto *sample = window.widget<QCheckBox>("VisSC");
    for (auto _ : state) {
        window.click(sample);
    }
}

// A million characters of Japanese and Latin mixed, as in a pasted document.
QString millionMixedCharacters() {
    return u"分数のテスト 1/2 + abc "_s.repeated(1'000'000 / 17 + 1).left(1'000'000);
}

// One entry of a million characters over a short denominator, then the action.
void longEntry(benchmark::State &state, const char *action) {
    Window window(0);
    window.add(millionMixedCharacters(), QStringLiteral("2"));
    window.clickRow(0);
    auto *button = window.widget<QAbstractButton>(action);
    for (auto _ : state) {
        window.click(button);
    }
}

void clickLongEntry(benchmark::State &state) {
    Window window(0);
    window.add(millionMixedCharacters(), QStringLiteral("2"));
    int row = 0;
    for (auto _ : state) {
        window.clickRow(row);
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

// Ctrl+V in an empty list of a row copied from a window that holds it: from the pane after one of
// its commands, or from the list itself. Undone between rounds.
void pasteRow(benchmark::State &state, const char *command) {
    Window source(static_cast<int>(state.range(0)));
    if (QByteArray(command) == "list") {
        std::vector<fractions::Entry> entries;
        for (int i = 0; i < source.list->rowCount() - 1; ++i) {
            entries.push_back({source.list->caption(i), source.list->subItem(i)});
        }
        const markup::RowClipboard row = markup::rowClipboard(entries);
        auto *data = new QMimeData;
        data->setHtml(row.html);
        data->setText(row.text);
        QGuiApplication::clipboard()->setMimeData(data);
    } else {
        source.run(command);
        source.run("CopyB");
    }
    Window window(0);
    window.run("PasteMI");
    if (window.list->rowCount() != source.list->rowCount()) {
        state.SkipWithError("the row was not read back");
        return;
    }
    window.run("UndoMI");
    for (auto _ : state) {
        window.run("PasteMI");
        state.PauseTiming();
        window.run("UndoMI");
        state.ResumeTiming();
    }
}

// The largest row a paste takes, 100,000 entries in 4 MB of text.
void pasteLargestRow(benchmark::State &state) {
    Window window(0);
    QGuiApplication::clipboard()->setText(
        u"1234567890123456/1234567890123456789012 "_s.repeated(100'000));
    for (auto _ : state) {
        window.run("PasteMI");
        state.PauseTiming();
        window.run("UndoMI");
        state.ResumeTiming();
    }
}

// The work kept between runs: the write a change leads to (half a second after it; here at once,
// as the window closes with a write pending), and the reading of it at the next start.
void keepWork(benchmark::State &state, bool read) {
    QTemporaryDir folder;
    const QString path = folder.filePath(u"work.json"_s);
    Window window(static_cast<int>(state.range(0)));
    window.form.keepWorkIn(path);
    auto *pathBox = window.widget<QLineEdit>("PathE");
    for (auto _ : state) {
        state.PauseTiming();
        window.form.show();
        pathBox->setText(pathBox->text() == u"a"_s ? u"b"_s : u"a"_s);
        if (read) {
            window.form.close();
            TMainForm next;
            state.ResumeTiming();
            next.keepWorkIn(path);
            state.PauseTiming();
        } else {
            state.ResumeTiming();
            window.form.close();
            state.PauseTiming();
        }
        state.ResumeTiming();
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
BENCHMARK_CAPTURE(commitFollowed, make, "MakeB")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(commitFollowed, html5, "MakeHtml5MI")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(deleteEntry)->ArgsProduct({Sizes})->Unit(benchmark::kMicrosecond);
BENCHMARK(clickToRefreshEditor)->ArgsProduct({Sizes})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(undoDelete, undo, false)->ArgsProduct({Sizes})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(undoDelete, redo, true)->ArgsProduct({Sizes})->Unit(benchmark::kMicrosecond);
BENCHMARK(historyMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, fractions, Entries::Fractions, "MakeB")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, mixed, Entries::Mixed, "MakeB")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, html5, Entries::Mixed, "MakeHtml5MI")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, mathml, Entries::Mixed, "MakeMathMlMI")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, tex, Entries::Mixed, "MakeTexMI")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, texZenn, Entries::Mixed, "MakeTexZennMI")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, texQiita, Entries::Mixed, "MakeTexQiitaMI")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, texHatena, Entries::Mixed, "MakeTexHatenaMI")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, text, Entries::Mixed, "MakeTextMI")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, html5Markup, Entries::MixedMarkup, "MakeHtml5MI")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(makeMarkup, mathmlMarkup, Entries::MixedMarkup, "MakeMathMlMI")
    ->ArgsProduct({Sizes})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(makeAfterAddingEntry)->ArgsProduct({Sizes})->Unit(benchmark::kMillisecond);
BENCHMARK(copyMarkup)->ArgsProduct({Sizes})->Unit(benchmark::kMillisecond);
BENCHMARK(copyPicture)
    ->ArgsProduct({{10, 100, 1000, 10000, 100000}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(toggleSample)->ArgsProduct({Sizes})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(pasteRow, make, "MakeB")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pasteRow, html5, "MakeHtml5MI")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pasteRow, mathml, "MakeMathMlMI")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pasteRow, tex, "MakeTexMI")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pasteRow, texZenn, "MakeTexZennMI")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pasteRow, texQiita, "MakeTexQiitaMI")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pasteRow, texHatena, "MakeTexHatenaMI")
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pasteRow, text, "MakeTextMI")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(pasteRow, list, "list")->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(pasteLargestRow)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(keepWork, write, false)->ArgsProduct({Sizes})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(keepWork, read, true)->ArgsProduct({Sizes})->Unit(benchmark::kMillisecond);

} // namespace
