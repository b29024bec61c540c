#include "keptwork/keptwork.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace keptwork {

namespace {

const QString Program = QStringLiteral("Pemvaro");
constexpr int Version = 1;

QJsonObject fontObject(const KeptWork::Font &font) {
    QJsonObject object{{u"face"_s, font.face}, {u"script"_s, font.script}};
    if (!font.color.isEmpty()) {
        object.insert(u"color"_s, font.color);
    }
    return object;
}

std::optional<KeptWork::Font> fontOf(const QJsonValue &value) {
    const QJsonObject object = value.toObject();
    if (!object.value(u"face").isString() || !object.value(u"script").isDouble() ||
        !(object.value(u"color").isString() || object.value(u"color").isUndefined())) {
        return std::nullopt;
    }
    return KeptWork::Font{object.value(u"face").toString(), object.value(u"color").toString(),
                          object.value(u"script").toInt()};
}

std::optional<std::vector<fractions::Entry>> entriesOf(const QJsonValue &value) {
    if (!value.isArray()) {
        return std::nullopt;
    }
    const QJsonArray rows = value.toArray();
    std::vector<fractions::Entry> entries;
    entries.reserve(static_cast<size_t>(rows.size()));
    for (const QJsonValue &row : rows) {
        const QJsonArray texts = row.toArray();
        if (texts.size() != 2 || !texts.at(0).isString() || !texts.at(1).isString()) {
            return std::nullopt;
        }
        entries.push_back({texts.at(0).toString(), texts.at(1).toString()});
    }
    return entries;
}

} // namespace

QByteArray toJson(const KeptWork &work) {
    QJsonArray entries;
    for (const fractions::Entry &entry : work.entries) {
        entries.append(QJsonArray{entry.numerator, entry.denominator});
    }
    QJsonObject pane{{u"form"_s, work.paneForm}};
    if (work.paneTextEdited) {
        pane.insert(u"textEdited"_s, *work.paneTextEdited);
    }
    QJsonObject object{{u"program"_s, Program},
                       {u"version"_s, Version},
                       {u"entries"_s, entries},
                       {u"path"_s, work.path},
                       {u"sampleVisible"_s, work.sampleVisible},
                       {u"pane"_s, pane}};
    if (work.font) {
        object.insert(u"font"_s, fontObject(*work.font));
    }
    if (work.oldPage) {
        object.insert(u"oldPage"_s, *work.oldPage);
    }
    // Qt's JSON reader drops U+FEFF wherever it meets it in UTF-8, inside strings too: it is
    // written escaped, which the reader keeps. Outside strings the JSON is ASCII.
    return QJsonDocument(object).toJson(QJsonDocument::Indented).replace("\xEF\xBB\xBF", "\\ufeff");
}

std::optional<KeptWork> fromJson(const QByteArray &json) {
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(json, &error).object();
    if (error.error != QJsonParseError::NoError || object.value(u"program") != Program ||
        object.value(u"version") != Version) {
        return std::nullopt;
    }
    KeptWork work;
    const std::optional<std::vector<fractions::Entry>> entries =
        entriesOf(object.value(u"entries"));
    const QJsonObject pane = object.value(u"pane").toObject();
    const QJsonValue oldPage = object.value(u"oldPage");
    if (!entries || !object.value(u"path").isString() || !object.value(u"sampleVisible").isBool() ||
        !pane.value(u"form").isString() || !(oldPage.isBool() || oldPage.isUndefined())) {
        return std::nullopt;
    }
    work.entries = *entries;
    work.path = object.value(u"path").toString();
    if (oldPage.isBool()) {
        work.oldPage = oldPage.toBool();
    }
    work.sampleVisible = object.value(u"sampleVisible").toBool();
    work.paneForm = pane.value(u"form").toString();
    if (pane.contains(u"textEdited")) {
        if (!pane.value(u"textEdited").isString()) {
            return std::nullopt;
        }
        work.paneTextEdited = pane.value(u"textEdited").toString();
    }
    if (object.contains(u"font")) {
        work.font = fontOf(object.value(u"font"));
        if (!work.font) {
            return std::nullopt;
        }
    }
    return work;
}

} // namespace keptwork
