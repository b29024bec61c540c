#pragma once

// What the sample tests share beside the window driver: entries put straight into the list, and
// looking at the pixels of the sample.
#include "fractions/fractionlist.h"
#include "preview/samplelayout.h"
#include "toolkit/platform/fonts.h"
#include "windowdriver.h"

namespace samplefixture {

// For tests about the picture rather than about entry: commits straight into the list.
inline void addEntries(const TMainForm &form, const std::vector<fractions::Entry> &entries) {
    fractions::FractionList list(
        *form.findChild<toolkit::ReportListView *>(QStringLiteral("ListBox")));
    for (const fractions::Entry &entry : entries) {
        list.commit(list.count() - 1, entry);
    }
}

inline QImage picture(const TMainForm &form) {
    return form.previewSurface().picture().copy();
}

// The row pitch H of the sample's font and the plain entry's drop M.
struct Pitch {
    int textHeight;
    int rowPitch;
    int plainDrop;
};

inline Pitch pitchOf(const TMainForm &form) {
    const int h = form.previewSurface().textHeight(QString::fromUtf16(preview::MeasuringText));
    return {h, h + 2, (h + 2) / 2};
}

inline int widthOf(const TMainForm &form, const QString &text) {
    return form.previewSurface().textWidth(text);
}

inline bool isWhite(QRgb pixel) {
    return (pixel & 0xFFFFFF) == 0xFFFFFF;
}

inline bool isBlack(QRgb pixel) {
    return (pixel & 0xFFFFFF) == 0;
}

inline bool allWhite(const QImage &image, const QRect &area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!isWhite(image.pixel(x, y))) {
                return false;
            }
        }
    }
    return true;
}

// `image` moved by (dx, dy), white where nothing moved in.
inline QImage shifted(const QImage &image, int dx, int dy) {
    QImage moved(image.size(), image.format());
    moved.fill(Qt::white);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (QRect(QPoint(), image.size()).contains(x + dx, y + dy)) {
                moved.setPixel(x + dx, y + dy, image.pixel(x, y));
            }
        }
    }
    return moved;
}

} // namespace samplefixture
