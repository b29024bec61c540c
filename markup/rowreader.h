#pragma once

#include "fractions/entry.h"

#include <QString>

#include <limits>
#include <optional>
#include <vector>

namespace markup {

// The row a clipboard holds, read from its HTML where it has some (`html` non-empty) and from its
// text otherwise: every form Pemvaro writes and the common ways people write fractions. Nothing
// when neither reads as a row, nor for more than 16 million characters; how many entries a list
// takes is the list's to say, but of a row longer than `mostEntries`, which the list would not
// take, only one entry more is read to its end.
std::optional<std::vector<fractions::Entry>>
readRow(const QString &html, const QString &text,
        size_t mostEntries = std::numeric_limits<size_t>::max() - 1);

// What Copy in the list puts on the clipboard for `entries`, read back exactly by readRow:
// `html` for the HTML flavour, `text` for people.
struct RowClipboard {
    QString html;
    QString text;
};
RowClipboard rowClipboard(const std::vector<fractions::Entry> &entries);

} // namespace markup
