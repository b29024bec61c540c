#include "markup/mathmarkup.h"

#include "markup/showntext.h"
#include "markup/texttokens.h"

using namespace Qt::StringLiterals;

namespace markup {

QString mathText(const fractions::EntrySource &entries) {
    const auto token = [](const QString &cellMarkup) {
        const QString text = shownText(cellMarkup);
        const QString element = isNumber(text) ? u"mn"_s : isOperator(text) ? u"mo"_s : u"mtext"_s;
        return u'<' + element + u'>' + escaped(text) + u"</"_s + element + u'>';
    };
    QString text = u"<!-- 分数ここから -->\n<math display=\"block\">\n"_s;
    for (int i = 0; i < entries.entryCount(); ++i) {
        const fractions::Entry entry = entries.entry(i);
        text += entry.isFraction() ? u"<mfrac>"_s + token(entry.numerator) +
                                         token(entry.denominator) + u"</mfrac>\n"_s
                                   : token(entry.numerator) + u'\n';
    }
    return text + u"</math>\n<!-- 分数ここまで -->\n"_s;
}

} // namespace markup
