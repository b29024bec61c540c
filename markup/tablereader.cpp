#include "markup/rowforms.h"
#include "markup/tablemarkup.h"

namespace markup {
namespace {

constexpr QStringView TableLine = u"<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\"";
constexpr QStringView CellEnd = u"</td>";

// Walks the lines of the table as tableText() writes them. A cell ends at the first "</td>" at
// the end of a line: a text that holds one itself breaks the table in browsers too, and the
// reading falls back to the parser's.
class OwnTable {
public:
    OwnTable(QStringView text, qsizetype at)
        : text_(text)
        , at_(at) {}

    bool lineEnd() {
        if (text_.sliced(at_).startsWith(u"\r\n")) {
            eol_ = u"\r\n";
        } else if (text_.sliced(at_).startsWith(u'\n')) {
            eol_ = u"\n";
        } else {
            return false;
        }
        at_ += eol_.size();
        return true;
    }
    bool line(QStringView expected) {
        const QStringView rest = text_.sliced(at_);
        if (!rest.startsWith(expected) || !rest.sliced(expected.size()).startsWith(eol_)) {
            return false;
        }
        at_ += expected.size() + eol_.size();
        return true;
    }
    bool startsWith(QStringView start) const { return text_.sliced(at_).startsWith(start); }
    // The content of the cell that starts with `start` at the current line.
    std::optional<QString> cell(QStringView start) {
        if (!startsWith(start)) {
            return std::nullopt;
        }
        const qsizetype begin = at_ + start.size();
        for (qsizetype end = text_.indexOf(CellEnd, begin); end >= 0;
             end = text_.indexOf(CellEnd, end + 1)) {
            if (text_.sliced(end + CellEnd.size()).startsWith(eol_)) {
                at_ = end + CellEnd.size() + eol_.size();
                return text_.sliced(begin, end - begin).toString();
            }
        }
        return std::nullopt;
    }

private:
    QStringView text_;
    qsizetype at_;
    QStringView eol_;
};

} // namespace

std::optional<Row> readOwnTable(QStringView text) {
    const qsizetype start = text.indexOf(TableLine);
    if (start < 0) {
        return std::nullopt;
    }
    // The table line, with or without the formula's name for HTML5 pages.
    const qsizetype lineEnd = text.indexOf(u'\n', start);
    if (lineEnd < 0) {
        return std::nullopt;
    }
    const qsizetype close = text[lineEnd - 1] == u'\r' ? lineEnd - 2 : lineEnd - 1;
    if (text[close] != u'>') {
        return std::nullopt;
    }
    OwnTable table(text, close + 1);
    if (!table.lineEnd() || !table.line(u"<tr>")) {
        return std::nullopt;
    }
    // The first cell tells the page mode.
    const TableCellStarts standards = tableCellStarts(PageMode::Standards);
    const TableCellStarts starts =
        table.startsWith(standards.numerator) || table.startsWith(standards.spanning)
            ? standards
            : tableCellStarts(PageMode::Transitional);
    Row row;
    std::vector<size_t> fractions;
    while (!table.line(u"</tr>")) {
        const bool fraction = table.startsWith(starts.numerator);
        const auto cell = table.cell(fraction ? starts.numerator : starts.spanning);
        if (!cell) {
            return std::nullopt;
        }
        if (fraction) {
            fractions.push_back(row.size());
        }
        row.push_back({*cell, {}});
    }
    if (!table.line(u"<tr>")) {
        return std::nullopt;
    }
    size_t images = 0;
    for (; !table.line(u"</tr>"); ++images) {
        if (!table.cell(u"<td")) {
            return std::nullopt;
        }
    }
    if (images != fractions.size() || !table.line(u"<tr>")) {
        return std::nullopt;
    }
    for (const size_t index : fractions) {
        auto cell = table.cell(starts.denominator);
        if (!cell) {
            return std::nullopt;
        }
        row[index].denominator = std::move(*cell);
    }
    if (!table.line(u"</tr>") || !table.line(u"</table>") || row.empty()) {
        return std::nullopt;
    }
    return row;
}

} // namespace markup
