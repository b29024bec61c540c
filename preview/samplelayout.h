#pragma once

#include "fractions/entry.h"
#include "toolkit/surface.h"

#include <vector>

namespace preview {

inline constexpr int LeftMargin = 4;
inline constexpr int TopMargin = 5;
// Every entry is followed by this gap.
inline constexpr int EntryGap = 1;
inline constexpr auto MeasuringText = u"0123456789";

// One drawing step of the sample, in the order the steps are drawn.
struct DrawStep {
    enum class Kind { Text, Bar };
    Kind kind = Kind::Text;
    int x = 0;
    int y = 0;
    // Text: what is drawn with its cell's top-left corner at (x, y).
    QString text;
    // Bar: a line from (x, y) to (barEnd, y), barEnd itself left out.
    int barEnd = 0;

    friend bool operator==(const DrawStep &, const DrawStep &) = default;
};

// Sets the entries side by side from the left margin: a fraction as its numerator centred over a
// bar over its denominator, a plain entry half a row pitch lower. Entries that start past
// `visibleWidth` cannot reach the picture and are left out.
std::vector<DrawStep> layOutSample(const fractions::EntrySource &entries,
                                   const toolkit::TextMetrics &metrics, int visibleWidth);

// The bounds of a picture of the whole row: a few hundred fractions at the sample's size, and
// about two million pixels in all, which still holds a fraction in the font chooser's largest
// size, 999 pixels.
inline constexpr int MostRowWidth = 4096;
inline constexpr int MostRowPixels = 4096 * 512;

// The whole row set as the sample sets it, with the sample's margins on every side, in a picture
// of `width` by `height` pixels: not cut at the sample's edge, but within the bounds above.
// Entries that would end past them are left out, except the first, which is cut there.
struct RowLayout {
    std::vector<DrawStep> steps;
    int width = 0;
    int height = 0;
    // The entries the picture shows, from the first on.
    int entryCount = 0;
};
RowLayout layOutRow(const fractions::EntrySource &entries, const toolkit::TextMetrics &metrics);

} // namespace preview
