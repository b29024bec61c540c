#include "preview/sampleink.h"

#include <cmath>

namespace preview {

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double contrastOnWhite(const QColor &color) {
    const QColor rgb = color.toRgb();
    const double luminance =
        0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
    return 1.05 / (luminance + 0.05);
}

QColor sampleInk(const QColor &windowText) {
    constexpr double Readable = 4.5;
    return contrastOnWhite(windowText) >= Readable ? windowText : QColor(Qt::black);
}

} // namespace preview
