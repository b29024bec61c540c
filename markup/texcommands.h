#pragma once

// The commands of TeX that the reading of a formula knows, by their names.

#include <QStringView>

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace markup {

// Commands that stand for one character: those the program writes and those people write most.
inline constexpr std::pair<std::u16string_view, char16_t> CharacterCommands[] = {
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

inline bool among(QStringView name, std::initializer_list<QStringView> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

inline bool isFractionCommand(QStringView name) {
    return among(name, {u"frac", u"dfrac", u"tfrac", u"cfrac"});
}
inline bool isTextCommand(QStringView name) {
    return among(name, {u"text", u"textrm", u"textnormal", u"textup", u"textit", u"textbf",
                        u"textsf", u"texttt", u"mbox"});
}
inline bool isFontCommand(QStringView name) {
    return among(name, {u"mathrm", u"mathit", u"mathbf", u"mathsf", u"mathtt", u"mathnormal",
                        u"operatorname", u"boldsymbol"});
}
inline bool isSpacing(QStringView name) {
    return among(name, {u",", u";", u":", u"!", u">", u" ", u"\\", u"quad", u"qquad", u"enspace",
                        u"thinspace", u"medspace", u"thickspace", u"negthinspace", u"space"});
}
inline bool isIgnored(QStringView name) {
    return among(name, {u"displaystyle", u"textstyle", u"scriptstyle", u"left", u"right", u"middle",
                        u"big", u"Big", u"bigg", u"Bigg", u"bigl", u"bigr", u"Bigl", u"Bigr",
                        u"limits", u"nolimits", u"mathstrut", u"strut"});
}

} // namespace markup
