#include "markup/rowforms.h"
#include "markup/texcommands.h"
#include "markup/texttokens.h"

#include <QStringList>

#include <cctype>
#include <string_view>
#include <utility>

using namespace Qt::StringLiterals;

namespace markup {
namespace {

// Groups, arguments, scripts and texts nest no deeper than this, together, in any formula a person
// writes; a deeper one is refused rather than read by a recursion as deep as the formula is long.
constexpr int MaxDepth = 200;

// One piece of a formula in math mode.
struct Piece {
    enum Kind { Text, Operator, Fraction, Space, Over, Close, End, Nothing } kind;
    QString text;
    QString denominator;
};

class TexReader {
public:
    explicit TexReader(QStringView tex)
        : tex_(tex) {}

    std::optional<Row> row() {
        Row row;
        std::optional<QString> text;
        std::optional<size_t> over;
        const auto flush = [&] {
            if (text) {
                row.push_back({*text, {}});
                text.reset();
            }
        };
        for (;;) {
            Piece piece = next(0);
            if (failed_ || piece.kind == Piece::Close) {
                return std::nullopt;
            }
            if (piece.kind == Piece::End) {
                break;
            }
            if (piece.kind == Piece::Text) {
                // Appended in place: one entry may be millions of characters long.
                if (!text) {
                    text.emplace();
                }
                *text += piece.text;
                continue;
            }
            flush();
            if (piece.kind == Piece::Operator) {
                row.push_back({piece.text, {}});
            } else if (piece.kind == Piece::Fraction) {
                row.push_back({piece.text, piece.denominator});
            } else if (piece.kind == Piece::Over) {
                over = row.size();
            }
        }
        flush();
        if (over) {
            // "a \over b" with no braces around: the whole formula is one fraction.
            const auto joined = [&](size_t from, size_t to) {
                QStringList parts;
                for (size_t i = from; i < to; ++i) {
                    parts += row[i].isFraction() ? row[i].numerator + u'/' + row[i].denominator
                                                 : row[i].numerator;
                }
                return parts.join(QString());
            };
            row = {{joined(0, *over), joined(*over, row.size())}};
        }
        if (row.empty()) {
            return std::nullopt;
        }
        return row;
    }

private:
    bool atEnd() const { return i_ >= tex_.size(); }
    QChar peek() const { return atEnd() ? QChar() : tex_[i_]; }

    Piece fail() {
        failed_ = true;
        return {Piece::End, {}, {}};
    }

    void skipSpaces() {
        while (!atEnd() && tex_[i_].isSpace()) {
            ++i_;
        }
    }

    QString commandName() {
        const qsizetype start = i_;
        while (!atEnd() &&
               ((tex_[i_] >= u'a' && tex_[i_] <= u'z') || (tex_[i_] >= u'A' && tex_[i_] <= u'Z'))) {
            ++i_;
        }
        if (i_ == start && !atEnd()) {
            ++i_;
        }
        return tex_.sliced(start, i_ - start).toString();
    }

    // A character by its code: \char"24, \char36, \char'44.
    Piece character() {
        skipSpaces();
        const QChar base = peek();
        const int radix = base == u'"' ? 16 : base == u'\'' ? 8 : 10;
        if (radix != 10) {
            ++i_;
        }
        const qsizetype start = i_;
        while (!atEnd() && tex_[i_].unicode() < 0x80 && std::isxdigit(tex_[i_].unicode()) &&
               (radix == 16 || (tex_[i_] >= u'0' && tex_[i_] < QChar(u'0' + radix)))) {
            ++i_;
        }
        bool ok = false;
        const uint code = tex_.sliced(start, i_ - start).toUInt(&ok, radix);
        if (!ok || code == 0 || code > 0x10ffff) {
            return fail();
        }
        const char32_t c = code;
        return {Piece::Text, QString::fromUcs4(&c, 1), {}};
    }

    // The first "]" from here, or -1: looked for once however many "\cfrac[" precede it.
    qsizetype closingBracket() {
        if (bracket_ >= 0 && bracket_ < i_) {
            bracket_ = tex_.indexOf(u']', i_);
        }
        return bracket_;
    }

    // A command's argument: a group, or one piece.
    std::optional<QString> argument(int depth) {
        skipSpaces();
        if (atEnd() || peek() == u'}') {
            failed_ = true;
            return std::nullopt;
        }
        // One character, not the run it starts: \frac12.
        if (!QStringView(u"\\{}%~$^_&").contains(peek())) {
            const qsizetype first = i_;
            characterAt(tex_, i_);
            ++i_;
            return tex_.sliced(first, i_ - first).toString();
        }
        const Piece piece = next(depth + 1);
        if (failed_ || piece.kind == Piece::Space || piece.kind == Piece::Over) {
            failed_ = true;
            return std::nullopt;
        }
        return piece.kind == Piece::Fraction ? piece.text + u'/' + piece.denominator : piece.text;
    }

    // The argument of \text and its kind, read in text mode: spaces kept, escapes read.
    std::optional<QString> textArgument(int depth) {
        skipSpaces();
        if (peek() != u'{') {
            return argument(depth);
        }
        ++i_;
        QString text;
        for (int level = 1; level > 0;) {
            if (atEnd()) {
                failed_ = true;
                return std::nullopt;
            }
            const QChar c = tex_[i_++];
            if (c == u'{') {
                if (depth + ++level > MaxDepth) {
                    failed_ = true;
                    return std::nullopt;
                }
            } else if (c == u'}') {
                --level;
            } else if (c == u'~') {
                text += QChar(0xa0);
            } else if (c != u'\\') {
                text += c;
            } else {
                const QString name = commandName();
                if (name.size() == 1 && QStringView(u"%$&#_{} ").contains(name[0])) {
                    text += name;
                } else if (name == u"textbackslash" || name == u"textasciicircum") {
                    text += name == u"textbackslash" ? u'\\' : u'^';
                } else if (!isSpacing(name) && !name.isEmpty()) {
                    text += u'\\' + name;
                }
            }
        }
        return text;
    }

    // A group after its "{", up to its "}": one text, or a fraction where it holds \over.
    Piece group(int depth) {
        QString text;
        std::optional<QString> numerator;
        for (;;) {
            const Piece piece = next(depth + 1);
            if (failed_ || piece.kind == Piece::End) {
                return fail();
            }
            if (piece.kind == Piece::Close) {
                break;
            }
            if (piece.kind == Piece::Over) {
                numerator = std::exchange(text, {});
            } else if (piece.kind == Piece::Fraction) {
                text += piece.text + u'/' + piece.denominator;
            } else {
                text += piece.text;
            }
        }
        if (numerator) {
            return {Piece::Fraction, *numerator, text};
        }
        return {Piece::Text, text, {}};
    }

    Piece command(int depth) {
        const QString name = commandName();
        if (name.isEmpty()) {
            return fail();
        }
        if (isFractionCommand(name)) {
            skipSpaces();
            if (name == u"cfrac" && peek() == u'[') {
                i_ = std::max(i_, closingBracket() + 1);
            }
            const auto numerator = argument(depth);
            const auto denominator = numerator ? argument(depth) : std::nullopt;
            if (!denominator) {
                return fail();
            }
            return {Piece::Fraction, *numerator, *denominator};
        }
        if (name == u"over") {
            return {Piece::Over, {}, {}};
        }
        if (isTextCommand(name) || isFontCommand(name) || name == u"hat") {
            const auto text = isTextCommand(name) ? textArgument(depth) : argument(depth);
            if (!text) {
                return fail();
            }
            return {Piece::Text, name == u"hat" ? u'^' + *text : *text, {}};
        }
        if (name == u"char") {
            return character();
        }
        if (name == u"verb" && !atEnd()) {
            // Its text as written, up to the character that opened it.
            const QChar delimiter = tex_[i_++];
            const qsizetype end = tex_.indexOf(delimiter, i_);
            if (end < 0) {
                return fail();
            }
            const QString text = tex_.sliced(i_, end - i_).toString();
            i_ = end + 1;
            return {Piece::Text, text, {}};
        }
        if (name == u"hspace" || name == u"kern") {
            return argument(depth) ? Piece{Piece::Space, {}, {}} : fail();
        }
        if (isSpacing(name)) {
            // A thin space is how TeX groups digits, "1\,000": it parts no entries.
            return {among(name, {u",", u"!", u":", u">", u";", u"thinspace", u"negthinspace",
                                 u"medspace", u"thickspace"})
                        ? Piece::Nothing
                        : Piece::Space,
                    {},
                    {}};
        }
        if (isIgnored(name)) {
            // \left and \right read nothing of their own but nest as groups do.
            lefts_ += name == u"left" ? 1 : name == u"right" && lefts_ > 0 ? -1 : 0;
            if (lefts_ > MaxDepth) {
                return fail();
            }
            // The delimiter "." of \left. and \right. is no character.
            if ((name == u"left" || name == u"right") && peek() == u'.') {
                ++i_;
            }
            return {Piece::Nothing, {}, {}};
        }
        if (name.size() == 1 && QStringView(u"%$&#_{}").contains(name[0])) {
            return {Piece::Text, name, {}};
        }
        for (const auto &[command, c] : CharacterCommands) {
            if (QStringView(command) == name) {
                return {
                    isOperatorCharacter(c) ? Piece::Operator : Piece::Text, QString(QChar(c)), {}};
            }
        }
        return {Piece::Text, u'\\' + name, {}};
    }

    // The next piece that is something: commands that only set a style, and "$", are passed over
    // without a recursion, however many follow one another.
    Piece next(int depth) {
        if (depth + lefts_ > MaxDepth) {
            return fail();
        }
        for (;;) {
            Piece found = piece(depth);
            if (found.kind != Piece::Nothing) {
                return found;
            }
        }
    }

    Piece piece(int depth) {
        if (atEnd()) {
            return {Piece::End, {}, {}};
        }
        const QChar c = tex_[i_];
        if (c.isSpace() || c == u'&') {
            ++i_;
            skipSpaces();
            return {Piece::Space, {}, {}};
        }
        ++i_;
        switch (c.unicode()) {
        case u'%': // a comment, to the end of its line
            i_ = tex_.indexOf(u'\n', i_);
            i_ = i_ < 0 ? tex_.size() : i_;
            return {Piece::Space, {}, {}};
        case u'{':
            return group(depth);
        case u'}':
            return {Piece::Close, {}, {}};
        case u'\\':
            return command(depth);
        case u'~':
            return {Piece::Text, QString(QChar(0xa0)), {}};
        case u'$': // what is left of delimiters
            return {Piece::Nothing, {}, {}};
        case u'^':
        case u'_':
            if (const auto script = argument(depth)) {
                return {Piece::Text, c + *script, {}};
            }
            return fail();
        default:
            break;
        }
        --i_;
        const qsizetype first = i_;
        if (isOperatorCharacter(characterAt(tex_, i_))) {
            ++i_;
            return {Piece::Operator, tex_.sliced(first, i_ - first).toString(), {}};
        }
        // A run of ordinary characters is one piece.
        for (++i_;
             !atEnd() && !QStringView(u"\\{}%~$^_&").contains(tex_[i_]) && !tex_[i_].isSpace();
             ++i_) {
            const qsizetype at = i_;
            if (isOperatorCharacter(characterAt(tex_, i_))) {
                i_ = at;
                break;
            }
        }
        return {Piece::Text, tex_.sliced(first, i_ - first).toString(), {}};
    }

    QStringView tex_;
    qsizetype i_ = 0;
    bool failed_ = false;
    qsizetype bracket_ = 0;
    // The \left delimiters open.
    int lefts_ = 0;
};

// The formula inside the delimiters the program and people put around it; a bare formula only
// where it holds a fraction.
std::optional<QStringView> formula(QStringView text) {
    text = text.trimmed();
    constexpr std::pair<QStringView, QStringView> Delimiters[] = {
        {u"<div>[tex:", u"]</div>"},
        {u"[tex:", u"]"},
        {u"```math", u"```"},
        {u"$$", u"$$"},
        {u"\\[", u"\\]"},
        {u"\\(", u"\\)"},
        {u"$", u"$"},
    };
    for (const auto &[open, close] : Delimiters) {
        if (text.size() < open.size() + close.size() || !text.startsWith(open) ||
            !text.endsWith(close)) {
            continue;
        }
        const QStringView inner =
            text.sliced(open.size(), text.size() - open.size() - close.size());
        // Math between single dollars, as Markdown reads it: no dollar inside, no space next to
        // either; otherwise "$5 or $6" would be a formula.
        if (open == u"$" && (inner.isEmpty() || inner.contains(u'$') || inner.front().isSpace() ||
                             inner.back().isSpace())) {
            return std::nullopt;
        }
        if (!inner.contains(open)) {
            return inner;
        }
    }
    for (const QStringView command : {u"\\frac", u"\\dfrac", u"\\tfrac", u"\\cfrac", u"\\over"}) {
        if (text.contains(command)) {
            return text;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<Row> readTexRow(QStringView text) {
    const auto tex = formula(text);
    if (!tex) {
        return std::nullopt;
    }
    return TexReader(*tex).row();
}

std::optional<Row> readTexFormula(QStringView formula) {
    return TexReader(formula).row();
}

} // namespace markup
