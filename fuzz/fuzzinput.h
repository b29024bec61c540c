#pragma once

#include "fractions/entry.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzzinput {

// Fuzz bytes as UTF-8 text: the record separator U+001E ends an entry, the unit separator U+001F
// parts its numerator from its denominator. Everything else, newlines and invalid bytes included,
// stays in the texts, so any text a person can type or paste can turn up.
inline std::vector<fractions::Entry> entries(const QString &text) {
    std::vector<fractions::Entry> result;
    for (const QString &record : text.split(QChar(0x1e))) {
        const qsizetype unit = record.indexOf(QChar(0x1f));
        if (unit < 0) {
            result.push_back({record, QString()});
        } else {
            result.push_back({record.left(unit), record.mid(unit + 1)});
        }
    }
    return result;
}

inline QString text(const uint8_t *data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

} // namespace fuzzinput
