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
    // <!DOCTYPE html>) and those whose HTML a content management system filters. Each line
    // image sits at the top of a text line of no height, or the image row would grow to a text
    // line; only attributes and style properties that WordPress keeps in a post are used. The
    // images have an empty text, and the table is a formula (role "math") named by the row
    // read as text, "1/2 + 3/4".
    Standards,
};

// The HTML table that typesets the entries as a row of fractions: numerators in the first row,
// the fraction-line image `imagePath` in the second, denominators in the third; a plain entry is
// one cell spanning all three rows. Texts go into the cells exactly as typed, nothing escaped or
// formatted; the formula's name holds what the cells show (see shownText()), escaped. Every line
// is followed by a line feed, the last one included. The two page modes differ in the table line
// and the image lines.
QString tableText(const fractions::EntrySource &entries, const QString &imagePath,
                  PageMode page = PageMode::Transitional);

} // namespace markup
