#include "markup/showntext.h"

#include <QList>

#include <algorithm>
#include <bitset>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <gumbo.h>

namespace markup {
namespace {

bool isHtmlSpace(char32_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
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

// A set of Gumbo's tags, named as in HTML.
class TagSet {
public:
    explicit TagSet(std::string_view names) {
        for (size_t start = 0; start < names.size();) {
            const size_t end = std::min(names.find(' ', start), names.size());
            const GumboTag tag =
                gumbo_tagn_enum(names.data() + start, static_cast<unsigned>(end - start));
            Q_ASSERT(tag != GUMBO_TAG_UNKNOWN);
            tags_.set(tag);
            start = end + 1;
        }
    }
    bool contains(GumboTag tag) const { return tags_.test(tag); }

private:
    std::bitset<GUMBO_TAG_LAST + 1> tags_;
};

// Elements whose content a browser does not show: hidden by its style sheet, or fallback content
// and form values that the element draws itself.
const TagSet Unshown("script style template noscript noembed noframes title datalist rp textarea "
                     "iframe object video audio canvas progress meter");

// Blocks, list items, table parts and the line break: their text stands on lines of its own,
// which reads as a space.
const TagSet LineBreaking(
    "address article aside blockquote br caption center dd details dir div dl dt fieldset "
    "figcaption figure footer form h1 h2 h3 h4 h5 h6 header hgroup hr legend li listing main menu "
    "nav ol optgroup option p plaintext pre section summary table td th tr ul xmp");

bool isShown(const GumboElement &element) {
    return !Unshown.contains(element.tag) &&
           gumbo_get_attribute(&element.attributes, "hidden") == nullptr;
}

// Gumbo 0.10 names the context element by its tag, later versions by its name.
template <typename Options> void parseInTableCell(Options &options) {
    if constexpr (std::is_same_v<decltype(options.fragment_context), GumboTag>) {
        options.fragment_context = GUMBO_TAG_TD;
    } else {
        options.fragment_context = "td";
    }
    options.fragment_namespace = GUMBO_NAMESPACE_HTML;
}

// Gumbo 0.10 frees with the options that allocated, later versions need none.
template <typename Output> void destroy(Output *output) {
    if constexpr (std::is_invocable_v<decltype(gumbo_destroy_output), Output *>) {
        gumbo_destroy_output(output);
    } else {
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
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
        } else if (node.type == GUMBO_NODE_ELEMENT && isShown(node.v.element)) {
            if (LineBreaking.contains(node.v.element.tag)) {
                shown.breakLine();
                steps.push_back({&node, true});
            }
            const GumboVector &children = node.v.element.children;
            for (unsigned i = children.length; i > 0; --i) {
                steps.push_back({static_cast<const GumboNode *>(children.data[i - 1]), false});
            }
        }
    }
    return shown.text();
}

QString parsedText(const QByteArray &utf8) {
    GumboOptions options = kGumboDefaultOptions;
    parseInTableCell(options);
    options.max_errors = 0;
    const std::unique_ptr<GumboOutput, void (*)(GumboOutput *)> output(
        gumbo_parse_with_options(&options, utf8.constData(), static_cast<size_t>(utf8.size())),
        destroy<GumboOutput>);
    return readTree(output->root);
}

} // namespace

QString shownText(const QString &cellMarkup) {
    // Most cells are plain text that reads as it stands; those without markup need no parser.
    bool asItStands = true;
    for (qsizetype i = 0; i < cellMarkup.size(); ++i) {
        const QChar c = cellMarkup[i];
        if (c == u'<' || c == u'&' || c == u'\0') {
            return parsedText(cellMarkup.toUtf8());
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

QString escaped(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'"':
            out += u"&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool isNumber(QStringView text) {
    bool digitBefore = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (QChar::isDigit(c)) {
            digitBefore = true;
        } else if ((c == u'.' || c == u',') && digitBefore) {
            digitBefore = false;
        } else {
            return false;
        }
    }
    return digitBefore;
}

bool isOperatorCharacter(char32_t c) {
    switch (QChar::category(c)) {
    case QChar::Symbol_Math:
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
        return true;
    default:
        return std::u32string_view(U"*/:·＊／：").find(c) != std::u32string_view::npos;
    }
}

bool isOperator(QStringView text) {
    const QList<uint> characters = text.toUcs4();
    return characters.size() == 1 && isOperatorCharacter(characters.front());
}

} // namespace markup
