#pragma once

#include "fractions/entry.h"

#include <QString>

namespace markup {

// The kind of page the markup is pasted into.
enum class PageMode {
    // No doctype, or a transitional one such as HTML 4.01 Transitional: an image alone in a
    // table cell gets no text line around it. The markup Pemvaro has always written.
    Transitional,
    // Any page, above all those in full standards mode (every page that starts with
    // <!DOCTYPE html>), those whose HTML a content management system filters and those whose
    // theme styles every table. Each cell sets its padding, border and alignment inline, the
    // line is a cell's top border in the text's colour (no image), and only attributes and style
    // properties that WordPress keeps in a post are used. The table is a formula (role "math")
    // named by the row read as text, "1/2 + 3/4".
    Standards,
};

// The HTML table that typesets the entries as a row of fractions: numerators in the first row,
// the fraction-line image `imagePath` in the second, denominators in the third; a plain entry is
// one cell spanning all three rows. Texts go into the cells exactly as typed, nothing escaped or
// formatted; the formula's name holds what the cells show (see shownText()), escaped. Every line
// is followed by a line feed, the last one included. The two page modes differ in the table line,
// the cells' opening tags and the line cells; for standards pages `imagePath` is not used.
QString tableText(const fractions::EntrySource &entries, const QString &imagePath,
                  PageMode page = PageMode::Transitional);

// How each kind of cell starts in the table of a page mode, so that the table's reader knows them.
struct TableCellStarts {
    QStringView numerator;
    QStringView spanning;
    QStringView denominator;
};
TableCellStarts tableCellStarts(PageMode page);

} // namespace markup
