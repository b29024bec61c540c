#pragma once

#include <QPalette>

#include <functional>

class QWidget;

namespace toolkit {

// Sets on `widget` the colours that `derive` makes of the palette the widget inherits, and makes
// them again whenever that palette changes (the desktop's colour scheme, the style, a parent's
// palette), so that no colour copied from the palette stays behind. `derive` returns a QPalette()
// with only its own roles set; the widget inherits every other role as before.
void keepDerivedPalette(QWidget *widget, std::function<QPalette(const QPalette &)> derive);

} // namespace toolkit
