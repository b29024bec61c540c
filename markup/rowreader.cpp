#include "markup/rowreader.h"

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

} // namespace

// Plain text only: entries separated by spaces, a fraction as "a/b".
std::optional<std::vector<fractions::Entry>> readRow(const QString &html, const QString &text) {
    if (html.startsWith(OwnHtmlStart)) {
        return readOwnHtml(html);
    }
    std::vector<fractions::Entry> entries;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype slash = word.indexOf(u'/');
        if (slash < 0) {
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
