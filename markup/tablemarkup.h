#pragma once

#include "fractions/entry.h"

#include <QString>

namespace markup {

// The HTML table that typesets the entries as a row of fractions: numerators in the first row,
// the fraction-line image `imagePath` in the second, denominators in the third; a plain entry is
// one cell spanning all three rows. Texts go in exactly as typed, nothing escaped or formatted.
// Every line is followed by a line feed, the last one included.
QString tableText(const fractions::EntrySource &entries, const QString &imagePath);

} // namespace markup
