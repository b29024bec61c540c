#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace markup {

// The text a browser shows for a cell that holds `cellMarkup` as typed, parsed as HTML5 parses a
// table cell's content: its character data, references read; tags and comments left out, and
// the content of elements that browsers do not show (script, style, template, noscript, hidden
// ones, fallback content); a <br>, a block or a table cell reads as a space; runs of spaces,
// tabs and line breaks read as one space, none at either end; no-break spaces stay.
QString shownText(const QString &cellMarkup);

// What a page shows of a cell where a "<" in it opens a tag or an "&" starts a reference, so that
// the page shows other than what was typed (white space aside); nothing where it shows the text.
std::optional<QString> shownOtherwise(const QString &cellMarkup);

// Gumbo's reading of `utf8` as a table cell's content, taken as it stands: what shownText() reads
// for a cell that nests shallow, holds no foreign content and no character Gumbo replaces.
QString gumboText(const QByteArray &utf8);

} // namespace markup
