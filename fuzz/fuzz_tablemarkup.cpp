// The markup generators on any entries and any image path, line breaks in the texts included.
// Besides crashes and sanitizer reports, it checks Make's table against the table written out
// piece by piece: the fixed lines, and every text copied into its cell unchanged. The table for
// HTML5 pages must read back as the entries (below) and have a formula name that is a valid
// attribute value; the MathML one line an entry, each token well-formed with its text escaped;
// the TeX one line of math between "$$" lines, as the checks of texFormula() below say. What a
// cell shows has its white space collapsed, and text without markup reads the same with or
// without the parser. Each form reads back: the table as the entries, byte for byte, wherever no
// text ends a cell's line itself; MathML and TeX as as many entries; and the input itself, as HTML
// and as text, reads without fault.
#include "fuzzinput.h"
#include "markup/mathmarkup.h"
#include "markup/rowreader.h"
#include "markup/showntext.h"
#include "markup/tablemarkup.h"
#include "markup/texmarkup.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Escaped text: "&" only as one of the four references, no "<", ">" or double quote.
const QRegularExpression EscapedText(u"\\A(?:[^&<>\"]|&amp;|&lt;|&gt;|&quot;)*\\z"_s);
const QString Token = u"<(mn|mo|mtext)>((?:[^&<>\"]|&amp;|&lt;|&gt;|&quot;)*)</\\%1>"_s;
const QRegularExpression PlainLine(u"\\A"_s + Token.arg(1) + u"\\z"_s);
const QRegularExpression Markup(u"[<&]"_s);
const QRegularExpression Uncollapsed(u"\\A |[\t\n\f\r]|  | \\z"_s);
const QRegularExpression FractionLine(u"\\A<mfrac>"_s + Token.arg(1) + Token.arg(3) +
                                      u"</mfrac>\\z"_s);

QString table(const std::vector<fractions::Entry> &entries, const QString &tableLine,
              const QString &imageCell) {
    QString text = u"<!-- 分数ここから -->\n"_s + tableLine + u"\n<tr>\n"_s;
    for (const auto &entry : entries) {
        text += (entry.isFraction() ? u"<td align=\"center\">"_s : u"<td rowspan=\"3\">"_s) +
                entry.numerator + u"</td>\n"_s;
    }
    text += u"</tr>\n<tr>\n"_s;
    for (const auto &entry : entries) {
        if (entry.isFraction()) {
            text += imageCell;
        }
    }
    text += u"</tr>\n<tr>\n"_s;
    for (const auto &entry : entries) {
        if (entry.isFraction()) {
            text += u"<td align=\"center\">"_s + entry.denominator + u"</td>\n"_s;
        }
    }
    return text + u"</tr>\n</table>\n<!-- 分数ここまで -->\n"_s;
}

// The formula: braces balanced, no "%" or "$" but escaped, no command but the generator's own,
// one \frac a fraction entry.
void checkFormula(const QString &formula, size_t fractionCount) {
    static const QStringList Commands{u"frac"_s,   u"text"_s,  u"backslash"_s, u"hat"_s, u"sim"_s,
                                      u"lt"_s,     u"gt"_s,    u"times"_s,     u"div"_s, u"pm"_s,
                                      u"mp"_s,     u"cdot"_s,  u"le"_s,        u"ge"_s,  u"ne"_s,
                                      u"approx"_s, u"equiv"_s, u"infty"_s,     u"to"_s,  u"gets"_s};
    int depth = 0;
    size_t fractions = 0;
    for (qsizetype i = 0; i < formula.size(); ++i) {
        const QChar c = formula[i];
        if (c == u'\\') {
            qsizetype end = i + 1;
            while (end < formula.size() && formula[end].isLetter() &&
                   formula[end].unicode() < 0x80) {
                ++end;
            }
            const QString word = formula.sliced(i + 1, end - i - 1);
            require(word.isEmpty() ? end < formula.size() && u"{}$%#&_,"_s.contains(formula[end])
                                   : Commands.contains(word));
            fractions += word == u"frac"_s;
            i = word.isEmpty() ? end : end - 1;
        } else {
            depth += c == u'{' ? 1 : c == u'}' ? -1 : 0;
            require(depth >= 0 && c != u'%' && c != u'$');
        }
    }
    require(depth == 0 && fractions == fractionCount);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString input = fuzzinput::text(data, size);
    // The first line is the image path, the rest the entries.
    const qsizetype lineEnd = input.indexOf(u'\n');
    const QString path = lineEnd < 0 ? input : input.left(lineEnd);
    const std::vector<fractions::Entry> entries =
        lineEnd < 0 ? std::vector<fractions::Entry>{} : fuzzinput::entries(input.mid(lineEnd + 1));
    const fractions::EntryVector source(entries);

    for (const auto &entry : entries) {
        const QString shown = markup::shownText(entry.numerator);
        require(!Uncollapsed.match(shown).hasMatch() &&
                (entry.numerator.contains(Markup) ||
                 markup::shownText(entry.numerator + u"<!---->"_s) == shown));
    }

    const QString tableLine = u"<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\">"_s;
    require(markup::tableText(source, path) ==
            table(entries, tableLine,
                  u"<td><img src=\""_s + path + u"\" width=\"100%\" height=\"1\"></td>\n"_s));

    const QString html5 = markup::tableText(source, path, markup::PageMode::Standards);
    const QString namePrefix = tableLine.chopped(1) + u" role=\"math\" aria-label=\""_s;
    const qsizetype nameStart = html5.indexOf(u'\n') + 1 + namePrefix.size();
    const qsizetype nameEnd = html5.indexOf(u"\" style=\"width:auto;"_s, nameStart);
    require(nameEnd >= nameStart && html5.indexOf(u'\n', nameStart) > nameEnd);
    const QString name = html5.sliced(nameStart, nameEnd - nameStart);
    require(EscapedText.match(name).hasMatch());

    const QStringList math = markup::mathText(source).split(u'\n');
    require(math.size() == static_cast<qsizetype>(entries.size()) + 5);
    require(math.first(2) ==
            (QStringList{u"<!-- 分数ここから -->"_s, u"<math display=\"block\">"_s}));
    require(math.last(3) == (QStringList{u"</math>"_s, u"<!-- 分数ここまで -->"_s, QString()}));
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString &line = math[static_cast<qsizetype>(i) + 2];
        require((entries[i].isFraction() ? FractionLine : PlainLine).match(line).hasMatch());
    }

    const QStringList tex = markup::texText(source).split(u'\n');
    require(tex.size() == 4 && tex[0] == u"$$"_s && tex[2] == u"$$"_s && tex[3].isEmpty());
    require(!tex[1].trimmed().isEmpty() && !tex[1].contains(u'\r'));
    checkFormula(tex[1], static_cast<size_t>(std::count_if(
                             entries.cbegin(), entries.cend(),
                             [](const fractions::Entry &entry) { return entry.isFraction(); })));

    if (entries.empty()) {
        (void)markup::readRow(input, input);
        return 0;
    }
    const bool cellLinesKept = std::none_of(entries.begin(), entries.end(), [](const auto &entry) {
        return (entry.numerator + entry.denominator).contains(u"</td>\n"_s);
    });
    const auto clipboard = markup::rowClipboard(entries);
    require(!cellLinesKept || markup::readRow(clipboard.html, clipboard.text) == entries);
    require(!cellLinesKept || markup::readRow({}, markup::tableText(source, {})) == entries);
    for (const QString &form : {markup::mathText(source), markup::texText(source)}) {
        const auto row = markup::readRow({}, form);
        require(row && row->size() == entries.size());
    }
    (void)markup::readRow(input, input);
    return 0;
}
