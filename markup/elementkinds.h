#pragma once

// The kinds of HTML elements that the reading of a cell tells apart, by Gumbo's tags.

#include <QString>

#include <algorithm>
#include <bitset>
#include <string_view>
#include <vector>

#include <gumbo.h>

namespace markup {

inline bool isHtmlSpace(char32_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
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
    bool contains(GumboTag tag, QStringView typed) const {
        if (tag != GUMBO_TAG_UNKNOWN) {
            return tags_.test(tag);
        }
        return std::any_of(unknown_.begin(), unknown_.end(), [&](std::string_view name) {
            return typed.compare(QLatin1String(name.data(), static_cast<qsizetype>(name.size())),
                                 Qt::CaseInsensitive) == 0;
        });
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
inline const ElementSet Unshown("script style template noscript noembed noframes title datalist rp "
                                "textarea iframe video audio canvas progress meter");

// Blocks, list items, table parts and the line break: their text stands on lines of its own,
// which reads as a space.
inline const ElementSet LineBreaking(
    "address article aside blockquote br caption center dd details dialog dir div dl dt fieldset "
    "figcaption figure footer form h1 h2 h3 h4 h5 h6 header hgroup hr legend li listing main menu "
    "nav ol optgroup option p plaintext pre search section summary table td th tr ul xmp");

inline const ElementSet Dialog("dialog");

// The kinds that the model of HTML's open elements and the reading of a cell share.
inline const ElementSet TablePart("caption colgroup tbody td tfoot th thead tr");
inline const ElementSet Heading("h1 h2 h3 h4 h5 h6");
inline const ElementSet Formatting("a b big code em font i nobr s small strike strong tt u");

} // namespace markup
