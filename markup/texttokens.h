#pragma once

#include <QString>

namespace markup {

// The character at `i`, a surrogate pair read as one; `i` moves to its last unit.
char32_t characterAt(QStringView text, qsizetype &i);

// `text` as an HTML attribute value between double quotes, or as the text of an element in HTML
// or XML: "&", "<", ">" and the double quote as character references.
QString escaped(const QString &text);

// Whether `text` is a number: decimal digits of any script, in groups joined by "." or ",".
bool isNumber(QStringView text);

// Whether `c` is an operator character: a mathematical symbol ("+", "=", "×", "−"), a dash, a
// bracket, or one of "*", "/", ":", "·" and their full-width forms.
bool isOperatorCharacter(char32_t c);

// Whether `text` is one operator character.
bool isOperator(QStringView text);

} // namespace markup
