#pragma once

#include <QString>

// Rules of plain text that the controls share.
namespace toolkit {

// Every line break of a multi-line edit's text (U+2029 between paragraphs, U+2028 within one) as
// a line feed.
inline QString withLineFeeds(QString text) {
    return text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
}

// The text of a multi-line edit with every line break as CR LF, as the clipboard carries it.
inline QString withCrLf(QString text) {
    return withLineFeeds(std::move(text)).replace(u'\n', QStringLiteral("\r\n"));
}

// Where a text may be cut at about `at` without splitting a surrogate pair: `at` itself, or one
// before (`Down`) or after (`Up`) it when it falls inside a pair.
enum class Round { Down, Up };
inline qsizetype wholeCharacters(QStringView text, qsizetype at, Round round) {
    if (at <= 0 || at >= text.size() || !text.at(at).isLowSurrogate() ||
        !text.at(at - 1).isHighSurrogate()) {
        return at;
    }
    return round == Round::Down ? at - 1 : at + 1;
}

// Whether a character of `text` is written from right to left, characters beyond the Basic
// Multilingual Plane (Phoenician, Adlam) among them.
inline bool hasRightToLeft(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        switch (QChar::direction(c)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace toolkit
