#include "markup/openelements.h"

#include "markup/elementkinds.h"

#include <algorithm>

namespace markup {
namespace {

using Scope = OpenElement::Scope;

// The elements that stop an end tag's search for an open element of its name, and of those the
// ones whose own end tags close everything open in them.
const ElementSet Special(
    "address applet area article aside base basefont bgsound blockquote body br button caption "
    "center col colgroup dd details dialog dir div dl dt embed fieldset figcaption figure footer "
    "form frame frameset h1 h2 h3 h4 h5 h6 head header hgroup hr html iframe img input keygen li "
    "link listing main marquee menu meta nav noembed noframes noscript object ol p param "
    "plaintext pre script search section select source style summary table tbody td template "
    "textarea tfoot th thead title tr track ul wbr xmp");
const ElementSet Scoped(
    "address applet article aside blockquote button caption center dd details dialog dir div dl "
    "dt fieldset figcaption figure footer form h1 h2 h3 h4 h5 h6 header hgroup li listing main "
    "marquee menu nav object ol p pre search section summary table tbody td tfoot th thead tr ul");
// Where the search of those end tags for their element ends: in a table's parts, at the table.
const ElementSet ScopeLimit("applet caption html marquee object table td th template");
const ElementSet TableScopeLimit("html table template");

const ElementSet MathMlIntegrationPoint("annotation-xml mi mn mo ms mtext");
const ElementSet SvgIntegrationPoint("desc foreignobject title");

QString key(QStringView name) {
    return name.toString().toLower();
}
// Whether `open` ends a search of `scope` for an element.
bool ends(const OpenElement &open, Scope scope) {
    if (open.foreign) {
        return open.integrationPoint();
    }
    switch (scope) {
    case OpenElement::AnyScope:
        return Special.contains(open.tag, open.name);
    case OpenElement::TableScope:
        return TableScopeLimit.contains(open.tag, open.name);
    default:
        return ScopeLimit.contains(open.tag, open.name) ||
               (scope == OpenElement::ButtonScope && open.tag == GUMBO_TAG_BUTTON) ||
               (scope == OpenElement::ListItemScope &&
                (open.tag == GUMBO_TAG_OL || open.tag == GUMBO_TAG_UL));
    }
}

Scope scopeOf(const HtmlTag &tag) {
    const auto is = [&](const ElementSet &set) { return set.contains(tag.tag, tag.name); };
    if (is(TablePart) || tag.tag == GUMBO_TAG_TABLE) {
        return OpenElement::TableScope;
    }
    if (!is(Scoped)) {
        return OpenElement::AnyScope;
    }
    return tag.tag == GUMBO_TAG_P    ? OpenElement::ButtonScope
           : tag.tag == GUMBO_TAG_LI ? OpenElement::ListItemScope
                                     : OpenElement::ElementScope;
}

} // namespace

bool OpenElement::integrationPoint() const {
    return foreign && (mathMl ? MathMlIntegrationPoint : SvgIntegrationPoint).contains(tag, name);
}

void OpenElements::push(GumboTag tag, QStringView name, bool foreign, qsizetype box) {
    const bool first = foreign && !inForeign();
    if (first) {
        foreignNames_.emplace_back();
    }
    if (foreign) {
        ++foreignNames_.back()[key(name)];
    }
    const qsizetype index = size();
    const bool mathMl = foreign && (tag == GUMBO_TAG_MATH ||
                                    (tag != GUMBO_TAG_SVG && inForeign() && back().mathMl));
    OpenElement open{tag, name, foreign, box, first};
    open.mathMl = mathMl;
    const bool limit = foreign ? open.integrationPoint()
                               : tag == GUMBO_TAG_BUTTON || ScopeLimit.contains(tag, name);
    open.openP = !foreign && tag == GUMBO_TAG_P ? index : empty() || limit ? -1 : back().openP;
    open.inSelect =
        !foreign && (tag == GUMBO_TAG_SELECT ||
                     ((tag == GUMBO_TAG_OPTION || tag == GUMBO_TAG_OPTGROUP) && inSelect()));
    for (size_t scope = 0; scope < OpenElement::Scopes; ++scope) {
        open.limits[scope] = ends(open, Scope(scope)) ? static_cast<qint32>(index)
                             : empty()                ? -1
                                                      : back().limits[scope];
    }
    indices(tag, name).push_back(index);
    if (!foreign && Heading.contains(tag, {})) {
        headings_.push_back(index);
    }
    stack_.push_back(open);
}

std::vector<qsizetype> &OpenElements::indices(GumboTag tag, QStringView name) {
    return tag == GUMBO_TAG_UNKNOWN ? byName_[key(name)] : byTag_[static_cast<size_t>(tag)];
}

const std::vector<qsizetype> *OpenElements::indices(GumboTag tag, QStringView name) const {
    if (tag != GUMBO_TAG_UNKNOWN) {
        return &byTag_[static_cast<size_t>(tag)];
    }
    const auto named = byName_.constFind(key(name));
    return named == byName_.cend() ? nullptr : &*named;
}

OpenElement OpenElements::pop() {
    const OpenElement closed = stack_.back();
    stack_.pop_back();
    indices(closed.tag, closed.name).pop_back();
    if (!headings_.empty() && headings_.back() == size()) {
        headings_.pop_back();
    }
    if (closed.foreign) {
        --foreignNames_.back()[key(closed.name)];
        if (closed.firstForeign) {
            foreignNames_.pop_back();
        }
    }
    return closed;
}

qsizetype OpenElements::closedBy(const HtmlTag &tag, qsizetype depth, bool &searched) const {
    const qsizetype bottom = std::max<qsizetype>(0, size() - depth);
    searched = true;
    // In foreign content, one of the foreign elements open in one another, by its name.
    if (inForeign() && foreignNames_.back().value(key(tag.name)) > 0) {
        for (qsizetype k = size() - 1; k >= 0 && (*this)[k].foreign; --k) {
            if ((*this)[k].name.compare(tag.name, Qt::CaseInsensitive) == 0) {
                return k;
            }
        }
    }
    const std::vector<qsizetype> *named = indices(tag.tag, tag.name);
    qsizetype match = named == nullptr || named->empty() ? -1 : named->back();
    if (Heading.contains(tag.tag, tag.name) && !headings_.empty()) {
        match = std::max(match, headings_.back());
    }
    const qsizetype limit = empty() ? -1 : back().limits[scopeOf(tag)];
    if (match >= std::max(limit, bottom)) {
        return match;
    }
    // Past an element that ends the search, a formatting element's end tag moves what is open in
    // it; deeper than the search goes, the tag is taken to close nothing, in Gumbo's input too.
    searched = limit < bottom || !Formatting.contains(tag.tag, tag.name);
    return -1;
}

} // namespace markup
