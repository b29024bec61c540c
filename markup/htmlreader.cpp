#include "markup/elementkinds.h"
#include "markup/parserinput.h"
#include "markup/rowforms.h"

#include <QByteArray>

#include <gumbo.h>

namespace markup {
namespace {

using Nodes = std::vector<const GumboNode *>;

// Gumbo takes time in proportion to the square of how deep elements nest, and Gumbo 0.10 frees
// them by a recursion as deep; browsers keep no more than 512 levels. A document that nests deeper
// is not a row copied from a page, and is not parsed.
constexpr qsizetype MaxOpenElements = 512;

// The HTML parser reads about 20 MB a second: a document longer than this, of some 25,000 entries
// copied from a page, would keep a paste waiting for a second.
constexpr qsizetype MaxParsedLength = 4 * 1024 * 1024;

bool isElement(const GumboNode *node, GumboTag tag) {
    return node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == tag;
}

Nodes childElements(const GumboNode *node) {
    Nodes children;
    const GumboVector &all = node->v.element.children;
    for (unsigned i = 0; i < all.length; ++i) {
        const auto *child = static_cast<const GumboNode *>(all.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT) {
            children.push_back(child);
        }
    }
    return children;
}

// The markup between an element's tags as the document holds it.
QString innerSource(const QByteArray &html, const GumboNode *node) {
    const GumboElement &element = node->v.element;
    const size_t begin = element.start_pos.offset + element.original_tag.length;
    const size_t end = element.end_pos.offset;
    if (element.original_tag.length == 0 || end <= begin ||
        end > static_cast<size_t>(html.size())) {
        return {};
    }
    return QString::fromUtf8(html.constData() + begin, static_cast<qsizetype>(end - begin));
}

// Text runs read as one space, none at either end, as in a MathML token.
QString collapsed(const QString &text) {
    QString out;
    bool space = false;
    for (const QChar c : text) {
        if (isHtmlSpace(c.unicode())) {
            space = !out.isEmpty();
        } else {
            if (space) {
                out += u' ';
                space = false;
            }
            out += c;
        }
    }
    return out;
}

QString textOf(const GumboNode *root) {
    QByteArray text;
    Nodes nodes{root};
    while (!nodes.empty()) {
        const GumboNode *node = nodes.back();
        nodes.pop_back();
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
            node->type == GUMBO_NODE_CDATA) {
            text += node->v.text.text;
        } else if (node->type == GUMBO_NODE_ELEMENT) {
            const GumboVector &children = node->v.element.children;
            for (unsigned i = children.length; i > 0; --i) {
                nodes.push_back(static_cast<const GumboNode *>(children.data[i - 1]));
            }
        }
    }
    return collapsed(QString::fromUtf8(text));
}

// A table of three rows: numerators and plain entries spanning them, as many line images and
// denominators as there are numerators. Browsers and editors add a <tbody> and reorder
// attributes; the cells' markup stays.
std::optional<Row> readTable(const QByteArray &html, const GumboNode *table) {
    Nodes rows;
    for (const GumboNode *child : childElements(table)) {
        if (isElement(child, GUMBO_TAG_TR)) {
            rows.push_back(child);
        } else if (isElement(child, GUMBO_TAG_TBODY) || isElement(child, GUMBO_TAG_THEAD) ||
                   isElement(child, GUMBO_TAG_TFOOT)) {
            for (const GumboNode *row : childElements(child)) {
                if (isElement(row, GUMBO_TAG_TR)) {
                    rows.push_back(row);
                }
            }
        }
    }
    if (rows.size() != 3) {
        return std::nullopt;
    }
    std::vector<Nodes> cells;
    for (const GumboNode *row : rows) {
        Nodes &rowCells = cells.emplace_back();
        for (const GumboNode *cell : childElements(row)) {
            if (isElement(cell, GUMBO_TAG_TD) || isElement(cell, GUMBO_TAG_TH)) {
                rowCells.push_back(cell);
            }
        }
    }
    Row entries;
    Nodes::const_iterator denominator = cells[2].begin();
    for (const GumboNode *cell : cells[0]) {
        const GumboAttribute *span = gumbo_get_attribute(&cell->v.element.attributes, "rowspan");
        if (span != nullptr && QByteArray(span->value).trimmed().toInt() >= 3) {
            entries.push_back({innerSource(html, cell), {}});
        } else if (denominator == cells[2].end()) {
            return std::nullopt;
        } else {
            entries.push_back({innerSource(html, cell), innerSource(html, *denominator++)});
        }
    }
    const auto fractions = static_cast<size_t>(denominator - cells[2].begin());
    if (entries.empty() || denominator != cells[2].end() || cells[1].size() != fractions) {
        return std::nullopt;
    }
    return entries;
}

const ElementSet MathRows("mrow mstyle mpadded mphantom semantics");
const ElementSet MathIgnored("mspace annotation annotation-xml none mprescripts");
const ElementSet MathFraction("mfrac");
const ElementSet MathAnnotation("annotation");

// A formula's fractions and tokens in order; rows and styles around them are looked through, and
// anything else (a power, a root) is one entry of the text it shows.
std::optional<Row> readMath(const GumboNode *math) {
    Row entries;
    Nodes items{math};
    while (!items.empty()) {
        const GumboNode *node = items.back();
        items.pop_back();
        const GumboElement &element = node->v.element;
        if (node == math || MathRows.contains(element)) {
            const Nodes children = childElements(node);
            // Of <semantics> only the formula counts, not its annotations.
            items.insert(items.end(), children.rbegin(), children.rend());
        } else if (MathFraction.contains(element)) {
            const Nodes parts = childElements(node);
            if (parts.size() != 2) {
                return std::nullopt;
            }
            entries.push_back({textOf(parts[0]), textOf(parts[1])});
        } else if (!MathIgnored.contains(element)) {
            entries.push_back({textOf(node), {}});
        }
    }
    if (entries.empty()) {
        return std::nullopt;
    }
    return entries;
}

// The TeX that KaTeX keeps beside the MathML it makes, as on a page of Zenn or GitLab: the row
// as it was written, where the MathML has each character of a text as a token of its own.
std::optional<Row> readTexAnnotation(const GumboNode *math) {
    for (const GumboNode *semantics : childElements(math)) {
        for (const GumboNode *annotation : childElements(semantics)) {
            const GumboAttribute *encoding =
                gumbo_get_attribute(&annotation->v.element.attributes, "encoding");
            if (MathAnnotation.contains(annotation->v.element) && encoding != nullptr &&
                qstrcmp(encoding->value, "application/x-tex") == 0) {
                return readTexFormula(textOf(annotation));
            }
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<Row> readHtmlRow(const QString &html) {
    if (html.size() > MaxParsedLength) {
        return std::nullopt;
    }
    if (!readsInTime(html, MaxOpenElements)) {
        return std::nullopt;
    }
    const QByteArray utf8 = html.toUtf8();
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    GumboOutput *output =
        gumbo_parse_with_options(&options, utf8.constData(), static_cast<size_t>(utf8.size()));
    std::optional<Row> row;
    Nodes nodes{output->root};
    while (!row && !nodes.empty()) {
        const GumboNode *node = nodes.back();
        nodes.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT) {
            continue;
        }
        if (isElement(node, GUMBO_TAG_TABLE)) {
            row = readTable(utf8, node);
        } else if (isElement(node, GUMBO_TAG_MATH)) {
            auto tex = readTexAnnotation(node);
            row = asCells(tex ? std::move(tex) : readMath(node));
            continue;
        }
        const GumboVector &children = node->v.element.children;
        for (unsigned i = children.length; i > 0; --i) {
            nodes.push_back(static_cast<const GumboNode *>(children.data[i - 1]));
        }
    }
    gumbo_destroy_output(&options, output);
    return row;
}

} // namespace markup
