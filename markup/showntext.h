#pragma once

#include <QString>

namespace markup {

// The text a browser shows for a cell that holds `cellMarkup` as typed: tags and comments left
// out (a <br> reads as a space), character references read (numeric ones and the names of
// HTML 4, with their semicolon), runs of spaces, tabs and line breaks read as one space, none at
// either end. A "<" that starts no tag, and an "&" that starts no known reference, are text.
QString shownText(const QString &cellMarkup);

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
