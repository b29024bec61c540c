#include "markup/rowforms.h"
#include "markup/texttokens.h"

#include <QStringList>

#include <cctype>
#include <string_view>
#include <utility>

using namespace Qt::StringLiterals;

namespace markup {
namespace {

// Braces nest no deeper than this in any formula a person writes; a deeper one is refused
// rather than read by a recursion without end.
constexpr int MaxDepth = 200;

// Commands that stand for one character: those the program writes and those people write most.
constexpr std::pair<std::u16string_view, char16_t> Characters[] = {
    {u"backslash", u'\\'},
    {u"textbackslash", u'\\'},
    {u"textasciicircum", u'^'},
    {u"sim", u'~'},
    {u"lt", u'<'},
    {u"gt", u'>'},
    {u"times", u'×'},
    {u"div", u'÷'},
    {u"pm", u'±'},
    {u"mp", u'∓'},
    {u"cdot", u'·'},
    {u"le", u'≤'},
    {u"leq", u'≤'},
    {u"ge", u'≥'},
    {u"geq", u'≥'},
    {u"ne", u'≠'},
    {u"neq", u'≠'},
    {u"approx", u'≈'},
    {u"equiv", u'≡'},
    {u"infty", u'∞'},
    {u"to", u'→'},
    {u"rightarrow", u'→'},
    {u"gets", u'←'},
    {u"leftarrow", u'←'},
    {u"lbrack", u'['},
    {u"rbrack", u']'},
    {u"lbrace", u'{'},
    {u"rbrace", u'}'},
    {u"ast", u'*'},
    {u"colon", u':'},
    {u"vert", u'|'},
    {u"mid", u'|'},
    {u"ldots", u'…'},
    {u"dots", u'…'},
    {u"cdots", u'⋯'},
    {u"prime", u'′'},
    {u"circ", u'∘'},
    {u"langle", u'⟨'},
    {u"rangle", u'⟩'},
    {u"nobreakspace", u'\u00a0'},
    {u"alpha", u'α'},
    {u"beta", u'β'},
    {u"gamma", u'γ'},
    {u"delta", u'δ'},
    {u"epsilon", u'ϵ'},
    {u"varepsilon", u'ε'},
    {u"zeta", u'ζ'},
    {u"eta", u'η'},
    {u"theta", u'θ'},
    {u"iota", u'ι'},
    {u"kappa", u'κ'},
    {u"lambda", u'λ'},
    {u"mu", u'μ'},
    {u"nu", u'ν'},
    {u"xi", u'ξ'},
    {u"pi", u'π'},
    {u"rho", u'ρ'},
    {u"sigma", u'σ'},
    {u"tau", u'τ'},
    {u"upsilon", u'υ'},
    {u"phi", u'ϕ'},
    {u"varphi", u'φ'},
    {u"chi", u'χ'},
    {u"psi", u'ψ'},
    {u"omega", u'ω'},
    {u"Gamma", u'Γ'},
    {u"Delta", u'Δ'},
    {u"Theta", u'Θ'},
    {u"Lambda", u'Λ'},
    {u"Xi", u'Ξ'},
    {u"Pi", u'Π'},
    {u"Sigma", u'Σ'},
    {u"Phi", u'Φ'},
    {u"Psi", u'Ψ'},
    {u"Omega", u'Ω'},
};

bool among(QStringView name, std::initializer_list<QStringView> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isFractionCommand(QStringView name) {
    return among(name, {u"frac", u"dfrac", u"tfrac", u"cfrac"});
}
bool isTextCommand(QStringView name) {
    return among(name, {u"text", u"textrm", u"textnormal", u"textup", u"textit", u"textbf",
                        u"textsf", u"texttt", u"mbox"});
}
bool isFontCommand(QStringView name) {
    return among(name, {u"mathrm", u"mathit", u"mathbf", u"mathsf", u"mathtt", u"mathnormal",
                        u"operatorname", u"boldsymbol"});
}
bool isSpacing(QStringView name) {
    return among(name, {u",", u";", u":", u"!", u">", u" ", u"\\", u"quad", u"qquad", u"enspace",
                        u"thinspace", u"medspace", u"thickspace", u"negthinspace", u"space"});
}
bool isIgnored(QStringView name) {
    return among(name, {u"displaystyle", u"textstyle", u"scriptstyle", u"left", u"right", u"middle",
                        u"big", u"Big", u"bigg", u"Bigg", u"bigl", u"bigr", u"Bigl", u"Bigr",
                        u"limits", u"nolimits", u"mathstrut", u"strut"});
}

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
        const Piece piece = next(depth);
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
                ++level;
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
        if (depth > MaxDepth) {
            return fail();
        }
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
                i_ = std::max(i_, tex_.indexOf(u']', i_) + 1);
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
            // The delimiter "." of \left. and \right. is no character.
            if ((name == u"left" || name == u"right") && peek() == u'.') {
                ++i_;
            }
            return {Piece::Nothing, {}, {}};
        }
        if (name.size() == 1 && QStringView(u"%$&#_{}").contains(name[0])) {
            return {Piece::Text, name, {}};
        }
        for (const auto &[command, c] : Characters) {
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
