#include "markup/tablemarkup.h"

#include "markup/textmarkup.h"
#include "markup/texttokens.h"

#include <algorithm>

namespace markup {
namespace {

constexpr QStringView Opening = u"<!-- 分数ここから -->\n"
                                u"<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\"";
constexpr QStringView FirstRow = u">\n<tr>\n";
constexpr QStringView NextRow = u"</tr>\n<tr>\n";
constexpr QStringView Closing = u"</tr>\n</table>\n<!-- 分数ここまで -->\n";

// The text grown to hold `by` characters after those written up to `next`; where they go.
Q_DECL_COLD_FUNCTION QChar *grown(QString &text, const QChar *next, qsizetype by) {
    Q_ASSERT_X(false, "tableText", "the markup outgrew the size reckoned for it");
    const qsizetype written = next - text.constData();
    text.resize(written + by);
    return text.data() + written;
}

// Copies pieces into a text sized up front: markup of many thousand cells is written at the
// speed of copying it. A size reckoned wrong is a fault here that debug builds stop at (the
// tests run in one); elsewhere the text grows or is cut to what was written, a little slower.
class Writer {
public:
    explicit Writer(QString &out)
        : out_(out)
        , next_(out.data())
        , end_(next_ + out.size()) {}
    Writer &operator<<(QStringView piece) {
        if (piece.size() > end_ - next_) [[unlikely]] {
            next_ = grown(out_, next_, piece.size());
            end_ = next_ + piece.size();
        }
        next_ = std::copy(piece.begin(), piece.end(), next_);
        return *this;
    }
    void finish() {
        Q_ASSERT_X(next_ == end_, "tableText", "the markup fell short of the size reckoned for it");
        out_.truncate(next_ - out_.constData());
    }

private:
    QString &out_;
    QChar *next_;
    QChar *end_;
};

// A cell template with its one text placeholder. The text goes between the two pieces as it
// stands, so that "%" sequences in the user's texts are never taken for placeholders.
struct Cell {
    QStringView before;
    QStringView after;
    qsizetype size(const QString &text) const { return before.size() + text.size() + after.size(); }
    void write(Writer &out, const QString &text) const { out << before << text << after; }
};

constexpr Cell CentredCell{u"<td align=\"center\">", u"</td>\n"};
constexpr Cell SpanningCell{u"<td rowspan=\"3\">", u"</td>\n"};

// The line image's cell, as the markup has always had it.
constexpr Cell ImageCell{u"<td><img src=\"", u"\" width=\"100%\" height=\"1\"></td>\n"};

// For today's pages every cell says its own padding, border and alignment inline: a theme's rules
// for tables (a full width, a grid of borders, padding, a tall line height) would win over the
// table's attributes. Only properties that WordPress keeps in a post are used. The line is the top
// border of an empty cell in the text's colour, so it needs no image and follows a dark theme; the
// columns stand a quarter of an em apart, and each cell pads its text a tenth of an em on either
// side, so that operators and neighbouring fractions stand apart as in typeset mathematics.
constexpr Cell StandardsNumeratorCell{
    u"<td align=\"center\" style=\"text-align:center;vertical-align:bottom;padding:0 0.1em;"
    u"border:0\">",
    u"</td>\n"};
constexpr Cell StandardsDenominatorCell{
    u"<td align=\"center\" style=\"text-align:center;vertical-align:top;padding:0 0.1em;"
    u"border:0\">",
    u"</td>\n"};
constexpr Cell StandardsSpanningCell{
    u"<td rowspan=\"3\" style=\"vertical-align:middle;padding:0 0.1em;border:0\">", u"</td>\n"};
constexpr QStringView StandardsLineCell =
    u"<td style=\"height:0;padding:0;border:0;border-top:1px solid;line-height:0;"
    u"font-size:0\"></td>\n";
constexpr QStringView StandardsTableStyle =
    u"\" style=\"width:auto;min-width:0;margin:0;border:0;border-collapse:separate;"
    u"border-spacing:0.25em 0;line-height:1.2\"";

} // namespace

TableCellStarts tableCellStarts(PageMode page) {
    if (page == PageMode::Standards) {
        return {StandardsNumeratorCell.before, StandardsSpanningCell.before,
                StandardsDenominatorCell.before};
    }
    return {CentredCell.before, SpanningCell.before, CentredCell.before};
}

QString tableText(const fractions::EntrySource &entries, const QString &imagePath, PageMode page) {
    const int count = entries.entryCount();
    std::vector<fractions::Entry> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        rows.push_back(entries.entry(i));
    }

    // For pages in standards mode the table is a formula with the row as its name, and its cells
    // hold against a theme's rules.
    const bool standards = page == PageMode::Standards;
    const Cell nameAttributes =
        standards ? Cell{u" role=\"math\" aria-label=\"", StandardsTableStyle} : Cell{};
    const QString label = standards ? escaped(rowReading(entries, count)) : QString();
    const Cell numeratorCell = standards ? StandardsNumeratorCell : CentredCell;
    const Cell denominatorCell = standards ? StandardsDenominatorCell : CentredCell;
    const Cell spanningCell = standards ? StandardsSpanningCell : SpanningCell;
    const Cell lineCell = standards ? Cell{StandardsLineCell, {}} : ImageCell;
    const QString &lineText = standards ? QString() : imagePath;

    qsizetype size = Opening.size() + nameAttributes.size(label) + FirstRow.size() +
                     2 * NextRow.size() + Closing.size();
    for (const auto &entry : rows) {
        if (entry.isFraction()) {
            size += numeratorCell.size(entry.numerator) + lineCell.size(lineText) +
                    denominatorCell.size(entry.denominator);
        } else {
            size += spanningCell.size(entry.numerator);
        }
    }

    // Three passes, one a table row; a plain entry appears in the first only.
    QString text(size, Qt::Uninitialized);
    Writer out(text);
    out << Opening;
    nameAttributes.write(out, label);
    out << FirstRow;
    for (const auto &entry : rows) {
        (entry.isFraction() ? numeratorCell : spanningCell).write(out, entry.numerator);
    }
    out << NextRow;
    for (const auto &entry : rows) {
        if (entry.isFraction()) {
            lineCell.write(out, lineText);
        }
    }
    out << NextRow;
    for (const auto &entry : rows) {
        if (entry.isFraction()) {
            denominatorCell.write(out, entry.denominator);
        }
    }
    out << Closing;
    out.finish();
    return text;
}

} // namespace markup
