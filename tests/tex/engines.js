// The program's TeX for rows of every kind, as Markdown sites typeset it: KaTeX in its strict
// mode and MathJax 3 with the packages Qiita and GitHub load. Each formula must parse in both,
// hold its fractions, and read each entry's text in order, every character as itself. Then each
// site's text as its Markdown reads it between two paragraphs: Zenn's renderer, VS Code's
// preview, remark-math with rehype-katex, cmark-gfm (Qiita, GitHub, GitLab) with MathJax and
// KaTeX on the math block, and Hatena Blog's Markdown mode as its users describe it.
//   node engines.js PRINTTEX    (NODE_PATH: the engines' node_modules; cmark-gfm on the PATH)
"use strict";
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
  { row: [["約 50%", "$5"], ["_*b*_"], ["{ }", "a & b"], ["#1"], ["^", "~"], ["<", "3"], ["＝"],
          ["日本語", "2"]] },
  // What Hatena Blog's Markdown mode needs escaped, and what ends its [tex:] notation.
  { row: [["[1]", "a]b"], ["["], ["]"], ["x_1 * y_2 \\ z"]] },
  { row: [["$$", "$"], ["```"], ["`"]] },
];

// Characters the engines write their own way for the same character; KaTeX's thin space
// (MathJax's is an <mspace>), which holds no character.
const SAME = { "“": "``", "−": "-", "∖": "\\", "∼": "~", "⋅": "·", "∣": "|", "∗": "*", "’": "'", "‘": "`", "\u00a0": " ",
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

// KaTeX's MathML (as the Markdown plugins write it, besides its HTML) read: the fractions, and
// the texts alone.
function mathmlReading(html) {
  const maths = html.match(/<math[^]*?<\/math>/g) || [];
  if (maths.length !== 1 || /katex-error/.test(html)) throw new Error(`${maths.length} formulas: ${html}`);
  const fractions = (maths[0].match(/<mfrac>/g) || []).length;
  const text = unescapeHtml(maths[0].replace(/<annotation[^]*<\/annotation>/, "").replace(/<[^>]*>/g, ""));
  return { fractions, text };
}

const unescapeHtml = (html) => html.replace(/&lt;/g, "<").replace(/&gt;/g, ">").replace(/&quot;/g, '"')
  .replace(/&#(x?)([0-9a-f]+);/gi, (_, x, n) => String.fromCodePoint(parseInt(n, x ? 16 : 10))).replace(/&amp;/g, "&");
const strictness = (unknownToKatex) => (code) => (unknownToKatex && code === "unknownSymbol" ? "ignore" : "error");
const BEFORE = "前の段落。", AFTER = "後の段落。";
const esm = (name) => import(pathToFileURL(require.resolve(name)).href);

// Each site's page of the row's text between two paragraphs, read back as one formula: what the
// site gives MathJax (a TeX string) or the MathML of its KaTeX.
const SITES = {
  async zenn(text, unknownToKatex) {
    const { default: markdownToHtml } = await esm("zenn-markdown-html");
    const html = await markdownToHtml(`${BEFORE}\n\n${text}\n${AFTER}\n`);
    const found = [...html.matchAll(/<embed-katex display-mode="1">([^]*?)<\/embed-katex>/g)];
    if (found.length !== 1) throw new Error(`${found.length} formulas: ${html}`);
    return { html, katex: katexReading(unescapeHtml(found[0][1]), unknownToKatex) };
  },
  async vscode(text, unknownToKatex) {
    const md = markdownIt().use(vscodeKatex, { strict: strictness(unknownToKatex) });
    const html = md.render(`${BEFORE}\n\n${text}\n${AFTER}\n`);
    return { html, katex: mathmlReading(html) };
  },
  async remark(text, unknownToKatex) {
    const [unified, parse, math, rehype, katex, stringify] = await Promise.all(
      ["unified", "remark-parse", "remark-math", "remark-rehype", "rehype-katex", "rehype-stringify"].map(esm));
    const file = await unified.unified().use(parse.default).use(math.default).use(rehype.default)
      .use(katex.default, { strict: strictness(unknownToKatex) }).use(stringify.default)
      .process(`${BEFORE}\n\n${text}\n${AFTER}\n`);
    if (file.messages.length) throw new Error(String(file.messages[0]));
    return { html: String(file), katex: mathmlReading(String(file)) };
  },
  // GitLab typesets the block with KaTeX, Qiita and GitHub with MathJax.
  async cmark(text, unknownToKatex) {
    const html = execFileSync("cmark-gfm", { input: `${BEFORE}\n\n${text}\n${AFTER}\n` }).toString();
    const found = [...html.matchAll(/<pre><code class="language-math">([^]*?)<\/code><\/pre>/g)];
    if (found.length !== 1) throw new Error(`${found.length} math blocks: ${html}`);
    const tex = unescapeHtml(found[0][1]);
    return { html, mathJax: tex, katex: katexReading(tex, unknownToKatex) };
  },
  // In Markdown mode a <div> block is left as it is; in it [tex:…] ends at the first "]", and
  // MathJax typesets what it holds.
  async hatena(text) {
    const found = /^<div>\[tex:([^\]]*)\]<\/div>\n$/.exec(text);
    if (!found) throw new Error("not one [tex:] in a <div> line");
    return { html: `<p>${AFTER}</p>`, mathJax: found[1] };
  },
};
const FORMS = { zenn: "zenn", vscode: "dollars", remark: "dollars", cmark: "fence", hatena: "hatena" };

async function main() {
  const texts = JSON.parse(execFileSync(process.argv[2], { input: JSON.stringify(ROWS.map((r) => r.row)) }));
  let failures = 0;
  for (const [k, { row, shown = row, unknownToKatex }] of ROWS.entries()) {
    const { formula } = texts[k];
    const want = reading(expected(shown));
    const fractions = shown.filter((e) => e.length > 1).length;
    const plain = reading(shown.flat().join(""));  // KaTeX's MathML: the texts alone
    const faults = [];
    const checkMathJax = (tex, who) => {
      try {
        const read = reading(mathJaxReading(document.convert(tex, { display: true, end: STATE.CONVERT })));
        if (read !== want) faults.push(`${who}MathJax reads ${JSON.stringify(read)}`);
      } catch (error) { faults.push(`${who}MathJax: ${error.message}`); }
    };
    const checkKatex = (read, who) => {
      if (read.fractions !== fractions) faults.push(`${who}KaTeX typesets ${read.fractions} fractions`);
      const text = reading(read.text);
      if (text !== plain) faults.push(`${who}KaTeX reads ${JSON.stringify(text)}`);
    };
    checkMathJax(formula, "");
    try { checkKatex(katexReading(formula, unknownToKatex), ""); } catch (error) { faults.push(`KaTeX: ${error.message}`); }
    for (const [site, form] of Object.entries(FORMS)) {
      try {
        const page = await SITES[site](texts[k][form], unknownToKatex);
        if (!new RegExp(`<p[^>]*>${AFTER}</p>`).test(page.html)) faults.push(`${site}: no paragraph after`);
        if (page.mathJax !== undefined) checkMathJax(page.mathJax, `${site}: `);
        if (page.katex !== undefined) checkKatex(page.katex, `${site}: `);
      } catch (error) { faults.push(`${site}: ${error.message}`); }
    }
    console.log(`${faults.length ? "FAIL" : "ok  "} ${formula}`);
    for (const fault of faults) console.log(`     ${fault}; expected ${JSON.stringify(want)}`);
    failures += faults.length ? 1 : 0;
  }
  process.exit(failures ? 1 : 0);
}
main();
