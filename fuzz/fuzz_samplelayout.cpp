// The sample layout on any entries, with fixed fake metrics: every character is as wide as its
// code point modulo 23 (so combining marks, surrogates and wide characters all get widths, zero
// included) and every text is 19 pixels high. Checks what holds for every input: the steps follow
// the entries in order, bars span the wider text, texts are centred, and entries are cut off only
// once they start past the visible width.
#include "fuzzinput.h"
#include "preview/samplelayout.h"

#include <algorithm>
#include <cstdlib>

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

class FixedMetrics final : public toolkit::TextMetrics {
public:
    int textWidth(const QString &text) const override {
        int width = 0;
        for (const QChar c : text) {
            width += c.unicode() % 23;
        }
        return width;
    }
    int textHeight(const QString &) const override { return 19; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first two bytes choose the visible width, up to and past the real 277 pixels.
    const int visibleWidth = data[0] * 4 + data[1] % 4;
    const std::vector<fractions::Entry> entries =
        fuzzinput::entries(fuzzinput::text(data + 2, size - 2));
    const FixedMetrics metrics;

    const std::vector<preview::DrawStep> steps =
        preview::layOutSample(fractions::EntryVector(entries), metrics, visibleWidth);

    using Kind = preview::DrawStep::Kind;
    const int pitch = 19 + 2;
    size_t s = 0;
    // An empty text draws nothing, so it has no step.
    const auto expectText = [&](const QString &text, int x, int y) {
        if (text.isEmpty()) {
            return;
        }
        require(s < steps.size());
        const auto &step = steps[s++];
        require(step.kind == Kind::Text && step.text == text && step.x == x && step.y == y);
    };
    int x = 0;
    for (const auto &entry : entries) {
        const int left = preview::LeftMargin + x;
        if (s == steps.size() && left >= visibleWidth) {
            // Left out: only entries that start out of sight.
            break;
        }
        if (!entry.isFraction()) {
            expectText(entry.numerator, left, preview::TopMargin + pitch / 2);
            x += metrics.textWidth(entry.numerator) + preview::EntryGap;
            continue;
        }
        const int wN = metrics.textWidth(entry.numerator);
        const int wD = metrics.textWidth(entry.denominator);
        const int w = std::max(wN, wD);
        expectText(entry.numerator, left + (w - wN) / 2, preview::TopMargin);
        expectText(entry.denominator, left + (w - wD) / 2, preview::TopMargin + pitch);
        require(s < steps.size());
        const auto &bar = steps[s++];
        require(bar.kind == Kind::Bar && bar.x == left && bar.barEnd == left + w &&
                bar.y == preview::TopMargin + pitch - 1);
        x += w + preview::EntryGap;
    }
    require(s == steps.size());
    return 0;
}
