#pragma once

// HTML read as HTML5's tokenizer reads it, as far as the reading of a cell needs: tags with the
// attributes that change how an element shows, comments, and the text of raw text elements.

#include <QString>

#include <gumbo.h>

namespace markup {

struct HtmlTag {
    GumboTag tag = GUMBO_TAG_UNKNOWN;
    QStringView name;
    qsizetype from = 0;
    qsizetype to = 0;
    bool selfClosing = false;
    bool hidden = false;
    bool open = false;
    bool presentational = false; // color, face or size
    qsizetype attributes = 0;
};

class HtmlTokens {
public:
    explicit HtmlTokens(QStringView text)
        : text_(text) {}

    QChar at(qsizetype i) const { return i < text_.size() ? text_[i] : QChar(); }
    // Reads the tag at `i`, whose "<" is followed by a letter or "/" and a letter; false if the
    // text ends inside it.
    bool readTag(qsizetype i, HtmlTag &tag) const;
    // The end of a comment whose text starts at `i`.
    qsizetype commentEnd(qsizetype i) const;
    // Where the raw text of an element named `name` ends: at its end tag.
    qsizetype rawTextEnd(qsizetype from, QStringView name) const;
    // Where the text of a script ends: at its end tag, outside what the tokenizer reads as a
    // script escaped ("<!--" to "-->") and in that, as a script again ("<script" to "</script").
    qsizetype scriptEnd(qsizetype j) const;

    // The tag as Gumbo must get it to read it in time: as typed, but where it has more attributes
    // than this, each name once. Gumbo keeps only the first of each name, but where the errors it
    // records are bounded, as here, it reads many repeated names in time with the square of
    // their number.
    static constexpr qsizetype MostAttributes = 64;
    QString withDistinctAttributes(const HtmlTag &tag) const;

private:
    // The name of the attribute at `start`.
    QStringView attributeName(qsizetype start) const;
    // Reads from `j` past the next attribute and returns where it starts; where the tag ends
    // instead, leaves `j` at its ">" and returns `j`, or -1 where the text ends inside the tag.
    qsizetype attribute(qsizetype &j, HtmlTag &tag) const;

    QStringView text_;
};

} // namespace markup
