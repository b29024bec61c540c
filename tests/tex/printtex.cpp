// Prints the TeX formula of each row given on standard input, for the engines' test: a JSON
// array of rows, each an array of entries, each an array of its numerator and, for a fraction,
// its denominator. Answers with a JSON array of the formulas, one per row.
#include "markup/texmarkup.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

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
        formulas.append(markup::texFormula(fractions::EntryVector(std::move(entries))));
    }
    out.write(QJsonDocument(formulas).toJson());
    return 0;
}
