#pragma once

#include <QString>

// Rules of plain text that the controls share.
namespace toolkit {

// Every line break of a multi-line edit's text (U+2029 between paragraphs, U+2028 within one) as
// a line feed.
QString withLineFeeds(QString text);

// The text of a multi-line edit with every line break as CR LF, as the clipboard carries it.
QString withCrLf(QString text);

// Where a text may be cut at about `at` without splitting a surrogate pair: `at` itself, or one
// before (`Down`) or after (`Up`) it when it falls inside a pair.
enum class Round { Down, Up };
qsizetype wholeCharacters(QStringView text, qsizetype at, Round round);

} // namespace toolkit
