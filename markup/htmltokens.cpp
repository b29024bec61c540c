#include "markup/htmltokens.h"

#include "markup/elementkinds.h"

#include <QSet>

#include <array>

using namespace Qt::StringLiterals;

namespace markup {

bool HtmlTokens::readTag(qsizetype i, HtmlTag &tag) const {
    const auto isEnd = [](QChar c) { return isHtmlSpace(c.unicode()) || c == u'/' || c == u'>'; };
    tag.from = i;
    qsizetype j = text_[i + 1] == u'/' ? i + 2 : i + 1;
    const qsizetype nameStart = j;
    while (j < text_.size() && !isEnd(text_[j])) {
        ++j;
    }
    tag.name = text_.sliced(nameStart, j - nameStart);
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
        const qsizetype attributeStart = attribute(j, tag);
        if (attributeStart < 0) {
            return false;
        }
        if (attributeStart == j) {
            tag.to = j + 1;
            return true;
        }
        const QStringView name = attributeName(attributeStart);
        ++tag.attributes;
        tag.hidden = tag.hidden || name.compare(u"hidden", Qt::CaseInsensitive) == 0;
        tag.open = tag.open || name.compare(u"open", Qt::CaseInsensitive) == 0;
        tag.presentational = tag.presentational ||
                             name.compare(u"color", Qt::CaseInsensitive) == 0 ||
                             name.compare(u"face", Qt::CaseInsensitive) == 0 ||
                             name.compare(u"size", Qt::CaseInsensitive) == 0;
    }
}

QStringView HtmlTokens::attributeName(qsizetype start) const {
    qsizetype j = start + 1; // a name may start with "="
    while (j < text_.size() && !isHtmlSpace(text_[j].unicode()) && text_[j] != u'/' &&
           text_[j] != u'>' && text_[j] != u'=') {
        ++j;
    }
    return text_.sliced(start, j - start);
}

qsizetype HtmlTokens::attribute(qsizetype &j, HtmlTag &tag) const {
    while (j < text_.size() && (isHtmlSpace(text_[j].unicode()) || text_[j] == u'/')) {
        tag.selfClosing = text_[j] == u'/' && at(j + 1) == u'>';
        ++j;
    }
    if (j >= text_.size() || text_[j] == u'>') {
        return j >= text_.size() ? -1 : j;
    }
    const qsizetype start = j;
    j += attributeName(start).size();
    while (j < text_.size() && isHtmlSpace(text_[j].unicode())) {
        ++j;
    }
    if (at(j) != u'=') {
        return start;
    }
    ++j;
    while (j < text_.size() && isHtmlSpace(text_[j].unicode())) {
        ++j;
    }
    if (at(j) == u'"' || at(j) == u'\'') {
        j = text_.indexOf(text_[j], j + 1);
        if (j < 0) {
            return -1;
        }
        ++j;
    } else {
        while (j < text_.size() && !isHtmlSpace(text_[j].unicode()) && text_[j] != u'>') {
            ++j;
        }
    }
    return start;
}

QString HtmlTokens::withDistinctAttributes(const HtmlTag &tag) const {
    if (tag.attributes <= MostAttributes) {
        return text_.sliced(tag.from, tag.to - tag.from).toString();
    }
    const bool end = text_[tag.from + 1] == u'/';
    QString written = end ? u"</"_s : u"<"_s;
    written += tag.name;
    if (!end) {
        QSet<QString> names;
        HtmlTag read;
        qsizetype j = tag.from + 1 + tag.name.size();
        for (qsizetype start; (start = attribute(j, read)) >= 0 && start != j;) {
            const QString name = attributeName(start).toString().toLower();
            if (!names.contains(name)) {
                names.insert(name);
                written += u' ';
                written += text_.sliced(start, j - start);
            }
        }
    }
    return written + (tag.selfClosing && !end ? u"/>"_s : u">"_s);
}

qsizetype HtmlTokens::commentEnd(qsizetype i) const {
    if (at(i) == u'>' || (at(i) == u'-' && at(i + 1) == u'>')) {
        return at(i) == u'>' ? i + 1 : i + 2;
    }
    for (qsizetype j = i; (j = text_.indexOf(u"--", j)) >= 0; ++j) {
        if (at(j + 2) == u'>' || (at(j + 2) == u'!' && at(j + 3) == u'>')) {
            return at(j + 2) == u'>' ? j + 3 : j + 4;
        }
    }
    return text_.size();
}

qsizetype HtmlTokens::rawTextEnd(qsizetype from, QStringView name) const {
    for (qsizetype j = from; (j = text_.indexOf(u"</", j)) >= 0; j += 2) {
        const QChar after = at(j + 2 + name.size());
        if (text_.sliced(j + 2).startsWith(name, Qt::CaseInsensitive) &&
            (isHtmlSpace(after.unicode()) || after == u'/' || after == u'>')) {
            return j;
        }
    }
    return text_.size();
}

qsizetype HtmlTokens::scriptEnd(qsizetype j) const {
    const auto isScript = [&](qsizetype k) {
        const QChar after = at(k + 6);
        return text_.sliced(k).startsWith(u"script", Qt::CaseInsensitive) &&
               (isHtmlSpace(after.unicode()) || after == u'/' || after == u'>');
    };
    enum { Data, Escaped, DoubleEscaped } state = Data;
    qsizetype dashes = 0;
    for (; j < text_.size(); ++j) {
        const QChar c = text_[j];
        if (state != Data && c == u'-') {
            ++dashes;
            continue;
        }
        if (state != Data && c == u'>' && dashes >= 2) {
            state = Data;
        }
        dashes = 0;
        if (c != u'<') {
            continue;
        }
        if (state == Data && text_.sliced(j).startsWith(u"<!--")) {
            state = Escaped;
            dashes = 2;
            j += 3;
        } else if (at(j + 1) == u'/' && isScript(j + 2)) {
            if (state != DoubleEscaped) {
                return j;
            }
            state = Escaped;
        } else if (state == Escaped && isScript(j + 1)) {
            state = DoubleEscaped;
        }
    }
    return text_.size();
}

} // namespace markup
