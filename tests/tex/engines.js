// The program's TeX for rows of every kind, as Markdown sites typeset it: KaTeX in its strict
// mode and MathJax 3 with the packages Qiita and GitHub load. Each formula must parse in both,
// hold its fractions, and read each entry's text in order, every character as itself.
//   node engines.js PRINTTEX    (NODE_PATH: the engines' node_modules)
"use strict";
if (!require("fs").existsSync(process.env.NODE_PATH ?? "")) {
  console.log("SKIPPED: the TeX engines are not installed (a build configured with " +
              "-DPEMVARO_FETCH_TEX_ENGINES=ON fetches them, as ./build.sh test does)");
  process.exit(77);
}
const { execFileSync } = require("child_process");
const katex = require("katex");
const { mathjax } = require("mathjax-full/js/mathjax.js");
const { TeX } = require("mathjax-full/js/input/tex.js");
const { STATE } = require("mathjax-full/js/core/MathItem.js");
const { liteAdaptor } = require("mathjax-full/js/adaptors/liteAdaptor.js");
const { RegisterHTMLHandler } = require("mathjax-full/js/handlers/html.js");
for (const name of ["base/Base", "ams/Ams", "newcommand/Newcommand", "noundefined/NoUndefined"]) {
  require(`mathjax-full/js/input/tex/${name}Configuration.js`);
}

// Entries as typed: [numerator, denominator] or [text]; `shown` the texts a reader sees where
// markup or spaces make them differ. `unknownToKatex`: characters outside the scripts KaTeX
// knows, which only its strict mode refuses.
const ROWS = [
  { row: [["1", "2"], ["+"], ["3", "4"]] },
  { row: [["\\ { } $ & # ^ _ % ~", "50%"], ["a_b^c"]] },
  { row: [["\\"], ["{"], ["}"], ["$"], ["&"], ["#"], ["^"], ["_"], ["%"], ["~"]] },
  { row: [["%", "$$"], ["\\end{aligned}"], ["\\\\"], ["}}"], ["{{"], ["$x$"]] },
  { row: [["分子", "分母"], ["＝"], ["約３割"], ["りんご 3 個", "人"]] },
  { row: [["<b>x</b>", "a&lt;b"], ["&amp;"], ["x &amp; y"]], shown: [["x", "a<b"], ["&"], ["x & y"]] },
  { row: [["<br>", "2"], [""], ["   "], ["3", "<i></i>"]], shown: [["", "2"], [""], [""], ["3", ""]] },
  { row: [["×"], ["÷"], ["−"], ["±"], ["·"], ["≤"], ["≥"], ["≠"], ["<"], [">"], ["="], ["("], [")"],
          ["＋"], ["→"], ["*"], ["|"], ["["], ["/"], [":"]] },
  { row: [["1,000", "3.14"], ["１２"], ["0"], ["-1"]] },
  { row: [["a\r\nb", "c\n\nd"], ["e\tf"]], shown: [["a b", "c d"], ["e f"]] },
  { row: [["a--b", "it's `q`"], ["2×3 cm"], ["α+β"], ["≒100"], ["x&lt;y&gt;z"]],
    shown: [["a--b", "it's `q`"], ["2×3 cm"], ["α+β"], ["≒100"], ["x<y>z"]] },
  { row: [["ｶﾅ", "①"], ["😀"], ["٣"]], unknownToKatex: true },
];

// Characters the engines write their own way for the same character; KaTeX's thin space
// (MathJax's is an <mspace>), which holds no character.
const SAME = { "−": "-", "∖": "\\", "∼": "~", "⋅": "·", "∣": "|", "∗": "*", "’": "'", "‘": "`", "\u00a0": " ",
               "\u2009": "" };
const reading = (text) => [...text].map((c) => SAME[c] ?? c).join("");
const expected = (entries) => entries.map((e) => (e.length > 1 ? `(${e[0]}/${e[1]})` : e[0])).join("");

RegisterHTMLHandler(liteAdaptor());
const tex = new TeX({ packages: ["base", "ams", "newcommand", "noundefined"],
                      formatError: (jax, error) => { throw error; } });
const document = mathjax.document("", { InputJax: tex });

// MathJax's MathML read: each fraction as (numerator/denominator); an undefined command, which
// MathJax shows in red, as an error.
function mathJaxReading(node) {
  if (node.attributes && node.attributes.get("mathcolor") === "red") {
    throw new Error(`undefined command ${node.getText ? node.getText() : ""}`);
  }
  if (node.isKind("merror")) throw new Error("merror");
  if (node.isKind("mfrac")) return `(${mathJaxReading(node.childNodes[0])}/${mathJaxReading(node.childNodes[1])})`;
  if (node.isToken) return node.getText();
  return node.childNodes.map(mathJaxReading).join("");
}

function katexReading(formula, unknownToKatex) {
  const strict = (code) => (unknownToKatex && code === "unknownSymbol" ? "ignore" : "error");
  const mathml = katex.renderToString(formula, { displayMode: true, output: "mathml", strict, throwOnError: true });
  const fractions = (mathml.match(/<mfrac>/g) || []).length;
  const text = mathml.replace(/<annotation[^]*<\/annotation>/, "").replace(/<[^>]*>/g, "")
    .replace(/&lt;/g, "<").replace(/&gt;/g, ">").replace(/&quot;/g, '"').replace(/&amp;/g, "&");
  return { fractions, text };
}

const formulas = JSON.parse(execFileSync(process.argv[2], { input: JSON.stringify(ROWS.map((r) => r.row)) }));
let failures = 0;
ROWS.forEach(({ row, shown = row, unknownToKatex }, k) => {
  const formula = formulas[k];
  const want = reading(expected(shown));
  const fractions = shown.filter((e) => e.length > 1).length;
  const faults = [];
  try {
    const read = reading(mathJaxReading(document.convert(formula, { display: true, end: STATE.CONVERT })));
    if (read !== want) faults.push(`MathJax reads ${JSON.stringify(read)}`);
  } catch (error) { faults.push(`MathJax: ${error.message}`); }
  try {
    const read = katexReading(formula, unknownToKatex);
    if (read.fractions !== fractions) faults.push(`KaTeX typesets ${read.fractions} fractions`);
    const text = reading(read.text);
    const plain = reading(shown.flat().join(""));  // KaTeX's MathML: the texts alone
    if (text !== plain) faults.push(`KaTeX reads ${JSON.stringify(text)}`);
  } catch (error) { faults.push(`KaTeX: ${error.message}`); }
  console.log(`${faults.length ? "FAIL" : "ok  "} ${formula}`);
  for (const fault of faults) console.log(`     ${fault}; expected ${JSON.stringify(want)}`);
  failures += faults.length ? 1 : 0;
});
process.exit(failures ? 1 : 0);
