#pragma once

#include <QByteArray>
#include <QString>

namespace markup {

// The cell written anew for Gumbo, as UTF-8, so that Gumbo reads it as Chromium reads the cell,
// in time in proportion to its length, however deep it nests.
QByteArray parserInput(QStringView cell);

// Gumbo's text of a parserInput() back as browsers read the cell: the controls U+0080 to U+009F,
// which go through Gumbo shifted, back in their place.
QString withoutShiftMarks(const QString &text);

} // namespace markup
