#include "toolkit/platform/fonts.h"

#include "toolkit/font.h"

#include <QEvent>
#include <QFontDatabase>
#include <QStringList>
#include <QWidget>

namespace toolkit {

void installFontSubstitutes() {
    QFont::insertSubstitutions(QString::fromUtf16(LayoutFaceName),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                                QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP"),
                                QStringLiteral("TakaoPGothic"), QStringLiteral("Sans Serif")});
}

LayoutFontInPixels::LayoutFontInPixels(QWidget *window) {
    window->installEventFilter(this);
}

bool LayoutFontInPixels::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FontChange) {
        auto *window = static_cast<QWidget *>(watched);
        const QFont controls = controlFont(window->font());
        if (controls != window->font()) {
            window->setFont(controls);
        }
    }
    return false;
}

QFont withLayoutPixelSize(QFont font) {
    if (font.pointSizeF() > 0) {
        font.setPixelSize(pixelsOfPoints(font.pointSizeF()));
    }
    return font;
}

QFont controlFont(QFont layoutFont) {
    const QString layoutFace = QString::fromUtf16(LayoutFaceName);
    // Windows has the face itself; elsewhere the first of its substitutes that is installed.
    if (layoutFont.families() == QStringList{layoutFace} && !QFontDatabase::hasFamily(layoutFace)) {
        for (const QString &face : QFont::substitutes(layoutFace)) {
            if (QFontDatabase::hasFamily(face)) {
                layoutFont.setFamilies({face});
                break;
            }
        }
    }
    return withLayoutPixelSize(layoutFont);
}

} // namespace toolkit
