#include "markup/parserinput.h"

#include "markup/elementkinds.h"
#include "markup/gumbocharacters.h"
#include "markup/htmltokens.h"
#include "markup/openelements.h"
#include "markup/texttokens.h"

#include <algorithm>
#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace markup {
namespace {

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Chromium nests the elements of a page 512 deep: those of a cell in a page, under html, body,
// table, tbody, tr and td, this deep at most. An element that would lie deeper is put beside its
// parent instead, holding only the text and the empty elements written directly in it. All those
// put beside the element at this depth are thus siblings that follow it, each showing its own
// text, in the order they open.
constexpr qsizetype KeptDepth = 507;

const ElementSet Void("area base basefont bgsound br col embed frame hr image img input keygen "
                      "link meta param source track wbr");
// Elements whose content the tokenizer reads as text, and of those the ones that show it.
const ElementSet RawText("iframe noembed noframes noscript plaintext script style textarea title "
                         "xmp");
const ElementSet ShownRawText("plaintext xmp");
const ElementSet Foreign("math svg");
// Start tags that leave foreign content (and font with color, face or size), and those that close
// an open p element first.
const ElementSet Breakout(
    "b big blockquote body br center code dd div dl dt em embed h1 h2 h3 h4 h5 h6 head hr i img "
    "li listing menu meta nobr ol p pre ruby s small span strong strike sub sup table tt u ul var");
const ElementSet ClosesP(
    "address article aside blockquote center details dialog dir div dl fieldset figcaption "
    "figure footer form h1 h2 h3 h4 h5 h6 header hgroup hr listing main menu nav ol p plaintext "
    "pre search section summary table ul xmp");
// Elements whose end tags may be left out: an end tag of an enclosing block closes them too.
const ElementSet ImpliedEnd("dd dt li optgroup option p rb rp rt rtc");
const ElementSet TableSection("tbody tfoot thead");
const ElementSet TableContext("caption colgroup table tbody td tfoot th thead tr");
const ElementSet Cell("td th");
const ElementSet ClosedOnReopening("dd dt li option td th tr");
// In a list box, the start tags that HTML reads, and those of them that close it.
const ElementSet SelectContent("hr input keygen optgroup option script select template textarea");
const ElementSet SelectCloser("input keygen select textarea");
// An end tag looks this far down the open elements at most; past that, it is taken to close
// nothing, so that no cell takes time with the square of its depth.
constexpr qsizetype SearchedDepth = KeptDepth + 16;

// The cell written anew for Gumbo, so that Gumbo reads it as Chromium does, in time in proportion
// to its length. A pre-scan reads the cell as HTML5's tokenizer does and keeps the stack of open
// elements as its tree construction does for markup that nests as written and leaves out the
// usual end tags; where markup is misnested, it may keep open elements that the parser closes.
// What Gumbo gets:
// - the elements down to the depth Chromium keeps, as typed; of the deeper ones, the text
//   written directly in each, as Chromium shows them side by side after the deepest element it
//   keeps: Gumbo's tree is never much deeper than Chromium's;
// - the content of xmp and plaintext, which shows as typed, as text;
// - comments empty, and elements whose raw text never shows, nothing;
// - text with the controls and noncharacters that Gumbo would replace written so that they stay.
class ChromiumForm : HtmlTokens {
public:
    // Reads `markup` until its elements nest deeper than `bound`.
    explicit ChromiumForm(QStringView markup, qsizetype bound)
        : HtmlTokens(markup)
        , cell_(markup)
        , bound_(bound) {
        out_.reserve(markup.size());
        qsizetype i = 0;
        while (i < cell_.size() && deepest_ <= bound_) {
            const QChar next = at(i + 1);
            if (cell_[i] != u'<') {
                const qsizetype end = cell_.indexOf(u'<', i);
                text(cell_.sliced(i, (end < 0 ? cell_.size() : end) - i), false);
                i = end < 0 ? cell_.size() : end;
            } else if (isAsciiLetter(next) || (next == u'/' && isAsciiLetter(at(i + 2)))) {
                Tag tag;
                if (!readTag(i, tag)) {
                    // The cell ends inside the tag, which the parser leaves out: Gumbo does not
                    // get it, whose time would grow with the square of its attributes.
                    break;
                }
                manyAttributes_ = manyAttributes_ || tag.attributes > MostAttributes;
                i = next == u'/' ? endTag(tag) : startTag(tag);
            } else if (cell_.sliced(i).startsWith(u"<!--")) {
                i = asTyped(i, commentEnd(i + 4));
            } else if (next == u'!' && inForeign() && cell_.sliced(i).startsWith(u"<![CDATA[")) {
                // As text: Gumbo 0.10 fails an assertion on CDATA in an SVG or MathML element
                // that holds HTML, in a table.
                const qsizetype end = cell_.indexOf(u"]]>", i + 9);
                text(cell_.sliced(i + 9, (end < 0 ? cell_.size() : end) - i - 9), true);
                i = end < 0 ? cell_.size() : end + 3;
            } else if (next == u'/' && at(i + 2) == u'>') {
                // "</>", which HTML ignores and Gumbo 0.10 misreads in MathML; a comment keeps a
                // tag or a reference from forming across it.
                i += 3;
                const QStringView tail = QStringView(out_).right(40);
                if (!deep() && (tail.endsWith(u'<') ||
                                tail.lastIndexOf(u'&') >
                                    std::max(tail.lastIndexOf(u'>'), tail.lastIndexOf(u';')))) {
                    out_ += u"<!---->";
                }
            } else if (next == u'!' || next == u'?' || (next == u'/' && i + 2 < cell_.size())) {
                const qsizetype end = cell_.indexOf(u'>', i);
                i = asTyped(i, end < 0 ? cell_.size() : end + 1); // a bogus comment
            } else {
                text(cell_.sliced(i, 1), false);
                ++i;
            }
        }
        while (!stack_.empty()) {
            pop();
        }
    }
    QByteArray utf8() const { return out_.toUtf8(); }
    // How deep elements nest, as far as the reading went.
    qsizetype deepest() const { return deepest_; }
    // Whether a tag has more attributes than Gumbo reads in time as typed.
    bool manyAttributes() const { return manyAttributes_; }

private:
    using Tag = HtmlTag;
    // How an element's end reaches Gumbo: it has the end tag already, Gumbo closes the element
    // itself, or it needs the end tag written.
    enum class Close { Typed, Implied, Written };
    struct Box {
        QString text;
        bool shown;
        bool lineBreaking;
    };

    bool inForeign() const { return stack_.inForeign(); }
    bool inSelect() const { return stack_.inSelect(); }
    bool deep() const { return !stack_.empty() && stack_.back().box >= 0; }
    bool topIs(const ElementSet &set) const {
        return !stack_.empty() && set.contains(stack_.back().tag, stack_.back().name);
    }

    // Character data: to Gumbo, or into the box of the deepest open element, where an empty
    // comment keeps it apart from the next, so that no reference or tag forms across the two.
    void text(QStringView data, bool literal) {
        if (deep()) {
            QString &box = boxes_[static_cast<size_t>(stack_.back().box)].text;
            appendText(box, data, literal);
            box += u"<!---->";
        } else {
            appendText(out_, data, literal);
        }
    }

    // Gumbo gets the markup from `from` to `to` as typed, unless it lies among the deep elements.
    qsizetype asTyped(qsizetype from, qsizetype to) {
        if (!deep()) {
            out_ += cell_.sliced(from, to - from);
        }
        return to;
    }

    // A tag that Gumbo reads as typed, unless it lies among the deep elements.
    qsizetype typedTag(const Tag &tag) {
        if (!deep()) {
            out_ += withDistinctAttributes(tag);
        }
        return tag.to;
    }

    void push(GumboTag tag, QStringView name, bool foreign, qsizetype box) {
        stack_.push(tag, name, foreign, box);
        deepest_ = std::max(deepest_, stack_.size() + reopenable_);
    }

    // Closes the current element. The elements put beside the one at the depth Chromium keeps
    // follow it: Gumbo gets its end tag before their text, unless it has it already.
    void pop(Close close = Close::Implied) {
        const OpenElement closed = stack_.pop();
        if ((close == Close::Written && closed.box < 0) ||
            (close == Close::Implied && !boxes_.empty() &&
             static_cast<qsizetype>(stack_.size()) == KeptDepth - 1)) {
            out_ +=
                u"</"_s +
                (closed.name.isEmpty() ? QString::fromLatin1(gumbo_normalized_tagname(closed.tag))
                                       : closed.name.toString()) +
                u'>';
        }
        flush();
    }

    // Once no element deeper than Chromium keeps is open, their text goes to Gumbo, where the
    // element at the depth Chromium keeps them holds it.
    void flush() {
        if (static_cast<qsizetype>(stack_.size()) >= KeptDepth || boxes_.empty()) {
            return;
        }
        out_ += u"<!---->";
        // A line break reads as a space, and many as one.
        for (const Box &box : boxes_) {
            if (box.shown && box.lineBreaking && !out_.endsWith(u' ')) {
                out_ += u' ';
            }
            if (box.shown && !box.text.isEmpty()) {
                out_ += box.lineBreaking ? box.text + u' ' : box.text;
            }
        }
        boxes_.clear();
    }

    // A new element deeper than Chromium keeps.
    qsizetype newBox(const QString &text, bool shown, bool lineBreaking) {
        boxes_.push_back({text, shown, lineBreaking});
        return static_cast<qsizetype>(boxes_.size()) - 1;
    }

    // An element that the tree builder adds itself (table sections and rows).
    void pushImplied(GumboTag tag) {
        const bool box = static_cast<qsizetype>(stack_.size()) >= KeptDepth;
        push(tag, {}, false, box ? newBox({}, false, false) : -1);
    }

    qsizetype startTag(const Tag &tag) {
        const auto is = [&](const ElementSet &set) { return set.contains(tag.tag, tag.name); };
        if (stack_.inForeignContent() &&
            (is(Breakout) || (tag.tag == GUMBO_TAG_FONT && tag.presentational))) {
            // Browsers leave foreign content here, where Gumbo, parsing a cell on its own, keeps
            // the tag in it: Gumbo gets the end tags.
            while (stack_.inForeignContent()) {
                pop(Close::Written);
            }
        }
        const bool foreign = is(Foreign) || (stack_.inForeignContent() && !is(Breakout) &&
                                             !(tag.tag == GUMBO_TAG_FONT && tag.presentational));
        if (!foreign && inSelect()) {
            // A list box holds options only: other start tags are dropped, and those of
            // controls close it.
            if (is(SelectCloser)) {
                while (stack_.back().tag != GUMBO_TAG_SELECT) {
                    pop();
                }
                pop();
                if (tag.tag == GUMBO_TAG_SELECT) {
                    return typedTag(tag);
                }
            } else if (!is(SelectContent)) {
                return typedTag(tag);
            }
        }
        if (!foreign && is(TablePart) && !topIs(TableContext)) {
            if (!deep()) {
                out_ += withDistinctAttributes(tag); // ignored outside tables
            }
            return tag.to;
        }
        if (!foreign) {
            if (is(ClosesP)) {
                const qsizetype open = stack_.empty() ? -1 : stack_.back().openP;
                closeFormatting(open);
                while (open >= 0 && static_cast<qsizetype>(stack_.size()) > open + 1) {
                    pop();
                }
                // A block that this version of Gumbo does not know needs the end tag written.
                if (open >= 0) {
                    pop(tag.tag == GUMBO_TAG_UNKNOWN ? Close::Written : Close::Implied);
                }
            }
            if ((is(Heading) && topIs(Heading)) ||
                (is(ClosedOnReopening) && !stack_.empty() && stack_.back().tag == tag.tag) ||
                (is(Cell) && topIs(Cell)) ||
                (tag.tag == GUMBO_TAG_OPTGROUP && topIs(ImpliedEnd) &&
                 stack_.back().tag == GUMBO_TAG_OPTION)) {
                pop();
            }
            // In a list box, a group closes the one open, once its option is closed.
            if (tag.tag == GUMBO_TAG_OPTGROUP && inSelect() &&
                stack_.back().tag == GUMBO_TAG_OPTGROUP) {
                pop();
            }
            if (is(TablePart) && !is(Cell) && tag.tag != GUMBO_TAG_TR) {
                while (topIs(TablePart) && stack_.back().tag != GUMBO_TAG_CAPTION) {
                    pop(); // a new section closes the open one
                }
            } else if (tag.tag == GUMBO_TAG_TR && topIs(Cell)) {
                pop();
                if (!stack_.empty() && stack_.back().tag == GUMBO_TAG_TR) {
                    pop();
                }
            }
            if ((is(Cell) || tag.tag == GUMBO_TAG_TR) && !stack_.empty() &&
                stack_.back().tag == GUMBO_TAG_TABLE) {
                pushImplied(GUMBO_TAG_TBODY);
            }
            if (is(Cell) && topIs(TableSection)) {
                pushImplied(GUMBO_TAG_TR);
            }
        }
        const bool shown = !is(Unshown) && !tag.hidden &&
                           !((is(Dialog) || tag.tag == GUMBO_TAG_DETAILS) && !tag.open);
        const bool empty = foreign ? tag.selfClosing : is(Void);
        const bool box = empty ? deep() : static_cast<qsizetype>(stack_.size()) >= KeptDepth;
        qsizetype next = tag.to;
        QString content;
        if (!foreign && is(RawText)) {
            const qsizetype end = tag.tag == GUMBO_TAG_PLAINTEXT ? cell_.size()
                                  : tag.tag == GUMBO_TAG_SCRIPT  ? scriptEnd(tag.to)
                                                                 : rawTextEnd(tag.to, tag.name);
            Tag endTag;
            next = end == cell_.size() || !readTag(end, endTag) ? cell_.size() : endTag.to;
            // Gumbo reads the text as typed as browsers do, but for the characters it replaces.
            const QStringView raw = cell_.sliced(tag.to, end - tag.to);
            // But noscript, whose content Gumbo reads as markup, as browsers without scripts.
            if (!box && tag.tag != GUMBO_TAG_NOSCRIPT &&
                !(is(ShownRawText) && shown && hasRewritten(raw))) {
                typedTag(tag);
                return asTyped(tag.to, next);
            }
            if (is(ShownRawText) && shown) {
                content = u' ';
                appendText(content, cell_.sliced(tag.to, end - tag.to), true);
                content += u' ';
            }
            if (box) {
                newBox(content, true, false);
                flush();
            } else if (!content.isEmpty()) {
                // A block still, which closes an open paragraph.
                out_ += u"<div>"_s + content + u"</div>"_s;
            }
            return next;
        }
        qsizetype index = -1;
        if (box) {
            index = newBox({}, shown, is(LineBreaking));
        } else {
            out_ += withDistinctAttributes(tag);
        }
        if (!empty) {
            push(tag.tag, tag.name, foreign, index);
        } else {
            flush();
        }
        return next;
    }

    // Formatting elements closed with the open element at `closed` stay in the parser's list of
    // them, to be opened again around the text that follows. Where many have been, Gumbo gets
    // their end tags, so that they cannot open again deeper than the elements written.
    void closeFormatting(qsizetype closed) {
        const bool reopening = reopenable_ > KeptDepth / 32;
        for (qsizetype k = static_cast<qsizetype>(stack_.size()) - 1; k > closed && closed >= 0;
             --k) {
            const OpenElement &open = stack_[k];
            if (!open.foreign && Formatting.contains(open.tag, open.name)) {
                ++reopenable_;
                if (reopening && open.box < 0) {
                    out_ += u"</"_s + open.name.toString() + u'>';
                }
            }
        }
    }

    // An end tag closes its element and those open in it; it goes to Gumbo as typed, but among
    // the deep elements, or where it closes nothing in a cell nested so deep that Gumbo would
    // search long for its element.
    qsizetype endTag(const Tag &tag) {
        // "</br>" and "</p>" leave foreign content too, where Gumbo 0.10 keeps them inside.
        if (tag.tag == GUMBO_TAG_BR || tag.tag == GUMBO_TAG_P) {
            while (stack_.inForeignContent()) {
                pop(Close::Written);
            }
        }
        bool searched = true;
        const qsizetype closed = stack_.closedBy(tag, SearchedDepth, searched);
        const bool ignored = closed < 0 && searched && tag.tag != GUMBO_TAG_BR &&
                             static_cast<qsizetype>(stack_.size()) > KeptDepth / 8;
        // A "</p>" that closes nothing stands for an empty paragraph, which reads as a line break.
        if (ignored && tag.tag == GUMBO_TAG_P && !deep()) {
            out_ += u"<br>";
        }
        const bool typed =
            closed >= 0 ? stack_[static_cast<size_t>(closed)].box < 0 : !deep() && !ignored;
        closeFormatting(closed);
        if (typed) {
            out_ += withDistinctAttributes(tag);
        }
        while (closed >= 0 && static_cast<qsizetype>(stack_.size()) > closed) {
            pop(typed ? Close::Typed : Close::Implied);
        }
        return tag.to;
    }

    QStringView cell_;
    QString out_;
    OpenElements stack_;
    std::vector<Box> boxes_;
    // How many formatting elements the end tag of another has closed.
    qsizetype reopenable_ = 0;
    // The deepest the parser may nest elements: those open, and as many formatting elements as it
    // may open again.
    qsizetype deepest_ = 0;
    qsizetype bound_;
    bool manyAttributes_ = false;
};

} // namespace

QByteArray parserInput(QStringView cell) {
    return ChromiumForm(cell, std::numeric_limits<qsizetype>::max()).utf8();
}

bool readsInTime(QStringView html, qsizetype depth) {
    const ChromiumForm form(html, depth);
    return form.deepest() <= depth && !form.manyAttributes();
}

} // namespace markup
