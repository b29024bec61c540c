#pragma once

#include "fractions/entry.h"

#include <QString>

namespace markup {

// The entries as a MathML formula between the table's comment lines: each fraction entry an
// <mfrac>, each plain entry a token, one a line, in list order. A text goes in as the table's
// cell shows it (see shownText()), escaped: a number as <mn>, one operator character as <mo>,
// anything else, an empty text included, as <mtext>. Every line is followed by a line feed.
QString mathText(const fractions::EntrySource &entries);

} // namespace markup
