#include "markup/tablemarkup.h"

namespace markup {
namespace {

// A cell template: the text goes between `open` and `close` unchanged, so that "%" sequences in
// the user's texts are never taken for placeholders.
QString cell(QStringView open, const QString &text, QStringView close) {
    QString line;
    line.reserve(open.size() + text.size() + close.size());
    line.append(open).append(text).append(close);
    return line;
}

} // namespace

QStringList tableLines(const fractions::EntrySource &entries, const QString &imagePath) {
    const int count = entries.entryCount();
    std::vector<fractions::Entry> rows;
    rows.reserve(static_cast<size_t>(count));
    int fractionCount = 0;
    for (int i = 0; i < count; ++i) {
        rows.push_back(entries.entry(i));
        fractionCount += rows.back().isFraction() ? 1 : 0;
    }

    QStringList lines;
    lines.reserve(10 + count + 2 * fractionCount);
    lines << QStringLiteral("<!-- 分数ここから -->")
          << QStringLiteral(R"(<table border="0" cellspacing="0" cellpadding="0">)")
          << QStringLiteral("<tr>");
    for (const auto &entry : rows) {
        lines << (entry.isFraction() ? cell(u"<td align=\"center\">", entry.numerator, u"</td>")
                                     : cell(u"<td rowspan=\"3\">", entry.numerator, u"</td>"));
    }
    lines << QStringLiteral("</tr>") << QStringLiteral("<tr>");
    const QString imageCell =
        cell(u"<td><img src=\"", imagePath, u"\" width=\"100%\" height=\"1\"></td>");
    for (const auto &entry : rows) {
        if (entry.isFraction()) {
            lines << imageCell;
        }
    }
    lines << QStringLiteral("</tr>") << QStringLiteral("<tr>");
    for (const auto &entry : rows) {
        if (entry.isFraction()) {
            lines << cell(u"<td align=\"center\">", entry.denominator, u"</td>");
        }
    }
    lines << QStringLiteral("</tr>") << QStringLiteral("</table>")
          << QStringLiteral("<!-- 分数ここまで -->");
    return lines;
}

} // namespace markup
