#pragma once

#include "fractions/entry.h"

#include <QString>

namespace markup {

// How the page that the markup is pasted into lays out images on text lines.
enum class PageMode {
    // No doctype, or a transitional one such as HTML 4.01 Transitional: an image alone in a
    // table cell gets no text line around it.
    Transitional,
    // Full standards mode, as in every page that starts with <!DOCTYPE html>: each line image is
    // made a block, or it would sit on a text line and the image row would grow to that line.
    Standards,
};

// The HTML table that typesets the entries as a row of fractions: numerators in the first row,
// the fraction-line image `imagePath` in the second, denominators in the third; a plain entry is
// one cell spanning all three rows. Texts go in exactly as typed, nothing escaped or formatted.
// Every line is followed by a line feed, the last one included. The two page modes differ only
// in the image lines.
QString tableText(const fractions::EntrySource &entries, const QString &imagePath,
                  PageMode page = PageMode::Transitional);

} // namespace markup
