#include "markup/textmarkup.h"

#include "markup/showntext.h"
#include "markup/texttokens.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace markup {
namespace {

// A part of a fraction as read out: in parentheses where it holds more than one term.
QString readPart(const QString &part) {
    const QList<uint> characters = part.toUcs4();
    const bool compound =
        !isNumber(part) && std::any_of(characters.begin(), characters.end(), [](char32_t c) {
            return c == u' ' || isOperatorCharacter(c);
        });
    return compound ? u'(' + part + u')' : part;
}

// Unicode's vulgar fractions. Other fractions stay "a/b": superscript and subscript digits
// around the fraction slash come from three blocks that fonts, Japanese ones above all, draw at
// different sizes and heights, and screen readers and searches read them as other characters.
constexpr std::pair<const char16_t *, char16_t> VulgarFractions[] = {
    {u"1/2", u'½'}, {u"1/3", u'⅓'}, {u"2/3", u'⅔'},  {u"1/4", u'¼'}, {u"3/4", u'¾'},
    {u"1/5", u'⅕'}, {u"2/5", u'⅖'}, {u"3/5", u'⅗'},  {u"4/5", u'⅘'}, {u"1/6", u'⅙'},
    {u"5/6", u'⅚'}, {u"1/7", u'⅐'}, {u"1/8", u'⅛'},  {u"3/8", u'⅜'}, {u"5/8", u'⅝'},
    {u"7/8", u'⅞'}, {u"1/9", u'⅑'}, {u"1/10", u'⅒'}, {u"0/3", u'↉'},
};

QString readEntry(const fractions::Entry &entry, bool vulgar) {
    const QString numerator = shownText(entry.numerator);
    if (!entry.isFraction()) {
        return numerator;
    }
    const QString fraction = readPart(numerator) + u'/' + readPart(shownText(entry.denominator));
    if (vulgar) {
        for (const auto &[written, character] : VulgarFractions) {
            if (fraction == QStringView(written)) {
                return QString(QChar(character));
            }
        }
    }
    return fraction;
}

QString readRow(const fractions::EntrySource &entries, int count, bool vulgar) {
    QStringList items;
    for (int i = 0; i < count; ++i) {
        if (QString item = readEntry(entries.entry(i), vulgar); !item.isEmpty()) {
            items << item;
        }
    }
    return items.join(u' ');
}

} // namespace

QString rowReading(const fractions::EntrySource &entries, int count) {
    return readRow(entries, count, false);
}

QString plainText(const fractions::EntrySource &entries) {
    QString text = readRow(entries, entries.entryCount(), true);
    // Breaks that HTML does not take for white space, but editors and chats do.
    for (const char16_t lineBreak : {u'\v', u'\u0085', u'\u2028', u'\u2029'}) {
        text.replace(lineBreak, u' ');
    }
    return text;
}

QString pictureReading(const fractions::EntrySource &entries, int shown) {
    const QString reading = rowReading(entries, shown);
    return shown < entries.entryCount() ? reading + u" …"_s : reading;
}

QString pictureHtml(const QByteArray &png, QSize size, const QString &reading) {
    // Without a charset, some editors read the clipboard's HTML as Latin-1.
    return u"<meta charset=\"utf-8\"><img src=\"data:image/png;base64,%1\" width=\"%2\" "
           u"height=\"%3\" alt=\"%4\">"_s.arg(QString::fromLatin1(png.toBase64()))
               .arg(size.width())
               .arg(size.height())
               .arg(escaped(reading));
}

} // namespace markup
