// The markup generator on any entries and any image path, line breaks in the texts included.
// Besides crashes and sanitizer reports, it checks the whole text against the table written out
// piece by piece, for both kinds of page: the fixed lines, and every text copied into its cell
// unchanged.
#include "fuzzinput.h"
#include "markup/tablemarkup.h"

#include <cstdlib>

using namespace Qt::StringLiterals;

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

    // What the table must be, written out piece by piece from its definition, for either kind of
    // page: they differ only in the style of the images.
    for (const auto page : {markup::PageMode::Transitional, markup::PageMode::Standards}) {
        const QString imageStyle =
            page == markup::PageMode::Standards ? u" style=\"display:block\""_s : QString();
        QString expected = u"<!-- 分数ここから -->\n"
                           u"<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\">\n<tr>\n"_s;
        for (const auto &entry : entries) {
            expected +=
                (entry.isFraction() ? u"<td align=\"center\">"_s : u"<td rowspan=\"3\">"_s) +
                entry.numerator + u"</td>\n"_s;
        }
        expected += u"</tr>\n<tr>\n"_s;
        for (const auto &entry : entries) {
            if (entry.isFraction()) {
                expected += u"<td><img src=\""_s + path + u"\" width=\"100%\" height=\"1\""_s +
                            imageStyle + u"></td>\n"_s;
            }
        }
        expected += u"</tr>\n<tr>\n"_s;
        for (const auto &entry : entries) {
            if (entry.isFraction()) {
                expected += u"<td align=\"center\">"_s + entry.denominator + u"</td>\n"_s;
            }
        }
        expected += u"</tr>\n</table>\n<!-- 分数ここまで -->\n"_s;
        require(markup::tableText(fractions::EntryVector(entries), path, page) == expected);
    }
    return 0;
}
