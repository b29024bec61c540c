#pragma once

#include <QFont>

namespace toolkit {

// The window's Japanese face, by the name the layout uses for it.
inline constexpr auto LayoutFaceName = u"ＭＳ Ｐゴシック";

// Maps the layout's face name to metric-compatible faces that this platform has, best first.
void installFontSubstitutes();

// The layout gives font sizes in points at 96 pixels per inch; this fixes them as pixel sizes so
// that the window looks the same whatever the screen's own density.
QFont withLayoutPixelSize(QFont font);

} // namespace toolkit
