#pragma once

#include "fractions/entry.h"

namespace preview {

// The sample read out as text, for screen readers: "1/2 + 3/4". Only the first `maxEntries`
// entries are read; the picture shows fewer than that.
QString describeSample(const fractions::EntrySource &entries, int maxEntries = 100);

} // namespace preview
