#pragma once

#include <QString>

namespace markup {

// The text a browser shows for a cell that holds `cellMarkup` as typed, parsed as HTML5 parses a
// table cell's content: its character data, references read; tags and comments left out, and
// the content of elements that browsers do not show (script, style, template, noscript, hidden
// ones, fallback content); a <br>, a block or a table cell reads as a space; runs of spaces,
// tabs and line breaks read as one space, none at either end; no-break spaces stay.
QString shownText(const QString &cellMarkup);

} // namespace markup
