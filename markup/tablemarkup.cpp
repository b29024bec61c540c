#include "markup/tablemarkup.h"

#include <algorithm>

namespace markup {
namespace {

constexpr QStringView Opening = u"<!-- 分数ここから -->\n"
                                u"<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\">\n"
                                u"<tr>\n";
constexpr QStringView NextRow = u"</tr>\n<tr>\n";
constexpr QStringView Closing = u"</tr>\n</table>\n<!-- 分数ここまで -->\n";

// Copies pieces into a text sized up front: markup of many thousand cells is written at the
// speed of copying it.
class Writer {
public:
    explicit Writer(QString &out)
        : next_(out.data()) {}
    Writer &operator<<(QStringView piece) {
        std::copy(piece.begin(), piece.end(), next_);
        next_ += piece.size();
        return *this;
    }

private:
    QChar *next_;
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

// The line image's cell, the one line that differs between the page modes: in standards mode the
// image carries `style`, which makes it a block.
struct ImageCell {
    static constexpr QStringView Before = u"<td><img src=\"";
    static constexpr QStringView Size = u"\" width=\"100%\" height=\"1\"";
    static constexpr QStringView End = u"></td>\n";
    QStringView style;
    qsizetype size(const QString &path) const {
        return Before.size() + path.size() + Size.size() + style.size() + End.size();
    }
    void write(Writer &out, const QString &path) const {
        out << Before << path << Size << style << End;
    }
};

} // namespace

QString tableText(const fractions::EntrySource &entries, const QString &imagePath, PageMode page) {
    const ImageCell imageCell{page == PageMode::Standards ? u" style=\"display:block\"" : u""};

    const int count = entries.entryCount();
    std::vector<fractions::Entry> rows;
    rows.reserve(static_cast<size_t>(count));
    qsizetype size = Opening.size() + 2 * NextRow.size() + Closing.size();
    for (int i = 0; i < count; ++i) {
        rows.push_back(entries.entry(i));
        const fractions::Entry &entry = rows.back();
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
    return text;
}

} // namespace markup
