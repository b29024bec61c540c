#include "markup/mathmarkup.h"
#include "markup/rowreader.h"
#include "markup/showntext.h"
#include "markup/tablemarkup.h"
#include "markup/texmarkup.h"
#include "markup/textmarkup.h"

#include <QStringList>

#include <string>

#include <benchmark/benchmark.h>

namespace {

// Fractions with every third entry a plus sign; as plain numbers, or with markup in every cell.
fractions::EntryVector mixedRow(int count, bool markup = false) {
    const auto cell = [markup](int n) {
        return markup ? QStringLiteral("<b>%1</b>&nbsp;&frac12;").arg(n) : QString::number(n);
    };
    std::vector<fractions::Entry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (i % 3 == 1) {
            entries.push_back({markup ? QStringLiteral("&plus;") : QStringLiteral("+"), {}});
        } else {
            entries.push_back({cell(i), cell(i + 1)});
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

// The markups that read what each cell shows: the table for HTML5 pages and the MathML.
void generateReadingMarkup(benchmark::State &state, bool math, bool markup) {
    const auto entries = mixedRow(static_cast<int>(state.range(0)), markup);
    const QString path = QStringLiteral("./fracline.gif");
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            math ? markup::mathText(entries)
                 : markup::tableText(entries, path, markup::PageMode::Standards));
    }
}
BENCHMARK_CAPTURE(generateReadingMarkup, html5, false, false)
    ->RangeMultiplier(10)
    ->Range(10, 100000);
BENCHMARK_CAPTURE(generateReadingMarkup, mathml, true, false)
    ->RangeMultiplier(10)
    ->Range(10, 100000);
BENCHMARK_CAPTURE(generateReadingMarkup, html5Markup, false, true)
    ->RangeMultiplier(10)
    ->Range(10, 100000);
BENCHMARK_CAPTURE(generateReadingMarkup, mathmlMarkup, true, true)
    ->RangeMultiplier(10)
    ->Range(10, 100000);

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

// One cell of 300,000 elements nested in one another, as typed: a cell takes time in proportion
// to its length, however deep it nests.
void readDeepCell(benchmark::State &state, const char *start, const char *end) {
    const QString cell = QString::fromLatin1(start).repeated(300000) + QStringLiteral("x") +
                         QString::fromLatin1(end).repeated(300000);
    for (auto _ : state) {
        benchmark::DoNotOptimize(markup::shownText(cell));
    }
}
BENCHMARK_CAPTURE(readDeepCell, span, "<span>", "</span>")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readDeepCell, div, "<div>", "</div>")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readDeepCell, b, "<b>", "</b>")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readDeepCell, table, "<table><tr><td>", "</td></tr></table>")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readDeepCell, p, "<p class=x>", "</p>")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readDeepCell, li, "<li>", "</li>")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readDeepCell, svg, "<svg>", "</svg>")->Unit(benchmark::kMillisecond);

// A row read back from each form it is written in: the program's table by its exact lines, the
// same table as a browser hands it back (through the HTML parser), MathML, TeX and plain text;
// with markup in every cell, the fractions all of two numbers in plain text.
enum class Form { Table, Browser, MathMl, Tex, TexHatena, Text, Clipboard };
void readRow(benchmark::State &state, Form form) {
    const auto entries = mixedRow(static_cast<int>(state.range(0)), form != Form::Text);
    const QString path = QStringLiteral("./fracline.gif");
    QString html;
    QString text;
    switch (form) {
    case Form::Table:
        text = markup::tableText(entries, path);
        break;
    case Form::Browser:
        html = markup::tableText(entries, path, markup::PageMode::Standards)
                   .replace(QStringLiteral("<tr>\n"), QStringLiteral("<tbody><tr>"));
        break;
    case Form::MathMl:
        text = markup::mathText(entries);
        break;
    case Form::Tex:
        text = markup::texText(entries);
        break;
    case Form::TexHatena:
        text = markup::texHatenaText(entries);
        break;
    case Form::Text:
        text = markup::plainText(entries);
        break;
    case Form::Clipboard: {
        std::vector<fractions::Entry> row;
        for (int i = 0; i < entries.entryCount(); ++i) {
            row.push_back(entries.entry(i));
        }
        const auto clipboard = markup::rowClipboard(row);
        html = clipboard.html;
        text = clipboard.text;
        break;
    }
    }
    state.counters["bytes"] = static_cast<double>((html.size() + text.size()) * 2);
    for (auto _ : state) {
        const auto row = markup::readRow(html, text);
        if (!row || row->size() != static_cast<size_t>(entries.entryCount())) {
            state.SkipWithError("the row did not read back");
            break;
        }
    }
}
// The longest rows each form reads: 100,000 entries, fewer where the HTML parser reads them.
BENCHMARK_CAPTURE(readRow, table, Form::Table)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readRow, browser, Form::Browser)
    ->Arg(10000)
    ->Arg(25000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readRow, mathml, Form::MathMl)
    ->Arg(10000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readRow, tex, Form::Tex)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readRow, texHatena, Form::TexHatena)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readRow, text, Form::Text)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readRow, copyInList, Form::Clipboard)->Arg(10000)->Unit(benchmark::kMillisecond);

// 16 MB that hold no row: prose, and elements nested as deep as they go.
void readNoRow(benchmark::State &state, const char *piece) {
    const QString text =
        QString::fromUtf8(piece).repeated(8 * 1024 * 1024 / static_cast<qsizetype>(strlen(piece)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(markup::readRow(text, text));
    }
}
BENCHMARK_CAPTURE(readNoRow, prose, "Half of it, 1/2 of a cake. ")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readNoRow, deep, "<b>")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readNoRow, braces, "\\frac{")->Unit(benchmark::kMillisecond);

// Tags that leave foreign content, which Gumbo alone would keep in it, nested: 2 MB of line
// breaks, and paragraphs closed by end tags that match none.
void readForeignCell(benchmark::State &state, const char *start, int count, const char *end) {
    const QString cell = QStringLiteral("<svg>") + QString::fromLatin1(start).repeated(count) +
                         QString::fromLatin1(end).repeated(count);
    for (auto _ : state) {
        benchmark::DoNotOptimize(markup::shownText(cell));
    }
}
BENCHMARK_CAPTURE(readForeignCell, br, "<br>", 500000, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readForeignCell, p, "<p>", 50000, "</x>")->Unit(benchmark::kMillisecond);

// About 2 MB that a reader once took time on with the square of its length, or read by a
// recursion as deep as it is long: `first` `firstCount` times, `second` `secondCount` times, then
// `last`; pasted as the clipboard's text or HTML, or typed into a cell that HTML5 で作成 reads.
enum class Input { Text, Html, Cell };
struct LongInput {
    const char *name;
    Input as;
    const char *first;
    int firstCount;
    const char *second;
    int secondCount;
    const char *last;
};
constexpr LongInput LongInputs[] = {
    {"frac", Input::Text, "\\frac", 400000, "", 0, ""},
    {"scripts", Input::Text, "$", 1, "^", 2000000, "x$"},
    {"cfracBrackets", Input::Text, "\\cfrac[ab", 222222, "", 0, ""},
    {"fullWidthSlashes", Input::Text, "1", 500000, "／", 500000, ""},
    {"optgroup", Input::Html, "<optgroup>", 200000, "", 0, ""},
    {"rp", Input::Html, "<rp>", 500000, "", 0, ""},
    {"unmatchedEnds", Input::Html, "<div></x>", 222222, "", 0, ""},
    {"repeatedAttributes", Input::Html, "<x", 1, " a", 1000000, ">"},
    {"selectCell", Input::Cell, "<select>", 1, "<optgroup>", 200000, " 1/2"},
    {"endTagsCell", Input::Cell, "<x>", 600, "</y>", 500000, ""},
    {"endTagsAmongBlocksCell", Input::Cell, "<x>", 600, "<div></div></y>", 130000, ""},
    {"tablePartsInSvgCell", Input::Cell, "<svg><mi>", 1, "<tbody>", 300000, ""},
    {"attributesCell", Input::Cell, "<x", 1, " a", 1000000, ">"},
};
void readLongInput(benchmark::State &state, const LongInput &input) {
    const QString text = QString::fromUtf8(input.first).repeated(input.firstCount) +
                         QString::fromUtf8(input.second).repeated(input.secondCount) +
                         QString::fromUtf8(input.last);
    state.counters["bytes"] = static_cast<double>(text.toUtf8().size());
    for (auto _ : state) {
        if (input.as == Input::Cell) {
            benchmark::DoNotOptimize(markup::shownText(text));
        } else {
            // As a paste reads it, which takes no more than 100,000 entries.
            benchmark::DoNotOptimize(
                markup::readRow(input.as == Input::Html ? text : QString(), text, 100'000));
        }
    }
}
const bool longInputsRegistered = [] {
    for (const LongInput &each : LongInputs) {
        benchmark::RegisterBenchmark((std::string("readLongInput/") + each.name).c_str(),
                                     readLongInput, each)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace

BENCHMARK_MAIN();
