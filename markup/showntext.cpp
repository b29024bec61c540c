#include "markup/showntext.h"

#include "markup/elementkinds.h"
#include "markup/parserinput.h"

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
    return !Unshown.contains(element) && !hasAttribute(element, "hidden") &&
           !(Dialog.contains(element) && !hasAttribute(element, "open")) &&
           !(node.parse_flags & GUMBO_INSERTION_FROM_ISINDEX);
}

// The text of the tree under `root`, read depth first without recursion: a cell may nest
// elements as deep as it likes.
QString readTree(const GumboNode *root) {
    CollapsedText shown;
    struct Step {
        const GumboNode *node;
        bool leaving;
    };
    std::vector<Step> steps{{root, false}};
    while (!steps.empty()) {
        const Step step = steps.back();
        steps.pop_back();
        const GumboNode &node = *step.node;
        if (step.leaving) {
            shown.breakLine();
        } else if (node.type == GUMBO_NODE_TEXT || node.type == GUMBO_NODE_WHITESPACE ||
                   node.type == GUMBO_NODE_CDATA) {
            shown.append(node.v.text.text);
        } else if (node.type == GUMBO_NODE_ELEMENT && isShown(node)) {
            if (LineBreaking.contains(node.v.element)) {
                shown.breakLine();
                steps.push_back({&node, true});
            }
            // Of a closed details element only the first summary shows.
            const GumboElement &element = node.v.element;
            const bool closed = element.tag == GUMBO_TAG_DETAILS && !hasAttribute(element, "open");
            const GumboNode *summary = nullptr;
            for (unsigned i = element.children.length; i > 0; --i) {
                const auto *child = static_cast<const GumboNode *>(element.children.data[i - 1]);
                if (!closed) {
                    steps.push_back({child, false});
                } else if (child->type == GUMBO_NODE_ELEMENT &&
                           child->v.element.tag == GUMBO_TAG_SUMMARY) {
                    summary = child;
                }
            }
            if (summary != nullptr) {
                steps.push_back({summary, false});
            }
        }
    }
    return shown.text();
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
    const QString text = readTree(output->root);
    gumbo_destroy_output(&options, output);
    return text;
}

QString shownText(const QString &cellMarkup) {
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

} // namespace markup
