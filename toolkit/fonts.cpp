#include "toolkit/fonts.h"

#include <QStringList>

#include <cmath>

namespace toolkit {

void installFontSubstitutes() {
    QFont::insertSubstitutions(QString::fromUtf16(LayoutFaceName),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                                QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP"),
                                QStringLiteral("TakaoPGothic"), QStringLiteral("Sans Serif")});
}

QFont withLayoutPixelSize(QFont font) {
    if (font.pointSizeF() > 0) {
        font.setPixelSize(static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0)));
    }
    return font;
}

} // namespace toolkit
