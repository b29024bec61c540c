#include "markup/gumbocharacters.h"

#include "markup/texttokens.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace markup {
namespace {

// Gumbo reads the controls U+0080 to U+009F as U+FFFD, typed or as numbers (which stand for the
// characters of Windows-1252 there), where browsers keep them typed. Each goes through as this
// mark followed by the control moved into plane 15; the mark itself goes through twice.
constexpr char32_t ShiftMark = 0xF0000;

// Whether `c` is a control or a noncharacter, which Gumbo reads as U+FFFD where browsers keep it;
// written as a numeric reference it is kept.
bool isKeptByReference(char32_t c) {
    return (c >= 0x1 && c <= 0x8) || c == 0xB || (c >= 0xE && c <= 0x1F) || c == 0x7F ||
           (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// The length of a numeric character reference at the start of `text`, or 0, and the character it
// stands for, 0x110000 where it is beyond Unicode.
qsizetype numericReference(QStringView text, char32_t &value) {
    if (!text.startsWith(u"&#")) {
        return 0;
    }
    const bool hex = text.size() > 2 && (text[2] == u'x' || text[2] == u'X');
    qsizetype i = hex ? 3 : 2;
    value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const int digit = c >= u'0' && c <= u'9'          ? c - u'0'
                          : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
                          : hex && c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                          : -1;
        if (digit < 0) {
            break;
        }
        value =
            std::min<char32_t>(value * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
    }
    if (i == (hex ? 3 : 2)) {
        return 0;
    }
    return i < text.size() && text[i] == u';' ? i + 1 : i;
}

// Whether Gumbo would read `c` otherwise than browsers where a tokenizer state reads text as typed.
bool isRewritten(char32_t c) {
    return (c >= 0x80 && c <= 0x9F) || c == ShiftMark || isKeptByReference(c);
}

} // namespace

bool hasRewritten(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isRewritten(characterAt(text, i))) {
            return true;
        }
    }
    return false;
}

void appendText(QString &to, QStringView text, bool literal) {
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype first = i;
        const char32_t c = characterAt(text, i);
        // References to the shift mark, and beyond Unicode, which Gumbo 0.10 reads modulo 2^32.
        char32_t value = 0;
        qsizetype reference =
            !literal && c == u'&' ? numericReference(text.sliced(first), value) : 0;
        if (reference > 0 && value != ShiftMark && value < 0x110000) {
            reference = 0;
        }
        if (!(c >= 0x80 && c <= 0x9F) && c != ShiftMark && reference == 0 &&
            !isKeptByReference(c) && !(literal && (c == u'&' || c == u'<' || c == 0))) {
            continue;
        }
        to += text.sliced(run, first - run);
        if (c == 0) {
            to += QChar(QChar::ReplacementCharacter);
        } else if (c >= 0x80 && c <= 0x9F) {
            to += QChar::fromUcs4(ShiftMark);
            to += QChar::fromUcs4(ShiftMark + c);
        } else if (reference > 0 && value != ShiftMark) {
            to += QChar(QChar::ReplacementCharacter);
            i = first + reference - 1;
        } else if (c == ShiftMark || reference > 0) {
            to += QChar::fromUcs4(ShiftMark);
            to += QChar::fromUcs4(ShiftMark);
            i = reference > 0 ? first + reference - 1 : i;
        } else if (isKeptByReference(c)) {
            to += u"&#"_s + QString::number(c) + u';';
        } else {
            to += c == u'&' ? QStringView(u"&amp;") : QStringView(u"&lt;");
        }
        run = i + 1;
    }
    to += text.sliced(run);
}

QString withoutShiftMarks(const QString &text) {
    const QString mark = QString::fromUcs4(&ShiftMark, 1);
    if (!text.contains(mark)) {
        return text;
    }
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype first = i;
        const char32_t c = characterAt(text, i);
        if (c == ShiftMark && i + 1 < text.size()) {
            const char32_t shifted = characterAt(text, ++i);
            out += QChar::fromUcs4(shifted == ShiftMark ? shifted : shifted - ShiftMark);
        } else {
            out += text.sliced(first, i - first + 1);
        }
    }
    return out;
}

} // namespace markup
