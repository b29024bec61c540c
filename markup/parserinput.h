#pragma once

#include <QByteArray>
#include <QString>

namespace markup {

// The cell written anew for Gumbo, as UTF-8, so that Gumbo reads it as Chromium reads the cell,
// in time in proportion to its length, however deep it nests.
QByteArray parserInput(QStringView cell);

// Whether Gumbo reads an HTML document as typed in time in proportion to its length, by the model
// of HTML's tree construction that parserInput() follows: its elements nest no deeper than
// `depth`, and no tag has more attributes than Gumbo reads in time. Deeper, Gumbo's own time grows
// with the square of the depth, and Gumbo 0.10 frees its tree by a recursion that overflows the
// stack.
bool readsInTime(QStringView html, qsizetype depth);

} // namespace markup
