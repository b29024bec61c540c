#include "markup/rowforms.h"
#include "markup/texttokens.h"

#include <utility>

namespace markup {
namespace {

// Unicode's fraction characters, as plainText() writes them and people type them.
struct VulgarFraction {
    char16_t character;
    const char16_t *numerator;
    const char16_t *denominator;
};
constexpr VulgarFraction VulgarFractions[] = {
    {u'½', u"1", u"2"}, {u'⅓', u"1", u"3"},  {u'⅔', u"2", u"3"}, {u'¼', u"1", u"4"},
    {u'¾', u"3", u"4"}, {u'⅕', u"1", u"5"},  {u'⅖', u"2", u"5"}, {u'⅗', u"3", u"5"},
    {u'⅘', u"4", u"5"}, {u'⅙', u"1", u"6"},  {u'⅚', u"5", u"6"}, {u'⅐', u"1", u"7"},
    {u'⅛', u"1", u"8"}, {u'⅜', u"3", u"8"},  {u'⅝', u"5", u"8"}, {u'⅞', u"7", u"8"},
    {u'⅑', u"1", u"9"}, {u'⅒', u"1", u"10"}, {u'↉', u"0", u"3"},
};

// Spaces between the entries; no-break and ideographic spaces belong to a text.
bool isBreak(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v' ||
           c == u'\u0085' || c == u'\u2028' || c == u'\u2029';
}

// The closing parenthesis of each opening one, or -1; found in one pass.
std::vector<qsizetype> matchingParentheses(QStringView text) {
    std::vector<qsizetype> match(static_cast<size_t>(text.size()), -1);
    std::vector<qsizetype> open;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'(') {
            open.push_back(i);
        } else if (text[i] == u')' && !open.empty()) {
            match[static_cast<size_t>(open.back())] = i;
            open.pop_back();
        }
    }
    return match;
}

bool isSlash(QChar c) {
    return c == u'/' || c == u'\u2044';
}

// Spaces as a cell shows them: runs as one, none at either end.
QString spaced(QStringView text) {
    QString shown;
    bool space = false;
    for (const QChar c : text) {
        if (isBreak(c)) {
            space = !shown.isEmpty();
        } else {
            if (std::exchange(space, false)) {
                shown += u' ';
            }
            shown += c;
        }
    }
    return shown;
}

// A part of a fraction without the parentheses plainText() puts around a part of many terms
// (those that match, or those around a part whose own parentheses do not), its spaces as a cell
// shows them.
QString part(QStringView text, qsizetype at, const std::vector<qsizetype> &match) {
    const qsizetype last = at + text.size() - 1;
    if (text.size() >= 2 && text.front() == u'(' && text.back() == u')' &&
        (match[static_cast<size_t>(at)] == last || text.count(u'(') != text.count(u')'))) {
        text = text.sliced(1, text.size() - 2);
    }
    return spaced(text);
}

// An item: a fraction at its first slash outside parentheses (one of full-width digits also at a
// full-width slash), a fraction character, or a plain entry.
fractions::Entry entry(QStringView text, qsizetype at, const std::vector<qsizetype> &match) {
    // Only before the first full-width slash can the text be a number: the later ones are passed
    // over without reading again all that comes before them.
    bool fullWidthSlash = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto closing = match[static_cast<size_t>(at + i)];
        if (text[i] == u'(' && closing >= 0 && closing < at + text.size()) {
            i = closing - at;
        } else if (isSlash(text[i]) || (text[i] == u'／' && !std::exchange(fullWidthSlash, true) &&
                                        isNumber(text.first(i)) && isNumber(text.sliced(i + 1)))) {
            // No denominator, "1/" or "1/()": a plain entry as typed.
            QString denominator = part(text.sliced(i + 1), at + i + 1, match);
            if (denominator.isEmpty()) {
                break;
            }
            return {part(text.first(i), at, match), std::move(denominator)};
        }
    }
    if (text.size() == 1) {
        for (const auto &[character, numerator, denominator] : VulgarFractions) {
            if (text.front() == character) {
                return {QString::fromUtf16(numerator), QString::fromUtf16(denominator)};
            }
        }
    }
    return {spaced(text), {}};
}

// The items of a word: "1/2+3/4=5/4", written without spaces, is five. A word without a fraction
// is one item whatever operators it holds ("x+1", "2024-01-01").
void appendItems(Row &row, QStringView word, qsizetype at, const std::vector<qsizetype> &match) {
    std::vector<qsizetype> operators;
    bool slash = false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const auto closing = match[static_cast<size_t>(at + i)];
        if (word[i] == u'(' && closing >= 0 && closing < at + word.size()) {
            i = closing - at;
        } else if (word[i].category() == QChar::Symbol_Math && word.size() > 1) {
            operators.push_back(i);
        } else {
            slash = slash || isSlash(word[i]);
        }
    }
    // Only where the parentheses pair up: a part in parentheses may hold operators itself.
    if (!slash || word.count(u'(') != word.count(u')')) {
        operators.clear();
    }
    qsizetype start = 0;
    for (const qsizetype i : operators) {
        if (i > start) {
            row.push_back(entry(word.sliced(start, i - start), at + start, match));
        }
        row.push_back({word.sliced(i, 1).toString(), {}});
        start = i + 1;
    }
    if (start < word.size()) {
        row.push_back(entry(word.sliced(start), at + start, match));
    }
}

// A word that ends a clause or a sentence: "cake.", "です。"; prose, not a row.
bool endsClause(const QString &text) {
    return text.size() >= 2 && QStringView(u".,;!?。、，．！？").contains(text.back()) &&
           text[text.size() - 2].isLetter();
}

} // namespace

std::optional<Row> readTextRow(QStringView text) {
    // No-break spaces at either end belong to the texts there.
    while (!text.isEmpty() && isBreak(text.back())) {
        text.chop(1);
    }
    while (!text.isEmpty() && isBreak(text.front())) {
        text = text.sliced(1);
    }
    const std::vector<qsizetype> match = matchingParentheses(text);
    Row row;
    bool fraction = false;
    for (qsizetype start = 0; start < text.size();) {
        // Spaces inside the parentheses of a fraction's part belong to the item: "x/(2 y)".
        qsizetype end = start;
        while (end < text.size() && !isBreak(text[end])) {
            const qsizetype closing = match[static_cast<size_t>(end)];
            const bool inPart = text[end] == u'(' && closing >= 0 &&
                                ((end > start && isSlash(text[end - 1])) ||
                                 (closing + 1 < text.size() && isSlash(text[closing + 1])));
            end = inPart ? closing + 1 : end + 1;
        }
        const size_t first = row.size();
        appendItems(row, text.sliced(start, end - start), start, match);
        for (size_t i = first; i < row.size(); ++i) {
            if (endsClause(row[i].numerator) || endsClause(row[i].denominator)) {
                return std::nullopt;
            }
            fraction = fraction || row[i].isFraction();
        }
        for (start = end; start < text.size() && isBreak(text[start]); ++start) {
        }
    }
    // Prose most often has no fraction; a row in plain text is one line.
    if (!fraction || std::any_of(text.begin(), text.end(), [](QChar c) {
            return c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029';
        })) {
        return std::nullopt;
    }
    return row;
}

} // namespace markup
