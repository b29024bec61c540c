// The markup generator on any entries and any image path. Besides crashes and sanitizer reports,
// it checks what holds for every input: the line count, the fixed lines, and every text copied
// into its cell unchanged.
#include "fuzzinput.h"
#include "markup/tablemarkup.h"

#include <cstdlib>

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString input = fuzzinput::text(data, size);
    // The first line is the image path, the rest the entries.
    const qsizetype lineEnd = input.indexOf(u'\n');
    const QString path = lineEnd < 0 ? input : input.left(lineEnd);
    const std::vector<fractions::Entry> entries =
        lineEnd < 0 ? std::vector<fractions::Entry>{} : fuzzinput::entries(input.mid(lineEnd + 1));

    const QStringList lines = markup::tableLines(fractions::EntryVector(entries), path);

    qsizetype fractions = 0;
    for (const auto &entry : entries) {
        fractions += entry.isFraction() ? 1 : 0;
    }
    const qsizetype n = static_cast<qsizetype>(entries.size());
    require(lines.size() == 10 + n + 2 * fractions);
    require(lines.first() == u"<!-- 分数ここから -->" && lines.last() == u"<!-- 分数ここまで -->");
    qsizetype line = 3;
    for (const auto &entry : entries) {
        const QString expected =
            (entry.isFraction() ? u"<td align=\"center\">"_qs : u"<td rowspan=\"3\">"_qs) +
            entry.numerator + u"</td>"_qs;
        require(lines.at(line++) == expected);
    }
    require(lines.at(line++) == u"</tr>" && lines.at(line++) == u"<tr>");
    for (qsizetype i = 0; i < fractions; ++i) {
        require(lines.at(line++) ==
                u"<td><img src=\""_qs + path + u"\" width=\"100%\" height=\"1\"></td>"_qs);
    }
    require(lines.at(line++) == u"</tr>" && lines.at(line++) == u"<tr>");
    for (const auto &entry : entries) {
        if (entry.isFraction()) {
            require(lines.at(line++) ==
                    u"<td align=\"center\">"_qs + entry.denominator + u"</td>"_qs);
        }
    }
    require(line + 3 == lines.size());
    return 0;
}
