#pragma once

#include "fractions/entry.h"

#include <QString>

namespace markup {

// The entries as TeX display math for pages that typeset it with KaTeX or MathJax: a line "$$",
// the formula on one line, a line "$$", each followed by a line feed. Each fraction entry is
// \frac{numerator}{denominator}, the other entries stand between, in list order, one space apart.
// A text goes in as the table's cell shows it (see shownText()): a number of ASCII digits as it
// is, one operator character as TeX writes it, anything else as \text{} runs with TeX's own
// characters between them in math mode, so that every character reads as itself and none ends
// the math, comments, unbalances a brace or runs a command. An empty plain entry, and no entries
// at all, is "{}".
QString texText(const fractions::EntrySource &entries);

// The formula, on one line, alone: what texText() puts between its "$$" lines.
QString texFormula(const fractions::EntrySource &entries);

} // namespace markup
