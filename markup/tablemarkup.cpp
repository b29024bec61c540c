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

// The line image's cell. For pages in standards mode the image sits on a text line of no height
// at the top, as an image alone in a cell does in the other modes.
constexpr Cell ImageCell{u"<td><img src=\"", u"\" width=\"100%\" height=\"1\"></td>\n"};
constexpr Cell StandardsImageCell{u"<td style=\"line-height:0\"><img src=\"",
                                  u"\" width=\"100%\" height=\"1\" alt=\"\" "
                                  u"style=\"vertical-align:top\"></td>\n"};

} // namespace

QString tableText(const fractions::EntrySource &entries, const QString &imagePath, PageMode page) {
    const int count = entries.entryCount();
    std::vector<fractions::Entry> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        rows.push_back(entries.entry(i));
    }

    // For pages in standards mode the table is a formula with the row as its name.
    const Cell imageCell = page == PageMode::Standards ? StandardsImageCell : ImageCell;
    const Cell nameAttributes =
        page == PageMode::Standards ? Cell{u" role=\"math\" aria-label=\"", u"\""} : Cell{};
    const QString label =
        page == PageMode::Standards ? escaped(rowReading(entries, count)) : QString();

    qsizetype size = Opening.size() + nameAttributes.size(label) + FirstRow.size() +
                     2 * NextRow.size() + Closing.size();
    for (const auto &entry : rows) {
        if (entry.isFraction()) {
            size += CentredCell.size(entry.numerator) + imageCell.size(imagePath) +
                    CentredCell.size(entry.denominator);
        } else {
            size += SpanningCell.size(entry.numerator);
        }
    }

    // Three passes, one a table row; a plain entry appears in the first only.
    QString text(size, Qt::Uninitialized);
    Writer out(text);
    out << Opening;
    nameAttributes.write(out, label);
    out << FirstRow;
    for (const auto &entry : rows) {
        (entry.isFraction() ? CentredCell : SpanningCell).write(out, entry.numerator);
    }
    out << NextRow;
    for (const auto &entry : rows) {
        if (entry.isFraction()) {
            imageCell.write(out, imagePath);
        }
    }
    out << NextRow;
    for (const auto &entry : rows) {
        if (entry.isFraction()) {
            CentredCell.write(out, entry.denominator);
        }
    }
    out << Closing;
    out.finish();
    return text;
}

} // namespace markup
