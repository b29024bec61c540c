// The program's TeX for rows of every kind, as Markdown sites typeset it: KaTeX in its strict
// mode and MathJax 3 with the packages Qiita and GitHub load, on the formula and on each site's
// text pasted between two paragraphs as the site's Markdown hands it over. Each must parse, hold
// its fractions, read each entry's text in order, every character as itself, and leave the
// paragraph after it a paragraph.
//   node engines.js PRINTTEX    (NODE_PATH: the engines' node_modules; cmark-gfm on the PATH)
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
const { pathToFileURL } = require("url");
const markdownIt = require("markdown-it");
const vscodeKatex = require("@vscode/markdown-it-katex").default;
const esm = (name) => import(pathToFileURL(require.resolve(name)).href);
// \verb as MathJax's browser bundles give it, loaded on first use.
for (const name of ["base/Base", "ams/Ams", "newcommand/Newcommand", "noundefined/NoUndefined", "verb/Verb"]) {
  require(`mathjax-full/js/input/tex/${name}Configuration.js`);
}

// Entries as typed: [numerator, denominator] or [text]; `shown` the texts a reader sees where
// markup or spaces make them differ. `unknownToKatex`: characters outside the scripts KaTeX
// knows, which only its strict mode refuses.
const ROWS = [
  { row: [["1", "2"], ["+"], ["3", "4"]] },
  { row: [["\\ { } $ & # ^ _ % ~", "50%"], ["a_b^c"], ["x^2"]] },
  { row: [["\\"], ["{"], ["}"], ["$"], ["&"], ["#"], ["^"], ["_"], ["%"], ["~"]] },
  { row: [["%", "$$"], ["\\end{aligned}"], ["\\\\"], ["}}"], ["{{"], ["$x$"]] },
  { row: [["分子", "分母"], ["＝"], ["約３割"], ["りんご 3 個", "人"]] },
  { row: [["<b>x</b>", "a&lt;b"], ["&amp;"], ["x &amp; y"]], shown: [["x", "a<b"], ["&"], ["x & y"]] },
  { row: [["<br>", "2"], [""], ["   "], ["3", "<i></i>"]], shown: [["", "2"], [""], [""], ["3", ""]] },
  { row: [["×"], ["÷"], ["−"], ["±"], ["·"], ["≤"], ["≥"], ["≠"], ["<"], [">"], ["="], ["("], [")"],
          ["＋"], ["→"], ["*"], ["|"], ["["], ["/"], [":"]] },
  { row: [["1,000", "3.14"], ["１２"], ["0"], ["-1"]] },
  { row: [["a\r\nb", "c\n\nd"], ["e\tf"]], shown: [["a b", "c d"], ["e f"]] },
  { row: [["a--b", "it's `q`"], ["2×3 cm"], ["α+β"], ["≒100"], ["x&lt;y&gt;z"], ["f''(x)", "``q''"]],
    shown: [["a--b", "it's `q`"], ["2×3 cm"], ["α+β"], ["≒100"], ["x<y>z"], ["f''(x)", "``q''"]] },
  { row: [["ｶﾅ", "①"], ["😀"], ["٣"]], unknownToKatex: true },
  { row: [["約 50%", "$5"], ["_*b*_"], ["{ }", "a & b"], ["#1"], ["^", "~"], ["<", "3"], ["＝"],
          ["日本語", "2"]] },
  // What Hatena Blog's Markdown mode needs escaped, and what ends its [tex:] notation.
  { row: [["[1]", "a]b"], ["["], ["]"], ["x_1 * y_2 \\ z"]] },
  { row: [["$$", "$"], ["```"], ["`"]] },
];

// Characters the engines write their own way for the same character; KaTeX's thin space
// (MathJax's is an <mspace>), which holds no character.
const SAME = { "−": "-", "∖": "\\", "∼": "~", "⋅": "·", "∣": "|", "∗": "*", "’": "'", "‘": "`", "\u00a0": " ",
               "\u2009": "" };
const reading = (text) => [...text].map((c) => SAME[c] ?? c).join("");
const expected = (entries) => entries.map((e) => (e.length > 1 ? `(${e[0]}/${e[1]})` : e[0])).join("");

RegisterHTMLHandler(liteAdaptor());
const tex = new TeX({ packages: ["base", "ams", "newcommand", "noundefined", "verb"],
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

// KaTeX's MathML, alone or among the HTML of a page, read: the fractions, and the texts alone.
function katexReading(html) {
  const maths = html.match(/<math[^]*?<\/math>/g) || [];
  if (maths.length !== 1 || /katex-error/.test(html)) throw new Error(`${maths.length} formulas: ${html}`);
  const fractions = (maths[0].match(/<mfrac>/g) || []).length;
  return { fractions, text: unescapeHtml(maths[0].replace(/<annotation[^]*<\/annotation>/, "").replace(/<[^>]*>/g, "")) };
}
const unescapeHtml = (html) => html.replace(/&lt;/g, "<").replace(/&gt;/g, ">").replace(/&quot;/g, '"')
  .replace(/&#(x?)([0-9a-f]+);/gi, (_, x, n) => String.fromCodePoint(parseInt(n, x ? 16 : 10))).replace(/&amp;/g, "&");
const katexMathml = (tex, strict) => katex.renderToString(tex, { displayMode: true, output: "mathml", strict, throwOnError: true });
const page = (text) => `前の段落。\n\n${text}\n後の段落。\n`;
function one(html, pattern) {
  const found = [...html.matchAll(pattern)];
  if (found.length !== 1) throw new Error(`${found.length} formulas: ${html}`);
  return unescapeHtml(found[0][1]);
}

// Each site's reading of its text: the page's HTML, the TeX it gives MathJax, its KaTeX's MathML.
// Qiita and GitHub typeset a math block with MathJax, GitLab with KaTeX. In Hatena Blog's Markdown
// mode, as its users describe it, a <div> is left as it is, and [tex:…] ends at the first "]".
const SITES = {
  engines: async (t, strict) => ({ tex: t.formula, mathml: katexMathml(t.formula, strict) }),
  zenn: async (t, strict, m) => {
    const html = await m.zenn.default(page(t.zenn));
    return { html, mathml: katexMathml(one(html, /<embed-katex display-mode="1">([^]*?)<\/embed-katex>/g), strict) };
  },
  vscode: async (t, strict) => ({ html: markdownIt().use(vscodeKatex, { strict }).render(page(t.dollars)) }),
  remark: async (t, strict, m) => {
    const file = await m.unified.unified().use(m.parse.default).use(m.math.default).use(m.rehype.default)
      .use(m.katex.default, { strict }).use(m.stringify.default).process(page(t.dollars));
    if (file.messages.length) throw new Error(String(file.messages[0]));
    return { html: String(file) };
  },
  cmark: async (t, strict) => {
    const html = execFileSync("cmark-gfm", { input: page(t.fence) }).toString();
    const tex = one(html, /<pre><code class="language-math">([^]*?)<\/code><\/pre>/g);
    return { html, tex, mathml: katexMathml(tex, strict) };
  },
  hatena: async (t) => ({ tex: (/^<div>\[tex:([^\]]*)\]<\/div>\n$/.exec(t.hatena) || [])[1] ?? "no [tex:] in a <div>" }),
};

async function main() {
  const m = Object.fromEntries(await Promise.all(Object.entries({ zenn: "zenn-markdown-html", unified: "unified",
    parse: "remark-parse", math: "remark-math", rehype: "remark-rehype", katex: "rehype-katex", stringify: "rehype-stringify",
  }).map(async ([key, name]) => [key, await esm(name)])));
  const texts = JSON.parse(execFileSync(process.argv[2], { input: JSON.stringify(ROWS.map((r) => r.row)) }));
  let failures = 0;
  for (const [k, { row, shown = row, unknownToKatex }] of ROWS.entries()) {
    const want = reading(expected(shown));
    const fractions = shown.filter((e) => e.length > 1).length;
    const plain = reading(shown.flat().join(""));  // KaTeX's MathML: the texts alone
    const strict = (code) => (unknownToKatex && code === "unknownSymbol" ? "ignore" : "error");
    const faults = [];
    for (const [site, render] of Object.entries(SITES)) {
      try {
        const { html, tex, mathml = html } = await render(texts[k], strict, m);
        if (html !== undefined && !/<p[^>]*>後の段落。<\/p>/.test(html)) faults.push(`${site}: no paragraph after it`);
        if (tex !== undefined) {
          const read = reading(mathJaxReading(document.convert(tex, { display: true, end: STATE.CONVERT })));
          if (read !== want) faults.push(`${site}: MathJax reads ${JSON.stringify(read)}`);
        }
        if (mathml !== undefined) {
          const read = katexReading(mathml);
          if (read.fractions !== fractions) faults.push(`${site}: KaTeX typesets ${read.fractions} fractions`);
          if (reading(read.text) !== plain) faults.push(`${site}: KaTeX reads ${JSON.stringify(reading(read.text))}`);
        }
      } catch (error) { faults.push(`${site}: ${error.message}`); }
    }
    console.log(`${faults.length ? "FAIL" : "ok  "} ${texts[k].formula}`);
    for (const fault of faults) console.log(`     ${fault}; expected ${JSON.stringify(want)}`);
    failures += faults.length ? 1 : 0;
  }
  process.exit(failures ? 1 : 0);
}
main();
