#include "markup/texmarkup.h"

#include "markup/showntext.h"
#include "markup/texttokens.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace markup {
namespace {

// Characters TeX writes as a command in math mode: its own characters, which would end the
// math, comment or group there; "<" and ">", which Markdown could take for a tag; and the
// operators its authors write by name. KaTeX and MathJax read each alike. A caret is written
// apart (see mathCommand()).
constexpr std::pair<char32_t, const char16_t *> MathCommands[] = {
    {U'\\', u"\\backslash"}, {U'{', u"\\{"},    {U'}', u"\\}"},      {U'$', u"\\$"},
    {U'%', u"\\%"},          {U'#', u"\\#"},    {U'&', u"\\&"},      {U'_', u"\\_"},
    {U'~', u"\\sim"},        {U'<', u"\\lt"},   {U'>', u"\\gt"},     {U'\u00a0', u"~"},
    {U'×', u"\\times"},      {U'÷', u"\\div"},  {U'−', u"-"},        {U'±', u"\\pm"},
    {U'∓', u"\\mp"},         {U'·', u"\\cdot"}, {U'⋅', u"\\cdot"},   {U'≤', u"\\le"},
    {U'≥', u"\\ge"},         {U'≠', u"\\ne"},   {U'≈', u"\\approx"}, {U'≡', u"\\equiv"},
    {U'∞', u"\\infty"},      {U'→', u"\\to"},   {U'←', u"\\gets"},
};

// What some sites cannot take as the others write it: Zenn's Markdown ends its math at any "$"
// (KaTeX knows the character by its code), and Hatena Blog's [tex:] notation at the first "]".
QString mathCommand(char32_t c, TexDialect dialect) {
    if (dialect == TexDialect::KatexOnly && c == U'$') {
        return u"\\char\"24"_s;
    }
    // "^" is a superscript in math mode and in KaTeX's \text{}, \hat{} an accent, and MathJax
    // shows \text{} as written: the caret is KaTeX's text command where only KaTeX reads the
    // formula, text where only MathJax does, and \verb where either may (MathJax's bundles load
    // it when first used).
    if (c == U'^') {
        return dialect == TexDialect::KatexOnly    ? u"\\text{\\textasciicircum{}}"_s
               : dialect == TexDialect::NoBrackets ? u"\\text{^}"_s
                                                   : u"\\verb|^|"_s;
    }
    if (dialect == TexDialect::NoBrackets && (c == U'[' || c == U']')) {
        return c == U'[' ? u"\\lbrack"_s : u"\\rbrack"_s;
    }
    for (const auto &[character, command] : MathCommands) {
        if (character == c) {
            return QString::fromUtf16(command);
        }
    }
    return {};
}

// Mathematical symbols and Greek letters: KaTeX knows them in math mode only. Full-width forms
// are text to it, as CJK characters are.
bool isMathModeCharacter(char32_t c) {
    const bool fullWidth = c >= 0xff00 && c <= 0xffef;
    return c >= 0x80 && !fullWidth &&
           (QChar::category(c) == QChar::Symbol_Math || (c >= 0x370 && c <= 0x3ff));
}

QString fromCharacter(char32_t c) {
    return QString::fromUcs4(&c, 1);
}

// Line breaks, tabs and other controls never reach the formula: a blank line would end the
// display math in Markdown, and the engines reject controls.
bool isSpaceLike(char32_t c) {
    return c != 0x3000 && c != 0xa0 && (c < 0x20 || (c >= 0x7f && c < 0xa0) || QChar::isSpace(c));
}

// Text in \text{} runs, everything else in math mode between them, each piece in braces so
// that it keeps an ordinary symbol's spacing. A hyphen, quote or backquote after the same
// character starts a new run, since KaTeX reads "--" in text as a dash and "''" and "``" as
// double quotes.
QString textRuns(const QString &text, TexDialect dialect) {
    QString tex;
    QString run;
    const auto endRun = [&] {
        if (!run.isEmpty()) {
            tex += u"\\text{"_s + run + u'}';
            run.clear();
        }
    };
    for (const char32_t c : text.toUcs4()) {
        const QString command = mathCommand(c, dialect);
        if (!command.isEmpty() || isMathModeCharacter(c)) {
            endRun();
            tex += u'{' + (command.isEmpty() ? fromCharacter(c) : command) + u'}';
            continue;
        }
        if ((c == U'-' || c == U'\'' || c == U'`') && run.endsWith(QChar(c))) {
            endRun();
        }
        run += isSpaceLike(c) ? u" "_s : fromCharacter(c);
    }
    endRun();
    return tex;
}

bool isAsciiNumber(const QString &text) {
    return isNumber(text) &&
           std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

QString texOf(const QString &cellMarkup, TexDialect dialect) {
    const QString text = shownText(cellMarkup);
    if (isAsciiNumber(text)) {
        // A comma in braces groups digits without the space TeX puts after punctuation.
        return QString(text).replace(u',', u"{,}"_s);
    }
    if (isOperator(text)) {
        const char32_t c = text.toUcs4().front();
        const QString command = mathCommand(c, dialect);
        if (!command.isEmpty()) {
            return command;
        }
        if (c < 0x80 || isMathModeCharacter(c)) {
            return text;
        }
    }
    return textRuns(text, dialect);
}

} // namespace

QString texFormula(const fractions::EntrySource &entries, TexDialect dialect) {
    QStringList items;
    for (int i = 0; i < entries.entryCount(); ++i) {
        const fractions::Entry entry = entries.entry(i);
        if (entry.isFraction()) {
            items += u"\\frac{"_s + texOf(entry.numerator, dialect) + u"}{"_s +
                     texOf(entry.denominator, dialect) + u'}';
        } else {
            const QString item = texOf(entry.numerator, dialect);
            items += item.isEmpty() ? u"{}"_s : item;
        }
    }
    // No entries still make a line: an empty one would end the display math in Markdown.
    return items.isEmpty() ? u"{}"_s : items.join(u' ');
}

QString texText(const fractions::EntrySource &entries) {
    return u"$$\n"_s + texFormula(entries) + u"\n$$\n"_s;
}

QString texTextWithoutDollar(const fractions::EntrySource &entries) {
    return u"$$\n"_s + texFormula(entries, TexDialect::KatexOnly) + u"\n$$\n"_s;
}

QString texMathFenceText(const fractions::EntrySource &entries) {
    // The formula is one line that holds a command or a brace, never only backticks: nothing in it
    // can close the fence.
    return u"```math\n"_s + texFormula(entries) + u"\n```\n"_s;
}

QString texHatenaText(const fractions::EntrySource &entries) {
    return u"<div>[tex:\\displaystyle "_s + texFormula(entries, TexDialect::NoBrackets) +
           u"]</div>\n"_s;
}

} // namespace markup
