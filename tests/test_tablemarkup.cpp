#include "markup/mathmarkup.h"
#include "markup/rowreader.h"
#include "markup/showntext.h"
#include "markup/tablemarkup.h"
#include "markup/texmarkup.h"
#include "markup/textmarkup.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using fractions::Entry;
using fractions::EntryVector;
using markup::PageMode;

namespace {
const QString Head = u"<!-- 分数ここから -->"_s;
const QString Table = u"<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\">"_s;
const QString Tail = u"<!-- 分数ここまで -->"_s;
const QString DefaultImage = u"<td><img src=\"./fracline.gif\" width=\"100%\" height=\"1\"></td>"_s;

// For today's pages each cell holds its own against a theme's rules; the line is a border.
const QString Html5Line = u"<td style=\"height:0;padding:0;border:0;border-top:1px solid;"
                          u"line-height:0;font-size:0\"></td>"_s;
QString html5Cell(const QString &text, bool over = true) {
    return u"<td align=\"center\" style=\"text-align:center;vertical-align:%1;padding:0 0.1em;"
           u"border:0\">%2</td>"_s.arg(over ? u"bottom"_s : u"top"_s, text);
}
QString html5Plain(const QString &text) {
    return u"<td rowspan=\"3\" style=\"vertical-align:middle;padding:0 0.1em;border:0\">"_s + text +
           u"</td>"_s;
}

QStringList table(const QStringList &first, const QStringList &second, const QStringList &third,
                  const QString &tableLine = Table) {
    return QStringList{Head, tableLine, u"<tr>"_s} + first + QStringList{u"</tr>"_s, u"<tr>"_s} +
           second + QStringList{u"</tr>"_s, u"<tr>"_s} + third +
           QStringList{u"</tr>"_s, u"</table>"_s, Tail};
}
} // namespace

class TableMarkupTest : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void formulaName_data();
    void formulaName();
    void math_data();
    void math();
    void readBack_data();
    void readBack();
    void everyFormReadsBack();
};

void TableMarkupTest::lines_data() {
    QTest::addColumn<std::vector<Entry>>("entries");
    QTest::addColumn<QString>("path");
    QTest::addColumn<PageMode>("page");
    QTest::addColumn<QStringList>("expected");

    const QString path = u"./fracline.gif"_s;
    QTest::newRow("no entries: three empty rows")
        << std::vector<Entry>{} << path << PageMode::Transitional << table({}, {}, {});
    QTest::newRow("one fraction") << std::vector<Entry>{{u"1"_s, u"2"_s}} << path
                                  << PageMode::Transitional
                                  << table({u"<td align=\"center\">1</td>"_s}, {DefaultImage},
                                           {u"<td align=\"center\">2</td>"_s});
    QTest::newRow("fraction, plain, fraction")
        << std::vector<Entry>{{u"1"_s, u"2"_s}, {u"+"_s, {}}, {u"3"_s, u"4"_s}} << path
        << PageMode::Transitional
        << table({u"<td align=\"center\">1</td>"_s, u"<td rowspan=\"3\">+</td>"_s,
                  u"<td align=\"center\">3</td>"_s},
                 {DefaultImage, DefaultImage},
                 {u"<td align=\"center\">2</td>"_s, u"<td align=\"center\">4</td>"_s});
    QTest::newRow("empty numerators")
        << std::vector<Entry>{{{}, {}}, {{}, u"5"_s}} << path << PageMode::Transitional
        << table({u"<td rowspan=\"3\"></td>"_s, u"<td align=\"center\"></td>"_s}, {DefaultImage},
                 {u"<td align=\"center\">5</td>"_s});
    QTest::newRow("empty path") << std::vector<Entry>{{u"1"_s, u"2"_s}} << QString()
                                << PageMode::Transitional
                                << table({u"<td align=\"center\">1</td>"_s},
                                         {u"<td><img src=\"\" width=\"100%\" height=\"1\"></td>"_s},
                                         {u"<td align=\"center\">2</td>"_s});
    QTest::newRow("format characters, markup, quotes and any script, as typed")
        << std::vector<Entry>{{u"%1 %s %n %% &amp; <i>x</i>"_s, u"\"分母\" 😀 é"_s}, {u"%2"_s, {}}}
        << u"a\"b%1.gif"_s << PageMode::Transitional
        << table({u"<td align=\"center\">%1 %s %n %% &amp; <i>x</i></td>"_s,
                  u"<td rowspan=\"3\">%2</td>"_s},
                 {u"<td><img src=\"a\"b%1.gif\" width=\"100%\" height=\"1\"></td>"_s},
                 {u"<td align=\"center\">\"分母\" 😀 é</td>"_s});

    // For today's pages the table is a formula named by the row that sets its own layout against
    // a theme's, and each line is a cell's border; the texts are as for Make, the path unused.
    const auto html5Table = [](const QString &name) {
        return u"<table border=\"0\" cellspacing=\"0\" cellpadding=\"0\" role=\"math\" "
               u"aria-label=\"%1\" style=\"width:auto;min-width:0;margin:0;border:0;"
               u"border-collapse:separate;border-spacing:0.25em 0;line-height:1.2\">"_s.arg(name);
    };
    QTest::newRow("standards page: a formula named by the row, lines as borders")
        << std::vector<Entry>{{u"1"_s, u"2"_s}, {u"+"_s, {}}, {u"3"_s, u"4"_s}} << path
        << PageMode::Standards
        << table({html5Cell(u"1"_s), html5Plain(u"+"_s), html5Cell(u"3"_s)}, {Html5Line, Html5Line},
                 {html5Cell(u"2"_s, false), html5Cell(u"4"_s, false)}, html5Table(u"1/2 + 3/4"_s));
    QTest::newRow("standards page: cells as typed, the name escaped, no path")
        << std::vector<Entry>{{u"<b>1</b>"_s, u"\"x\" & y"_s}, {u"&amp;"_s, {}}} << u"a\"b%1.gif"_s
        << PageMode::Standards
        << table({html5Cell(u"<b>1</b>"_s), html5Plain(u"&amp;"_s)}, {Html5Line},
                 {html5Cell(u"\"x\" & y"_s, false)},
                 html5Table(u"1/(&quot;x&quot; &amp; y) &amp;"_s));
    QTest::newRow("standards page without entries: an empty name")
        << std::vector<Entry>{} << path << PageMode::Standards
        << table({}, {}, {}, html5Table(QString()));
}

void TableMarkupTest::lines() {
    QFETCH(std::vector<Entry>, entries);
    QFETCH(QString, path);
    QFETCH(PageMode, page);
    QFETCH(QStringList, expected);
    QCOMPARE(markup::tableText(EntryVector(entries), path, page), expected.join(u'\n') + u'\n');
}

// The name of the table for today's pages: the row as text, as the cells show it, and always a
// valid attribute value; and the row as plain text, on one line.
void TableMarkupTest::formulaName_data() {
    QTest::addColumn<std::vector<Entry>>("entries");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("fractions and plain entries between spaces")
        << std::vector<Entry>{{u"1"_s, u"2"_s},
                              {u"+"_s, {}},
                              {u"3"_s, u"4"_s},
                              {u"="_s, {}},
                              {u"x"_s, {}}}
        << u"1/2 + 3/4 = x"_s << u"½ + ¾ = x"_s;
    QTest::newRow("parts of more than one term in parentheses")
        << std::vector<Entry>{{u"a+b"_s, u"c"_s}, {u"1.5"_s, u"-2"_s}, {u"x²"_s, u"2 y"_s}}
        << u"(a+b)/c 1.5/(-2) x²/(2 y)"_s << u"(a+b)/c 1.5/(-2) x²/(2 y)"_s;
    QTest::newRow("empty texts: plain entries left out, fraction parts empty")
        << std::vector<Entry>{{{}, {}}, {{}, u"5"_s}, {u" "_s, {}}, {u"1"_s, u"<b></b>"_s}}
        << u"/5 1/"_s << u"/5 1/"_s;
    QTest::newRow("tags, comments and hidden elements left out, a line break or a block a space")
        << std::vector<Entry>{{u"<b>1</b><!-- a > b --><style>s</style>"_s, u"2<br>3"_s},
                              {u"<span title=\"a>b\">c</span>x<div>y</div><dialog>d</dialog>"
                               u"<details>e<summary>z</summary></details><b hidden>h</b><b"_s,
                               {}},
                              {u"p<div>q</div>r"_s, {}}}
        << u"1/(2 3) cx y z p q r"_s << u"1/(2 3) cx y z p q r"_s;
    QTest::newRow("a \"<\" that starts no tag is text")
        << std::vector<Entry>{{u"1 < 2 <3"_s, {}}} << u"1 &lt; 2 &lt;3"_s << u"1 < 2 <3"_s;
    QTest::newRow("references read as HTML5 reads them, then escaped")
        << std::vector<Entry>{{u"&amp;"_s, {}},
                              {u"&minus;1"_s, u"&#x32;&#51;"_s},
                              {u"&lt;b&gt; &quot;&nbsp;&frac12;&lang;&frac13;&copy 2 &#150;"_s, {}}}
        << u"&amp; (−1)/23 &lt;b&gt; &quot;\u00a0½⟨⅓© 2 –"_s << u"& (−1)/23 <b> \"\u00a0½⟨⅓© 2 –"_s;
    QTest::newRow("unknown references are text, old names read without \";\"")
        << std::vector<Entry>{{u"AT&T &foo; &#; &#x; &notit; &amp"_s, {}}}
        << u"AT&amp;T &amp;foo; &amp;#; &amp;#x; ¬it; &amp;"_s << u"AT&T &foo; &#; &#x; ¬it; &"_s;
    QTest::newRow("references to no character read U+FFFD")
        << std::vector<Entry>{{u"&#0;&#xD800;&#x110000;&#99999999999;"_s, {}}}
        << u"\ufffd\ufffd\ufffd\ufffd"_s << u"\ufffd\ufffd\ufffd\ufffd"_s;
    QTest::newRow("white space collapsed, no-break spaces and control characters kept")
        << std::vector<Entry>{{u" a \t\n b\u0001\u0085 "_s, {}},
                              {u"😀"_s, u"&#x1F600;"_s},
                              {u"&nbsp;x <i>\u00a0</i> "_s, {}},
                              {u"\u0001<b>\ufffe</b>\U0001ffff"_s, {}},
                              {u"a  b"_s, {}},
                              {u"<b>\u0085</b><xmp>\u0001&#1;\u0085</xmp>"_s,
                               u"<math><mi><![CDATA[\u0001]]></mi></math>"_s},
                              {u"<i>\U000f0000&#983040;\U000f0085</i>"_s, {}}}
        << u"a b\u0001\u0085 😀/😀 \u00a0x \u00a0 \u0001\ufffe\U0001ffff a b "
           u"(\u0085 \u0001&amp;#1;\u0085)/\u0001 \U000f0000\U000f0000\U000f0085"_s
        << u"a b\u0001  😀/😀 \u00a0x \u00a0 \u0001\ufffe\U0001ffff a b "
           u"(  \u0001&#1; )/\u0001 \U000f0000\U000f0000\U000f0085"_s;
    // Chromium keeps a page's elements 512 deep, a cell's 507 under the table's; those deeper
    // stand beside the last kept, each with its own text. No cell takes long to read, however deep.
    // Nor does one nest deep as Gumbo reads it alone: the tags that leave foreign content, or
    // formatting elements reopened around each text.
    QString reopened;
    for (int i = 0; i < 100; ++i) {
        reopened += u"<b class=%1>"_s.arg(i);
    }
    reopened = u"<div>"_s + reopened + u"</div>x"_s;
    QTest::newRow("cells deeper than browsers keep, read at once")
        << std::vector<Entry>{{u"<span>"_s.repeated(507) + u"a<span>b</span>c"_s,
                               u"<div>"_s.repeated(300000) + u"d"_s},
                              {u"<b>"_s.repeated(300000) + u"e"_s, {}},
                              {u"<table><td>"_s.repeated(100000) + u"f"_s, {}},
                              {u"<svg>"_s + u"<br>"_s.repeated(500000) + u"g"_s, {}},
                              {u"<svg><area>"_s.repeated(300000) + u"h"_s, {}},
                              {u"<span>"_s.repeated(506) + u"a<span>b</span>c"_s, {}},
                              {u"<svg>"_s + u"<p>"_s.repeated(50000) + u"</x>"_s.repeated(50000),
                               reopened.repeated(1000)}}
        << u"acb/d e f g abc /("_s + u"x "_s.repeated(999) + u"x)"_s
        << u"acb/d e f g abc /("_s + u"x "_s.repeated(999) + u"x)"_s;
    // Gumbo takes a tag's repeated attributes in time with the square of their number: it gets
    // each name once, the first, which is all it keeps.
    QTest::newRow("tags of many attributes read as Gumbo reads them")
        << std::vector<Entry>{{u"<b"_s + u" hidden"_s.repeated(100) + u">x</b>y"_s,
                               u"<i a=1"_s + u" a"_s.repeated(100) + u" hidden/>z</i>w"_s},
                              {u"<b"_s + u" c=1"_s.repeated(100) + u">v</b"_s +
                                   u" a"_s.repeated(100) + u">u"_s,
                               {}}}
        << u"y/w vu"_s << u"y/w vu"_s;
    QTest::newRow("vulgar fractions where Unicode has one, of numbers only as typed")
        << std::vector<Entry>{{u"2"_s, u"3"_s},  {u"0"_s, u"3"_s},        {u"1"_s, u"10"_s},
                              {u"2"_s, u"4"_s},  {u"１"_s, u"２"_s},      {u"17"_s, u"23"_s},
                              {u" 1"_s, u"2"_s}, {u"<b>7</b>"_s, u"8"_s}, {u"a&#8232;b"_s, {}}}
        << u"2/3 0/3 1/10 2/4 １/２ 17/23 1/2 7/8 a\u2028b"_s << u"⅔ ↉ ⅒ 2/4 １/２ 17/23 ½ ⅞ a b"_s;
}

void TableMarkupTest::formulaName() {
    QFETCH(std::vector<Entry>, entries);
    QFETCH(QString, name);
    QFETCH(QString, text);
    QElapsedTimer timer;
    timer.start();
    const QString table = markup::tableText(EntryVector(entries), u"p"_s, PageMode::Standards);
    QCOMPARE_LT(timer.elapsed(), 20000);
    const QString prefix = u"aria-label=\""_s;
    const qsizetype start = table.indexOf(prefix) + prefix.size();
    QCOMPARE(table.mid(start, table.indexOf(u"\" style=\""_s, start) - start), name);
    QCOMPARE(markup::plainText(EntryVector(entries)), text);
}

void TableMarkupTest::math_data() {
    QTest::addColumn<std::vector<Entry>>("entries");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("tex");

    QTest::newRow("no entries: an empty formula")
        << std::vector<Entry>{} << QStringList{} << u"{}"_s;
    QTest::newRow("fraction, plain, fraction")
        << std::vector<Entry>{{u"1"_s, u"2"_s}, {u"+"_s, {}}, {u"3"_s, u"4"_s}}
        << QStringList{u"<mfrac><mn>1</mn><mn>2</mn></mfrac>"_s, u"<mo>+</mo>"_s,
                       u"<mfrac><mn>3</mn><mn>4</mn></mfrac>"_s}
        << u"\\frac{1}{2} + \\frac{3}{4}"_s;
    QTest::newRow("numbers of any script, with a decimal or group mark")
        << std::vector<Entry>{{u"１２"_s, u"3.14"_s},
                              {u"1,000"_s, u"𝟎.𝟏"_s},
                              {u"1."_s, u".5"_s},
                              {u"1.2.3"_s, {}}}
        << QStringList{u"<mfrac><mn>１２</mn><mn>3.14</mn></mfrac>"_s,
                       u"<mfrac><mn>1,000</mn><mn>𝟎.𝟏</mn></mfrac>"_s,
                       u"<mfrac><mtext>1.</mtext><mtext>.5</mtext></mfrac>"_s, u"<mn>1.2.3</mn>"_s}
        << u"\\frac{\\text{１２}}{3.14} \\frac{1{,}000}{\\text{𝟎.𝟏}} \\frac{\\text{1.}}{\\text{.5}} 1.2.3"_s;
    QTest::newRow("one operator character, white space aside")
        << std::vector<Entry>{{u"＝"_s, {}}, {u" × "_s, {}}, {u"-"_s, {}}, {u"("_s, {}},
                              {u"/"_s, {}},  {u"++"_s, {}},  {u"+1"_s, {}}}
        << QStringList{u"<mo>＝</mo>"_s,      u"<mo>×</mo>"_s, u"<mo>-</mo>"_s,
                       u"<mo>(</mo>"_s,       u"<mo>/</mo>"_s, u"<mtext>++</mtext>"_s,
                       u"<mtext>+1</mtext>"_s}
        << u"\\text{＝} \\times - ( / \\text{++} \\text{+1}"_s;
    QTest::newRow("other texts, empty ones included")
        << std::vector<Entry>{{u"分子"_s, u"x y"_s}, {{}, {}}, {{}, u"a"_s}}
        << QStringList{u"<mfrac><mtext>分子</mtext><mtext>x y</mtext></mfrac>"_s,
                       u"<mtext></mtext>"_s, u"<mfrac><mtext></mtext><mtext>a</mtext></mfrac>"_s}
        << u"\\frac{\\text{分子}}{\\text{x y}} {} \\frac{}{\\text{a}}"_s;
    QTest::newRow("markup: what the cell shows, escaped")
        << std::vector<Entry>{{u"<b>1</b>"_s, u"&minus;"_s},
                              {u"&lt;b&gt; & \"q\""_s, {}},
                              {u"</math><script>"_s, {}}}
        << QStringList{u"<mfrac><mn>1</mn><mo>−</mo></mfrac>"_s,
                       u"<mtext>&lt;b&gt; &amp; &quot;q&quot;</mtext>"_s, u"<mtext></mtext>"_s}
        << u"\\frac{1}{-} {\\lt}\\text{b}{\\gt}\\text{ }{\\&}\\text{ \"q\"} {}"_s;
    // TeX's own characters in math mode, text around them, no line break, no "--", "``" or "''"
    // in one run.
    QTest::newRow("TeX's characters, a caret as text, symbols, spaces and line breaks by reference")
        << std::vector<Entry>{{u"\\{}$&amp;#^_%~"_s, u"a--b``c''"_s},
                              {u"α×β&nbsp;x&#13;&#10;&#8232;y"_s, {}}}
        << QStringList{u"<mfrac><mtext>\\{}$&amp;#^_%~</mtext><mtext>a--b``c''</mtext></mfrac>"_s,
                       u"<mtext>α×β\u00a0x \u2028y</mtext>"_s}
        << u"\\frac{{\\backslash}{\\{}{\\}}{\\$}{\\&}{\\#}{\\verb|^|}{\\_}{\\%}{"
           u"\\sim}}"
           u"{\\text{a-}\\text{-b`}\\text{`c'}\\text{'}} {α}{\\times}{β}{~}\\text{x  y}"_s;
}

void TableMarkupTest::math() {
    QFETCH(std::vector<Entry>, entries);
    QFETCH(QStringList, expected);
    QFETCH(QString, tex);
    const QStringList lines =
        QStringList{u"<!-- 分数ここから -->"_s, u"<math display=\"block\">"_s} + expected +
        QStringList{u"</math>"_s, u"<!-- 分数ここまで -->"_s};
    QCOMPARE(markup::mathText(EntryVector(entries)), lines.join(u'\n') + u'\n');
    QCOMPARE(markup::texText(EntryVector(entries)), u"$$\n"_s + tex + u"\n$$\n"_s);
    // For Zenn and note, a "$" by its code and a caret by KaTeX's name; for Qiita, GitHub and
    // GitLab, the formula in a fence.
    QCOMPARE(markup::texTextWithoutDollar(EntryVector(entries)),
             u"$$\n"_s +
                 QString(tex)
                     .replace(u"\\$"_s, u"\\char\"24"_s)
                     .replace(u"\\verb|^|"_s, u"\\text{\\textasciicircum{}}"_s) +
                 u"\n$$\n"_s);
    QCOMPARE(markup::texMathFenceText(EntryVector(entries)), u"```math\n"_s + tex + u"\n```\n"_s);
}

// A row read back from a clipboard: its HTML where it has some, else its text; nothing from
// what holds no whole row.
void TableMarkupTest::readBack_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::vector<Entry>>("expected");

    const std::vector<Entry> row{{u"1"_s, u"2"_s}, {u"+"_s, {}}, {u"3"_s, u"4"_s}};
    const std::vector<Entry> none;
    const QString own =
        table({u"<td align=\"center\"><b>1</b> </td>"_s, u"<td rowspan=\"3\">a</td>\n<td>b</td>"_s,
               u"<td align=\"center\"></td>"_s},
              {DefaultImage, DefaultImage},
              {u"<td align=\"center\">&amp;2</td>"_s, u"<td align=\"center\">x<td></td>"_s})
            .mid(1, 15)
            .join(u"\r\n"_s) +
        u"\r\n"_s;
    QTest::newRow("own table, CR LF, no comments: cells byte for byte")
        << QString() << own
        << std::vector<Entry>{
               {u"<b>1</b> "_s, u"&amp;2"_s}, {u"a</td>\n<td>b"_s, {}}, {QString(), u"x<td>"_s}};
    QTest::newRow("as a browser hands it back: tbody, attributes reordered, an absolute path")
        << u"<html><body><!--StartFragment--><table cellpadding=\"0\" border=\"0\" "
           u"cellspacing=\"0\"><tbody><tr><td align=\"center\">1</td><td rowspan=\"3\">+</td>"
           u"<td align=\"center\">3</td></tr><tr><td><img width=\"100%\" "
           u"src=\"https://example.com/fracline.gif\" height=\"1\"></td><td><img></td></tr>"
           u"<tr><td align=\"center\">2</td><td align=\"center\">4</td></tr></tbody></table>"
           u"<!--EndFragment--></body></html>"_s
        << u"1/2 + 3/4"_s << row;
    QTest::newRow("MathML of another program, in rows, with an annotation")
        << QString()
        << u"<math><semantics><mrow><mfrac><mrow><mn>1</mn></mrow><mi> x </mi></mfrac>"
           u"<mo>&lt;</mo><mspace/><mtext>a&amp;b</mtext></mrow>"
           u"<annotation>\\frac{1}{x}</annotation></semantics></math>"_s
        << std::vector<Entry>{{u"1"_s, u"x"_s}, {u"<"_s, {}}, {u"a&b"_s, {}}};
    QTest::newRow("KaTeX's MathML: the TeX beside it")
        << u"<span class=\"katex\"><math><semantics><mrow><mtext>a</mtext><mi>%</mi><mo>+</mo>"
           u"</mrow><annotation encoding=\"application/x-tex\">\\text{a}{\\%} +</annotation>"
           u"</semantics></math><span aria-hidden=\"true\">a%+</span></span>"_s
        << QString() << std::vector<Entry>{{u"a%"_s, {}}, {u"+"_s, {}}};
    QTest::newRow("TeX as people write it")
        << QString()
        << u" \\[1\\,000\\dfrac{1}{4}\\times\\tfrac12 = {a \\over b+1}\\,\\cfrac{\\text{50\\% }x}"
           u"{\\mathrm{m}^2}\\le\\textrm{\\{\\$\\&\\#\\_\\}} \\left( \\pi \\right. \\] "_s
        << std::vector<Entry>{{u"1000"_s, {}},        {u"1"_s, u"4"_s}, {u"×"_s, {}},
                              {u"1"_s, u"2"_s},       {u"="_s, {}},     {u"a"_s, u"b+1"_s},
                              {u"50% x"_s, u"m^2"_s}, {u"≤"_s, {}},     {u"{$&#_}"_s, {}},
                              {u"("_s, {}},           {u"π"_s, {}}};
    QTest::newRow("TeX in $, markup characters as text")
        << QString() << u"$\\frac{}{x} \\pm \\text{<b>&}$"_s
        << std::vector<Entry>{{QString(), u"x"_s}, {u"±"_s, {}}, {u"&lt;b&gt;&amp;"_s, {}}};
    QTest::newRow("text as people type it")
        << QString() << u" ½ + 1⁄3 = (a+b)/c x/(2 y) １／２ 1/ / ＋ x+1 1/2+(3)/4 \t"_s
        << std::vector<Entry>{{u"1"_s, u"2"_s},   {u"+"_s, {}},       {u"1"_s, u"3"_s},
                              {u"="_s, {}},       {u"a+b"_s, u"c"_s}, {u"x"_s, u"2 y"_s},
                              {u"１"_s, u"２"_s}, {u"1/"_s, {}},      {u"/"_s, {}},
                              {u"＋"_s, {}},      {u"x+1"_s, {}},     {u"1"_s, u"2"_s},
                              {u"+"_s, {}},       {u"3"_s, u"4"_s}};
    QTest::newRow("HTML without a row: the text")
        << u"<p>hello</p>"_s << u"3/4"_s << std::vector<Entry>{{u"3"_s, u"4"_s}};
    QTest::newRow("empty") << QString() << QString() << none;
    QTest::newRow("prose") << QString() << u"Fractions are fun."_s << none;
    QTest::newRow("prose with a fraction") << QString() << u"Eat 1/2 of it, now"_s << none;
    QTest::newRow("prose over lines") << QString() << u"Half is 1/2.\nSo is 2/4."_s << none;
    QTest::newRow("half a table")
        << table({u"<td align=\"center\">1</td>"_s}, {DefaultImage}, {}).join(u'\n') << QString()
        << none;
    QTest::newRow("unbalanced braces") << QString() << u"$$\\frac{1}{2}}$$"_s << none;
    QTest::newRow("\\frac missing an argument") << QString() << u"$\\frac{1}$"_s << none;
    QTest::newRow("braces too deep")
        << QString() << u"\\frac{1}"_s + u"{"_s.repeated(100000) << none;
    // Every construct that nests counts toward the same depth: arguments, scripts, delimiters.
    QTest::newRow("fractions too deep") << QString() << u"\\frac"_s.repeated(100000) << none;
    QTest::newRow("scripts too deep")
        << QString() << u"$"_s + u"^"_s.repeated(200000) + u"x$"_s << none;
    QTest::newRow("delimiters and groups too deep")
        << QString()
        << u"\\left("_s.repeated(150) + u"{"_s.repeated(60) + u"\\frac12"_s + u"}"_s.repeated(60) +
               u"\\right)"_s.repeated(150)
        << none;
    QTest::newRow("cells without end tags are not deep")
        << u"<table><tr>"_s + u"<td>1"_s.repeated(5000) + u"<tr>"_s + u"<td>-"_s.repeated(5000) +
               u"<tr>"_s + u"<td>2"_s.repeated(5000)
        << QString() << std::vector<Entry>(5000, {u"1"_s, u"2"_s});
    QTest::newRow("elements too deep")
        << u"<table>"_s + u"<b>"_s.repeated(5000000) << QString() << none;
    // Pasted HTML is read by the same model of HTML's nesting as a cell: no deeper than browsers
    // keep a page's elements; a list box's groups and the options of a group close one another.
    const QString browserRow = u"<table><tbody><tr><td>1</td><td rowspan=\"3\">+</td><td>3</td>"
                               u"</tr><tr><td></td><td></td></tr><tr><td>2</td><td>4</td></tr>"
                               u"</tbody></table>"_s;
    QTest::newRow("a row as deep as browsers keep")
        << u"<div>"_s.repeated(508) + u"<select>"_s + u"<optgroup><option>"_s.repeated(20000) +
               u"</select>"_s + browserRow
        << QString() << row;
    QTest::newRow("rows deeper than that, as Gumbo would nest them")
        << u"<rp>"_s.repeated(513) + browserRow << u"<optgroup>"_s.repeated(410000) + u"<table>"_s
        << none;
    QTest::newRow("a tag of more attributes than Gumbo reads in time")
        << u"<p"_s + u" a"_s.repeated(65) + u">"_s + browserRow << QString() << none;
    QTest::newRow("long entries") << QString()
                                  << u"\\frac12 "_s + u"x"_s.repeated(4000000) + u" 1/2 "_s +
                                         u"\\text{y}"_s.repeated(800000)
                                  << std::vector<Entry>{
                                         {u"1"_s, u"2"_s}, {u"x"_s.repeated(4000000), {}},
                                         {u"1"_s, {}},     {u"/"_s, {}},
                                         {u"2"_s, {}},     {u"y"_s.repeated(800000), {}}};
    QTest::newRow("HTML too long to read: the text")
        << u"<img src=\"data:,"_s + u"x"_s.repeated(17000000) << u"1/2"_s
        << std::vector<Entry>{{u"1"_s, u"2"_s}};
    QTest::newRow("16 MB of prose") << QString() << u"a 1/2 "_s.repeated(2796203) << none;
}

void TableMarkupTest::readBack() {
    QFETCH(QString, html);
    QFETCH(QString, text);
    QFETCH(std::vector<Entry>, expected);
    QElapsedTimer timer;
    timer.start();
    const auto row = markup::readRow(html, text);
    // Far beyond what any reading takes, in the sanitizers' build too, and far below what one in
    // the square of its length takes; bench_markup measures it.
    QCOMPARE_LT(timer.elapsed(), 10000);
    QCOMPARE(row.value_or(std::vector<Entry>{}), expected);
}

// Random rows written in every form and read back: entries as typed where the form keeps
// markup, what the cells show where it does not, and the same text where it keeps no entries.
void TableMarkupTest::everyFormReadsBack() {
    const QStringList pieces{
        u"1"_s,     u"23"_s,     u"1,000"_s,    u"x"_s,  u"a b"_s, u"<b>7</b>"_s, u"&amp;"_s,
        u"&lt;i"_s, u"%"_s,      u"$"_s,        u"\\"_s, u"{"_s,   u"}"_s,        u"分数"_s,
        u"😀"_s,     u"\u2028"_s, u"+"_s,        u"×"_s,  u"="_s,   u"("_s,        u"^"_s,
        u"~"_s,     u"f''"_s,    u"--"_s,       u"[]"_s, u"#_"_s,  u"\u00a0"_s,   u" "_s,
        u"\"q\""_s, u"/"_s,      u"</td><td>"_s};
    // TeX and text have no line break but a space, and keep no runs of spaces.
    const auto spaced = [](QString text) {
        return text.replace(u'\u2028', u' ')
            .replace(QRegularExpression(u"^ +| +$"_s), {})
            .replace(QRegularExpression(u"  +"_s), u" "_s);
    };
    const auto texShown = [&](const QString &cell) { return spaced(markup::shownText(cell)); };
    const auto shownAll = [](const std::optional<std::vector<Entry>> &entries) {
        std::vector<Entry> shown;
        for (const Entry &entry : entries.value_or(std::vector<Entry>{})) {
            shown.push_back(
                {markup::shownText(entry.numerator), markup::shownText(entry.denominator)});
        }
        return shown;
    };
    QRandomGenerator random(20261208);
    int textRows = 0;
    for (int round = 0; round < 1000; ++round) {
        std::vector<Entry> entries;
        const auto text = [&] {
            QString t;
            for (int n = static_cast<int>(random.bounded(3)); n >= 0; --n) {
                t += pieces[static_cast<qsizetype>(random.bounded(pieces.size()))];
            }
            return random.bounded(8) == 0 ? QString() : t;
        };
        for (int n = static_cast<int>(random.bounded(1, 6)); n > 0; --n) {
            entries.push_back({text(), random.bounded(2) ? text() : QString()});
        }
        const EntryVector row(entries);
        std::vector<Entry> shown;
        std::vector<Entry> texEntries;
        for (const Entry &entry : entries) {
            shown.push_back(
                {markup::shownText(entry.numerator),
                 entry.isFraction() ? markup::shownText(entry.denominator) : QString()});
            texEntries.push_back({texShown(entry.numerator),
                                  entry.isFraction() ? texShown(entry.denominator) : QString()});
        }
        const auto read = [](const QString &text) {
            return markup::readRow({}, text).value_or(std::vector<Entry>{});
        };
        const QString ownTable = markup::tableText(row, u"./fracline.gif"_s);
        QCOMPARE(read(ownTable), entries);
        QCOMPARE(read(QString(ownTable).replace(u"\n"_s, u"\r\n"_s)), entries);
        const auto clipboard = markup::rowClipboard(entries);
        QCOMPARE(markup::readRow(clipboard.html, clipboard.text), entries);
        // As a browser hands it back, where no cell ends the cells early.
        if (std::none_of(entries.begin(), entries.end(), [](const Entry &entry) {
                return (entry.numerator + entry.denominator).contains(u"</td>"_s);
            })) {
            const QString html5 = markup::tableText(row, u"p"_s, PageMode::Standards);
            QCOMPARE(
                markup::readRow(
                    html5.sliced(html5.indexOf(u'\n') + 1).replace(u"<tr>\n"_s, u"<tbody><tr>"_s),
                    {}),
                entries);
        }
        QCOMPARE(shownAll(read(markup::mathText(row))), shown);
        for (const QString &tex : {markup::texText(row), markup::texTextWithoutDollar(row),
                                   markup::texMathFenceText(row), markup::texHatenaText(row)}) {
            QCOMPARE(shownAll(read(tex)), texEntries);
        }
        // Text keeps no entries, nor tells a plain "a/b" from a fraction: what it reads, it
        // writes again as text that reads the same. Text between TeX's delimiters is TeX.
        const QString plain = markup::plainText(row);
        const bool tex = plain.trimmed().contains(QRegularExpression(u"^(\\$|\\\\[(\\[])"_s));
        if (const auto entries = markup::readRow({}, plain); entries && !tex) {
            QCOMPARE(read(markup::plainText(EntryVector(*entries))), *entries);
            ++textRows;
        }
    }
    QCOMPARE_GT(textRows, 100);
}

QTEST_GUILESS_MAIN(TableMarkupTest)
#include "test_tablemarkup.moc"
