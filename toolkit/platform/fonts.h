#pragma once

#include <QFont>
#include <QObject>

class QWidget;

namespace toolkit {

// The window's Japanese face, by the name the layout uses for it.
inline constexpr auto LayoutFaceName = u"ＭＳ Ｐゴシック";

// Maps the layout's face name to metric-compatible faces that this platform has, best first.
void installFontSubstitutes();

// The layout gives font sizes in points at 96 pixels per inch; this fixes them as pixel sizes so
// that the window looks the same whatever the screen's own density.
QFont withLayoutPixelSize(QFont font);

// The font of the window's controls, from the one the layout gives it: in pixels, and in the
// installed face that stands in for the layout's face. A face that is not installed sends every
// font made of it through the substitutes and a search of the system's faces (a few tenths of a
// millisecond each) before it is shown. The face the controls show is the same.
QFont controlFont(QFont layoutFont);

// While it lives, `window` takes the font its layout gives it as its controls' font at once,
// before the controls that inherit it exist: the font spreads through them once, not twice.
class LayoutFontInPixels final : public QObject {
public:
    explicit LayoutFontInPixels(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace toolkit
