#include "markup/showntext.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

namespace markup {
namespace {

// The character references of HTML 4, which every browser and WordPress's filter know; runs of
// names give consecutive characters from the first one on, "-" marking a character left out.
struct NameRun {
    char32_t first;
    const char *names;
};
constexpr NameRun NameRuns[] = {
    {160, "nbsp iexcl cent pound curren yen brvbar sect uml copy ordf laquo not shy reg macr deg "
          "plusmn sup2 sup3 acute micro para middot cedil sup1 ordm raquo frac14 frac12 frac34 "
          "iquest Agrave Aacute Acirc Atilde Auml Aring AElig Ccedil Egrave Eacute Ecirc Euml "
          "Igrave Iacute Icirc Iuml ETH Ntilde Ograve Oacute Ocirc Otilde Ouml times Oslash Ugrave "
          "Uacute Ucirc Uuml Yacute THORN szlig agrave aacute acirc atilde auml aring aelig ccedil "
          "egrave eacute ecirc euml igrave iacute icirc iuml eth ntilde ograve oacute ocirc otilde "
          "ouml divide oslash ugrave uacute ucirc uuml yacute thorn yuml"},
    {913, "Alpha Beta Gamma Delta Epsilon Zeta Eta Theta Iota Kappa Lambda Mu Nu Xi Omicron Pi Rho "
          "- Sigma Tau Upsilon Phi Chi Psi Omega"},
    {945, "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi omicron pi rho "
          "sigmaf sigma tau upsilon phi chi psi omega"},
    {8194, "ensp emsp"},
    {8204, "zwnj zwj lrm rlm"},
    {8211, "ndash mdash - - - lsquo rsquo sbquo - ldquo rdquo bdquo - dagger Dagger bull"},
    {8592, "larr uarr rarr darr harr"},
    {8656, "lArr uArr rArr dArr hArr"},
    {8706, "part exist - empty - nabla isin notin - ni"},
    {8743, "and or cap cup int"},
    {8834, "sub sup nsub - sube supe"},
    {8968, "lceil rceil lfloor rfloor"},
    {8704, "forall"},
    {34, "quot"},
    {38, "amp"},
    {39, "apos"},
    {60, "lt"},
    {62, "gt"},
    {338, "OElig oelig"},
    {352, "Scaron scaron"},
    {376, "Yuml"},
    {402, "fnof"},
    {710, "circ"},
    {732, "tilde"},
    {977, "thetasym upsih"},
    {982, "piv"},
    {8201, "thinsp"},
    {8230, "hellip"},
    {8240, "permil"},
    {8242, "prime Prime"},
    {8249, "lsaquo rsaquo"},
    {8254, "oline"},
    {8260, "frasl"},
    {8364, "euro"},
    {8465, "image"},
    {8472, "weierp"},
    {8476, "real"},
    {8482, "trade"},
    {8501, "alefsym"},
    {8629, "crarr"},
    {8719, "prod"},
    {8721, "sum minus"},
    {8727, "lowast"},
    {8730, "radic"},
    {8733, "prop infin"},
    {8736, "ang"},
    {8756, "there4"},
    {8764, "sim"},
    {8773, "cong"},
    {8776, "asymp"},
    {8800, "ne equiv"},
    {8804, "le ge"},
    {8853, "oplus"},
    {8855, "otimes"},
    {8869, "perp"},
    {8901, "sdot"},
    {0x27E8, "lang rang"}, // HTML 5 moved these from U+2329 and U+232A
    {9674, "loz"},
    {9824, "spades"},
    {9827, "clubs"},
    {9829, "hearts diams"},
};

const QHash<QString, char32_t> &namedCharacters() {
    static const QHash<QString, char32_t> characters = [] {
        QHash<QString, char32_t> made;
        for (const NameRun &run : NameRuns) {
            char32_t code = run.first;
            for (const QString &name : QString::fromLatin1(run.names).split(u' ')) {
                if (name != u"-") {
                    made.insert(name, code);
                }
                ++code;
            }
        }
        return made;
    }();
    return characters;
}

bool isAsciiAlpha(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiAlnum(QChar c) {
    return isAsciiAlpha(c) || (c >= u'0' && c <= u'9');
}

bool isHtmlSpace(char32_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

// Control characters show nothing; a reference to one that cannot be a character shows U+FFFD.
void appendShown(QString &out, char32_t c) {
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = 0xFFFD;
    }
    if ((c < 0x20 && !isHtmlSpace(c)) || (c >= 0x7F && c < 0xA0)) {
        return;
    }
    if (QChar::requiresSurrogates(c)) {
        out += QChar(QChar::highSurrogate(c));
        out += QChar(QChar::lowSurrogate(c));
    } else {
        out += QChar(static_cast<char16_t>(c));
    }
}

// The character of a reference at `at` (an "&") and where the reference ends; nothing where no
// known reference starts there.
std::optional<std::pair<char32_t, qsizetype>> reference(const QString &text, qsizetype at) {
    qsizetype i = at + 1;
    if (i < text.size() && text[i] == u'#') {
        const bool hex = i + 1 < text.size() && (text[i + 1] == u'x' || text[i + 1] == u'X');
        i += hex ? 2 : 1;
        const qsizetype digits = i;
        char32_t code = 0;
        for (; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            const int digit = c >= u'0' && c <= u'9'          ? c - u'0'
                              : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
                              : hex && c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                              : -1;
            if (digit < 0) {
                break;
            }
            // Past the last code point the value only has to stay too large.
            code =
                std::min<char32_t>(code * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
        }
        if (i == digits || i == text.size() || text[i] != u';') {
            return std::nullopt;
        }
        return std::pair{code, i + 1};
    }
    while (i < text.size() && isAsciiAlnum(text[i])) {
        ++i;
    }
    if (i == at + 1 || i == text.size() || text[i] != u';') {
        return std::nullopt;
    }
    const auto found = namedCharacters().constFind(text.sliced(at + 1, i - at - 1));
    if (found == namedCharacters().cend()) {
        return std::nullopt;
    }
    return std::pair{*found, i + 1};
}

// Where a tag, comment or declaration that starts at `at` (a "<") ends, and whether it is a
// <br>; nothing where the "<" is text. One that never ends takes the rest of the text.
std::optional<std::pair<qsizetype, bool>> tag(const QString &text, qsizetype at) {
    const QStringView rest = QStringView(text).sliced(at);
    if (rest.startsWith(u"<!--")) {
        const qsizetype end = text.indexOf(u"-->", at + 4);
        return std::pair{end < 0 ? text.size() : end + 3, false};
    }
    if (rest.size() < 2 ||
        !(isAsciiAlpha(rest[1]) || rest[1] == u'/' || rest[1] == u'!' || rest[1] == u'?')) {
        return std::nullopt;
    }
    // Quoted attribute values may hold ">".
    qsizetype i = at + 1;
    for (QChar quote; i < text.size(); ++i) {
        if (!quote.isNull()) {
            quote = text[i] == quote ? QChar() : quote;
        } else if (text[i] == u'"' || text[i] == u'\'') {
            quote = text[i];
        } else if (text[i] == u'>') {
            break;
        }
    }
    const qsizetype nameEnd = [&] {
        qsizetype n = at + 1;
        while (n < text.size() && isAsciiAlnum(text[n])) {
            ++n;
        }
        return n;
    }();
    const bool lineBreak =
        text.sliced(at + 1, nameEnd - at - 1).compare(u"br", Qt::CaseInsensitive) == 0;
    return std::pair{std::min(i + 1, text.size()), lineBreak};
}

} // namespace

QString shownText(const QString &cellMarkup) {
    QString read;
    read.reserve(cellMarkup.size());
    for (qsizetype i = 0; i < cellMarkup.size();) {
        const QChar c = cellMarkup[i];
        if (c == u'<') {
            if (const auto skipped = tag(cellMarkup, i)) {
                if (skipped->second) {
                    read += u' ';
                }
                i = skipped->first;
                continue;
            }
        } else if (c == u'&') {
            if (const auto character = reference(cellMarkup, i)) {
                appendShown(read, character->first);
                i = character->second;
                continue;
            }
        }
        // Typed characters are taken as they are, halves of a surrogate pair included.
        if (c.isSurrogate()) {
            read += c;
        } else {
            appendShown(read, c.unicode());
        }
        ++i;
    }

    QString shown;
    shown.reserve(read.size());
    for (const QChar c : read) {
        if (!isHtmlSpace(c.unicode())) {
            shown += c;
        } else if (!shown.isEmpty() && shown.back() != u' ') {
            shown += u' ';
        }
    }
    if (shown.endsWith(u' ')) {
        shown.chop(1);
    }
    return shown;
}

QString escaped(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'"':
            out += u"&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool isNumber(QStringView text) {
    bool digitBefore = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (QChar::isDigit(c)) {
            digitBefore = true;
        } else if ((c == u'.' || c == u',') && digitBefore) {
            digitBefore = false;
        } else {
            return false;
        }
    }
    return digitBefore;
}

bool isOperatorCharacter(char32_t c) {
    switch (QChar::category(c)) {
    case QChar::Symbol_Math:
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
        return true;
    default:
        return std::u32string_view(U"*/:·＊／：").find(c) != std::u32string_view::npos;
    }
}

bool isOperator(QStringView text) {
    const QList<uint> characters = text.toUcs4();
    return characters.size() == 1 && isOperatorCharacter(characters.front());
}

} // namespace markup
