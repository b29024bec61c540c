#include "markup/rowreader.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace markup {

namespace {

// The list's own HTML: each entry's texts percent-encoded, a line an entry.
const QString OwnHtmlStart = QStringLiteral("<!-- pemvaro row -->");

std::optional<std::vector<fractions::Entry>> readOwnHtml(const QString &html) {
    std::vector<fractions::Entry> entries;
    for (const QString &line : html.mid(OwnHtmlStart.size()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList texts = line.split(u' ');
        if (texts.size() != 2) {
            return std::nullopt;
        }
        entries.push_back({QUrl::fromPercentEncoding(texts[0].toLatin1()),
                           QUrl::fromPercentEncoding(texts[1].toLatin1())});
    }
    return entries;
}

// Make's table as written: the cells of its first row, and the denominators of its third.
std::optional<std::vector<fractions::Entry>> readTable(const QString &markup) {
    const QStringList rows = markup.split(QStringLiteral("<tr>"));
    if (rows.size() != 4) {
        return std::nullopt;
    }
    static const QRegularExpression cell(QStringLiteral("<td( rowspan=\"3\")?[^>]*>(.*)</td>"));
    std::vector<fractions::Entry> entries;
    std::vector<size_t> fractions;
    for (const QString &line : rows[1].split(u'\n')) {
        if (const auto match = cell.match(line.trimmed()); match.hasMatch()) {
            if (match.captured(1).isEmpty()) {
                fractions.push_back(entries.size());
            }
            entries.push_back({match.captured(2), {}});
        }
    }
    size_t next = 0;
    for (const QString &line : rows[3].split(u'\n')) {
        if (const auto match = cell.match(line.trimmed()); match.hasMatch()) {
            if (next == fractions.size()) {
                return std::nullopt;
            }
            entries[fractions[next++]].denominator = match.captured(2);
        }
    }
    return entries;
}

} // namespace

// A stand-in for the reader: the list's own HTML, Make's table, and words separated by spaces,
// a fraction as "a/b" or "\frac{a}{b}".
std::optional<std::vector<fractions::Entry>> readRow(const QString &html, const QString &text) {
    if (html.startsWith(OwnHtmlStart)) {
        return readOwnHtml(html);
    }
    if (text.contains(QStringLiteral("<table"))) {
        return readTable(text);
    }
    static const QRegularExpression tex(QStringLiteral("^\\\\frac\\{([^}]*)\\}\\{([^}]*)\\}$"));
    std::vector<fractions::Entry> entries;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype slash = word.indexOf(u'/');
        if (const auto match = tex.match(word); match.hasMatch()) {
            entries.push_back({match.captured(1), match.captured(2)});
        } else if (slash < 0) {
            entries.push_back({word, {}});
        } else {
            entries.push_back({word.left(slash), word.mid(slash + 1)});
        }
    }
    if (entries.empty()) {
        return std::nullopt;
    }
    return entries;
}

RowClipboard rowClipboard(const std::vector<fractions::Entry> &entries) {
    QString html = OwnHtmlStart;
    QStringList words;
    for (const fractions::Entry &entry : entries) {
        html += QString::fromLatin1(QUrl::toPercentEncoding(entry.numerator) + ' ' +
                                    QUrl::toPercentEncoding(entry.denominator) + '\n');
        words << (entry.isFraction() ? entry.numerator + u'/' + entry.denominator
                                     : entry.numerator);
    }
    return {html, words.join(u' ')};
}

} // namespace markup
