#include "markup/showntext.h"

#include "markup/elementkinds.h"
#include "markup/gumbocharacters.h"
#include "markup/parserinput.h"

#include <QList>
#include <QRegularExpression>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <gumbo.h>

namespace markup {
namespace {

// Text with runs of HTML white space read as one space, none at either end.
class CollapsedText {
public:
    void append(std::string_view text) {
        for (const char c : text) {
            if (isHtmlSpace(static_cast<unsigned char>(c))) {
                space_ = !text_.empty();
            } else {
                if (space_) {
                    text_ += ' ';
                    space_ = false;
                }
                text_ += c;
            }
        }
    }
    void breakLine() { space_ = !text_.empty(); }
    QString text() const { return QString::fromUtf8(text_); }

private:
    std::string text_;
    bool space_ = false;
};

bool hasAttribute(const GumboElement &element, const char *name) {
    return gumbo_get_attribute(&element.attributes, name) != nullptr;
}

bool isShown(const GumboNode &node) {
    const GumboElement &element = node.v.element;
    // Gumbo 0.10 still turns <isindex> into a form with a prompt; browsers no longer do.
    // An object shows its fallback content where it has nothing to load.
    return !Unshown.contains(element) && !hasAttribute(element, "hidden") &&
           !(element.tag == GUMBO_TAG_OBJECT && hasAttribute(element, "data")) &&
           !(Dialog.contains(element) && !hasAttribute(element, "open")) &&
           !(node.parse_flags & GUMBO_INSERTION_FROM_ISINDEX);
}

bool isIn(const GumboElement &element, GumboNamespaceEnum space, const ElementSet &set) {
    return element.tag_namespace == space && set.contains(element);
}

// Where text shows in SVG and MathML: in SVG's text elements and MathML's tokens, and in HTML
// inside either; a list box shows its options only.
const ElementSet SvgText("text foreignobject");
const ElementSet SvgUnshown("desc title metadata");
const ElementSet MathTokens("mi mn mo ms mtext");
const ElementSet MathUnshown("annotation annotation-xml");

// A MathML identifier of one letter is drawn in the mathematical italic of that letter.
char32_t mathItalic(char32_t c) {
    if (c == u'h') {
        return 0x210E; // the one letter of the block's range encoded elsewhere before
    }
    if (c >= u'A' && c <= u'Z') {
        return 0x1D434 + (c - u'A');
    }
    if (c >= u'a' && c <= u'z') {
        return 0x1D44E + (c - u'a');
    }
    if (c == 0x131 || c == 0x237) {
        return c == 0x131 ? 0x1D6A4 : 0x1D6A5; // dotless i and j
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) {
        return 0x1D6E2 + (c - 0x391);
    }
    if (c >= 0x3B1 && c <= 0x3C9) {
        return 0x1D6FC + (c - 0x3B1);
    }
    return c;
}

// The text of the tree under `root`, read depth first without recursion: a cell may nest
// elements as deep as it likes.
void readTree(const GumboNode *root, CollapsedText &shown, bool italics = true) {
    struct Step {
        const GumboNode *node;
        bool leaving;
        bool textShown; // text directly in the node shows
    };
    std::vector<Step> steps{{root, false, true}};
    while (!steps.empty()) {
        const Step step = steps.back();
        steps.pop_back();
        const GumboNode &node = *step.node;
        if (step.leaving) {
            shown.breakLine();
        } else if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_WHITESPACE ||
                   node.type == GUMBO_NODE_CDATA) {
            if (step.textShown) {
                shown.append(node.v.text.text);
            }
        } else if (node.type == GUMBO_NODE_ELEMENT && isShown(node) &&
                   !isIn(node.v.element, GUMBO_NAMESPACE_SVG, SvgUnshown) &&
                   !isIn(node.v.element, GUMBO_NAMESPACE_MATHML, MathUnshown)) {
            const GumboElement &element = node.v.element;
            const bool svg = element.tag_namespace == GUMBO_NAMESPACE_SVG;
            const bool math = element.tag_namespace == GUMBO_NAMESPACE_MATHML;
            const bool token = isIn(element, GUMBO_NAMESPACE_MATHML, MathTokens);
            bool textIn = step.textShown;
            if (svg || math) {
                textIn = (svg && element.tag != GUMBO_TAG_SVG && step.textShown) ||
                         isIn(element, GUMBO_NAMESPACE_SVG, SvgText) || token;
            } else if (element.tag == GUMBO_TAG_SELECT) {
                textIn = false;
            } else if (element.tag == GUMBO_TAG_OPTION) {
                textIn = true;
            }
            if (LineBreaking.contains(element) || token ||
                isIn(element, GUMBO_NAMESPACE_SVG, SvgText)) {
                shown.breakLine();
                steps.push_back({&node, true, textIn});
            }
            if (element.tag == GUMBO_TAG_MI && math && italics) {
                CollapsedText identifier;
                readTree(&node, identifier, false);
                const auto letters = identifier.text().toUcs4();
                if (letters.size() == 1) {
                    const char32_t italic = mathItalic(letters[0]);
                    shown.append(QString::fromUcs4(&italic, 1).toStdString());
                    continue;
                }
            }
            // Of a closed details element only the first summary shows.
            const bool closed = element.tag == GUMBO_TAG_DETAILS && !hasAttribute(element, "open");
            const GumboNode *summary = nullptr;
            for (unsigned i = element.children.length; i > 0; --i) {
                const auto *child = static_cast<const GumboNode *>(element.children.data[i - 1]);
                if (!closed) {
                    steps.push_back({child, false, textIn});
                } else if (child->type == GUMBO_NODE_ELEMENT &&
                           child->v.element.tag == GUMBO_TAG_SUMMARY) {
                    summary = child;
                }
            }
            if (summary != nullptr) {
                steps.push_back({summary, false, textIn});
            }
        }
    }
}

} // namespace

// The cell parsed as the content of a table cell, as browsers parse it.
QString gumboText(const QByteArray &utf8) {
    GumboOptions options = kGumboDefaultOptions;
    options.fragment_context = GUMBO_TAG_TD;
    options.fragment_namespace = GUMBO_NAMESPACE_HTML;
    options.max_errors = 0;
#ifdef PEMVARO_GUMBO_ALLOCATOR
    options.allocator = [](void *, size_t size) { return std::calloc(1, size); };
#endif
    GumboOutput *output =
        gumbo_parse_with_options(&options, utf8.constData(), static_cast<size_t>(utf8.size()));
    CollapsedText shown;
    readTree(output->root, shown);
    const QString text = shown.text();
    gumbo_destroy_output(&options, output);
    return text;
}

namespace {

QString readCell(const QString &cellMarkup) {
    // Most cells are plain text that reads as it stands; those without markup need no parser.
    bool asItStands = true;
    for (qsizetype i = 0; i < cellMarkup.size(); ++i) {
        const QChar c = cellMarkup[i];
        if (c == u'<' || c == u'&' || c == u'\0') {
            return withoutShiftMarks(gumboText(parserInput(cellMarkup)));
        }
        // Any white space but single spaces between words, and halves of characters, which the
        // way through UTF-8 mends as the parser's way does.
        asItStands =
            asItStands && !c.isSurrogate() &&
            (!isHtmlSpace(c.unicode()) ||
             (c == u' ' && i > 0 && i + 1 < cellMarkup.size() && cellMarkup[i - 1] != u' '));
    }
    if (asItStands) {
        return cellMarkup;
    }
    const QByteArray utf8 = cellMarkup.toUtf8();
    CollapsedText shown;
    shown.append(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
    return shown.text();
}

} // namespace

QString shownText(const QString &cellMarkup) {
    QString text = readCell(cellMarkup);
    // Chromium shows nothing of a cell whose only text is one vertical tab.
    if (text == u"\v") {
        text.clear();
    }
    return text;
}

std::optional<QString> shownOtherwise(const QString &cellMarkup) {
    if (!cellMarkup.contains(u'<') && !cellMarkup.contains(u'&')) {
        return std::nullopt;
    }
    static const QRegularExpression Spaces(QStringLiteral("[ \\t\\n\\f\\r]+"));
    const QString shown = shownText(cellMarkup);
    if (shown == QString(cellMarkup).replace(Spaces, QStringLiteral(" ")).trimmed()) {
        return std::nullopt;
    }
    return shown;
}

} // namespace markup
