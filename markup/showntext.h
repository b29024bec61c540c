#pragma once

#include <QString>

namespace markup {

// The text a browser shows for a cell that holds `cellMarkup` as typed, parsed as HTML5 parses a
// table cell's content: its character data, references read; tags and comments left out, and
// the content of elements that browsers do not show (script, style, template, noscript, hidden
// ones, fallback content); a <br>, a block or a table cell reads as a space; runs of spaces,
// tabs and line breaks read as one space, none at either end; no-break spaces stay.
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
