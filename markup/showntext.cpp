#include "markup/showntext.h"

#include <algorithm>
#include <bitset>
#include <string>
#include <string_view>
#include <vector>

#include <gumbo.h>

using namespace Qt::StringLiterals;

namespace markup {
namespace {

bool isHtmlSpace(char32_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

// The character at `i`, a surrogate pair read as one; `i` moves to its last unit.
char32_t characterAt(QStringView text, qsizetype &i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        ++i;
        return QChar::surrogateToUcs4(text[i - 1], text[i]);
    }
    return text[i].unicode();
}

// Gumbo reads a control character or a noncharacter as U+FFFD where browsers keep it; written as
// a numeric reference it is kept, as browsers keep it. Not so the controls U+0080 to U+009F, whose
// numbers stand for the characters of Windows-1252: those stay U+FFFD.
QByteArray parserInput(QStringView cellMarkup) {
    QString input;
    input.reserve(cellMarkup.size());
    for (qsizetype i = 0; i < cellMarkup.size(); ++i) {
        const qsizetype first = i;
        const char32_t c = characterAt(cellMarkup, i);
        if ((c >= 0x1 && c <= 0x8) || c == 0xB || (c >= 0xE && c <= 0x1F) || c == 0x7F ||
            (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE) {
            input += u"&#"_s + QString::number(c) + u';';
        } else {
            input += cellMarkup.sliced(first, i - first + 1);
        }
    }
    return input.toUtf8();
}

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

// A set of elements, named as in HTML. Names that this version of Gumbo does not know are matched
// by the name as typed.
class ElementSet {
public:
    explicit ElementSet(std::string_view names) {
        for (size_t start = 0; start < names.size();) {
            const std::string_view name = names.substr(start, names.find(' ', start) - start);
            const GumboTag tag = gumbo_tagn_enum(name.data(), static_cast<unsigned>(name.size()));
            if (tag == GUMBO_TAG_UNKNOWN) {
                unknown_.push_back(name);
            } else {
                tags_.set(tag);
            }
            start += name.size() + 1;
        }
    }
    bool contains(const GumboElement &element) const {
        if (element.tag != GUMBO_TAG_UNKNOWN) {
            return tags_.test(element.tag);
        }
        GumboStringPiece typed = element.original_tag;
        gumbo_tag_from_original_text(&typed);
        return std::any_of(unknown_.begin(), unknown_.end(), [&](std::string_view name) {
            return qstrnicmp(typed.data, static_cast<qsizetype>(typed.length), name.data(),
                             static_cast<qsizetype>(name.size())) == 0;
        });
    }

private:
    std::bitset<GUMBO_TAG_LAST + 1> tags_;
    std::vector<std::string_view> unknown_;
};

// Elements whose content a browser does not show: hidden by its style sheet, or fallback content
// and form values that the element draws itself.
const ElementSet Unshown("script style template noscript noembed noframes title datalist rp "
                         "textarea iframe object video audio canvas progress meter");

// Blocks, list items, table parts and the line break: their text stands on lines of its own,
// which reads as a space.
const ElementSet LineBreaking(
    "address article aside blockquote br caption center dd details dialog dir div dl dt fieldset "
    "figcaption figure footer form h1 h2 h3 h4 h5 h6 header hgroup hr legend li listing main menu "
    "nav ol optgroup option p plaintext pre search section summary table td th tr ul xmp");

const ElementSet Dialog("dialog");

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

// The cell parsed as the content of a table cell, as browsers parse it.
QString parsedText(const QByteArray &utf8) {
    GumboOptions options = kGumboDefaultOptions;
    options.fragment_context = GUMBO_TAG_TD;
    options.fragment_namespace = GUMBO_NAMESPACE_HTML;
    options.max_errors = 0;
    GumboOutput *output =
        gumbo_parse_with_options(&options, utf8.constData(), static_cast<size_t>(utf8.size()));
    const QString text = readTree(output->root);
    gumbo_destroy_output(&options, output);
    return text;
}

} // namespace

QString shownText(const QString &cellMarkup) {
    // Most cells are plain text that reads as it stands; those without markup need no parser.
    bool asItStands = true;
    for (qsizetype i = 0; i < cellMarkup.size(); ++i) {
        const QChar c = cellMarkup[i];
        if (c == u'<' || c == u'&' || c == u'\0') {
            return parsedText(parserInput(cellMarkup));
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
