#include "markup/rowreader.h"

#include "markup/rowforms.h"
#include "markup/showntext.h"
#include "markup/tablemarkup.h"
#include "markup/textmarkup.h"
#include "markup/texttokens.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace markup {
namespace {

// A clipboard larger than this is refused unread: 16 MB of text is read in well under a second,
// and no row typed by hand or copied from a page comes near it. Markup past a few megabytes is
// read only where it is the program's own table (see readHtmlRow()).
constexpr qsizetype MaxLength = 16 * 1024 * 1024;

// The fraction line of the copied table: one black pixel, so that the table shows its fractions
// wherever an editor takes the HTML in.
constexpr QStringView LineImage = u"data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///"
                                  u"ywAAAAAAQABAAACAkQBADs=";

std::optional<Row> readMarkup(const QString &html) {
    if (auto row = readOwnTable(html)) {
        return row;
    }
    return readHtmlRow(html);
}

std::optional<Row> readAny(const QString &html, const QString &text, size_t mostEntries) {
    if (text.size() > MaxLength) {
        return std::nullopt;
    }
    // HTML too long to read, a page's pictures inlined in it, leaves the text to read.
    const bool htmlRead = !html.isEmpty() && html.size() <= MaxLength;
    if (htmlRead) {
        if (auto row = readMarkup(html)) {
            return row;
        }
    }
    // Markup copied from the pane or an editor comes as text, read once where the HTML was the
    // same.
    if (!(htmlRead && text == html) && (text.contains(u"<table"_s, Qt::CaseInsensitive) ||
                                        text.contains(u"<math"_s, Qt::CaseInsensitive))) {
        if (auto row = readMarkup(text)) {
            return row;
        }
    }
    if (auto row = readTexRow(text)) {
        return asCells(std::move(row), mostEntries);
    }
    return asCells(readTextRow(text), mostEntries);
}

// Whether HTML's tokenizer reads part of `text` as a tag, a comment or a bogus one: a "<" before
// a letter, "!" or "?", or before "/" and any character.
bool startsMarkup(QStringView text) {
    for (qsizetype i = text.indexOf(u'<'); i >= 0 && i + 1 < text.size();
         i = text.indexOf(u'<', i + 1)) {
        const QChar next = text[i + 1];
        if ((next >= u'a' && next <= u'z') || (next >= u'A' && next <= u'Z') || next == u'!' ||
            next == u'?' || (next == u'/' && i + 2 < text.size())) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<Row> asCells(std::optional<Row> row, size_t mostEntries) {
    // Escaping changes only these characters: a text without them, as most are, is not read.
    // Nor is one that starts a tag or a comment, which never shows as typed.
    const auto cell = [](QString &text) {
        const bool escapable = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
            return c == u'&' || c == u'<' || c == u'>' || c == u'"';
        });
        if (escapable && (startsMarkup(text) || shownText(text) != text)) {
            text = escaped(text);
        }
    };
    if (row && row->size() > mostEntries + 1) {
        row->erase(row->begin() + static_cast<std::ptrdiff_t>(mostEntries + 1), row->end());
    }
    if (row) {
        for (auto &entry : *row) {
            cell(entry.numerator);
            cell(entry.denominator);
        }
    }
    return row;
}

std::optional<std::vector<fractions::Entry>> readRow(const QString &html, const QString &text,
                                                     size_t mostEntries) {
    return readAny(html, text, mostEntries);
}

RowClipboard rowClipboard(const std::vector<fractions::Entry> &entries) {
    const fractions::EntryVector row(entries);
    // Without a charset, some editors read the clipboard's HTML as Latin-1.
    return {u"<meta charset=\"utf-8\">"_s +
                tableText(row, LineImage.toString(), PageMode::Standards),
            plainText(row)};
}

} // namespace markup
