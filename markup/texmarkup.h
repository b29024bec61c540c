#pragma once

#include "fractions/entry.h"

#include <QString>

namespace markup {

// What the sites' engines take besides TeX's common ground.
enum class TexDialect {
    Common,     // KaTeX and MathJax alike
    KatexOnly,  // no "$" anywhere: a "$" is \char"24, which MathJax does not know
    NoBrackets, // no "[" or "]": they are \lbrack and \rbrack
};

// The entries as TeX display math for pages that typeset it with KaTeX or MathJax: a line "$$",
// the formula on one line, a line "$$", each followed by a line feed. Each fraction entry is
// \frac{numerator}{denominator}, the other entries stand between, in list order, one space apart.
// A text goes in as the table's cell shows it (see shownText()): a number of ASCII digits as it
// is, one operator character as TeX writes it, anything else as \text{} runs with TeX's own
// characters between them in math mode, so that every character reads as itself and none ends
// the math, comments, unbalances a brace or runs a command. An empty plain entry, and no entries
// at all, is "{}".
QString texText(const fractions::EntrySource &entries);

// For Zenn and note, whose Markdown takes "$$" lines around a formula that holds no "$", and
// KaTeX: texText() with each "$" as \char"24.
QString texTextWithoutDollar(const fractions::EntrySource &entries);

// For Qiita, GitHub and GitLab, whose Markdown eats the backslash before punctuation everywhere
// but in a code block: the formula in a fenced block of the language "math", which reaches MathJax
// or KaTeX as written.
QString texMathFenceText(const fractions::EntrySource &entries);

// For Hatena Blog in its Markdown mode: the formula in its [tex:] notation, in display style, in a
// <div>, inside which Markdown changes nothing; its "[" and "]" as commands, since the notation
// ends at the first "]". One line and a line feed.
QString texHatenaText(const fractions::EntrySource &entries);

// The formula, on one line, alone: what texText() puts between its "$$" lines.
QString texFormula(const fractions::EntrySource &entries, TexDialect dialect = TexDialect::Common);

} // namespace markup
