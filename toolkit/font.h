#pragma once

#include <QColor>
#include <QFont>
#include <QFontDatabase>

namespace toolkit {

// A font as the program hands it around: face, size and style live in `face`; the colour and the
// character set (script) travel with it, as they do in a font chooser.
struct Font {
    QFont face;
    QColor color = Qt::black;
    QFontDatabase::WritingSystem script = QFontDatabase::Japanese;

    friend bool operator==(const Font &, const Font &) = default;
};

// Pixels of a size in points, as the layout gives them: at 96 pixels per inch.
inline int pixelsOfPoints(qreal points) {
    return qRound(points * 96.0 / 72.0);
}

// A font that asks only to leave out optional shaping: set on a widget, it keeps the face and
// size the widget inherits. Shaping is what scripts such as Arabic or Devanagari need; for Latin
// and Japanese it only adds kerning pairs, and doubles the time a long line takes to lay out.
inline QFont fontWithoutShaping() {
    QFont strategy;
    strategy.setStyleStrategy(QFont::PreferNoShaping);
    return strategy;
}

} // namespace toolkit
