#pragma once

#include "toolkit/font.h"

#include <QString>

namespace toolkit {

// Extent of texts in one font, in whole pixels.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    virtual int textWidth(const QString &text) const = 0;
    virtual int textHeight(const QString &text) const = 0;
};

// An off-screen picture. What is drawn on it shows in the window without further request.
class DrawingSurface : public TextMetrics {
public:
    virtual int width() const = 0;
    virtual int height() const = 0;
    // The surface keeps its own copy: later changes of `font` don't reach it.
    virtual void setFont(const Font &font) = 0;
    virtual void fillWhite() = 0;
    // (x, y) is the top-left corner of the text cell; the background is left as it is.
    virtual void drawText(int x, int y, const QString &text) = 0;
    // A one-pixel solid black line that leaves out its end point.
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
};

class FontChooser {
public:
    virtual ~FontChooser() = default;
    virtual Font currentFont() const = 0;
    // Shows the chooser modally; on confirmation the chosen font becomes the current one.
    virtual bool execute() = 0;
    // The desktop's window-text colour is now `windowText`: a current font in the colour it had,
    // not one the user picked, takes the new one. Tells whether the current font changed.
    virtual bool followWindowText(const QColor &windowText) = 0;
    // Whether the current font's colour is the window-text colour rather than one the user picked.
    virtual bool inWindowText() const = 0;
    // The font a former run left; in the window-text colour of now where `inWindowText`.
    virtual void restore(const Font &font, bool inWindowText) = 0;
};

} // namespace toolkit
