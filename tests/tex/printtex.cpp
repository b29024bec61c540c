// Prints the TeX of each row given on standard input, for the engines' test: a JSON array of
// rows, each an array of entries, each an array of its numerator and, for a fraction, its
// denominator. Answers with a JSON array of each row's formula and each site's text by name.
#include "markup/texmarkup.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

int main() {
    QFile in;
    QFile out;
    if (!in.open(stdin, QIODevice::ReadOnly) || !out.open(stdout, QIODevice::WriteOnly)) {
        return 1;
    }
    QJsonArray formulas;
    for (const QJsonValue row : QJsonDocument::fromJson(in.readAll()).array()) {
        std::vector<fractions::Entry> entries;
        for (const QJsonValue entry : row.toArray()) {
            const QJsonArray texts = entry.toArray();
            entries.push_back({texts.at(0).toString(), texts.at(1).toString()});
        }
        const fractions::EntryVector made(std::move(entries));
        formulas.append(QJsonObject{{u"formula"_s, markup::texFormula(made)},
                                    {u"dollars"_s, markup::texText(made)},
                                    {u"zenn"_s, markup::texTextWithoutDollar(made)},
                                    {u"fence"_s, markup::texMathFenceText(made)},
                                    {u"hatena"_s, markup::texHatenaText(made)}});
    }
    out.write(QJsonDocument(formulas).toJson());
    return 0;
}
