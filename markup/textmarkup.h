#pragma once

#include "fractions/entry.h"

#include <QByteArray>
#include <QSize>
#include <QString>

namespace markup {

// The first `count` entries read as text, as screen readers are given the row ("1/2 + 3/4"):
// what each cell shows (see shownText()), a fraction as numerator "/" denominator with a part of
// more than one term in parentheses ("(a+b)/c"), empty plain entries left out, one space apart.
QString rowReading(const fractions::EntrySource &entries, int count);

// The row as one line of plain Unicode text for places that take only text: read as above, but a
// fraction of two numbers that Unicode has a character for as that character ("½", "⅜"). No line
// break, not even at the end, so that it pastes into a sentence.
QString plainText(const fractions::EntrySource &entries);

// What goes with a picture of the first `shown` entries: their reading, with "…" after it when
// the picture leaves entries out.
QString pictureReading(const fractions::EntrySource &entries, int shown);

// A picture as HTML for rich editors: the PNG `png` in an <img> of `size` CSS pixels, with
// `reading` as its alternative text.
QString pictureHtml(const QByteArray &png, QSize size, const QString &reading);

} // namespace markup
