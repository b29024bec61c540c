// The reading of one cell. Any cell reads without a crash; one that nests too shallow for
// browsers to flatten it, with no SVG or MathML in it, must read as Gumbo reads it as typed, but
// for the characters that Gumbo replaces and browsers keep.
#include "fuzzinput.h"
#include "markup/showntext.h"

#include <QRegularExpression>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

// What Gumbo reads as U+FFFD where browsers keep it: controls and noncharacters.
bool isReplacedByGumbo(char32_t c) {
    return (c >= 0x1 && c <= 0x8) || c == 0xB || (c >= 0xE && c <= 0x1F) ||
           (c >= 0x7F && c <= 0x9F) || (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE ||
           c >= 0xF0000;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString cell = fuzzinput::text(data, size);
    const QString shown = markup::shownText(cell);
    // Gumbo reads noscript's content as markup, as a browser without scripts does, numbers
    // beyond Unicode modulo 2^32, list boxes' text outside options as shown, and dialog and
    // search, which Gumbo 0.10 does not know, as closing no paragraph.
    static const QRegularExpression beyondUnicode(u"&#[xX]?0*[0-9a-fA-F]{7}"_s);
    // Gumbo alone would take long on a long cell: a tag of many attributes takes it time with the
    // square of their number.
    if (cell.count(u'<') > 64 || cell.size() > 16384 ||
        cell.contains(u"svg", Qt::CaseInsensitive) || cell.contains(u"math", Qt::CaseInsensitive) ||
        cell.contains(u"noscript", Qt::CaseInsensitive) ||
        cell.contains(u"select", Qt::CaseInsensitive) ||
        cell.contains(u"dialog", Qt::CaseInsensitive) ||
        cell.contains(u"search", Qt::CaseInsensitive) || cell.contains(beyondUnicode)) {
        return 0;
    }
    for (const char32_t c : (cell + shown).toUcs4()) {
        if (isReplacedByGumbo(c)) {
            return 0;
        }
    }
    if (shown != markup::gumboText(cell.toUtf8())) {
        std::abort();
    }
    return 0;
}
