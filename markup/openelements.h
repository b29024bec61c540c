#pragma once

// The stack of open elements, as HTML's tree construction keeps it for markup that nests as
// written and leaves out the usual end tags: the one model of HTML's nesting by which a cell is
// written anew for Gumbo and pasted HTML is judged before Gumbo reads it.

#include "markup/htmltokens.h"

#include <QHash>
#include <QString>

#include <array>
#include <vector>

#include <gumbo.h>

namespace markup {

struct OpenElement {
    // The searches of end tags for their elements, told apart by the elements that end them.
    enum Scope { AnyScope, ElementScope, ButtonScope, ListItemScope, TableScope, Scopes };

    GumboTag tag;
    QStringView name;
    bool foreign;
    qsizetype box; // where the element is deeper than Chromium keeps, the reading's index, or -1
    bool firstForeign = false; // in foreign content, of those open one in another
    qsizetype openP = -1;      // the index of the p element that a new block closes, or -1
    bool inSelect = false;     // a list box or an option or group in one
    bool mathMl = false;       // in foreign content, of MathML's elements rather than SVG's
    // Of each search, the index of the nearest element that ends it, this one or below, or -1.
    std::array<qint32, Scopes> limits{};

    // Whether HTML's elements and text go in this foreign element: MathML's token elements and
    // annotations, SVG's descriptions, titles and foreign objects.
    bool integrationPoint() const;
};

class OpenElements {
public:
    bool empty() const { return stack_.empty(); }
    qsizetype size() const { return static_cast<qsizetype>(stack_.size()); }
    const OpenElement &back() const { return stack_.back(); }
    const OpenElement &operator[](qsizetype k) const { return stack_[static_cast<size_t>(k)]; }
    bool inForeign() const { return !stack_.empty() && stack_.back().foreign; }
    bool inSelect() const { return !stack_.empty() && stack_.back().inSelect; }
    // Whether a start tag goes to the foreign element open last, as SVG's or MathML's.
    bool inForeignContent() const { return inForeign() && !back().integrationPoint(); }

    void push(GumboTag tag, QStringView name, bool foreign, qsizetype box);
    OpenElement pop();

    // The index of the open element that an end tag closes, with all open in it, as HTML's tree
    // construction finds it; -1 where it closes nothing. The search goes `depth` elements down
    // at most; past that, the tag is taken to close nothing. `searched` tells whether the search
    // reached its end, so that the tag surely closes nothing where it found none. It takes no
    // time with the depth: the last element open of each name, and where each search ends, are
    // kept.
    qsizetype closedBy(const HtmlTag &tag, qsizetype depth, bool &searched) const;

private:
    std::vector<OpenElement> stack_;
    // Of each run of foreign elements open in one another, how many are open by each name.
    std::vector<QHash<QString, qsizetype>> foreignNames_;
    // The indices of the elements open of each name (of the tags Gumbo knows, by their tag), and
    // of the headings open.
    std::vector<qsizetype> &indices(GumboTag tag, QStringView name);
    const std::vector<qsizetype> *indices(GumboTag tag, QStringView name) const;
    std::vector<std::vector<qsizetype>> byTag_ = decltype(byTag_)(GUMBO_TAG_LAST + 1);
    QHash<QString, std::vector<qsizetype>> byName_;
    std::vector<qsizetype> headings_;
};

} // namespace markup
