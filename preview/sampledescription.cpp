#include "preview/sampledescription.h"

#include <QStringList>

#include <algorithm>

namespace preview {

QString describeSample(const fractions::EntrySource &entries, int maxEntries) {
    QStringList parts;
    const int count = std::min(entries.entryCount(), maxEntries);
    for (int i = 0; i < count; ++i) {
        const fractions::Entry entry = entries.entry(i);
        if (entry.isFraction()) {
            parts << entry.numerator + u'/' + entry.denominator;
        } else if (!entry.numerator.isEmpty()) {
            parts << entry.numerator;
        }
    }
    return parts.join(u' ');
}

} // namespace preview
