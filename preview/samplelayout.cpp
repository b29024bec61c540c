#include "preview/samplelayout.h"

#include <algorithm>

namespace preview {

std::vector<DrawStep> layOutSample(const fractions::EntrySource &entries,
                                   const toolkit::TextMetrics &metrics, int visibleWidth) {
    // Nothing to measure: the sample's font is not even loaded until an entry needs it.
    if (entries.entryCount() == 0) {
        return {};
    }
    const int textHeight = metrics.textHeight(QString::fromUtf16(MeasuringText));
    // From the top of a numerator to the top of its denominator; the bar lies on the row above.
    const int rowPitch = textHeight + 2;
    const int plainDrop = rowPitch / 2;
    // Glyphs may reach a little to the left of their text cell, never by a whole line height.
    const int leftOverhang = textHeight;

    std::vector<DrawStep> steps;
    // An empty text draws nothing; its entry still takes its place in the row.
    const auto addText = [&steps](int x, int y, const QString &text) {
        if (!text.isEmpty()) {
            steps.push_back({DrawStep::Kind::Text, x, y, text});
        }
    };
    const int count = entries.entryCount();
    int x = 0;
    for (int i = 0; i < count && LeftMargin + x - leftOverhang < visibleWidth; ++i) {
        const fractions::Entry entry = entries.entry(i);
        const int left = LeftMargin + x;
        if (!entry.isFraction()) {
            addText(left, TopMargin + plainDrop, entry.numerator);
            x += metrics.textWidth(entry.numerator) + EntryGap;
            continue;
        }
        const int numeratorWidth = metrics.textWidth(entry.numerator);
        const int denominatorWidth = metrics.textWidth(entry.denominator);
        const int width = std::max(numeratorWidth, denominatorWidth);
        // Any odd pixel of the centring falls to the right of the narrower text.
        addText(left + (width - numeratorWidth) / 2, TopMargin, entry.numerator);
        addText(left + (width - denominatorWidth) / 2, TopMargin + rowPitch, entry.denominator);
        steps.push_back(
            {DrawStep::Kind::Bar, left, TopMargin + rowPitch - 1, QString(), left + width});
        x += width + EntryGap;
    }
    return steps;
}

} // namespace preview
