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

} // namespace toolkit
