#include "markup/texttokens.h"

#include <QList>

#include <string_view>

namespace markup {

char32_t characterAt(QStringView text, qsizetype &i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        ++i;
        return QChar::surrogateToUcs4(text[i - 1], text[i]);
    }
    return text[i].unicode();
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
        const char32_t c = characterAt(text, i);
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
