#include "preview/samplelayout.h"

#include <algorithm>
#include <limits>

namespace preview {

namespace {

struct Layout {
    std::vector<DrawStep> steps;
    // Where the next entry would start, and how many entries were laid out.
    int x = LeftMargin;
    int entryCount = 0;
    bool hasFraction = false;
};

int textHeightOf(const toolkit::TextMetrics &metrics) {
    return metrics.textHeight(QString::fromUtf16(MeasuringText));
}

// Sets entries side by side while they start before `visibleWidth`, and while each ends within
// `mostRight`; the first entry is always set.
Layout layOut(const fractions::EntrySource &entries, const toolkit::TextMetrics &metrics,
              int visibleWidth, int mostRight) {
    Layout layout;
    // Nothing to measure: the sample's font is not even loaded until an entry needs it.
    if (entries.entryCount() == 0) {
        return layout;
    }
    const int textHeight = textHeightOf(metrics);
    // From the top of a numerator to the top of its denominator; the bar lies on the row above.
    const int rowPitch = textHeight + 2;
    const int plainDrop = rowPitch / 2;
    // Glyphs may reach a little to the left of their text cell, never by a whole line height.
    const int leftOverhang = textHeight;

    std::vector<DrawStep> &steps = layout.steps;
    // An empty text draws nothing; its entry still takes its place in the row.
    const auto addText = [&steps](int x, int y, const QString &text) {
        if (!text.isEmpty()) {
            steps.push_back({DrawStep::Kind::Text, x, y, text});
        }
    };
    const int count = entries.entryCount();
    for (int &i = layout.entryCount; i < count && layout.x - leftOverhang < visibleWidth; ++i) {
        const fractions::Entry entry = entries.entry(i);
        const int left = layout.x;
        if (!entry.isFraction()) {
            const int width = metrics.textWidth(entry.numerator);
            if (i > 0 && left + width > mostRight) {
                break;
            }
            addText(left, TopMargin + plainDrop, entry.numerator);
            layout.x += width + EntryGap;
            continue;
        }
        const int numeratorWidth = metrics.textWidth(entry.numerator);
        const int denominatorWidth = metrics.textWidth(entry.denominator);
        const int width = std::max(numeratorWidth, denominatorWidth);
        if (i > 0 && left + width > mostRight) {
            break;
        }
        // Any odd pixel of the centring falls to the right of the narrower text.
        addText(left + (width - numeratorWidth) / 2, TopMargin, entry.numerator);
        addText(left + (width - denominatorWidth) / 2, TopMargin + rowPitch, entry.denominator);
        steps.push_back(
            {DrawStep::Kind::Bar, left, TopMargin + rowPitch - 1, QString(), left + width});
        layout.x += width + EntryGap;
        layout.hasFraction = true;
    }
    return layout;
}

} // namespace

std::vector<DrawStep> layOutSample(const fractions::EntrySource &entries,
                                   const toolkit::TextMetrics &metrics, int visibleWidth) {
    return layOut(entries, metrics, visibleWidth, std::numeric_limits<int>::max()).steps;
}

RowLayout layOutRow(const fractions::EntrySource &entries, const toolkit::TextMetrics &metrics) {
    if (entries.entryCount() == 0) {
        return {};
    }
    // The sample's margins on every side: below the denominators (or the plain entries), and to
    // the right of the last entry, whose gap stands in for a pixel of the margin.
    const int textHeight = textHeightOf(metrics);
    const int fractionHeight = 2 * TopMargin + 2 * textHeight + 2;
    const int mostWidth = std::clamp(MostRowPixels / fractionHeight, 1, MostRowWidth);
    Layout layout = layOut(entries, metrics, mostWidth, mostWidth - LeftMargin);
    const int height =
        layout.hasFraction ? fractionHeight : 2 * TopMargin + (textHeight + 2) / 2 + textHeight;
    const int width = std::min(layout.x - EntryGap + LeftMargin, mostWidth);
    return {std::move(layout.steps), width, height, layout.entryCount};
}

} // namespace preview
