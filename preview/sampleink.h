#pragma once

#include <QColor>

namespace preview {

// How well a colour reads on white: the contrast ratio of WCAG 2, from 1 (white) to 21 (black).
double contrastOnWhite(const QColor &color);

// The colour the sample's texts start in. The sample's picture is white whatever the desktop's
// colours, so the window-text colour is kept only where it reads on white (4.5:1 or more), as
// under a light theme; under a dark one it would be near white, and the texts start black.
QColor sampleInk(const QColor &windowText);

} // namespace preview
