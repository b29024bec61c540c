#include "toolkit/text.h"

namespace toolkit {

QString withLineFeeds(QString text) {
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

QString withCrLf(QString text) {
    return withLineFeeds(std::move(text)).replace(u'\n', QStringLiteral("\r\n"));
}

qsizetype wholeCharacters(QStringView text, qsizetype at, Round round) {
    if (at <= 0 || at >= text.size() || !text.at(at).isLowSurrogate() ||
        !text.at(at - 1).isHighSurrogate()) {
        return at;
    }
    return round == Round::Down ? at - 1 : at + 1;
}

} // namespace toolkit
