#pragma once

#include "fractions/entry.h"

#include <QStringList>

namespace markup {

// The HTML table that typesets the entries as a row of fractions: numerators in the first row,
// the fraction-line image `imagePath` in the second, denominators in the third; a plain entry is
// one cell spanning all three rows. Texts go in exactly as typed, nothing escaped or formatted.
QStringList tableLines(const fractions::EntrySource &entries, const QString &imagePath);

} // namespace markup
