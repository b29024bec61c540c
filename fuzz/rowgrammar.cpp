// Rows made from a small grammar of what a clipboard holds, for the replay of fuzz_rowreader:
// pieces of tables and MathML, of TeX and of plain text, mixed.
#include "grammar.h"

namespace {

const std::vector<std::string> Pieces = fuzzgrammar::split(
    // HTML: the table, MathML, and what nests or misnests in Gumbo.
    "<table>|<tr>|<td>|<td rowspan=\"3\">|</td>|</tr>|</table>|<tbody>|<img src=\"x.gif\">|"
    "<math>|</math>|<mfrac>|</mfrac>|<mn>1</mn>|<mo>+</mo>|<mi>x</mi>|<mtext>a b</mtext>|<mrow>|"
    "</mrow>|<semantics>|<annotation encoding=\"application/x-tex\">|</annotation>|<select>|"
    "<optgroup>|<option>|<rp>|<ruby>|<div>|</x>|<x>|</y>|<b>|</b>|<p>|<li>|<svg>|<dialog>|<!--|"
    "-->|<meta charset=\"utf-8\">|&amp;|&lt;|"
    // TeX: every construct that nests, and the delimiters.
    "\\frac|\\dfrac|\\cfrac[|\\cfrac|]|{|}|^|_|\\text{|\\mathrm{|\\hat|\\left(|\\right)|\\left.|"
    "\\over|$|$$|\\(|\\)|\\[|\\]|%|\\char\"24|\\,|\\hspace{1em}|\\times|\\\\|~|&|"
    // Plain text: numbers, slashes, parentheses, fraction characters, the end of a sentence.
    "1|12|a|1/2|/|／|１|⁄|(|)|½|+|=|.|。| |\n",
    '|');

} // namespace

std::string generated(std::mt19937 &random) {
    std::string row;
    const int count = std::uniform_int_distribution<int>(1, 24)(random);
    for (int i = 0; i < count; ++i) {
        row += Pieces[std::uniform_int_distribution<size_t>(0, Pieces.size() - 1)(random)];
    }
    return row;
}
