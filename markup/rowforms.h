#pragma once

// The readers of the forms a row comes in, each on its own: nothing where the text is not in
// that form or does not hold a whole row.

#include "fractions/entry.h"

#include <QString>

#include <limits>
#include <optional>
#include <vector>

namespace markup {

using Row = std::vector<fractions::Entry>;

// The table exactly as tableText() writes it, in either page mode, with LF or CR LF line ends,
// anywhere in `text`: every cell byte for byte.
std::optional<Row> readOwnTable(QStringView text);

// The first table of three rows or MathML formula in an HTML document that reads as a row: a
// table's cells as their markup stands in the document, a formula's tokens as the text they show.
std::optional<Row> readHtmlRow(const QString &html);

// A TeX formula, bare or in the delimiters of TeX, Markdown and Hatena Blog; each text as it shows.
std::optional<Row> readTexRow(QStringView text);

// A formula alone, as KaTeX keeps it beside its MathML.
std::optional<Row> readTexFormula(QStringView formula);

// One line of plain text with a fraction in it: "1/2 + ¾ = (a+b)/c".
std::optional<Row> readTextRow(QStringView text);

// Texts read from a form that keeps no markup, as cells that show them: escaped where a "<" or
// "&" would be read as markup. Of a row longer than `mostEntries`, one entry more is kept.
std::optional<Row> asCells(std::optional<Row> row,
                           size_t mostEntries = std::numeric_limits<size_t>::max() - 1);

} // namespace markup
