#pragma once

// What the sample tests share: the window's controls by name, entry as a user makes it, and
// looking at the pixels of the sample.
#include "fractions/fractionlist.h"
#include "main/mainform.h"
#include "preview/samplelayout.h"
#include "toolkit/fonts.h"
#include "toolkit/reportlistview.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace samplefixture {

template <typename W> W *control(const TMainForm &form, const char16_t *name) {
    W *found = form.findChild<W *>(QString::fromUtf16(name));
    Q_ASSERT(found != nullptr);
    return found;
}

inline ReportListView *listBox(const TMainForm &form) {
    return control<ReportListView>(form, u"ListBox");
}

inline void click(QWidget *widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// As a user: the entry row is clicked unless it is already selected, the texts typed, Enter.
inline void typeEntry(const TMainForm &form, const QString &numerator, const QString &denominator) {
    ReportListView *list = listBox(form);
    const int entryRow = list->rowCount() - 1;
    if (list->selectedIndex() != entryRow) {
        const QModelIndex index = list->model()->index(entryRow, 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }
    QTest::keyClicks(control<QLineEdit>(form, u"NmntE"), numerator);
    QTest::keyClicks(control<QLineEdit>(form, u"DnmnE"), denominator);
    QTest::keyClick(control<QLineEdit>(form, u"DnmnE"), Qt::Key_Return);
}

// For tests about the picture rather than about entry: commits straight into the list.
inline void addEntries(const TMainForm &form, const std::vector<fractions::Entry> &entries) {
    fractions::FractionList list(*listBox(form));
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
