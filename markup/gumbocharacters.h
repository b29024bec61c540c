#pragma once

// The characters of a cell as Gumbo must get them to read them as browsers do: Gumbo replaces
// controls and noncharacters that browsers keep.

#include <QString>

namespace markup {

// Whether `text` holds a character that Gumbo reads otherwise than browsers where a tokenizer
// state reads text as typed.
bool hasRewritten(QStringView text);

// Appends `text` as character data for Gumbo that reads as browsers read `text` there; `literal`
// text is read as typed, references and "<" included.
void appendText(QString &to, QStringView text, bool literal);

// Gumbo's text of appended text back as browsers read it: the controls U+0080 to U+009F, which go
// through Gumbo shifted, back in their place.
QString withoutShiftMarks(const QString &text);

} // namespace markup
