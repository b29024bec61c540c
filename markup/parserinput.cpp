#include "markup/parserinput.h"

#include "markup/elementkinds.h"
#include "markup/texttokens.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace markup {
namespace {

// Chromium nests the elements of a cell this deep at most: an element that would lie deeper is put
// beside its parent instead, holding only the text and the empty elements written directly in
// it. All those put beside the element at this depth are thus siblings that follow it, each
// showing its own text, in the order they open.
constexpr qsizetype KeptDepth = 512;

// Gumbo reads the controls U+0080 to U+009F as U+FFFD, typed or as numbers (which stand for the
// characters of Windows-1252 there), where browsers keep them typed. Each goes through as this
// mark followed by the control moved into plane 15; the mark itself goes through twice.
constexpr char32_t ShiftMark = 0xF0000;

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Whether `c` is a control or a noncharacter, which Gumbo reads as U+FFFD where browsers keep it;
// written as a numeric reference it is kept.
bool isKeptByReference(char32_t c) {
    return (c >= 0x1 && c <= 0x8) || c == 0xB || (c >= 0xE && c <= 0x1F) || c == 0x7F ||
           (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// The length of a numeric character reference at the start of `text` that stands for the shift
// mark, or 0.
qsizetype markReference(QStringView text) {
    if (!text.startsWith(u"&#")) {
        return 0;
    }
    const bool hex = text.size() > 2 && (text[2] == u'x' || text[2] == u'X');
    qsizetype i = hex ? 3 : 2;
    char32_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const int digit = c >= u'0' && c <= u'9'          ? c - u'0'
                          : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
                          : hex && c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                          : -1;
        if (digit < 0) {
            break;
        }
        value =
            std::min<char32_t>(value * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
    }
    if (value != ShiftMark) {
        return 0;
    }
    return i < text.size() && text[i] == u';' ? i + 1 : i;
}

// Appends `text` as character data for Gumbo that reads as browsers read `text` there; `literal`
// text is read as typed, references and "<" included.
void appendText(QString &to, QStringView text, bool literal) {
    qsizetype run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype first = i;
        const char32_t c = characterAt(text, i);
        const qsizetype reference = !literal && c == u'&' ? markReference(text.sliced(first)) : 0;
        if (!(c >= 0x80 && c <= 0x9F) && c != ShiftMark && reference == 0 &&
            !isKeptByReference(c) && !(literal && (c == u'&' || c == u'<'))) {
            continue;
        }
        to += text.sliced(run, first - run);
        if (c >= 0x80 && c <= 0x9F) {
            to += QChar::fromUcs4(ShiftMark);
            to += QChar::fromUcs4(ShiftMark + c);
        } else if (c == ShiftMark || reference > 0) {
            to += QChar::fromUcs4(ShiftMark);
            to += QChar::fromUcs4(ShiftMark);
            i = reference > 0 ? first + reference - 1 : i;
        } else if (isKeptByReference(c)) {
            to += u"&#"_s + QString::number(c) + u';';
        } else {
            to += c == u'&' ? QStringView(u"&amp;") : QStringView(u"&lt;");
        }
        run = i + 1;
    }
    to += text.sliced(run);
}

const ElementSet Void("area base basefont bgsound br col embed frame hr image img input keygen "
                      "link meta param source track wbr");
// Elements whose content the tokenizer reads as text, and of those the ones that show it.
const ElementSet RawText("iframe noembed noframes noscript plaintext script style textarea title "
                         "xmp");
const ElementSet ShownRawText("plaintext xmp");
const ElementSet Foreign("math svg");
const ElementSet IntegrationPoint("annotation-xml desc foreignobject mi mn mo ms mtext title");
// Start tags that leave foreign content, and those that close an open p element first.
const ElementSet Breakout(
    "b big blockquote body br center code dd div dl dt em embed h1 h2 h3 h4 h5 h6 head hr i img "
    "li listing menu meta nobr ol p pre ruby s small span strong strike sub sup table tt u ul var");
const ElementSet ClosesP(
    "address article aside blockquote center details dialog dir div dl fieldset figcaption "
    "figure footer form h1 h2 h3 h4 h5 h6 header hgroup hr listing main menu nav ol p plaintext "
    "pre search section summary table ul xmp");
// Elements whose end tags may be left out: an end tag of an enclosing block closes them too.
const ElementSet ImpliedEnd("dd dt li optgroup option p rb rp rt rtc");
const ElementSet TablePart("caption colgroup tbody td tfoot th thead tr");
const ElementSet TableSection("tbody tfoot thead");
const ElementSet TableContext("caption colgroup table tbody td tfoot th thead tr");
const ElementSet Cell("td th");
const ElementSet Heading("h1 h2 h3 h4 h5 h6");
const ElementSet ClosedOnReopening("dd dt li option td th tr");

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
class ChromiumForm {
public:
    explicit ChromiumForm(QStringView cell)
        : cell_(cell) {
        out_.reserve(cell.size());
        qsizetype i = 0;
        while (i < cell_.size()) {
            const QChar next = at(i + 1);
            if (cell_[i] != u'<') {
                const qsizetype end = cell_.indexOf(u'<', i);
                text(cell_.sliced(i, (end < 0 ? cell_.size() : end) - i), false);
                i = end < 0 ? cell_.size() : end;
            } else if (isAsciiLetter(next) || (next == u'/' && isAsciiLetter(at(i + 2)))) {
                Tag tag;
                if (!readTag(i, tag)) {
                    break; // the cell ends inside the tag, which is left out
                }
                i = next == u'/' ? endTag(tag) : startTag(tag);
            } else if (cell_.sliced(i).startsWith(u"<!--")) {
                i = commentEnd(i + 4);
                leftOut();
            } else if (next == u'!' && inForeign() && cell_.sliced(i).startsWith(u"<![CDATA[")) {
                const qsizetype end = cell_.indexOf(u"]]>", i + 9);
                text(cell_.sliced(i + 9, (end < 0 ? cell_.size() : end) - i - 9), true);
                i = end < 0 ? cell_.size() : end + 3;
            } else if (next == u'!' || next == u'?' || (next == u'/' && i + 2 < cell_.size())) {
                const qsizetype end =
                    next == u'/' && at(i + 2) == u'>' ? i + 2 : cell_.indexOf(u'>', i);
                i = end < 0 ? cell_.size() : end + 1; // a bogus comment, or "</>"
                leftOut();
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

private:
    struct Tag {
        GumboTag tag = GUMBO_TAG_UNKNOWN;
        QStringView name;
        qsizetype from = 0;
        qsizetype to = 0;
        bool selfClosing = false;
        bool hidden = false;
        bool open = false;
    };
    struct Open {
        GumboTag tag;
        QStringView name;
        bool foreign;
        qsizetype box; // index in boxes_ of an element deeper than Chromium keeps, or -1
    };
    struct Box {
        QString text;
        bool shown;
        bool lineBreaking;
    };

    QChar at(qsizetype i) const { return i < cell_.size() ? cell_[i] : QChar(); }
    bool inForeign() const { return !stack_.empty() && stack_.back().foreign; }
    bool deep() const { return !stack_.empty() && stack_.back().box >= 0; }
    bool topIs(const ElementSet &set) const {
        return !stack_.empty() && set.contains(stack_.back().tag, stack_.back().name);
    }

    // Reads the tag at `i` as HTML5's tokenizer does; false if the cell ends inside it.
    bool readTag(qsizetype i, Tag &tag) const {
        const auto isEnd = [](QChar c) {
            return isHtmlSpace(c.unicode()) || c == u'/' || c == u'>';
        };
        tag.from = i;
        qsizetype j = cell_[i + 1] == u'/' ? i + 2 : i + 1;
        const qsizetype nameStart = j;
        while (j < cell_.size() && !isEnd(cell_[j])) {
            ++j;
        }
        tag.name = cell_.sliced(nameStart, j - nameStart);
        // No element that HTML knows has a longer name, or one beyond ASCII.
        std::array<char, 16> name{};
        bool known = tag.name.size() <= static_cast<qsizetype>(name.size());
        for (qsizetype k = 0; known && k < tag.name.size(); ++k) {
            known = tag.name[k].unicode() > 0 && tag.name[k].unicode() < 0x80;
            name[static_cast<size_t>(k)] = static_cast<char>(tag.name[k].unicode());
        }
        tag.tag = known ? gumbo_tagn_enum(name.data(), static_cast<unsigned>(tag.name.size()))
                        : GUMBO_TAG_UNKNOWN;
        for (;;) {
            while (j < cell_.size() && (isHtmlSpace(cell_[j].unicode()) || cell_[j] == u'/')) {
                tag.selfClosing = cell_[j] == u'/' && at(j + 1) == u'>';
                ++j;
            }
            if (j >= cell_.size()) {
                return false;
            }
            if (cell_[j] == u'>') {
                tag.to = j + 1;
                return true;
            }
            const qsizetype attributeStart = j++; // a name may start with "="
            while (j < cell_.size() && !isEnd(cell_[j]) && cell_[j] != u'=') {
                ++j;
            }
            const QStringView attribute = cell_.sliced(attributeStart, j - attributeStart);
            tag.hidden = tag.hidden || attribute.compare(u"hidden", Qt::CaseInsensitive) == 0;
            tag.open = tag.open || attribute.compare(u"open", Qt::CaseInsensitive) == 0;
            while (j < cell_.size() && isHtmlSpace(cell_[j].unicode())) {
                ++j;
            }
            if (at(j) != u'=') {
                continue;
            }
            ++j;
            while (j < cell_.size() && isHtmlSpace(cell_[j].unicode())) {
                ++j;
            }
            if (at(j) == u'"' || at(j) == u'\'') {
                j = cell_.indexOf(cell_[j], j + 1);
                if (j < 0) {
                    return false;
                }
                ++j;
            } else {
                while (j < cell_.size() && !isHtmlSpace(cell_[j].unicode()) && cell_[j] != u'>') {
                    ++j;
                }
            }
        }
    }

    // The end of a comment whose text starts at `i`.
    qsizetype commentEnd(qsizetype i) const {
        if (at(i) == u'>' || (at(i) == u'-' && at(i + 1) == u'>')) {
            return at(i) == u'>' ? i + 1 : i + 2;
        }
        for (qsizetype j = i; (j = cell_.indexOf(u"--", j)) >= 0; ++j) {
            if (at(j + 2) == u'>' || (at(j + 2) == u'!' && at(j + 3) == u'>')) {
                return at(j + 2) == u'>' ? j + 3 : j + 4;
            }
        }
        return cell_.size();
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

    // Where something is left out, text before and after it stays apart.
    void leftOut() {
        if (!deep()) {
            out_ += u"<!---->";
        }
    }

    void push(GumboTag tag, QStringView name, bool foreign, qsizetype box) {
        stack_.push_back({tag, name, foreign, box});
    }

    // Closes the current element. The elements put beside the one at the depth Chromium keeps
    // follow it: Gumbo gets its end tag before their text, unless `typed` it has it already.
    void pop(bool typed = false) {
        const Open closed = stack_.back();
        stack_.pop_back();
        if (!typed && !boxes_.empty() && static_cast<qsizetype>(stack_.size()) == KeptDepth - 1) {
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
        const bool foreign =
            is(Foreign) || (inForeign() && !topIs(IntegrationPoint) && !is(Breakout));
        if (!foreign && is(TablePart) && !topIs(TableContext)) {
            if (!deep()) {
                out_ += cell_.sliced(tag.from, tag.to - tag.from); // ignored outside tables
            }
            return tag.to;
        }
        if (!foreign) {
            if (is(ClosesP) && !stack_.empty() && stack_.back().tag == GUMBO_TAG_P) {
                pop();
            }
            if ((is(Heading) && topIs(Heading)) ||
                (is(ClosedOnReopening) && !stack_.empty() && stack_.back().tag == tag.tag) ||
                (is(Cell) && topIs(Cell)) ||
                (tag.tag == GUMBO_TAG_OPTGROUP && topIs(ImpliedEnd) &&
                 stack_.back().tag == GUMBO_TAG_OPTION)) {
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
        const bool empty = is(Void) || (foreign && tag.selfClosing);
        const bool box = empty ? deep() : static_cast<qsizetype>(stack_.size()) >= KeptDepth;
        qsizetype next = tag.to;
        QString content;
        if (!foreign && is(RawText)) {
            const qsizetype end =
                tag.tag == GUMBO_TAG_PLAINTEXT ? cell_.size() : rawTextEnd(tag.to, tag.name);
            if (is(ShownRawText) && shown) {
                content = u' ';
                appendText(content, cell_.sliced(tag.to, end - tag.to), true);
                content += u' ';
            }
            Tag endTag;
            next = end == cell_.size() || !readTag(end, endTag) ? cell_.size() : endTag.to;
            if (box) {
                newBox(content, true, false);
                flush();
            } else {
                out_ += content;
                leftOut();
            }
            return next;
        }
        qsizetype index = -1;
        if (box) {
            index = newBox({}, shown, is(LineBreaking));
        } else {
            out_ += cell_.sliced(tag.from, tag.to - tag.from);
        }
        if (!empty) {
            push(tag.tag, tag.name, foreign, index);
        } else {
            flush();
        }
        return next;
    }

    // Where the raw text of an element named `name` ends: at its end tag.
    qsizetype rawTextEnd(qsizetype from, QStringView name) const {
        for (qsizetype j = from; (j = cell_.indexOf(u"</", j)) >= 0; j += 2) {
            const QChar after = at(j + 2 + name.size());
            if (cell_.sliced(j + 2).startsWith(name, Qt::CaseInsensitive) &&
                (isHtmlSpace(after.unicode()) || after == u'/' || after == u'>')) {
                return j;
            }
        }
        return cell_.size();
    }

    // An end tag closes the current element of its name, or one under elements that it closes
    // with it; else it goes to Gumbo as typed (or, among the deep elements, is left out).
    qsizetype endTag(const Tag &tag) {
        const auto matches = [&](const Open &open) {
            return open.tag == tag.tag && (tag.tag != GUMBO_TAG_UNKNOWN ||
                                           open.name.compare(tag.name, Qt::CaseInsensitive) == 0);
        };
        const bool special = LineBreaking.contains(tag.tag, tag.name);
        const bool table = TablePart.contains(tag.tag, tag.name) || tag.tag == GUMBO_TAG_TABLE;
        qsizetype closes = 0;
        for (qsizetype k = static_cast<qsizetype>(stack_.size()) - 1;
             k >= 0 && static_cast<qsizetype>(stack_.size()) - k <= 4; --k) {
            const Open &open = stack_[static_cast<size_t>(k)];
            if (matches(open)) {
                closes = static_cast<qsizetype>(stack_.size()) - k;
                break;
            }
            if (!(special && ImpliedEnd.contains(open.tag, open.name)) &&
                !(table && TablePart.contains(open.tag, open.name))) {
                break;
            }
        }
        // Deep elements are closed as their text goes out; an end tag that closes nothing there
        // is left out.
        const bool typed =
            closes > 0 ? stack_[stack_.size() - static_cast<size_t>(closes)].box < 0 : !deep();
        if (typed) {
            out_ += cell_.sliced(tag.from, tag.to - tag.from);
        }
        for (; closes > 0; --closes) {
            pop(typed);
        }
        return tag.to;
    }

    QStringView cell_;
    QString out_;
    std::vector<Open> stack_;
    std::vector<Box> boxes_;
};

} // namespace

QByteArray parserInput(QStringView cell) {
    return ChromiumForm(cell).utf8();
}

// Gumbo's text back as browsers read it: the controls U+0080 to U+009F out of their marks.
QString withoutShiftMarks(const QString &text) {
    const QString mark = QString::fromUcs4(&ShiftMark, 1);
    if (!text.contains(mark)) {
        return text;
    }
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype first = i;
        const char32_t c = characterAt(text, i);
        if (c == ShiftMark && i + 1 < text.size()) {
            const char32_t shifted = characterAt(text, ++i);
            out += QChar::fromUcs4(shifted == ShiftMark ? shifted : shifted - ShiftMark);
        } else {
            out += text.sliced(first, i - first + 1);
        }
    }
    return out;
}

} // namespace markup
